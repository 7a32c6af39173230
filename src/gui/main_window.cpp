#include "gui/main_window.h"

#include <QApplication>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QPointer>
#include <QPushButton>
#include <cstdio>
#include <exception>

#include "gui/accessibility.h"
#include "gui/look.h"
#include "gui/qtext.h"
#include "gui/widgets.h"

namespace sabrota::qt {

namespace {
bool isLabel(Kind k) {
    return k == Kind::Caption || k == Kind::Value;
}
}  // namespace

void MainWindow::BoxRelay::show(std::string_view prompt, platform::BoxStyle style,
                                std::string_view title) {
    // The box opens in the middle of a handler; the window behind it shows how far it got.
    window_.sync();
    target_.show(prompt, style, title);
}

MainWindow::MainWindow(WindowOptions options)
    : qtBox_(this),
      box_(*this, options.box ? *options.box : static_cast<platform::MessageBox&>(qtBox_)),
      printer_(*this, [this] { sync(); }) {
    installAccessibility();
    setWindowTitle(qs(kWindowTitle));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(kClientWidthTwips / kTwipsPerPixel, kClientHeightTwips / kTwipsPerPixel);
    setFont(windowFont());
    applyWindowColors(*this);

    build();
    form_ = std::make_unique<Form1>(
        platform::Services{box_, timers_, files_, shell_, printer_, folder_});
    listModel_ = new NetworkListModel(form_->List1, this);
    list_->setModel(listModel_);
    connect(list_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (syncing_)
                    return;
                form_->List1.ListIndex = current.isValid() ? current.row() : -1;
                if (Bound* b = bound(ControlId::List1, 0))
                    b->shownListIndex = form_->List1.ListIndex;
            });
    timers_.attach([this](int n) { dispatch([this, n] { form_->timerTick(n); }); });
    for (std::size_t i = 0; i < bound_.size(); ++i)
        wire(i);

    dispatch([this] { form_->Form_Load(); });
    syncing_ = true;
    for (Bound& b : bound_)
        apply(b, true);
    syncing_ = false;
    sync();

    const auto& order = tabOrder();
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(widgetFor(order[i - 1]), widgetFor(order[i]));
    widgetFor(ControlId::Text1)->setFocus();
}

MainWindow::~MainWindow() {
    // No tick or widget signal may reach a model that is going away; the list goes first
    // since its model reads the entries in place.
    timers_.attach(nullptr);
    syncing_ = true;
    delete list_;
    delete listModel_;
}

void MainWindow::dispatch(const std::function<void()>& event) {
    try {
        event();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "sabrota: an event ended early: %s\n", e.what());
    }
    sync();
}

// Typing reaches the model as it happens. The lambdas find their control by its place in
// bound_, which is filled once and never grows afterwards.
void MainWindow::wire(std::size_t i) {
    const ControlDesign& d = *bound_[i].design;
    if (d.kind == Kind::TextBox) {
        auto* e = static_cast<OctetEdit*>(bound_[i].widget);
        e->pasted = [this](const QString& text) {
            bool taken = false;
            dispatch([&] { taken = form_->pasteAddress(text.toStdString()); });
            return taken;
        };
        connect(e, &QLineEdit::textChanged, this, [this, i](const QString& t) {
            if (syncing_)
                return;
            dispatch([&] {
                Bound& b = bound_[i];
                Control& c = form_->control(b.design->id);
                c.Text = t.toStdString();
                b.shown.Text = c.Text;
            });
        });
    } else if (d.kind == Kind::ComboBox) {
        auto* c = static_cast<QComboBox*>(bound_[i].widget);
        // Any change but the window's own: typing, and text a screen reader or other
        // assistive tool puts into the line, which Qt does not report as edited.
        connect(c->lineEdit(), &QLineEdit::textChanged, this, [this, i](const QString& t) {
            if (syncing_)
                return;
            dispatch([&] {
                form_->Combo1.typeText(t.toStdString());
                // What the user types is on the screen already; choosing the matching item
                // again would reset the line and throw the cursor to its end.
                bound_[i].shownListIndex = form_->Combo1.ListIndex();
                bound_[i].shown.Text = form_->Combo1.Text;
            });
        });
        connect(c, &QComboBox::activated, this, [this](int index) {
            if (syncing_)
                return;
            dispatch([&] { form_->Combo1.setListIndex(index); });
        });
    }
}

void MainWindow::click(Click handler) {
    // Printing hides the buttons for a moment. A hidden button with the focus would hand it on
    // along the tab order to Text1, which selects its text, and the print would show that
    // selection; so a clicked button lets go of the focus and gets it back afterwards.
    QPointer<QWidget> focused = QApplication::focusWidget();
    if (qobject_cast<QPushButton*>(focused.data()))
        focused->clearFocus();
    dispatch([&] { form_->click(handler); });
    if (focused && focused->isVisible() && focused->window() == this &&
        QApplication::focusWidget() != focused)
        focused->setFocus();
}

void MainWindow::apply(Bound& b, bool force) {
    const ControlDesign& d = *b.design;
    const Control& c = form_->control(d.id, d.index);
    Control& s = b.shown;
    QWidget* w = b.widget;

    if (isLabel(d.kind)) {
        if (force || c.Caption != s.Caption)
            static_cast<DesignLabel*>(w)->setCaption(qs(c.Caption));
    } else if (d.kind == Kind::Button) {
        if (force || c.Caption != s.Caption)
            static_cast<QPushButton*>(w)->setText(qs(c.Caption));
    } else if (d.kind == Kind::TextBox) {
        auto* e = static_cast<QLineEdit*>(w);
        if ((force || c.Text != s.Text) && e->text() != qs(c.Text))
            e->setText(qs(c.Text));
    } else if (d.kind == Kind::ComboBox) {
        auto* cb = static_cast<QComboBox*>(w);
        const int index = form_->Combo1.ListIndex();
        if (force || index != b.shownListIndex) {
            if (cb->currentIndex() != index)
                cb->setCurrentIndex(index < cb->count() ? index : -1);
            b.shownListIndex = index;
        }
        if (cb->currentText() != qs(c.Text))
            cb->setEditText(qs(c.Text));
    }

    if (force || c.BackColor != s.BackColor || c.ForeColor != s.ForeColor)
        applyColors(*w, d.kind, c.BackColor, c.ForeColor);
    if (force || c.Enabled != s.Enabled)
        w->setEnabled(c.Enabled);
    if (c.Visible != s.Visible || (force && !c.Visible))
        w->setVisible(c.Visible);
    s = c;
}

MainWindow::Bound* MainWindow::bound(ControlId id, int index) {
    for (Bound& b : bound_)
        if (b.design->id == id && b.design->index == index)
            return &b;
    return nullptr;
}

QWidget* MainWindow::widgetFor(ControlId id, int index) const {
    for (const Bound& b : bound_)
        if (b.design->id == id && b.design->index == index)
            return b.widget;
    return nullptr;
}

void MainWindow::sync() {
    if (!form_ || syncing_)
        return;
    syncing_ = true;
    for (Bound& b : bound_)
        apply(b, false);
    syncList();
    syncing_ = false;
}

// The entries follow the model on their own; the highlight is brought into view here.
void MainWindow::syncList() {
    Bound* b = bound(ControlId::List1, 0);
    const int want = form_->List1.ListIndex;
    const QModelIndex current = list_->selectionModel()->currentIndex();
    const int shown = current.isValid() ? current.row() : -1;
    if (!b || (want == b->shownListIndex && want == shown))
        return;
    if (want >= 0 && want < listModel_->rowCount()) {
        const QModelIndex ix = listModel_->index(want);
        list_->selectionModel()->setCurrentIndex(ix, QItemSelectionModel::ClearAndSelect);
        list_->scrollTo(ix, QAbstractItemView::EnsureVisible);
    } else {
        list_->selectionModel()->clear();
        list_->scrollToTop();
    }
    b->shownListIndex = want;
}

void MainWindow::paintEvent(QPaintEvent* e) {
    QWidget::paintEvent(e);
    if (!painted_) {
        painted_ = true;
        if (onFirstPaint)
            onFirstPaint();
    }
}

}  // namespace sabrota::qt
