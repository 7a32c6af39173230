// SPDX-License-Identifier: MIT
// Drives the installed program from inside, for the package test only: a Qt input plugin that
// the program loads when QT_PLUGIN_PATH names this plugin's folder and QT_QPA_GENERIC_PLUGINS
// is "sabrotadrive". The program itself takes no options; this way the very executable of the
// package is what runs. Like a user it types 192.168.1.130 into the octet boxes, picks
// "255.255.255.192    /26" with two presses of the Down key, clicks 計算, waits for the
// network list, clicks CSV出力 and closes the message box with OK. It prints the program
// folder and every message box to standard output and ends the program; if anything takes
// longer than 30 seconds it says where it stuck and ends the process with status 3.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGenericPlugin>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

namespace {

class Driver : public QObject {
  public:
    Driver() {
        poll_.setInterval(50);
        connect(&poll_, &QTimer::timeout, this, [this] { step(); });
        poll_.start();
        QTimer::singleShot(30'000, this, [this] {
            say("driver: gave up after 30 s waiting for %s", kWaits[state_]);
            std::_Exit(3);
        });
    }

  private:
    enum State { Window, List, Box, Done };
    static constexpr const char* kWaits[] = {"the window", "the network list",
                                             "the export's message box", "the end"};

    static void say(const char* format, const char* text) {
        std::printf(format, text);
        std::printf("\n");
        std::fflush(stdout);
    }

    template <typename T>
    T* find(const char* name) const {
        return window_ ? window_->findChild<T*>(QString::fromLatin1(name)) : nullptr;
    }

    static QMessageBox* openBox() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible())
                return box;
        return nullptr;
    }

    void step() {
        if (QMessageBox* box = openBox()) {
            say("box: %s", box->text().toUtf8().constData());
            if (QAbstractButton* ok = box->button(QMessageBox::Ok))
                QTest::mouseClick(ok, Qt::LeftButton);
            else
                box->accept();
            if (state_ != Box) {
                say("driver: a message box came while waiting for %s", kWaits[state_]);
                std::_Exit(2);
            }
            state_ = Done;
            QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
            return;
        }
        switch (state_) {
            case Window:
                for (QWidget* w : QApplication::topLevelWidgets())
                    if (w->isVisible() && w->windowTitle() == QLatin1String("Sabrota"))
                        window_ = w;
                if (!window_ || !find<QLineEdit>("Text1") || !find<QComboBox>("Combo1") ||
                    !find<QPushButton>("CMD1"))
                    return;
                say("folder: %s", QDir::currentPath().toUtf8().constData());
                typeAddress();
                state_ = List;
                return;
            case List: {
                const auto* list = find<QListView>("List1");
                auto* csv = find<QPushButton>("Command3");
                if (!list || !list->model() || list->model()->rowCount() == 0 || !csv ||
                    !csv->isEnabled())
                    return;
                QTest::mouseClick(csv, Qt::LeftButton);
                state_ = Box;
                return;
            }
            case Box:
            case Done:
                return;
        }
    }

    void typeAddress() {
        const char* octets[] = {"192", "168", "1", "130"};
        for (int i = 0; i < 4; ++i) {
            const QString name = QStringLiteral("Text%1").arg(i + 1);
            QTest::keyClicks(window_->findChild<QLineEdit*>(name), QLatin1String(octets[i]));
        }
        auto* mask = find<QComboBox>("Combo1");
        QTest::keyClick(mask, Qt::Key_Down);
        QTest::keyClick(mask, Qt::Key_Down);
        say("mask: %s", mask->currentText().toUtf8().constData());
        QTest::mouseClick(find<QPushButton>("CMD1"), Qt::LeftButton);
    }

    QTimer poll_;
    QWidget* window_ = nullptr;
    State state_ = Window;
};

}  // namespace

class DrivePlugin : public QGenericPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "drive_plugin.json")
  public:
    QObject* create(const QString& key, const QString&) override {
        return key.compare(QLatin1String("sabrotadrive"), Qt::CaseInsensitive) == 0 ? new Driver
                                                                                    : nullptr;
    }
};

#include "drive_plugin.moc"
