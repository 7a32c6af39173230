// SPDX-License-Identifier: MIT
// The Linux program: the Qt window over the POSIX file store and program folder.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "gui/main_window.h"
#include "platform/posix/posix_services.h"
#include "window/design.h"

namespace {

// The options Qt reads itself (a leading "--" reads as "-"): those that take a value, then the
// flags.
constexpr std::string_view kQtValueOptions[] = {"platform",      "platformpluginpath",
                                                "platformtheme", "plugin",
                                                "style",         "stylesheet",
                                                "session",       "display",
                                                "geometry",      "name",
                                                "title",         "qwindowgeometry",
                                                "qwindowicon",   "qwindowtitle"};
constexpr std::string_view kQtFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

constexpr const char* kUsage =
    "Usage: sabrota [--help] [--version] [Qt options such as -platform NAME or -style NAME]\n"
    "Opens the IPv4 subnet calculator's window. See sabrota(1).\n"
    "  --help     show this help and leave\n"
    "  --version  show the program's version and leave\n";

enum class Answer { Run, Done, Refused };

// Answers --help and --version without a window; refuses an option neither the program nor
// Qt knows, or an argument the program does not take.
Answer readCommandLine(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return Answer::Done;
        }
        if (arg == "--version") {
            std::printf("sabrota %s\n", sabrota::productVersion().c_str());
            return Answer::Done;
        }
        std::string_view name = arg;
        if (name.starts_with("--"))
            name.remove_prefix(2);
        else if (name.starts_with("-"))
            name.remove_prefix(1);
        else {
            std::fprintf(stderr, "sabrota: unexpected argument '%s'; try 'sabrota --help'\n",
                         argv[i]);
            return Answer::Refused;
        }
        const std::string_view bare = name.substr(0, name.find('='));
        bool known = false;
        for (std::string_view o : kQtValueOptions)
            if (bare == o) {
                known = true;
                if (bare.size() == name.size())
                    ++i;  // the value follows
            }
        for (std::string_view f : kQtFlags)
            known = known || name == f;
        if (!known || i >= argc) {
            std::fprintf(stderr, "sabrota: %s '%s'; try 'sabrota --help'\n",
                         known ? "missing value after" : "unknown option", argv[known ? i - 1 : i]);
            return Answer::Refused;
        }
    }
    return Answer::Run;
}

bool unset(const char* name) {
    const char* v = std::getenv(name);
    return v == nullptr || *v == '\0';
}

// Whether every platform QT_QPA_PLATFORM names ("xcb", "wayland;xcb", "xcb:option") draws on a
// display server; unset, Qt takes the X one. Offscreen, minimal, vnc and the like need none.
bool wantsDisplayServer() {
    const char* v = std::getenv("QT_QPA_PLATFORM");
    std::string_view rest = v ? v : "";
    if (rest.empty())
        return true;
    for (;;) {
        const std::size_t end = rest.find(';');
        const std::string_view entry = rest.substr(0, end);
        const std::string_view name = entry.substr(0, entry.find(':'));
        if (name != "xcb" && !name.starts_with("wayland"))
            return false;
        if (end == std::string_view::npos)
            return true;
        rest.remove_prefix(end + 1);
    }
}

std::string displayProblem() {
    if (!wantsDisplayServer())
        return std::string("the window system \"") + std::getenv("QT_QPA_PLATFORM") +
               "\" cannot start";
    if (unset("DISPLAY") && unset("WAYLAND_DISPLAY"))
        return "no display to open: neither DISPLAY nor WAYLAND_DISPLAY is set";
    std::string shown;
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"})
        if (!unset(name))
            shown +=
                std::string(shown.empty() ? "" : ", ") + name + "=\"" + std::getenv(name) + "\"";
    return "cannot open the display (" + shown + ")";
}

// Qt ends a program whose window system cannot start with an abort. While the application
// starts, its messages are held: a fatal one becomes one line and status 1, the others are
// handed on once the start has worked.
struct Held {
    QtMsgType type;
    QByteArray file, function, category;
    int line;
    QString text;
};
std::vector<Held> held;
QtMessageHandler passOn = nullptr;

// The platform plugin Qt said it could not find, if it said so while starting.
QString missingPlugin() {
    const QString said = QStringLiteral("Could not find the Qt platform plugin \"");
    for (const Held& m : held) {
        const qsizetype at = m.text.indexOf(said);
        if (at >= 0) {
            const qsizetype from = at + said.size();
            return m.text.mid(from, m.text.indexOf(QLatin1Char('"'), from) - from);
        }
    }
    return {};
}

// The Debian package that brings a platform plugin; empty for a name no package has.
const char* packageOf(const QString& plugin) {
    const auto is = [&](const char* name) { return plugin == QLatin1String(name); };
    if (plugin.startsWith(QLatin1String("wayland")))
        return "qt6-wayland";
    if (is("xcb") || is("offscreen") || is("minimal") || is("linuxfb"))
        return "libqt6gui6";
    if (plugin.startsWith(QLatin1String("eglfs")) || is("minimalegl"))
        return "libqt6opengl6";
    if (is("vnc") || is("vkkhrdisplay"))
        return "qt6-qpa-plugins";
    return "";
}

std::string startProblem() {
    const QString plugin = missingPlugin();
    if (plugin.isEmpty())
        return displayProblem();
    const std::string name = plugin.toStdString();
    const char* package = packageOf(plugin);
    if (!*package)
        return "Qt has no window system called \"" + name + "\"";
    return "Qt's window system plugin \"" + name + "\" is not installed; install the package " +
           package;
}

void holdWhileStarting(QtMsgType type, const QMessageLogContext& c, const QString& text) {
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "sabrota: %s\n", startProblem().c_str());
        std::_Exit(1);
    }
    held.push_back({type, c.file, c.function, c.category, c.line, text});
}

}  // namespace

int main(int argc, char** argv) {
    switch (readCommandLine(argc, argv)) {
        case Answer::Run:
            break;
        case Answer::Done:
            return 0;
        case Answer::Refused:
            return 2;
    }
    if (wantsDisplayServer() && unset("DISPLAY") && unset("WAYLAND_DISPLAY")) {
        std::fprintf(stderr, "sabrota: %s\n", displayProblem().c_str());
        return 1;
    }
    passOn = qInstallMessageHandler(holdWhileStarting);
    QApplication app(argc, argv);
    qInstallMessageHandler(passOn);
    for (const Held& m : held) {
        auto text = [](const QByteArray& b) { return b.isNull() ? nullptr : b.constData(); };
        passOn(m.type, QMessageLogContext(text(m.file), m.line, text(m.function), text(m.category)),
               m.text);
    }
    held.clear();
    sabrota::platform::PosixFileStore files;
    sabrota::platform::ExecutableFolder folder;
    return sabrota::qt::run(files, folder);
}
