#include "platform/qt/main_window.h"

#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QIcon>
#include <QInputMethodEvent>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>

namespace sabrota::qt {

namespace {

QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

const QString kPGothic = QStringLiteral("ＭＳ Ｐゴシック");
const QString kPopP = QStringLiteral("HGP創英角ﾎﾟｯﾌﾟ体");
const QString kPop = QStringLiteral("HG創英角ﾎﾟｯﾌﾟ体");

QFont windowFont() {
    QFont f(kPGothic);
    f.setPointSizeF(kWindowFontPoints);
    return f;
}

bool isLabel(Kind k) {
    return k == Kind::Caption || k == Kind::Value;
}

const char* octetOrdinal(int n) {
    static const char* const names[] = {"", "第1", "第2", "第3", "第4"};
    return names[n];
}

}  // namespace

void installFontSubstitutions() {
    // Debian's fontconfig has no alias for the Windows faces; without these the Latin digits
    // fall back to another family with other metrics.
    QFont::insertSubstitution(kPGothic, QStringLiteral("IPAPGothic"));
    // The display faces are heavy; the IPA Gothic faces drawn bold come nearest.
    QFont::insertSubstitution(kPopP, QStringLiteral("IPAPGothic"));
    QFont::insertSubstitution(kPop, QStringLiteral("IPAGothic"));
}

QFont designFont(const ControlDesign& d) {
    if (d.face == Face::WindowFont)
        return windowFont();
    QFont f(d.face == Face::HgpSoeiKakuPop  ? kPopP
            : d.face == Face::HgSoeiKakuPop ? kPop
                                            : kPGothic);
    f.setPointSizeF(d.points);
    const bool display = d.face == Face::HgpSoeiKakuPop || d.face == Face::HgSoeiKakuPop;
    f.setBold(display || d.weight != Weight::Regular);
    f.setItalic(d.weight == Weight::BoldItalic);
    return f;
}

QColor toQColor(Color c) {
    if (isSystemColor(c)) {
        const QPalette p = QApplication::palette();
        switch (c & 0xFFu) {
            case 0x05:
                return p.color(QPalette::Active, QPalette::Base);
            case 0x08:
                return p.color(QPalette::Active, QPalette::Text);
            case 0x0D:
                return p.color(QPalette::Active, QPalette::Highlight);
            case 0x0F:
                return p.color(QPalette::Active, QPalette::Button);
            case 0x12:
                return p.color(QPalette::Active, QPalette::ButtonText);
            case 0x16:
                return p.color(QPalette::Active, QPalette::Light);
            default:
                return p.color(QPalette::Active, QPalette::Window);
        }
    }
    return QColor(static_cast<int>(c & 0xFFu), static_cast<int>((c >> 8) & 0xFFu),
                  static_cast<int>((c >> 16) & 0xFFu));
}

QString accessibleNameFor(const ControlDesign& d) {
    auto octet = [](const char* what, int n, const char* tail = "") {
        return QString::fromUtf8(what) + QString::fromUtf8(octetOrdinal(n)) +
               QStringLiteral("オクテット") + QString::fromUtf8(tail);
    };
    using I = ControlId;
    switch (d.id) {
        case I::Text1:
            return octet("アドレス", 1);
        case I::Text2:
            return octet("アドレス", 2);
        case I::Text3:
            return octet("アドレス", 3);
        case I::Text4:
            return octet("アドレス", 4);
        case I::Label62:
            return octet("アドレス", 1, "16進");
        case I::Label63:
            return octet("アドレス", 2, "16進");
        case I::Label64:
            return octet("アドレス", 3, "16進");
        case I::Label65:
            return octet("アドレス", 4, "16進");
        case I::Label66:
            return octet("サブネットマスク", 1, "16進");
        case I::Label67:
            return octet("サブネットマスク", 2, "16進");
        case I::Label68:
            return octet("サブネットマスク", 3, "16進");
        case I::Label69:
            return octet("サブネットマスク", 4, "16進");
        case I::Label9:
            return octet("サブネットマスク", 1, "10進");
        case I::Label10:
            return octet("サブネットマスク", 2, "10進");
        case I::Label11:
            return octet("サブネットマスク", 3, "10進");
        case I::Label12:
            return octet("サブネットマスク", 4, "10進");
        case I::Combo1:
            return QStringLiteral("サブネットマスク");
        case I::List1:
            return QStringLiteral("ネットワークアドレスの一覧");
        case I::Label14:
            return QStringLiteral("アドレスクラス");
        case I::Label46:
            return QStringLiteral("アドレスの種類");
        case I::Label58:
            return QStringLiteral("ホスト数の底");
        case I::Label59:
            return QStringLiteral("ホスト数の指数");
        case I::Label20:
            return QStringLiteral("ネットワーク当たりのアドレス数");
        case I::Label24:
            return QStringLiteral("使用可能なホスト数");
        case I::Label60:
            return QStringLiteral("サブネット数の底");
        case I::Label61:
            return QStringLiteral("サブネット数の指数");
        case I::Label27:
            return QStringLiteral("クラス全体のアドレス数");
        case I::Label29:
            return QStringLiteral("割る数：ネットワーク当たりのアドレス数");
        case I::Label31:
            return QStringLiteral("サブネットの本数");
        case I::Label33:
            return octet("ネットワークアドレス", 1);
        case I::Label35:
            return octet("ネットワークアドレス", 2);
        case I::Label37:
            return octet("ネットワークアドレス", 3);
        case I::Label39:
            return octet("ネットワークアドレス", 4);
        case I::Label41:
            return octet("ブロードキャストアドレス", 1);
        case I::Label43:
            return octet("ブロードキャストアドレス", 2);
        case I::Label45:
            return octet("ブロードキャストアドレス", 3);
        case I::Label47:
            return octet("ブロードキャストアドレス", 4);
        case I::Label53:
            return QStringLiteral("注意の印");
        case I::Label18:
            return QStringLiteral("注意の内容");
        case I::Label21:
            return octet("ワイルドカードマスク", 1);
        case I::Label15:
            return octet("ワイルドカードマスク", 2);
        case I::Label16:
            return octet("ワイルドカードマスク", 3);
        case I::Label17:
            return octet("ワイルドカードマスク", 4);
        case I::Label81:
            return octet("アドレス", 1, " ビット") + QString::number(d.index);
        case I::Label82:
            return octet("アドレス", 2, " ビット") + QString::number(d.index);
        case I::Label83:
            return octet("アドレス", 3, " ビット") + QString::number(d.index);
        case I::Label84:
            return octet("アドレス", 4, " ビット") + QString::number(d.index);
        case I::Label74:
            return octet("サブネットマスク", 1, " ビット") + QString::number(d.index);
        case I::Label75:
            return octet("サブネットマスク", 2, " ビット") + QString::number(d.index);
        case I::Label76:
            return octet("サブネットマスク", 3, " ビット") + QString::number(d.index);
        case I::Label77:
            return octet("サブネットマスク", 4, " ビット") + QString::number(d.index);
        default:
            return qs(d.text);
    }
}

OctetEdit::OctetEdit(QWidget* parent) : QLineEdit(parent) {
    setMaxLength(3);
    setAttribute(Qt::WA_InputMethodEnabled, false);
}

QVariant OctetEdit::inputMethodQuery(Qt::InputMethodQuery query) const {
    // The attribute alone does not keep the editor away; saying so here does.
    if (query == Qt::ImEnabled)
        return false;
    return QLineEdit::inputMethodQuery(query);
}

void OctetEdit::inputMethodEvent(QInputMethodEvent* e) {
    // Text committed by an input method is not held to the maximum length by QLineEdit.
    const QString commit = e->commitString();
    if (!commit.isEmpty()) {
        const qsizetype kept =
            text().size() - selectedText().size() - std::max(0, e->replacementLength());
        const qsizetype room = std::max<qsizetype>(0, maxLength() - kept);
        if (commit.size() > room) {
            QInputMethodEvent cut(e->preeditString(), e->attributes());
            cut.setCommitString(commit.left(room), e->replacementStart(), e->replacementLength());
            QLineEdit::inputMethodEvent(&cut);
            if (text().size() > maxLength())
                setText(text().left(maxLength()));
            return;
        }
    }
    QLineEdit::inputMethodEvent(e);
    if (text().size() > maxLength())
        setText(text().left(maxLength()));
}

DesignLabel::DesignLabel(bool framed, QWidget* parent) : QLabel(parent), framed_(framed) {
    if (framed_)
        setContentsMargins(1, 1, 1, 1);
}

void DesignLabel::paintEvent(QPaintEvent* e) {
    QLabel::paintEvent(e);
    if (!framed_)
        return;
    QPainter p(this);
    p.setPen(QApplication::palette().color(QPalette::Active, QPalette::WindowText));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

// A click is a press and a release on the label, as for a button.
void DesignLabel::mouseReleaseEvent(QMouseEvent* e) {
    QLabel::mouseReleaseEvent(e);
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()) && clicked)
        clicked();
}

NetworkListModel::NetworkListModel(const ListBox& list, QObject* parent)
    : QAbstractListModel(parent),
      list_(list),
      revision_(list.revision()),
      count_(list.ListCount()) {}

int NetworkListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count_;
}

QVariant NetworkListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    return qs(list_.List(index.row()));
}

bool NetworkListModel::refresh() {
    if (list_.revision() == revision_)
        return false;
    beginResetModel();
    revision_ = list_.revision();
    count_ = list_.ListCount();
    endResetModel();
    return true;
}

NetworkListView::NetworkListView(QWidget* parent) : QListView(parent) {
    setViewMode(QListView::ListMode);
    setFlow(QListView::TopToBottom);
    setWrapping(true);
    setUniformItemSizes(true);
    setResizeMode(QListView::Fixed);
    setMovement(QListView::Static);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
}

void NetworkListView::resizeEvent(QResizeEvent* e) {
    QListView::resizeEvent(e);
    fitGrid();
}

void NetworkListView::fitGrid() {
    const QSize grid(std::max(1, viewport()->width() / 3), fontMetrics().height());
    if (gridSize() != grid)
        setGridSize(grid);
}

void MainWindow::BoxRelay::show(std::string_view prompt, int style, std::string_view title) {
    // The box opens in the middle of a handler; the window behind it shows how far it got.
    window_.sync();
    target_.show(prompt, style, title);
}

MainWindow::MainWindow(WindowOptions options)
    : qtBox_(this),
      box_(*this, options.box ? *options.box : static_cast<platform::MessageBox&>(qtBox_)),
      printer_(*this, [this] { sync(); }) {
    installFontSubstitutions();
    setWindowTitle(qs(kWindowTitle));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(kClientWidthTwips / kTwipsPerPixel, kClientHeightTwips / kTwipsPerPixel);
    setFont(windowFont());
    QPalette p = palette();
    p.setColor(QPalette::Window, toQColor(colors::kPeach));
    setPalette(p);
    setAutoFillBackground(true);

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
    timers_.attach([this](int n) {
        form_->timerTick(n);
        sync();
    });
    for (Bound& b : bound_)
        wire(b);

    form_->Form_Load();
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

void MainWindow::build() {
    bound_.reserve(designTable().size());
    for (const auto& d : designTable()) {
        QWidget* w = makeWidget(d);
        w->setObjectName(d.index ? QStringLiteral("%1(%2)").arg(qs(d.name)).arg(d.index)
                                 : qs(d.name));
        const Rect& r = d.rect;
        w->setGeometry(r.left / kTwipsPerPixel, r.top / kTwipsPerPixel, r.width / kTwipsPerPixel,
                       r.height / kTwipsPerPixel);
        w->setFont(designFont(d));
        w->setAccessibleName(accessibleNameFor(d));
        bound_.push_back(Bound{&d, w, Control{}});
    }
}

QWidget* MainWindow::makeWidget(const ControlDesign& d) {
    switch (d.kind) {
        case Kind::Caption:
        case Kind::Value: {
            auto* l = new DesignLabel(isFramed(d.look), this);
            if (d.id == ControlId::Label70) {
                l->clicked = [this] { handle(&Form1::Label70_Click); };
                l->setCursor(Qt::PointingHandCursor);
            }
            l->setTextFormat(Qt::PlainText);
            l->setWordWrap(true);
            l->setIndent(0);
            l->setMargin(0);
            // Text from the top, as desktop labels of this kind draw it.
            l->setAlignment(Qt::AlignTop | (isCentred(d.look) ? Qt::AlignHCenter : Qt::AlignLeft));
            l->setForegroundRole(QPalette::Text);
            l->setAutoFillBackground(true);
            return l;
        }
        case Kind::TextBox: {
            auto* e = new OctetEdit(this);
            e->setAlignment(Qt::AlignCenter);
            return e;
        }
        case Kind::ComboBox: {
            auto* c = new QComboBox(this);
            c->setEditable(true);
            c->setInsertPolicy(QComboBox::NoInsert);
            c->setCompleter(nullptr);
            c->setMaxVisibleItems(kMaskItemCount);
            for (auto item : maskItems())
                c->addItem(qs(item));
            return c;
        }
        case Kind::ListBox:
            list_ = new NetworkListView(this);
            return list_;
        case Kind::Button: {
            auto* b = new QPushButton(this);
            b->setAutoDefault(false);
            b->setDefault(false);
            return b;
        }
    }
    return new QWidget(this);
}

void MainWindow::wire(Bound& b) {
    const ControlDesign& d = *b.design;
    switch (d.kind) {
        case Kind::TextBox: {
            auto* e = static_cast<QLineEdit*>(b.widget);
            connect(e, &QLineEdit::textChanged, this, [this, &b](const QString& t) {
                if (syncing_)
                    return;
                Control& c = form_->control(b.design->id);
                c.Text = t.toStdString();
                b.shown.Text = c.Text;
                sync();
            });
            break;
        }
        case Kind::ComboBox: {
            auto* c = static_cast<QComboBox*>(b.widget);
            connect(c->lineEdit(), &QLineEdit::textEdited, this, [this, &b](const QString& t) {
                if (syncing_)
                    return;
                form_->Combo1.typeText(t.toStdString());
                // What the user types is on the screen already; choosing the matching item
                // again would reset the line and throw the cursor to its end.
                b.shownListIndex = form_->Combo1.ListIndex();
                b.shown.Text = form_->Combo1.Text;
                sync();
            });
            connect(c, &QComboBox::activated, this, [this](int index) {
                if (syncing_)
                    return;
                form_->Combo1.setListIndex(index);
                sync();
            });
            break;
        }
        case Kind::Button: {
            void (Form1::*handler)() = nullptr;
            switch (d.id) {
                case ControlId::CMD1:
                    handler = &Form1::CMD1_Click;
                    break;
                case ControlId::Command1:
                    handler = &Form1::Command1_Click;
                    break;
                case ControlId::Command2:
                    handler = &Form1::Command2_Click;
                    break;
                case ControlId::Command3:
                    handler = &Form1::Command3_Click;
                    break;
                case ControlId::cmdPrint:
                    handler = &Form1::cmdPrint_Click;
                    break;
                default:
                    break;
            }
            if (handler)
                connect(static_cast<QPushButton*>(b.widget), &QPushButton::clicked, this,
                        [this, handler] { handle(handler); });
            break;
        }
        default:
            break;
    }
}

void MainWindow::handle(void (Form1::*handler)()) {
    // Printing hides the buttons for a moment. A hidden button with the focus would hand it on
    // along the tab order to Text1, which selects its text, and the print would show that
    // selection; so a clicked button lets go of the focus and gets it back afterwards.
    QPointer<QWidget> focused = QApplication::focusWidget();
    if (qobject_cast<QPushButton*>(focused.data()))
        focused->clearFocus();
    (form_.get()->*handler)();
    sync();
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
            static_cast<QLabel*>(w)->setText(qs(c.Caption));
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

    if (force || c.BackColor != s.BackColor || c.ForeColor != s.ForeColor) {
        QPalette p = w->palette();
        const QColor back = toQColor(c.BackColor);
        const QColor fore = toQColor(c.ForeColor);
        // Disabled widgets keep the desktop's greyed text.
        const auto foreground = [&](QPalette::ColorRole role) {
            p.setColor(QPalette::Active, role, fore);
            p.setColor(QPalette::Inactive, role, fore);
        };
        switch (d.kind) {
            case Kind::Caption:
            case Kind::Value:
                p.setColor(QPalette::Window, back);
                p.setColor(QPalette::Text, fore);
                break;
            case Kind::TextBox:
            case Kind::ComboBox:
            case Kind::ListBox:
                p.setColor(QPalette::Base, back);
                foreground(QPalette::Text);
                break;
            case Kind::Button:
                p.setColor(QPalette::Button, back);
                foreground(QPalette::ButtonText);
                break;
        }
        w->setPalette(p);
    }
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

    const bool reset = listModel_->refresh();
    if (Bound* b = bound(ControlId::List1, 0)) {
        const int want = form_->List1.ListIndex;
        if (reset || want != b->shownListIndex) {
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
    }
    syncing_ = false;
}

void MainWindow::paintEvent(QPaintEvent* e) {
    QWidget::paintEvent(e);
    if (!painted_) {
        painted_ = true;
        if (onFirstPaint)
            onFirstPaint();
    }
}

int run(const std::function<void(MainWindow&)>& prepare) {
    QApplication::setApplicationName(qs(kWindowTitle));
    QApplication::setApplicationVersion(qs(kProductVersion));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/sabrota/sabrota.png")));
    MainWindow window;
    if (prepare)
        prepare(window);
    window.show();
    return QApplication::exec();
}

}  // namespace sabrota::qt
