// SPDX-License-Identifier: MIT
// The Qt window as the user meets it: built from the design table, driven through real
// widgets, real 30 ms timers and the desktop seams.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFontInfo>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <map>
#include <optional>

#include "gui/main_window.h"
#include "gui/print_image.h"
#include "headless/headless.h"
#include "platform/posix/posix_services.h"
#include "url_catcher.h"
#include "window_fixture.h"

using namespace sabrota;
using sabrota::qt::MainWindow;

namespace {

QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

using qttest::UrlCatcher;

// Keeps the working folder of the test process as it was.
struct CwdGuard {
    std::filesystem::path saved = std::filesystem::current_path();
    ~CwdGuard() { std::filesystem::current_path(saved); }
};

QString programFolder() {
    return QString::fromStdString(platform::ExecutableFolder::folder().string());
}

// What each colour of the design looks like on the screen: the window's own colours as red,
// green and blue, and the desktop's system colours as the design's desktop drew them, whatever
// the theme of this desktop is.
QColor expected(Color c) {
    static const std::map<Color, QColor> own = {
        {0x00C0E0FF, QColor(255, 224, 192)},
        {0x00C000C0, QColor(192, 0, 192)},
        {0x00C0C0FF, QColor(255, 192, 192)},
        {0x0000C000, QColor(0, 192, 0)},
        {0x00FFFFC0, QColor(192, 255, 255)},
        {0x00C0FFFF, QColor(255, 255, 192)},
        {0x000000FF, QColor(255, 0, 0)},
        {0x00C0C000, QColor(0, 192, 192)},
        {0x00C0FFC0, QColor(192, 255, 192)},
        {0x00FF0000, QColor(0, 0, 255)},
        // window background, window text, selection, button face, button text, 3-D light
        {0x80000005, QColor(255, 255, 255)},
        {0x80000008, QColor(0, 0, 0)},
        {0x8000000D, QColor(0, 120, 215)},
        {0x8000000F, QColor(240, 240, 240)},
        {0x80000012, QColor(0, 0, 0)},
        {0x80000016, QColor(227, 227, 227)},
    };
    if (auto it = own.find(c); it != own.end())
        return it->second;
    ADD_FAILURE() << "a colour the design does not use: " << std::hex << c;
    return {};
}

class WindowTest : public qttest::QtWindowTest {
  protected:
    using QtWindowTest::calculate;
    // Types the octets as given, picks the mask by keyboard, clicks 計算 and waits for the run.
    void calculate(const std::vector<QString>& octets, int maskIndex) {
        for (int i = 1; i <= 4; ++i) {
            edit(i)->clear();
            QTest::keyClicks(edit(i), octets[static_cast<std::size_t>(i - 1)]);
        }
        QComboBox* c = combo();
        while (c->currentIndex() < maskIndex)
            QTest::keyClick(c, Qt::Key_Down);
        while (c->currentIndex() > maskIndex)
            QTest::keyClick(c, Qt::Key_Up);
        QTest::mouseClick(button(ControlId::CMD1), Qt::LeftButton);
        ASSERT_TRUE(waitForRun());
        QTest::qWait(20);
    }
};

TEST_F(WindowTest, OpensInTheStartUpState) {
    open();
    EXPECT_EQ(window->windowTitle(), "Sabrota");
    EXPECT_EQ(window->size(), QSize(779, 567));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(window->palette().color(QPalette::Window), QColor(255, 224, 192));

    for (ControlId id : {ControlId::Text1, ControlId::Text2, ControlId::Text3, ControlId::Text4})
        EXPECT_EQ(qobject_cast<QLineEdit*>(w(id))->text(), "");
    EXPECT_EQ(combo()->currentIndex(), 16);
    EXPECT_EQ(combo()->currentText(), "255.255.255.000    /24");
    EXPECT_EQ(combo()->count(), 24);
    for (const auto& d : designTable())
        if (d.kind == Kind::Value) {
            EXPECT_EQ(label(d.id, d.index)->text(), "") << d.name << " " << d.index;
        }
    EXPECT_EQ(window->listModel()->rowCount(), 0);
    EXPECT_FALSE(button(ControlId::Command3)->isEnabled());
    for (ControlId id :
         {ControlId::CMD1, ControlId::Command1, ControlId::Command2, ControlId::cmdPrint}) {
        EXPECT_TRUE(button(id)->isEnabled());
        EXPECT_FALSE(button(id)->autoDefault());
        EXPECT_FALSE(button(id)->isDefault());
    }
    EXPECT_EQ(window->focusWidget(), w(ControlId::Text1));
    EXPECT_EQ(QDir::currentPath(), programFolder());
}

// Counts the palette changes each widget is told of.
struct PaletteChanges : QObject {
    PaletteChanges() { qApp->installEventFilter(this); }
    ~PaletteChanges() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::PaletteChange)
            ++count[o];
        return false;
    }
    std::map<QObject*, int> count;
};

// A palette is set only where the colours differ from what the widget shows: once for each
// widget whose colours a run changes, and not at all by a run that shows the same colours.
TEST_F(WindowTest, APaletteIsSetOnlyWhenTheColoursChange) {
    open();
    calculate("192.168.1.130", 26);
    std::map<QObject*, QPalette> before;
    for (QWidget* child : window->findChildren<QWidget*>())
        before[child] = child->palette();
    PaletteChanges changes;
    calculate("192.168.1.130", 30);  // the mask's bit cells change colour
    EXPECT_FALSE(changes.count.empty());
    for (const auto& [object, times] : changes.count) {
        const QString name = object->objectName();
        EXPECT_EQ(times, 1) << name.toStdString();
        EXPECT_NE(static_cast<QWidget*>(object)->palette(), before[object]) << name.toStdString();
    }
    changes.count.clear();
    calculate("192.168.1.130", 30);
    EXPECT_TRUE(changes.count.empty());
}

// Whatever the title bar offers, the window keeps its one size.
TEST_F(WindowTest, TheWindowCannotBeMaximisedOrMadeFullScreen) {
    open();
    for (Qt::WindowState larger : {Qt::WindowMaximized, Qt::WindowFullScreen}) {
        SCOPED_TRACE(larger);
        window->setWindowState(larger);
        EXPECT_TRUE(QTest::qWaitFor([&] { return window->windowState() == Qt::WindowNoState; }));
        EXPECT_EQ(window->size(), QSize(779, 567));
    }
}

TEST_F(WindowTest, EveryWidgetFollowsTheDesignTable) {
    open();
    QSet<QString> names;
    for (const auto& d : designTable()) {
        SCOPED_TRACE(std::string(d.name) + "(" + std::to_string(d.index) + ")");
        QWidget* x = w(d.id, d.index);
        ASSERT_NE(x, nullptr);
        EXPECT_EQ(x->geometry(),
                  QRect(d.rect.left / 15, d.rect.top / 15, d.rect.width / 15, d.rect.height / 15));
        EXPECT_FALSE(x->accessibleName().isEmpty());
        if (d.kind == Kind::Caption || d.kind == Kind::Button) {
            EXPECT_EQ(x->accessibleName(), qs(d.text));
        } else {
            // A value field is told apart from every other control, its heading included.
            EXPECT_FALSE(names.contains(x->accessibleName())) << x->accessibleName().toStdString();
            for (const auto& other : designTable()) {
                if (other.kind == Kind::Caption) {
                    EXPECT_NE(x->accessibleName(), qs(other.text));
                }
            }
            names.insert(x->accessibleName());
        }

        // Fonts: the Windows faces resolve to the installed IPA Gothic faces, no fallback.
        const QFont f = x->font();
        const QFontInfo info(f);
        const char* family = d.face == Face::HgSoeiKakuPop ? "IPAGothic" : "IPAPGothic";
        EXPECT_EQ(info.family(), family);
        EXPECT_DOUBLE_EQ(f.pointSizeF(), d.points > 0 ? d.points : 8.25);
        const bool display = d.face == Face::HgpSoeiKakuPop || d.face == Face::HgSoeiKakuPop;
        EXPECT_EQ(f.bold(), display || d.weight != Weight::Regular);
        EXPECT_EQ(f.italic(), d.weight == Weight::BoldItalic);
        const QFontMetrics fm(f);
        for (char32_t ch : qs(d.text).toUcs4())
            EXPECT_TRUE(fm.inFontUcs4(ch)) << "no glyph U+" << std::hex << unsigned(ch);

        const QColor back = expected(designBack(d));
        const QColor fore = expected(designFore(d));
        const QPalette p = x->palette();
        switch (d.kind) {
            case Kind::Caption:
            case Kind::Value: {
                auto* l = qobject_cast<QLabel*>(x);
                EXPECT_EQ(p.color(QPalette::Active, QPalette::Window), back);
                EXPECT_EQ(p.color(QPalette::Active, l->foregroundRole()), fore);
                EXPECT_TRUE(l->autoFillBackground());
                if (d.kind == Kind::Caption) {
                    EXPECT_EQ(l->text(), qs(d.text));
                }
                const Qt::Alignment h = isCentred(d.look) ? Qt::AlignHCenter : Qt::AlignLeft;
                EXPECT_EQ(l->alignment(), Qt::AlignTop | h);
                EXPECT_EQ(l->contentsMargins().left(), isFramed(d.look) ? 1 : 0);
                EXPECT_EQ(l->focusPolicy(), Qt::NoFocus);
                // A frame is drawn in the corners; without one the background shows there.
                const QImage img = l->grab().toImage();
                if (isFramed(d.look)) {
                    EXPECT_NE(QColor(img.pixel(0, img.height() - 1)), back);
                } else {
                    EXPECT_EQ(QColor(img.pixel(img.width() - 1, 0)), back);
                }
                break;
            }
            case Kind::TextBox:
            case Kind::ComboBox:
            case Kind::ListBox:
                EXPECT_EQ(p.color(QPalette::Active, QPalette::Base), back);
                EXPECT_EQ(p.color(QPalette::Active, QPalette::Text), fore);
                break;
            case Kind::Button:
                EXPECT_EQ(p.color(QPalette::Active, QPalette::Button), back);
                EXPECT_EQ(p.color(QPalette::Active, QPalette::ButtonText), fore);
                EXPECT_EQ(button(d.id)->text(), qs(d.text));
                EXPECT_FALSE(button(d.id)->text().contains('&'));
                break;
        }
    }
    // The four labels lower than a line keep their height: the text is cut.
    EXPECT_EQ(w(ControlId::Label70)->height(), 9);
    // Neighbouring bit cells share one frame line.
    EXPECT_EQ(w(ControlId::Label81, 7)->x() - w(ControlId::Label81, 8)->x(), 16);
    EXPECT_EQ(w(ControlId::Label81, 8)->width(), 17);
    EXPECT_LT(w(ControlId::Label81, 1)->x(), w(ControlId::Label62)->x());
}

TEST_F(WindowTest, TabGoesThroughTheControlsInTheWindowsOrder) {
    open();
    std::vector<QWidget*> ours;
    for (ControlId id : tabOrder())
        ours.push_back(w(id));
    std::vector<QWidget*> seen;
    QWidget* x = w(ControlId::Text1);
    while (seen.size() < ours.size()) {
        if (std::find(ours.begin(), ours.end(), x) != ours.end() &&
            (x->focusPolicy() & Qt::TabFocus))
            seen.push_back(x);
        x = x->nextInFocusChain();
        if (x == w(ControlId::Text1))
            break;
    }
    EXPECT_EQ(seen, ours);
}

TEST_F(WindowTest, OctetFieldsHoldThreeCharactersAndNoInputMethod) {
    open();
    auto* e = qobject_cast<QLineEdit*>(w(ControlId::Text2));
    QTest::keyClicks(e, "1234");
    EXPECT_EQ(e->text(), "123");
    EXPECT_EQ(form().Text2.Text, "123");

    auto* e3 = qobject_cast<QLineEdit*>(w(ControlId::Text3));
    EXPECT_FALSE(e3->inputMethodQuery(Qt::ImEnabled).toBool());
    e3->setFocus();
    QTest::keyClicks(e3, "9");
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("１２３４５"));
    QApplication::sendEvent(e3, &commit);
    EXPECT_EQ(e3->text(), QStringLiteral("9１２"));
    EXPECT_EQ(form().Text3.Text, "9１２");
}

TEST_F(WindowTest, OneClickOnCalculateFillsTheWindowStageByStage) {
    open();
    QElapsedTimer clock;
    clock.start();
    calculate({"192", "168", "1", "130"}, 18);
    // Ten stages, each at least 30 ms after the one before.
    EXPECT_GE(clock.elapsed(), 300);
    EXPECT_EQ(combo()->currentText(), "255.255.255.192    /26");

    const std::pair<ControlId, const char*> fields[] = {
        {ControlId::Label62, "C0"},  {ControlId::Label63, "A8"},  {ControlId::Label64, "01"},
        {ControlId::Label65, "82"},  {ControlId::Label66, "FF"},  {ControlId::Label67, "FF"},
        {ControlId::Label68, "FF"},  {ControlId::Label69, "C0"},  {ControlId::Label12, "192"},
        {ControlId::Label14, "C"},   {ControlId::Label24, "62"},  {ControlId::Label31, "4"},
        {ControlId::Label39, "128"}, {ControlId::Label47, "191"}, {ControlId::Label17, "63"},
    };
    for (const auto& [id, text] : fields)
        EXPECT_EQ(label(id)->text(), QString::fromUtf8(text)) << design(id).name;

    const std::pair<ControlId, const char*> bits[] = {
        {ControlId::Label81, "11000000"}, {ControlId::Label82, "10101000"},
        {ControlId::Label83, "00000001"}, {ControlId::Label84, "10000010"},
        {ControlId::Label74, "11111111"}, {ControlId::Label77, "11000000"},
    };
    for (const auto& [id, pattern] : bits)
        for (int i = 8; i >= 1; --i)
            EXPECT_EQ(label(id, i)->text(), QString(QChar(pattern[8 - i])))
                << design(id).name << "(" << i << ")";

    // The two 1 bits beyond the class C mask are light cyan on the screen, the 0 bits not.
    const QImage shot = window->grab().toImage();
    for (int i = 8; i >= 1; --i) {
        const QRect r = w(ControlId::Label77, i)->geometry();
        const QColor px(shot.pixel(r.center().x(), r.bottom() - 2));
        EXPECT_EQ(px == QColor(192, 255, 255), i >= 7) << "cell " << i;
    }

    QStringList list;
    for (int r = 0; r < window->listModel()->rowCount(); ++r)
        list << window->listModel()->index(r).data().toString();
    EXPECT_EQ(list, QStringList({"192.168.1.0", "192.168.1.64", "192.168.1.128", "192.168.1.192"}));
    EXPECT_EQ(window->listView()->currentIndex().row(), 2);
    EXPECT_TRUE(button(ControlId::Command3)->isEnabled());
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(WindowTest, ATypedMaskReachesTheModel) {
    open();
    QLineEdit* edit = combo()->lineEdit();
    edit->selectAll();
    QTest::keyClicks(edit, "255.255.255.224    /27");
    EXPECT_EQ(form().Combo1.Text, "255.255.255.224    /27");
    EXPECT_EQ(form().Combo1.ListIndex(), 19);
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(form().Combo1.Text, "255.255.255.224    /2");
    EXPECT_EQ(form().Combo1.ListIndex(), -1);
    EXPECT_EQ(combo()->count(), 24);

    // Mending the middle of the text: the cursor stays where the user types.
    edit->selectAll();
    QTest::keyClicks(edit, "255.255.255.000    /24");
    edit->setCursorPosition(15);
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->cursorPosition(), 14);
    QTest::keyClicks(edit, "8");
    EXPECT_EQ(edit->text(), "255.255.255.008    /24");
    EXPECT_EQ(form().Combo1.Text, "255.255.255.008    /24");
    edit->setCursorPosition(15);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, "0");
    EXPECT_EQ(edit->text(), "255.255.255.000    /24");
    EXPECT_EQ(edit->cursorPosition(), 15);
    EXPECT_EQ(form().Combo1.ListIndex(), 16);
}

TEST_F(WindowTest, ClearAfterARunEmptiesTheWidgets) {
    open();
    calculate({"192", "168", "1", "130"}, 18);
    QTest::mouseClick(button(ControlId::Command2), Qt::LeftButton);
    EXPECT_EQ(qobject_cast<QLineEdit*>(w(ControlId::Text1))->text(), "");
    for (const auto& d : designTable()) {
        if (d.kind == Kind::Value) {
            EXPECT_EQ(label(d.id, d.index)->text(), "") << d.name << " " << d.index;
        }
    }
    EXPECT_EQ(window->listModel()->rowCount(), 0);
    EXPECT_FALSE(window->listView()->currentIndex().isValid());
    EXPECT_FALSE(button(ControlId::Command3)->isEnabled());
}

TEST_F(WindowTest, TheWindowShowsTheRunSoFarBehindAStageBox) {
    open();
    QStringList behind;
    box.whileOpen = [&](const headless::Shown&) {
        behind << label(ControlId::Label62)->text() << label(ControlId::Label63)->text();
    };
    const ControlId edits[] = {ControlId::Text1, ControlId::Text2};
    QTest::keyClicks(qobject_cast<QLineEdit*>(w(edits[0])), "192");
    QTest::keyClicks(qobject_cast<QLineEdit*>(w(edits[1])), "999");
    QTest::mouseClick(button(ControlId::CMD1), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !box.shown.empty() && idle(); }, 5000));
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].style, 48);
    EXPECT_EQ(behind, QStringList({"C0", ""}));
}

TEST_F(WindowTest, AListOf65536NetworksShowsInThreeColumnsWithTheOwnNetworkSelected) {
    open();
    calculate({"10", "1", "2", "3"}, 16);
    qt::NetworkListView* view = window->listView();
    auto* model = window->listModel();
    ASSERT_EQ(model->rowCount(), 65536);
    EXPECT_EQ(model->index(65535).data().toString(), "10.255.255.0");
    EXPECT_EQ(form().List1.ListIndex, 258);
    EXPECT_EQ(view->currentIndex().row(), 258);
    EXPECT_EQ(view->currentIndex().data().toString(), "10.1.2.0");
    EXPECT_TRUE(view->viewport()->rect().contains(view->visualRect(view->currentIndex())));

    // Columns a third of the list wide, filled top to bottom.
    const int rowH =
        view->visualRect(model->index(1)).top() - view->visualRect(model->index(0)).top();
    ASSERT_GT(rowH, 0);
    const int perColumn = view->viewport()->height() / rowH;
    const QRect first = view->visualRect(model->index(0));
    const QRect next = view->visualRect(model->index(perColumn));
    EXPECT_EQ(next.top(), first.top());
    EXPECT_EQ(next.left() - first.left(), view->viewport()->width() / 3);
    EXPECT_TRUE(view->horizontalScrollBar()->isVisible());

    QElapsedTimer t;
    t.start();
    view->viewport()->grab();
    view->horizontalScrollBar()->setValue(view->horizontalScrollBar()->maximum());
    view->viewport()->grab();
    EXPECT_LT(t.elapsed(), 1000);
}

TEST_F(WindowTest, CsvGoesToTheProgramFolderWhateverTheStartingFolder) {
    CwdGuard guard;
    QTemporaryDir elsewhere;
    std::filesystem::current_path(elsewhere.path().toStdString());
    const QString csv = programFolder() + "/ip-file.csv";
    QFile::remove(csv);
    open();
    calculate({"192", "168", "1", "130"}, 18);
    QTest::mouseClick(button(ControlId::Command3), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !box.shown.empty() && idle(); }, 5000));
    EXPECT_EQ(box.shown[0].prompt, "新しいファイルを作成しました。ip-file.csv");
    EXPECT_EQ(box.shown[0].title, "Sabrota");
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_TRUE(bytes.contains("192.168.1.128"));
    // Ten entries to a line; the last line of four has no line end.
    EXPECT_TRUE(bytes.endsWith("\r\n192.168.1.0,192.168.1.64,192.168.1.128,192.168.1.192,"));
    EXPECT_FALSE(QFile::exists(elsewhere.path() + "/ip-file.csv"));
    EXPECT_FALSE(button(ControlId::Command3)->isEnabled());
    f.close();
    QFile::remove(csv);
}

TEST_F(WindowTest, MemoGoesToTheOpenerFromTheProgramFolderAndSaysNothingWhenMissing) {
    CwdGuard guard;
    QTemporaryDir elsewhere;
    std::filesystem::current_path(elsewhere.path().toStdString());
    const QString memo = programFolder() + "/ip-memo.txt";
    QFile::remove(memo);
    UrlCatcher catcher("file");
    open();

    auto state = [&] {
        QStringList s;
        for (const auto& d : designTable()) {
            QWidget* x = w(d.id, d.index);
            s << QString::number(x->isVisible()) + QString::number(x->isEnabled());
            if (auto* l = qobject_cast<QLabel*>(x))
                s << l->text();
        }
        return s;
    };
    const QStringList before = state();
    QTest::mouseClick(button(ControlId::Command1), Qt::LeftButton);
    QTest::qWait(50);
    ASSERT_EQ(catcher.urls.size(), 1);
    EXPECT_EQ(catcher.urls[0], QUrl::fromLocalFile(programFolder() + "/ip-memo.txt"));
    EXPECT_TRUE(box.shown.empty());
    EXPECT_EQ(state(), before);
    catcher.urls.clear();

    {
        QFile f(memo);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("memo\n");
    }
    QTest::mouseClick(button(ControlId::Command1), Qt::LeftButton);
    QTest::qWait(50);
    QFile::remove(memo);
    ASSERT_EQ(catcher.urls.size(), 1);
    EXPECT_EQ(catcher.urls[0], QUrl::fromLocalFile(programFolder() + "/ip-memo.txt"));
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(WindowTest, TheLinkOpensTheHomePage) {
    UrlCatcher catcher("https");
    open();
    EXPECT_EQ(w(ControlId::Label70)->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(w(ControlId::Label70), Qt::LeftButton);
    ASSERT_EQ(catcher.urls.size(), 1);
    EXPECT_EQ(catcher.urls[0], QUrl(qs(homePage())));
    EXPECT_EQ(label(ControlId::Label70)->text(), qs(homePage()));
}

TEST_F(WindowTest, PrintShowsResultsAndListButNoButton) {
    open();
    calculate({"192", "168", "1", "130"}, 18);
    const ControlId buttons[] = {ControlId::CMD1, ControlId::Command1, ControlId::Command2,
                                 ControlId::Command3, ControlId::cmdPrint};
    QImage printed;
    bool hiddenOnScreen = true;
    window->printer().setSink([&](const QImage& img) {
        printed = img;
        for (ControlId id : buttons)
            hiddenOnScreen = hiddenOnScreen && !button(id)->isVisible();
        return true;
    });
    QTest::mouseClick(button(ControlId::cmdPrint), Qt::LeftButton);
    ASSERT_FALSE(printed.isNull());
    EXPECT_TRUE(hiddenOnScreen);
    EXPECT_EQ(printed.size(), QSize(779, 567) * printed.devicePixelRatio());
    const QImage now = window->grab().toImage();

    // Where the buttons were there is the window's own background only.
    for (ControlId id : buttons) {
        const QRect r = w(id)->geometry();
        for (int y = r.top(); y <= r.bottom(); y += 3)
            for (int x = r.left(); x <= r.right(); x += 3)
                ASSERT_EQ(QColor(printed.pixel(x, y)), QColor(255, 224, 192))
                    << design(id).name << " at " << x << "," << y;
        EXPECT_NE(now.copy(r), printed.copy(r));
    }
    // Results and list are printed as the screen has them.
    // The focus that the hidden buttons gave up has not selected the text of an octet box.
    for (ControlId id : {ControlId::Text1, ControlId::Text2, ControlId::Text3, ControlId::Text4})
        EXPECT_FALSE(qobject_cast<QLineEdit*>(w(id))->hasSelectedText()) << design(id).name;
    for (ControlId id : {ControlId::Text1, ControlId::List1, ControlId::Label24, ControlId::Label31,
                         ControlId::Label39, ControlId::Label47})
        EXPECT_EQ(printed.copy(w(id)->geometry()), now.copy(w(id)->geometry())) << design(id).name;

    for (ControlId id : buttons)
        EXPECT_TRUE(button(id)->isVisible());
    EXPECT_TRUE(button(ControlId::Command3)->isEnabled());
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(WindowTest, PrintLeavesADisabledCsvButtonDisabled) {
    open();
    window->printer().setSink([](const QImage&) { return true; });
    QTest::mouseClick(button(ControlId::cmdPrint), Qt::LeftButton);
    EXPECT_TRUE(button(ControlId::Command3)->isVisible());
    EXPECT_FALSE(button(ControlId::Command3)->isEnabled());
}

TEST_F(WindowTest, WithoutAPrinterABoxSaysSoAndTheButtonsComeBack) {
    if (!QPrinterInfo::defaultPrinter().isNull())
        GTEST_SKIP() << "this machine has a default printer";
    open();
    bool visibleBehindBox = false;
    box.whileOpen = [&](const headless::Shown&) {
        visibleBehindBox = button(ControlId::CMD1)->isVisible();
    };
    QTest::mouseClick(button(ControlId::cmdPrint), Qt::LeftButton);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0], (headless::Shown{"印刷できませんでした。プリンターを確認してください。",
                                             48, "Sabrota"}));
    EXPECT_TRUE(visibleBehindBox);
    for (ControlId id : {ControlId::CMD1, ControlId::Command1, ControlId::Command2,
                         ControlId::Command3, ControlId::cmdPrint})
        EXPECT_TRUE(button(id)->isVisible());
}

TEST_F(WindowTest, ThePrintIsOneLandscapePage) {
    open();
    QTemporaryDir dir;
    const QString pdf = dir.path() + "/window.pdf";
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    ASSERT_TRUE(qt::printImage(printer, window->grab().toImage()));
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    const auto pages =
        QRegularExpression("/Type\\s*/Page(?!s)").globalMatch(QString::fromLatin1(bytes));
    int count = 0;
    for (auto it = pages; it.hasNext(); it.next())
        ++count;
    EXPECT_EQ(count, 1);
}

// Qt's own checker watches every signal of the list model while the list is filled, emptied by
// Clear and filled again, and while a second Calculate empties it mid-way.
TEST_F(WindowTest, TheListModelKeepsQtsRulesThroughRunsAndClear) {
    open();
    QAbstractItemModelTester tester(window->listModel(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy resets(window->listModel(), &QAbstractItemModel::modelReset);
    calculate({"172", "16", "5", "4"}, 12);
    EXPECT_EQ(window->listModel()->rowCount(), 16);
    EXPECT_EQ(window->listModel()->index(15).data().toString(), "172.16.240.0");
    QTest::mouseClick(button(ControlId::Command2), Qt::LeftButton);
    EXPECT_EQ(window->listModel()->rowCount(), 0);
    calculate({"192", "168", "1", "130"}, 18);
    EXPECT_EQ(window->listModel()->rowCount(), 4);
    EXPECT_EQ(window->listView()->currentIndex().row(), 2);
    QTest::mouseClick(button(ControlId::CMD1), Qt::LeftButton);
    EXPECT_EQ(window->listModel()->rowCount(), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return idle(); }, 15000));
    EXPECT_EQ(window->listModel()->rowCount(), 4);
    EXPECT_GE(resets.count(), 6);
}

// A fault inside an event ends that event; the event loop and the window go on.
TEST_F(WindowTest, AFaultInAnEventDoesNotReachTheEventLoop) {
    open();
    EXPECT_NO_THROW(window->dispatch([] { throw std::runtime_error("a broken handler"); }));
    calculate({"192", "168", "1", "130"}, 18);
    EXPECT_EQ(label(ControlId::Label14)->text(), "C");
}

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
