// SPDX-License-Identifier: MIT
// The export's file store under kills and failed system calls, in real processes on real files.
// A child process runs the export and its parent follows it with ptrace: it kills the child at
// a named step of the store, or makes one system call fail, and then checks that the file holds
// its old content or the whole new one, and that the next export leaves no temporary file.
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/ptrace.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/user.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "headless/headless.h"
#include "platform/posix/posix_file_store.h"
#include "support/texts.h"

namespace fs = std::filesystem;
using namespace sabrota;

namespace {

constexpr uid_t kNobody = 65534;
const std::string kOld = "the previous export\r\n";

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
void writeFile(const fs::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary | std::ios::trunc) << bytes;
}
std::string golden(const char* name) {
    return readFile(fs::path(SABROTA_TEST_DATA) / name);
}

// One system call of the traced export.
struct Call {
    long nr;
    unsigned long long args[6];
    long long ret;
};

bool isCreate(const Call& c) {
    return c.nr == SYS_openat && ((c.args[2] & O_TMPFILE) == O_TMPFILE ||
                                  (c.args[2] & (O_CREAT | O_EXCL)) == (O_CREAT | O_EXCL));
}
bool isWrite(const Call& c) {
    return c.nr == SYS_write || c.nr == SYS_pwrite64;
}
bool isSync(const Call& c) {
    return c.nr == SYS_fsync || c.nr == SYS_fdatasync;
}
bool isChmod(const Call& c) {
    return c.nr == SYS_fchmod;
}
bool isLink(const Call& c) {
    return c.nr == SYS_linkat;
}
bool isRename(const Call& c) {
    return c.nr == SYS_rename || c.nr == SYS_renameat || c.nr == SYS_renameat2;
}
bool anyCall(const Call&) {
    return true;
}

// Where the tracer acts: the nth system call (from 1) that step matches, on its way in or,
// with atExit, once it has returned; it kills the child there or, with error, makes the call
// fail with that error without running it.
struct Plan {
    bool (*step)(const Call&) = nullptr;
    int nth = 1;
    bool atExit = false;
    int error = 0;
};

// In the export's child: from here on the parent follows every system call.
void traceFromHere() {
    ::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
    ::raise(SIGSTOP);
}

// Follows the child pid from its traceFromHere to its end; returns its wait status and, in
// calls, every system call it made. With stop the child is not killed at the plan's step but
// halted there, and follow returns 0 (let it go on with resume()).
int follow(pid_t pid, const Plan& plan, std::vector<Call>* calls = nullptr, bool stop = false) {
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFSTOPPED(status))
        return status;
    ::ptrace(PTRACE_SETOPTIONS, pid, nullptr, PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL);
    int seen = 0;
    bool failing = false;
    bool actAtExit = false;
    std::vector<Call> local;
    std::vector<Call>& all = calls != nullptr ? *calls : local;
    long signal = 0;
    for (;;) {
        ::ptrace(PTRACE_SYSCALL, pid, nullptr, signal);
        signal = 0;
        if (::waitpid(pid, &status, 0) != pid || WIFEXITED(status) || WIFSIGNALED(status))
            return status;
        if (WSTOPSIG(status) != (SIGTRAP | 0x80)) {
            signal = WSTOPSIG(status);  // a signal for the child: deliver it
            continue;
        }
        __ptrace_syscall_info info{};
        ::ptrace(PTRACE_GET_SYSCALL_INFO, pid, sizeof info, &info);
        if (info.op == PTRACE_SYSCALL_INFO_ENTRY) {
            Call c{static_cast<long>(info.entry.nr), {}, 0};
            for (int i = 0; i < 6; ++i)
                c.args[i] = info.entry.args[i];
            all.push_back(c);
            if (plan.step == nullptr || !plan.step(c) || ++seen != plan.nth)
                continue;
            if (plan.error != 0) {
                user_regs_struct regs{};
                ::ptrace(PTRACE_GETREGS, pid, nullptr, &regs);
                regs.orig_rax = static_cast<unsigned long long>(-1);  // the call does not run
                ::ptrace(PTRACE_SETREGS, pid, nullptr, &regs);
                failing = true;
            } else if (plan.atExit) {
                actAtExit = true;
            } else if (stop) {
                return 0;
            } else {
                ::kill(pid, SIGKILL);
            }
        } else if (info.op == PTRACE_SYSCALL_INFO_EXIT) {
            if (!all.empty())
                all.back().ret = info.exit.rval;
            if (failing) {
                user_regs_struct regs{};
                ::ptrace(PTRACE_GETREGS, pid, nullptr, &regs);
                regs.rax = static_cast<unsigned long long>(-plan.error);
                ::ptrace(PTRACE_SETREGS, pid, nullptr, &regs);
                failing = false;
            } else if (actAtExit) {
                actAtExit = false;
                if (stop)
                    return 0;
                ::kill(pid, SIGKILL);
            }
        }
    }
}

// Lets a child that follow() halted run on untraced to its end; returns its wait status.
int resume(pid_t pid) {
    int status = 0;
    ::ptrace(PTRACE_DETACH, pid, nullptr, nullptr);
    return ::waitpid(pid, &status, 0) == pid ? status : -1;
}

// The export in this process, traced from the click on: 1 the success box, 0 the failure box
// with the button still enabled, 2 anything else.
int exportHere(const std::string& dotted, int prefix, bool traced) {
    headless::VirtualClock clock;
    headless::ScriptedMessageBox box;
    platform::PosixFileStore files;
    headless::RecordingShell shell;
    headless::RecordingPrinter printer;
    headless::StayingFolder folder;
    Form1 form(platform::Services{box, clock, files, shell, printer, folder});
    clock.attach([&form](int n) { form.timerTick(n); });
    form.Form_Load();
    const auto p1 = dotted.find('.'), p2 = dotted.find('.', p1 + 1), p3 = dotted.find('.', p2 + 1);
    form.Text1.Text = dotted.substr(0, p1);
    form.Text2.Text = dotted.substr(p1 + 1, p2 - p1 - 1);
    form.Text3.Text = dotted.substr(p2 + 1, p3 - p2 - 1);
    form.Text4.Text = dotted.substr(p3 + 1);
    form.Combo1.setListIndex(prefix - 8);
    form.CMD1_Click();
    clock.runUntilIdle();
    if (traced)
        traceFromHere();
    form.Command3_Click();
    clock.runUntilIdle();
    if (box.shown.size() != 1)
        return 2;
    if (box.shown[0].prompt == test::kExportFailure && form.Command3.Enabled)
        return 0;
    return box.shown[0].prompt == test::kExportSuccess ? 1 : 2;
}

// How the export's process runs.
struct As {
    bool nobody = false;   // as the user nobody
    rlim_t sizeLimit = 0;  // a file-size limit, SIGXFSZ left as it is
};

pid_t startExport(const As& as, const char* dotted, int prefix, bool traced) {
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid != 0)
        return pid;
    if (as.nobody && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
        ::_exit(3);
    const rlimit limit{as.sizeLimit, as.sizeLimit};
    if (as.sizeLimit > 0 && ::setrlimit(RLIMIT_FSIZE, &limit) != 0)
        ::_exit(3);
    ::_exit(exportHere(dotted, prefix, traced));
}

int exitCode(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : WIFSIGNALED(status) ? -WTERMSIG(status) : -99;
}

// The store's temporary files and the old store's: every name in folder with base in it but
// base itself.
std::vector<std::string> temporaries(const fs::path& folder, const std::string& base) {
    std::vector<std::string> found;
    for (const auto& e : fs::directory_iterator(folder)) {
        const std::string n = e.path().filename().string();
        if (n != base && (n.rfind(base + ".", 0) == 0 || n.rfind("." + base + ".", 0) == 0))
            found.push_back(n);
    }
    return found;
}

// Makes the files of folder look two minutes old, as they are when the next export comes later.
void age(const fs::path& folder) {
    const timespec then[2] = {{::time(nullptr) - 120, 0}, {::time(nullptr) - 120, 0}};
    for (const auto& e : fs::directory_iterator(folder))
        ::utimensat(AT_FDCWD, e.path().c_str(), then, AT_SYMLINK_NOFOLLOW);
}

enum class Place { Here, SmallTmpfs, Ext2 };
enum class Content { Old, New, Either };

struct Row {
    const char* name;
    Place place = Place::Here;
    bool hardLink = false;      // ip-file.csv has a second name
    bool nobodysFile = false;   // the old file is nobody's; the export runs as root
    bool readOnlyLink = false;  // ip-file.csv links into a folder the exporting user may not write
    bool fill = false;          // the file system is full but for 64 KB
    As as{};
    Plan plan{};
    Content content = Content::New;  // what the file holds after the export
    int outcome = 1;                 // 1 the success box, 0 the failure box, -SIGKILL killed
    bool nextWorks = true;  // the next export, without the kill, failure or limit, succeeds
};
void PrintTo(const Row& r, std::ostream* os) {
    *os << r.name;
}

// Runs a row in the current folder; prints what fails and returns how many checks failed, or
// 77 when the situation cannot be made here.
int runRow(const Row& r) {
    int failures = 0;
    auto check = [&failures, &r](bool ok, const std::string& what) {
        if (!ok) {
            std::fprintf(stderr, "%s: failed: %s\n", r.name, what.c_str());
            ++failures;
        }
    };
    // A long list replaced by a short one: a torn file shows the new head over the old tail.
    const bool bigOld = r.hardLink || r.content == Content::Either;
    const bool bigNew = r.fill || r.as.sizeLimit > 0;
    const std::string oldContent = bigOld ? golden("csv_b_16384_networks.csv") : kOld;
    const char* dotted = bigNew ? "172.16.5.4" : "192.168.1.130";
    const int prefix = bigNew ? 30 : 26;
    const std::string newContent = golden(bigNew ? "csv_b_16384_networks.csv" : "csv_c_26.csv");
    fs::path target = "ip-file.csv";
    if (r.readOnlyLink) {
        fs::create_directory("ro");
        target = "ro/target.csv";
        fs::create_symlink(target, "ip-file.csv");
    }
    writeFile(target, oldContent);
    ::chmod(target.c_str(), 0640);
    if (r.nobodysFile || r.readOnlyLink)
        if (::chown(target.c_str(), kNobody, kNobody) != 0)
            return 77;
    if (r.hardLink)
        fs::create_hard_link(target, "second-name.csv");
    if (r.as.nobody && ::chmod(".", 0777) != 0)
        return 77;
    if (r.fill) {
        const int fd = ::open("filler", O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        const std::string chunk(65536, 'x');
        off_t size = 0;
        for (ssize_t n = 0; (n = ::write(fd, chunk.data(), chunk.size())) > 0;)
            size += n;
        check(::ftruncate(fd, size - 65536) == 0, "filling the file system");
        ::close(fd);
    }

    const int status = follow(startExport(r.as, dotted, prefix, true), r.plan);
    if (r.content != Content::Either)
        check(exitCode(status) == r.outcome, "outcome " + std::to_string(exitCode(status)));
    const std::string now = readFile(target);
    check(r.content == Content::Either
              ? now == oldContent || now == newContent
              : now == (r.content == Content::Old ? oldContent : newContent),
          now == oldContent   ? "the old content"
          : now == newContent ? "the new content"
                              : "a torn file of " + std::to_string(now.size()) + " bytes");
    struct stat st {};
    const bool stated = ::stat(target.c_str(), &st) == 0;
    char mode[8];
    std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(st.st_mode & 07777));
    check(stated && (st.st_mode & 07777) == 0640, std::string("mode ") + mode + ", not 0640");
    if (r.nobodysFile)
        check(st.st_uid == kNobody, "the owner stays nobody");
    if (r.hardLink)
        check(readFile("second-name.csv") == oldContent, "the second name keeps the old content");

    // Later, with the cause gone: the next export cleans up.
    const fs::path folder = target.parent_path().empty() ? "." : target.parent_path();
    age(folder);
    if (r.fill)
        ::unlink("filler");
    As next = r.as;
    next.sizeLimit = 0;
    const int nextStatus = follow(startExport(next, dotted, prefix, true), Plan{});
    check(exitCode(nextStatus) == (r.nextWorks ? 1 : 0), "the next export's outcome");
    check(readFile(target) == (r.nextWorks ? newContent : now), "the next export's content");
    const auto left = temporaries(folder, target.filename().string());
    check(left.empty(), "left after the next export: " + (left.empty() ? "" : left[0]));
    return failures;
}

constexpr int kKilled = -SIGKILL;

class KillPoint : public testing::TestWithParam<Row> {
  protected:
    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "sabrota-kill-XXXXXX").string();
        ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
        dir_ = tmpl;
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    fs::path dir_;
};

// Puts a small file system of its own at the current folder, seen only by this process.
bool mountHere(Place place, const fs::path& image) {
    if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr))
        return false;
    if (place == Place::SmallTmpfs)
        return ::mount("tmpfs", ".", "tmpfs", MS_NOSUID | MS_NODEV, "size=1m") == 0 &&
               ::chdir(fs::current_path().c_str()) == 0;
    // ext2 has no fallocate.
    const std::string make = "truncate -s 4M " + image.string() + " && mkfs.ext2 -q -F " +
                             image.string() + " >/dev/null 2>&1 && mount -o loop " +
                             image.string() + " . 2>/dev/null";
    return std::system(make.c_str()) == 0 && ::chdir(fs::current_path().c_str()) == 0;
}

// Runs a row in a child process of its own, in a fresh folder below dir; runRow's result.
int inRunner(const Row& r, const fs::path& dir) {
    const fs::path here = dir / r.name, image = dir / "ext2.img";
    fs::create_directory(here);
    ::chmod(dir.c_str(), 0755);  // the user nobody must reach the folder
    std::fflush(nullptr);
    const pid_t runner = ::fork();
    if (runner == 0) {
        if (::chdir(here.c_str()) != 0 || (r.place != Place::Here && !mountHere(r.place, image)))
            ::_exit(77);
        ::_exit(runRow(r));
    }
    int status = 0;
    return ::waitpid(runner, &status, 0) == runner ? exitCode(status) : -99;
}

TEST_P(KillPoint, OldOrWholeNewContent) {
    const Row& r = GetParam();
    if (::geteuid() != 0 && (r.as.nobody || r.nobodysFile || r.place != Place::Here))
        GTEST_SKIP() << "needs root";
    const int failures = inRunner(r, dir_);
    if (failures == 77)
        GTEST_SKIP() << "the situation cannot be made here (mount namespace, loop device, user)";
    EXPECT_EQ(failures, 0) << "see the failures printed above";
}

const As kNobodyUser{true, 0};

INSTANTIATE_TEST_SUITE_P(
    FileStore, KillPoint,
    testing::Values(
        // Killed at each step of the store.
        Row{.name = "KilledWhenTheTemporaryIsMade",
            .plan = {isCreate, 1, true},
            .content = Content::Old,
            .outcome = kKilled},
        Row{.name = "KilledAtTheFirstWrite",
            .plan = {isWrite, 1},
            .content = Content::Old,
            .outcome = kKilled},
        Row{.name = "KilledAtTheChmod",
            .plan = {isChmod, 1},
            .content = Content::Old,
            .outcome = kKilled},
        Row{.name = "KilledAtTheFileSync",
            .plan = {isSync, 1},
            .content = Content::Old,
            .outcome = kKilled},
        Row{.name = "KilledAtTheLink",
            .plan = {isLink, 1},
            .content = Content::Old,
            .outcome = kKilled},
        Row{.name = "KilledAtTheRename",
            .plan = {isRename, 1},
            .content = Content::Old,
            .outcome = kKilled},
        Row{.name = "KilledJustAfterTheRename", .plan = {isRename, 1, true}, .outcome = kKilled},
        // A system call that fails.
        Row{.name = "WriteFindsNoSpace",
            .plan = {isWrite, 1, false, ENOSPC},
            .content = Content::Old,
            .outcome = 0},
        Row{.name = "ChmodFails",
            .plan = {isChmod, 1, false, EPERM},
            .content = Content::Old,
            .outcome = 0},
        Row{.name = "FileSyncFails",
            .plan = {isSync, 1, false, EIO},
            .content = Content::Old,
            .outcome = 0},
        Row{.name = "RenameFails",
            .plan = {isRename, 1, false, EIO},
            .content = Content::Old,
            .outcome = 0},
        // A file with a second name becomes a file of its own.
        Row{.name = "HardLink", .hardLink = true},
        Row{.name = "HardLinkKilledAtTheFileSync",
            .hardLink = true,
            .plan = {isSync, 1},
            .content = Content::Old,
            .outcome = kKilled},
        Row{.name = "HardLinkKilledJustAfterTheRename",
            .hardLink = true,
            .plan = {isRename, 1, true},
            .outcome = kKilled},
        Row{.name = "HardLinkFileSyncFails",
            .hardLink = true,
            .plan = {isSync, 1, false, EIO},
            .content = Content::Old,
            .outcome = 0},
        Row{.name = "HardLinkOnAFileSystemWithoutFallocate",
            .place = Place::Ext2,
            .hardLink = true},
        // Root replaces another user's file and keeps its owner.
        Row{.name = "AnotherUsersFile", .nobodysFile = true},
        Row{.name = "AnotherUsersFileKilledAtTheFileSync",
            .nobodysFile = true,
            .plan = {isSync, 1},
            .content = Content::Old,
            .outcome = kKilled},
        // Refusals: nothing changes.
        Row{.name = "LinkIntoAReadOnlyFolder",
            .readOnlyLink = true,
            .as = kNobodyUser,
            .content = Content::Old,
            .outcome = 0,
            .nextWorks = false},
        Row{.name = "FullFileSystem",
            .place = Place::SmallTmpfs,
            .fill = true,
            .content = Content::Old,
            .outcome = 0},
        Row{.name = "FileSizeLimit", .as = {false, 4096}, .content = Content::Old, .outcome = 0}),
    [](const auto& i) { return std::string(i.param.name); });

// A kill at every system call of the export, in turn, on a plain file and on a hard link.
TEST_F(KillPoint, AtEverySystemCall) {
    std::vector<Call> calls;
    fs::create_directory(dir_ / "dry");
    const fs::path before = fs::current_path();
    fs::current_path(dir_ / "dry");
    follow(startExport({}, "192.168.1.130", 26, true), Plan{}, &calls);
    fs::current_path(before);
    ASSERT_GT(calls.size(), 5U);
    for (const bool hardLink : {false, true}) {
        for (int k = 1; k <= static_cast<int>(calls.size()); ++k) {
            const std::string name =
                (hardLink ? "HardLinkKilledAtCall" : "KilledAtCall") + std::to_string(k);
            const Row r{.name = name.c_str(),
                        .hardLink = hardLink,
                        .plan = {anyCall, k},
                        .content = Content::Either};
            EXPECT_EQ(inRunner(r, dir_), 0) << name << ": see the failures printed above";
        }
    }
}

// The steps of one export, in the order they must come: the temporary is complete, has its
// mode and is on the disk before it replaces the file, and the folder is synced after that.
TEST_F(KillPoint, StepsComeInOrder) {
    const fs::path before = fs::current_path();
    fs::current_path(dir_);
    writeFile("ip-file.csv", kOld);
    std::vector<Call> calls;
    const int status = follow(startExport({}, "192.168.1.130", 26, true), Plan{}, &calls);
    fs::current_path(before);
    ASSERT_EQ(exitCode(status), 1);
    long long temporary = -1;
    std::vector<std::string> steps;
    auto add = [&steps](const char* step) {
        if (steps.empty() || steps.back() != step)
            steps.emplace_back(step);
    };
    for (const Call& c : calls) {
        // The store's work ends with the folder's sync; later calls are the child's own (under
        // a sanitizer it writes again, perhaps to the temporary's reused descriptor number).
        if (!steps.empty() && steps.back() == "sync the folder")
            break;
        const bool onTemporary =
            temporary >= 0 && c.args[0] == static_cast<unsigned long long>(temporary);
        if (isCreate(c) && temporary < 0) {
            temporary = c.ret;
            add("create");
        } else if (isWrite(c) && onTemporary) {
            add("write");
        } else if (isChmod(c) && onTemporary) {
            add("chmod");
        } else if (isSync(c)) {
            add(onTemporary ? "sync the temporary" : "sync the folder");
        } else if (isLink(c) && c.ret == 0) {
            add("link");
        } else if (isRename(c)) {
            add("rename");
        }
    }
    EXPECT_EQ(steps, (std::vector<std::string>{"create", "write", "chmod", "sync the temporary",
                                               "link", "rename", "sync the folder"}));
}

// Two exports at once: the second runs while the first has just made its temporary file.
TEST_F(KillPoint, TwoExportsAtOnce) {
    const fs::path before = fs::current_path();
    fs::current_path(dir_);
    writeFile("ip-file.csv", kOld);
    const pid_t first = startExport({}, "192.168.1.130", 26, true);
    ASSERT_EQ(follow(first, Plan{isCreate, 1, true}, nullptr, true), 0);
    const int second = follow(startExport({}, "172.16.5.4", 30, true), Plan{});
    const int firstStatus = resume(first);
    const std::string now = readFile("ip-file.csv");
    fs::current_path(before);
    EXPECT_EQ(exitCode(second), 1);
    EXPECT_EQ(exitCode(firstStatus), 1);
    EXPECT_EQ(now, golden("csv_c_26.csv"));
}

// Files of the user's own beside the export, named after it, survive exports, even where
// they are old, empty or copies of an export with the store's first mode.
TEST_F(KillPoint, UsersFilesBesideTheExportStay) {
    const fs::path before = fs::current_path();
    fs::current_path(dir_);
    const mode_t mask = ::umask(077);
    const std::string exported = golden("csv_c_26.csv");
    writeFile("ip-file.csv", exported);
    for (const char* name : {"ip-file.csv.backup", "ip-file.csv.202412"})
        writeFile(name, exported);
    writeFile("ip-file.csv.notes1", "");
    age(".");
    platform::PosixFileStore store;
    const bool first = store.replaceFile("ip-file.csv", exported);
    const bool second = store.replaceFile("ip-file.csv", exported);
    ::umask(mask);
    EXPECT_TRUE(first && second);
    EXPECT_EQ(readFile("ip-file.csv.backup"), exported);
    EXPECT_EQ(readFile("ip-file.csv.202412"), exported);
    EXPECT_TRUE(fs::exists("ip-file.csv.notes1"));
    fs::current_path(before);
}

}  // namespace
