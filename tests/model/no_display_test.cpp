// SPDX-License-Identifier: MIT
// The built program started where no display can be opened: one line on stderr and status 1,
// not an abort with a core dump; and its command-line options, answered without a display.
// It sits beside the tests' folder, in the build's bin/.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <map>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

std::string programPath() {
    char self[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0)
        return {};
    std::string dir(self, static_cast<std::size_t>(n));
    dir.erase(dir.rfind('/'));
    return dir.substr(0, dir.rfind('/')) + "/bin/sabrota";
}

struct Ended {
    bool exited = false;     // ended by itself within the time allowed
    bool signalled = false;  // ended by a signal (an abort, a crash)
    int status = -1;
    std::string err;
    std::string out;
};

// Starts the program with `args`, the test's environment less the display variables, plus
// `set`; gives it `allowMs` to end by itself, then stops it.
Ended start(const std::map<std::string, std::string>& set, int allowMs,
            const std::vector<std::string>& args = {}) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string kv(*e);
        const std::string name = kv.substr(0, kv.find('='));
        if (name != "DISPLAY" && name != "WAYLAND_DISPLAY" && name != "QT_QPA_PLATFORM")
            env.push_back(kv);
    }
    for (const auto& [k, v] : set)
        env.push_back(k + "=" + v);
    std::vector<char*> envp;
    for (auto& s : env)
        envp.push_back(s.data());
    envp.push_back(nullptr);

    int errPipe[2];
    EXPECT_EQ(pipe(errPipe), 0);
    // Standard output goes to a file: it is read once the program has ended.
    char outName[] = "/tmp/sabrota-out.XXXXXX";
    const int outFile = mkstemp(outName);
    EXPECT_GE(outFile, 0);
    unlink(outName);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
    posix_spawn_file_actions_addclose(&actions, errPipe[0]);
    posix_spawn_file_actions_adddup2(&actions, outFile, 1);
    std::string path = programPath();
    std::vector<std::string> words = args;
    std::vector<char*> argv{path.data()};
    for (auto& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int spawned =
        posix_spawn(&pid, path.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(errPipe[1]);
    Ended r;
    if (spawned != 0) {
        close(errPipe[0]);
        ADD_FAILURE() << "cannot start " << path;
        return r;
    }
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(allowMs);
    int status = 0;
    bool open = true;
    for (;;) {
        pollfd p{errPipe[0], POLLIN, 0};
        if (open && poll(&p, 1, 20) > 0) {
            char buf[512];
            const ssize_t got = read(errPipe[0], buf, sizeof buf);
            if (got > 0)
                r.err.append(buf, static_cast<std::size_t>(got));
            else
                open = false;
        } else if (!open) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        if (waitpid(pid, &status, WNOHANG) == pid) {
            r.exited = true;
            break;
        }
        if (std::chrono::steady_clock::now() > until) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            break;
        }
    }
    while (open) {
        char buf[512];
        const ssize_t got = read(errPipe[0], buf, sizeof buf);
        if (got <= 0)
            break;
        r.err.append(buf, static_cast<std::size_t>(got));
    }
    close(errPipe[0]);
    char buf[512];
    for (ssize_t got;
         (got = pread(outFile, buf, sizeof buf, static_cast<off_t>(r.out.size()))) > 0;)
        r.out.append(buf, static_cast<std::size_t>(got));
    close(outFile);
    if (r.exited) {
        r.signalled = WIFSIGNALED(status);
        r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return r;
}

class NoDisplay : public testing::Test {
  protected:
    void SetUp() override {
        struct stat st {};
        if (stat(programPath().c_str(), &st) != 0)
            GTEST_SKIP() << "the Qt program is not built (" << programPath() << ")";
    }
};

TEST_F(NoDisplay, EndsWithOneLineAndStatusOne) {
    struct Case {
        const char* what;
        std::map<std::string, std::string> set;
        std::vector<std::string> named;  // what the line must name
    };
    const Case cases[] = {
        {"no display variable", {}, {"DISPLAY", "WAYLAND_DISPLAY"}},
        {"empty display variables",
         {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}},
         {"DISPLAY", "WAYLAND_DISPLAY"}},
        {"the X platform asked for", {{"QT_QPA_PLATFORM", "xcb"}}, {"DISPLAY", "WAYLAND_DISPLAY"}},
        {"a display nobody serves", {{"DISPLAY", ":9753"}}, {":9753"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Ended r = start(c.set, 20'000);
        ASSERT_TRUE(r.exited) << "still running; stderr: " << r.err;
        EXPECT_FALSE(r.signalled) << r.err;
        EXPECT_EQ(r.status, 1) << r.err;
        ASSERT_FALSE(r.err.empty());
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "more than one line: " << r.err;
        for (const std::string& n : c.named)
            EXPECT_NE(r.err.find(n), std::string::npos) << r.err;
    }
}

// The options are answered before any display is looked for: none is set here.
TEST_F(NoDisplay, AnswersItsOptionsWithoutAWindow) {
    struct Case {
        const char* what;
        std::vector<std::string> args;
        int status;
        std::string out;  // the whole of standard output; "" for none
        std::string err;  // what the one line on standard error holds; "" for no line
    };
    const Case cases[] = {
        {"--version", {"--version"}, 0, "sabrota 1.03.0003\n", ""},
        {"--help", {"--help"}, 0, "Usage: sabrota", ""},
        {"-h", {"-h"}, 0, "Usage: sabrota", ""},
        {"--version after a Qt option",
         {"-style", "Fusion", "--version"},
         0,
         "sabrota 1.03.0003\n",
         ""},
        {"an unknown long option", {"--frobnicate"}, 2, "", "unknown option '--frobnicate'"},
        {"an unknown short option", {"-x"}, 2, "", "unknown option '-x'"},
        {"a Qt option without its value", {"-platform"}, 2, "", "missing value after '-platform'"},
        {"an argument the program takes none of",
         {"file.csv"},
         2,
         "",
         "unexpected argument 'file.csv'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Ended r = start({}, 20'000, c.args);
        ASSERT_TRUE(r.exited) << "still running; stderr: " << r.err;
        EXPECT_EQ(r.status, c.status) << r.err;
        if (c.out.ends_with('\n'))
            EXPECT_EQ(r.out, c.out);
        else if (c.out.empty())
            EXPECT_EQ(r.out, "");
        else
            EXPECT_EQ(r.out.rfind(c.out, 0), 0u) << r.out;
        if (c.err.empty()) {
            EXPECT_EQ(r.err, "");
        } else {
            EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
            EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "more than one line: " << r.err;
        }
    }
}

// A platform plugin that is not installed is named, with the package that brings it; a name
// no package has is said to be unknown.
TEST_F(NoDisplay, NamesThePackageOfAMissingPlatformPlugin) {
    struct Case {
        const char* what;
        std::map<std::string, std::string> set;
        const char* said;
    };
    const Case cases[] = {
        {"a Wayland plugin Debian does not build",
         {{"QT_QPA_PLATFORM", "wayland-brcm"}, {"WAYLAND_DISPLAY", "wayland-9753"}},
         "\"wayland-brcm\" is not installed; install the package qt6-wayland"},
        {"a misspelt window system",
         {{"QT_QPA_PLATFORM", "xbc"}, {"DISPLAY", ":9753"}},
         "Qt has no window system called \"xbc\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Ended r = start(c.set, 20'000);
        ASSERT_TRUE(r.exited) << "still running; stderr: " << r.err;
        EXPECT_EQ(r.status, 1) << r.err;
        EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "more than one line: " << r.err;
    }
}

// The offscreen platform draws into memory and needs no display: the program starts and keeps
// running until it is stopped.
TEST_F(NoDisplay, OffscreenStillStarts) {
    const Ended r = start({{"QT_QPA_PLATFORM", "offscreen"}}, 1500);
    EXPECT_FALSE(r.exited) << "ended with status " << r.status << "; stderr: " << r.err;
}

}  // namespace
