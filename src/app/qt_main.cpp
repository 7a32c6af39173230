// The Linux program: the Qt window over the POSIX file store and program folder.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "gui/main_window.h"
#include "platform/posix/posix_services.h"

namespace {

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

void holdWhileStarting(QtMsgType type, const QMessageLogContext& c, const QString& text) {
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "sabrota: %s\n", displayProblem().c_str());
        std::_Exit(1);
    }
    held.push_back({type, c.file, c.function, c.category, c.line, text});
}

}  // namespace

int main(int argc, char** argv) {
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
