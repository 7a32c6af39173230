// SPDX-License-Identifier: MIT
#include "gui/main_window.h"

#include <QApplication>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include "frontend/control_rules.h"
#include "gui/accessibility.h"
#include "gui/look.h"
#include "gui/qtext.h"
#include "gui/widgets.h"

namespace sabrota::qt {

namespace {
constexpr Qt::WindowStates kLarger = Qt::WindowMaximized | Qt::WindowFullScreen;
}  // namespace

MainWindow::MainWindow(WindowOptions options) : qtBox_(this), printer_(*this) {
    installAccessibility();
    setWindowTitle(qs(kWindowTitle));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(kClientWidthTwips / kTwipsPerPixel, kClientHeightTwips / kTwipsPerPixel);
    setFont(windowFont());
    applyWindowColors(*this);

    build();
    platform::MessageBox& box = options.box ? *options.box : qtBox_;
    binder_ = std::make_unique<frontend::Binder>(
        static_cast<frontend::View&>(*this),
        platform::Services{box, timers_, options.files, shell_, printer_, options.folder});
    listModel_ = new NetworkListModel(form().List1, this);
    list_->setModel(listModel_);
    connect(list_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                binder_->listChosen(current.isValid() ? current.row() : -1);
            });
    timers_.attach([this](int n) { binder_->ticked(n); });
    keepSize_.setSingleShot(true);
    keepSize_.setInterval(0);
    connect(&keepSize_, &QTimer::timeout, this,
            [this] { setWindowState(windowState() & ~kLarger); });
    for (const Bound& b : bound_)
        wire(b);

    binder_->start();

    const auto& order = tabOrder();
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(widgetFor(order[i - 1]), widgetFor(order[i]));
    widgetFor(ControlId::Text1)->setFocus();
    announcer_ = new Announcer(*this);
}

MainWindow::~MainWindow() {
    // No tick or widget signal may reach a model that is going away; the list goes first
    // since its model reads the entries in place.
    timers_.attach(nullptr);
    delete announcer_;
    announcer_ = nullptr;
    for (Bound& b : bound_)
        if (b.widget != list_)
            b.widget->blockSignals(true);
    delete list_;
    delete listModel_;
    list_ = nullptr;
    listModel_ = nullptr;
}

// Typing reaches the model as it happens. While the binder draws, what the widgets report is
// its own doing, and it drops that.
void MainWindow::wire(const Bound& b) {
    const ControlDesign& d = *b.design;
    if (d.kind == Kind::TextBox) {
        auto* e = static_cast<OctetEdit*>(b.widget);
        e->pasted = [this](const QString& text) { return binder_->pasted(text.toStdString()); };
        connect(e, &QLineEdit::textChanged, this,
                [this, id = d.id](const QString& t) { binder_->typed(id, t.toStdString()); });
    } else if (d.kind == Kind::ComboBox) {
        auto* c = static_cast<QComboBox*>(b.widget);
        // Any change but the window's own: typing, and text a screen reader or other
        // assistive tool puts into the line, which Qt does not report as edited.
        connect(c->lineEdit(), &QLineEdit::textChanged, this,
                [this](const QString& t) { binder_->maskTyped(t.toStdString()); });
        connect(c, &QComboBox::activated, this, [this](int index) { binder_->maskChosen(index); });
    }
}

void MainWindow::click(Click handler) {
    // Printing hides the buttons for a moment. A hidden button with the focus would hand it on
    // along the tab order to Text1, which selects its text, and the print would show that
    // selection; so a clicked button lets go of the focus and gets it back afterwards.
    QPointer<QWidget> focused = QApplication::focusWidget();
    if (qobject_cast<QPushButton*>(focused.data()))
        focused->clearFocus();
    binder_->clicked(handler);
    if (focused && focused->isVisible() && focused->window() == this &&
        QApplication::focusWidget() != focused)
        focused->setFocus();
}

namespace {
// How a Qt widget takes each change of its control.
struct SetOn {
    QWidget* w;
    Kind kind;
    void setCaption(const std::string& caption) const {
        if (kind == Kind::Button)
            static_cast<QPushButton*>(w)->setText(qs(caption));
        else
            static_cast<DesignLabel*>(w)->setCaption(qs(caption));
    }
    // Only where it differs: setting a box's text moves its cursor to the end.
    void setText(const std::string& text) const {
        if (kind == Kind::TextBox) {
            auto* e = static_cast<QLineEdit*>(w);
            if (e->text() != qs(text))
                e->setText(qs(text));
        } else {
            auto* cb = static_cast<QComboBox*>(w);
            if (cb->currentText() != qs(text))
                cb->setEditText(qs(text));
        }
    }
    void setColors(Color back, Color fore) const { applyColors(*w, kind, back, fore); }
    void setEnabled(bool on) const { w->setEnabled(on); }
    void setVisible(bool on) const { w->setVisible(on); }
};
}  // namespace

void MainWindow::showControl(const ControlDesign& d, const Control& c, unsigned changes) {
    if (QWidget* w = bound_.widget(d.id, d.index))
        frontend::applyChanges(SetOn{w, d.kind}, d, c, changes);
}

void MainWindow::showMaskIndex(int index) {
    auto* cb = static_cast<QComboBox*>(bound_.widget(ControlId::Combo1));
    if (cb && cb->currentIndex() != index)
        cb->setCurrentIndex(index < cb->count() ? index : -1);
}

void MainWindow::showListIndex(int index) {
    if (!list_ || !listModel_)
        return;
    if (index >= 0 && index < listModel_->rowCount()) {
        const QModelIndex ix = listModel_->index(index);
        list_->selectionModel()->setCurrentIndex(ix, QItemSelectionModel::ClearAndSelect);
        list_->scrollTo(ix, QAbstractItemView::EnsureVisible);
    } else {
        list_->selectionModel()->clear();
        list_->scrollToTop();
    }
}

void MainWindow::eventDone() {
    if (announcer_)
        announcer_->afterEvent();
}

void MainWindow::boxClosed(std::string_view prompt) {
    if (announcer_)
        announcer_->boxClosed(prompt);
}

QWidget* MainWindow::widgetFor(ControlId id, int index) const {
    return bound_.widget(id, index);
}

void MainWindow::paintEvent(QPaintEvent* e) {
    QWidget::paintEvent(e);
    if (!painted_) {
        painted_ = true;
        if (onFirstPaint)
            onFirstPaint();
    }
}

// The window has one size. Qt's own title bar on Wayland draws a maximise button whatever the
// window allows, and a tiling desktop may ask for full screen: the window stays as it is.
void MainWindow::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    if (e->type() == QEvent::WindowStateChange && (windowState() & kLarger))
        keepSize_.start();
}

}  // namespace sabrota::qt
