// SPDX-License-Identifier: MIT
// The export against real files: PosixFileStore in a fresh folder that the test makes current.
#include <fcntl.h>
#include <linux/fs.h>
#include <sched.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "headless/headless.h"
#include "platform/posix/posix_services.h"
#include "support/texts.h"

namespace fs = std::filesystem;
using namespace sabrota;

namespace {

const std::string& kSuccess = sabrota::test::kExportSuccess;
const std::string& kFailure = sabrota::test::kExportFailure;
const std::string kPrevious = "the previous export\r\n";

// The window with the real file store; everything else headless.
struct PosixWindow {
    headless::VirtualClock clock;
    headless::ScriptedMessageBox box;
    platform::PosixFileStore files;
    headless::RecordingShell shell;
    headless::RecordingPrinter printer;
    headless::StayingFolder folder;
    std::unique_ptr<Form1> form;

    PosixWindow()
        : form(std::make_unique<Form1>(
              platform::Services{box, clock, files, shell, printer, folder})) {
        clock.attach([this](int n) { form->timerTick(n); });
        form->Form_Load();
    }
    void calculate(const std::string& dotted, int prefix) {
        const auto p1 = dotted.find('.');
        const auto p2 = dotted.find('.', p1 + 1);
        const auto p3 = dotted.find('.', p2 + 1);
        form->Text1.Text = dotted.substr(0, p1);
        form->Text2.Text = dotted.substr(p1 + 1, p2 - p1 - 1);
        form->Text3.Text = dotted.substr(p2 + 1, p3 - p2 - 1);
        form->Text4.Text = dotted.substr(p3 + 1);
        form->Combo1.setListIndex(prefix - 8);
        form->CMD1_Click();
        clock.runUntilIdle();
    }
    // Presses "CSV出力" and returns the prompt of the box it showed.
    std::string exportCsv() {
        const std::size_t before = box.shown.size();
        form->Command3_Click();
        clock.runUntilIdle();
        return box.shown.size() == before + 1 ? box.shown.back().prompt : "<no single box>";
    }
};

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const fs::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string golden(const char* name) {
    return readFile(fs::path(SABROTA_TEST_DATA) / name);
}

// Sets or clears the immutable attribute; false when the file system or the rights refuse.
bool setImmutable(const fs::path& p, bool on) {
    const int fd = ::open(p.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return ok;
}

struct stat statOf(const fs::path& p) {
    struct stat st {};
    EXPECT_EQ(::lstat(p.c_str(), &st), 0) << p;
    return st;
}

mode_t modeOf(const fs::path& p) {
    return statOf(p).st_mode & 07777;
}

constexpr uid_t kNobody = 65534;

// Names in folder that begin with prefix: the temporary files an export may leave beside its
// target.
std::vector<std::string> namesStartingWith(const fs::path& folder, const std::string& prefix) {
    std::vector<std::string> found;
    for (const auto& e : fs::directory_iterator(folder)) {
        const std::string n = e.path().filename().string();
        if (n.rfind(prefix, 0) == 0)
            found.push_back(n);
    }
    std::sort(found.begin(), found.end());
    return found;
}

// Runs body in a child process and returns its raw wait status (-1 when the wait failed).
template <typename Body>
int childStatus(Body body) {
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(body());
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid)
        return -1;
    return status;
}

// Runs body in a child process and returns its exit status (-1 when it did not exit).
template <typename Body>
int inChild(Body body) {
    const int status = childStatus(body);
    return status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Exit status of an export in a child: 0 the failure box with the button still enabled,
// 1 the success box, 2 anything else.
int childExport(const std::string& dotted, int prefix) {
    PosixWindow w;
    w.calculate(dotted, prefix);
    const std::string prompt = w.exportCsv();
    if (prompt == kFailure && w.form->Command3.Enabled)
        return 0;
    return prompt == kSuccess ? 1 : 2;
}

class FileStore : public testing::Test {
  public:
    void SetUp() override {
        previousDir_ = fs::current_path();
        std::string tmpl = (fs::temp_directory_path() / "sabrota-store-XXXXXX").string();
        ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
        dir_ = tmpl;
        fs::current_path(dir_);
        previousMask_ = ::umask(022);
    }
    void TearDown() override {
        ::umask(previousMask_);
        fs::current_path(previousDir_);
        for (const auto& p : immutable_)
            setImmutable(p, false);
        ::chmod(dir_.c_str(), 0700);
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    // Makes p immutable for the rest of the test, or says why the test cannot go on.
    bool makeImmutable(const fs::path& p) {
        if (!setImmutable(p, true))
            return false;
        immutable_.push_back(p);
        return true;
    }
    void release(const fs::path& p) { ASSERT_TRUE(setImmutable(p, false)); }

    // The store's temporary files and those of its earlier versions.
    std::vector<std::string> leftovers() const {
        auto found = namesStartingWith(dir_, "ip-file.csv.");
        for (const auto& n : namesStartingWith(dir_, ".ip-file.csv."))
            found.push_back(n);
        return found;
    }

    // What every failed export must leave: the box, the old file, no temporary file, the button.
    void expectFailedExport(PosixWindow& w, const std::string& kept) {
        EXPECT_EQ(w.exportCsv(), kFailure);
        EXPECT_EQ(w.box.shown.back().style, 0);
        EXPECT_EQ(w.box.shown.back().title, "Sabrota");
        std::error_code ec;
        if (fs::is_regular_file(dir_ / "ip-file.csv", ec)) {
            EXPECT_EQ(readFile(dir_ / "ip-file.csv"), kept);
        }
        EXPECT_EQ(leftovers(), std::vector<std::string>{});
        EXPECT_TRUE(w.form->Command3.Enabled);
        EXPECT_FALSE(w.clock.anyArmed());
    }
    void expectGoodExport(PosixWindow& w) {
        EXPECT_EQ(w.exportCsv(), kSuccess);
        EXPECT_EQ(readFile(dir_ / "ip-file.csv"), golden("csv_c_26.csv"));
        EXPECT_EQ(leftovers(), std::vector<std::string>{});
        EXPECT_FALSE(w.form->Command3.Enabled);
    }

    fs::path dir_;

  private:
    fs::path previousDir_;
    mode_t previousMask_ = 022;
    std::vector<fs::path> immutable_;
};

TEST_F(FileStore, NewFileGetsTheUsualMode) {
    PosixWindow w;
    w.calculate("192.168.1.130", 26);
    expectGoodExport(w);
    EXPECT_EQ(modeOf(dir_ / "ip-file.csv"), 0644U);
}

TEST_F(FileStore, ReplacedFileKeepsItsMode) {
    writeFile(dir_ / "ip-file.csv", kPrevious);
    ASSERT_EQ(::chmod((dir_ / "ip-file.csv").c_str(), 0640), 0);
    PosixWindow w;
    w.calculate("192.168.1.130", 26);
    expectGoodExport(w);
    EXPECT_EQ(modeOf(dir_ / "ip-file.csv"), 0640U);
}

TEST_F(FileStore, ShorterExportLeavesNothingOfTheLongerOne) {
    writeFile(dir_ / "ip-file.csv", golden("csv_b_16384_networks.csv"));
    PosixWindow w;
    w.calculate("192.168.1.130", 26);
    expectGoodExport(w);
}

TEST_F(FileStore, FolderInPlaceOfTheFile) {
    fs::create_directory(dir_ / "ip-file.csv");
    PosixWindow w;
    w.calculate("192.168.1.130", 26);
    expectFailedExport(w, "");
    EXPECT_TRUE(fs::is_directory(dir_ / "ip-file.csv"));
    fs::remove(dir_ / "ip-file.csv");
    expectGoodExport(w);
}

TEST_F(FileStore, ImmutableFile) {
    writeFile(dir_ / "ip-file.csv", kPrevious);
    if (!makeImmutable(dir_ / "ip-file.csv"))
        GTEST_SKIP() << "the immutable attribute cannot be set here (needs root on ext4 or alike)";
    PosixWindow w;
    w.calculate("192.168.1.130", 26);
    expectFailedExport(w, kPrevious);
    release(dir_ / "ip-file.csv");
    expectGoodExport(w);
}

// A folder that takes no new names but holds a writable file: no rename can replace the file,
// so the export refuses and the file stays as it was.
TEST_F(FileStore, ImmutableFolderWithAWritableFile) {
    writeFile(dir_ / "ip-file.csv", kPrevious);
    const ino_t before = statOf(dir_ / "ip-file.csv").st_ino;
    if (!makeImmutable(dir_))
        GTEST_SKIP() << "the immutable attribute cannot be set here (needs root on ext4 or alike)";
    PosixWindow w;
    w.calculate("192.168.1.130", 26);
    expectFailedExport(w, kPrevious);
    EXPECT_EQ(statOf(dir_ / "ip-file.csv").st_ino, before);
    release(dir_);
    expectGoodExport(w);
}

TEST_F(FileStore, ImmutableFolderWithoutTheFile) {
    if (!makeImmutable(dir_))
        GTEST_SKIP() << "the immutable attribute cannot be set here (needs root on ext4 or alike)";
    PosixWindow w;
    w.calculate("192.168.1.130", 26);
    expectFailedExport(w, "");
    EXPECT_FALSE(fs::exists(dir_ / "ip-file.csv"));
    release(dir_);
    expectGoodExport(w);
}

TEST_F(FileStore, ReadOnlyFile) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may write a read-only file; see ReadOnlyFileForAnotherUser";
    writeFile(dir_ / "ip-file.csv", kPrevious);
    ASSERT_EQ(::chmod((dir_ / "ip-file.csv").c_str(), 0444), 0);
    PosixWindow w;
    w.calculate("192.168.1.130", 26);
    expectFailedExport(w, kPrevious);
    ASSERT_EQ(::chmod((dir_ / "ip-file.csv").c_str(), 0644), 0);
    expectGoodExport(w);
}

TEST_F(FileStore, ReadOnlyFileForAnotherUser) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to act as another user; see ReadOnlyFile";
    // A folder anybody may write to, holding a read-only file of root's: a rename by another
    // user would replace it, which the store must refuse.
    ASSERT_EQ(::chmod(dir_.c_str(), 0777), 0);
    writeFile(dir_ / "ip-file.csv", kPrevious);
    ASSERT_EQ(::chmod((dir_ / "ip-file.csv").c_str(), 0444), 0);
    const int status = inChild([] {
        if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
            return 3;
        return childExport("192.168.1.130", 26);
    });
    if (status == 3)
        GTEST_SKIP() << "cannot switch to the user nobody";
    EXPECT_EQ(status, 0);
    EXPECT_EQ(readFile(dir_ / "ip-file.csv"), kPrevious);
    EXPECT_EQ(leftovers(), std::vector<std::string>{});
}

TEST_F(FileStore, WriteFailsHalfWay) {
    writeFile(dir_ / "ip-file.csv", kPrevious);
    // The child may write no file longer than 4096 bytes: the 235 KB export breaks off.
    const int status = inChild([] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return 3;
        return childExport("172.16.5.4", 30);
    });
    ASSERT_NE(status, 3) << "setrlimit failed";
    EXPECT_EQ(status, 0);
    EXPECT_EQ(readFile(dir_ / "ip-file.csv"), kPrevious);
    EXPECT_EQ(leftovers(), std::vector<std::string>{});

    // Without the limit the same export goes through.
    PosixWindow w;
    w.calculate("172.16.5.4", 30);
    EXPECT_EQ(w.exportCsv(), kSuccess);
    EXPECT_EQ(readFile(dir_ / "ip-file.csv"), golden("csv_b_16384_networks.csv"));
}

// Symbolic links: the file the links end at is replaced, every link stays as it was.
struct LinkCase {
    const char* name;
    std::vector<std::pair<std::string, std::string>> links;  // link name, what it points to
    const char* target;                                      // where the content must land
    bool targetExists;
};
void PrintTo(const LinkCase& c, std::ostream* os) {
    *os << c.name;
}

class SymbolicLink : public FileStore, public testing::WithParamInterface<LinkCase> {};

TEST_P(SymbolicLink, TargetIsReplacedLinkStays) {
    const LinkCase& c = GetParam();
    fs::create_directory(dir_ / "data");
    if (c.targetExists)
        writeFile(dir_ / c.target, kPrevious);
    // "@" stands for the test's folder, for links that name their target with a full path.
    auto pointsTo = [this](const std::string& to) {
        return to[0] == '@' ? dir_ / to.substr(2) : fs::path(to);
    };
    for (const auto& [link, to] : c.links)
        fs::create_symlink(pointsTo(to), dir_ / link);
    PosixWindow w;
    w.calculate("192.168.1.130", 26);
    EXPECT_EQ(w.exportCsv(), kSuccess);
    EXPECT_EQ(readFile(dir_ / c.target), golden("csv_c_26.csv"));
    for (const auto& [link, to] : c.links) {
        EXPECT_TRUE(fs::is_symlink(dir_ / link)) << link;
        EXPECT_EQ(fs::read_symlink(dir_ / link), pointsTo(to)) << link;
    }
    const std::string base = fs::path(c.target).filename().string() + ".";
    EXPECT_EQ(namesStartingWith(dir_, "ip-file.csv."), std::vector<std::string>{});
    EXPECT_EQ(namesStartingWith(dir_, base), std::vector<std::string>{});
    EXPECT_EQ(namesStartingWith(dir_ / "data", base), std::vector<std::string>{});
    EXPECT_EQ(namesStartingWith(dir_, "." + base), std::vector<std::string>{});
    EXPECT_EQ(namesStartingWith(dir_ / "data", "." + base), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    FileStore, SymbolicLink,
    testing::Values(
        LinkCase{"SameFolder", {{"ip-file.csv", "elsewhere.txt"}}, "elsewhere.txt", true},
        LinkCase{"OtherFolder", {{"ip-file.csv", "data/export.csv"}}, "data/export.csv", true},
        LinkCase{"Absolute", {{"ip-file.csv", "@/data/export.csv"}}, "data/export.csv", true},
        LinkCase{"Chain",
                 {{"ip-file.csv", "data/link2"}, {"data/link2", "export.csv"}},
                 "data/export.csv",
                 true},
        LinkCase{"Dangling", {{"ip-file.csv", "data/new.csv"}}, "data/new.csv", false}),
    [](const auto& i) { return std::string(i.param.name); });

TEST_F(FileStore, SymbolicLinkLoop) {
    fs::create_symlink("loop2", dir_ / "ip-file.csv");
    fs::create_symlink("ip-file.csv", dir_ / "loop2");
    PosixWindow w;
    w.calculate("192.168.1.130", 26);
    expectFailedExport(w, "");
    EXPECT_TRUE(fs::is_symlink(dir_ / "ip-file.csv"));
    EXPECT_EQ(namesStartingWith(dir_, "loop2."), std::vector<std::string>{});
}

// The files a plain rename of the user's own would not fit: each is replaced by a file of its
// own (the owner and, where the user may give it, the group kept) or the export refuses and
// the file stays as it was. Each makes ip-file.csv with the given content and says how the
// export has to run, or why it cannot be made here.
struct Situation {
    const char* name;
    std::string (*make)(FileStore& t, const std::string& content);
    bool asNobody;  // the export runs as the user nobody
    bool replaced;  // true: a file of its own takes the old one's place; false: a refusal
};
void PrintTo(const Situation& c, std::ostream* os) {
    *os << c.name;
}

std::string readOnlyFolder(FileStore& t, const std::string& content) {
    writeFile(t.dir_ / "ip-file.csv", content);
    if (::geteuid() == 0) {
        // Root may write any folder: the folder stays root's, the file and the export nobody's.
        if (::chown((t.dir_ / "ip-file.csv").c_str(), kNobody, kNobody) != 0 ||
            ::chmod(t.dir_.c_str(), 0755) != 0)
            return "cannot give the file to nobody";
    } else if (::chmod(t.dir_.c_str(), 0555) != 0) {
        return "cannot make the folder read-only";
    }
    return "";
}

std::string hardLink(FileStore& t, const std::string& content) {
    writeFile(t.dir_ / "ip-file.csv", content);
    fs::create_hard_link(t.dir_ / "ip-file.csv", t.dir_ / "second-name.csv");
    return "";
}

std::string anotherUsersFile(FileStore& t, const std::string& content) {
    if (::geteuid() != 0)
        return "needs root to write a file of another user";
    writeFile(t.dir_ / "ip-file.csv", content);
    if (::chown((t.dir_ / "ip-file.csv").c_str(), kNobody, kNobody) != 0)
        return "cannot give the file to nobody";
    return "";
}

std::string groupTheUserIsNotIn(FileStore& t, const std::string& content) {
    if (::geteuid() != 0)
        return "needs root to make a file of a group the user is not in";
    // nobody's file of root's group, in a folder nobody may write: a new file of nobody's
    // could not have that group.
    writeFile(t.dir_ / "ip-file.csv", content);
    if (::chown((t.dir_ / "ip-file.csv").c_str(), kNobody, 0) != 0 ||
        ::chmod(t.dir_.c_str(), 0777) != 0)
        return "cannot give the file to nobody";
    return "";
}

std::string immutableFolder(FileStore& t, const std::string& content) {
    writeFile(t.dir_ / "ip-file.csv", content);
    if (!t.makeImmutable(t.dir_))
        return "the immutable attribute cannot be set here (needs root on ext4 or alike)";
    return "";
}

class AwkwardFile : public FileStore, public testing::WithParamInterface<Situation> {
  protected:
    // Runs one export in a child, as nobody where the situation asks, optionally with a file
    // size limit; returns childExport's status (4: the user could not be switched).
    int exportInChild(const std::string& dotted, int prefix, rlim_t fileSizeLimit = 0) {
        const bool asNobody = GetParam().asNobody;
        return inChild([&] {
            if (asNobody && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
                return 4;
            if (fileSizeLimit > 0) {
                std::signal(SIGXFSZ, SIG_IGN);
                const rlimit limit{fileSizeLimit, fileSizeLimit};
                if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
                    return 3;
            }
            return childExport(dotted, prefix);
        });
    }
    // A refusal leaves the very same file: inode, owner, group and number of names.
    void expectSameFile(const struct stat& before) {
        const struct stat now = statOf(dir_ / "ip-file.csv");
        EXPECT_EQ(now.st_ino, before.st_ino);
        EXPECT_EQ(now.st_uid, before.st_uid);
        EXPECT_EQ(now.st_gid, before.st_gid);
        EXPECT_EQ(now.st_nlink, before.st_nlink);
        if (fs::exists(dir_ / "second-name.csv")) {
            EXPECT_EQ(readFile(dir_ / "second-name.csv"), readFile(dir_ / "ip-file.csv"));
        }
        EXPECT_EQ(leftovers(), std::vector<std::string>{});
    }
    // A replacement is a new file with one name and the old owner; a second name of the old
    // file keeps the old content.
    void expectOwnFile(const struct stat& before, const std::string& oldContent) {
        const struct stat now = statOf(dir_ / "ip-file.csv");
        EXPECT_NE(now.st_ino, before.st_ino);
        EXPECT_EQ(now.st_uid, before.st_uid);
        EXPECT_EQ(now.st_nlink, 1U);
        EXPECT_EQ(now.st_mode & 0707, before.st_mode & 0707);
        if (fs::exists(dir_ / "second-name.csv")) {
            EXPECT_EQ(readFile(dir_ / "second-name.csv"), oldContent);
        }
        EXPECT_EQ(leftovers(), std::vector<std::string>{});
    }
    void expectOutcome(int status, const struct stat& before, const std::string& oldContent,
                       const std::string& newContent) {
        EXPECT_EQ(status, GetParam().replaced ? 1 : 0);
        EXPECT_EQ(readFile(dir_ / "ip-file.csv"), GetParam().replaced ? newContent : oldContent);
        if (GetParam().replaced)
            expectOwnFile(before, oldContent);
        else
            expectSameFile(before);
    }
    bool prepare(const std::string& content) {
        const std::string why = GetParam().make(*this, content);
        if (!why.empty()) {
            skipped_ = why;
            return false;
        }
        return true;
    }
    std::string skipped_;
};

TEST_P(AwkwardFile, ShorterContentIsCutToItsLength) {
    const std::string old = golden("csv_b_16384_networks.csv");
    if (!prepare(old))
        GTEST_SKIP() << skipped_;
    const struct stat before = statOf(dir_ / "ip-file.csv");
    const int status = exportInChild("192.168.1.130", 26);
    ASSERT_NE(status, 4) << "cannot switch to the user nobody";
    expectOutcome(status, before, old, golden("csv_c_26.csv"));
}

TEST_P(AwkwardFile, LongerContentGrowsTheFile) {
    if (!prepare(kPrevious))
        GTEST_SKIP() << skipped_;
    const struct stat before = statOf(dir_ / "ip-file.csv");
    expectOutcome(exportInChild("172.16.5.4", 30), before, kPrevious,
                  golden("csv_b_16384_networks.csv"));
}

// A file-size limit stops the write: the old content stays, to its last byte and length.
TEST_P(AwkwardFile, NoRoomKeepsTheOldContent) {
    if (!prepare(kPrevious))
        GTEST_SKIP() << skipped_;
    const struct stat before = statOf(dir_ / "ip-file.csv");
    const int status = exportInChild("172.16.5.4", 30, 4096);
    ASSERT_NE(status, 3) << "setrlimit failed";
    EXPECT_EQ(status, 0);
    EXPECT_EQ(readFile(dir_ / "ip-file.csv"), kPrevious);
    expectSameFile(before);
}

INSTANTIATE_TEST_SUITE_P(
    FileStore, AwkwardFile,
    testing::Values(Situation{"ReadOnlyFolder", readOnlyFolder, true, false},
                    Situation{"HardLink", hardLink, false, true},
                    Situation{"AnotherUsersFile", anotherUsersFile, false, true},
                    Situation{"GroupTheUserIsNotIn", groupTheUserIsNotIn, true, true},
                    Situation{"ImmutableFolder", immutableFolder, false, false}),
    [](const auto& i) { return std::string(i.param.name); });

TEST_F(FileStore, ReadOnlyFolderWithoutTheFile) {
    const int status = inChild([this] {
        if (::geteuid() == 0) {
            if (::chmod(dir_.c_str(), 0755) != 0 || ::setgid(kNobody) != 0 ||
                ::setuid(kNobody) != 0)
                return 4;
        } else if (::chmod(dir_.c_str(), 0555) != 0) {
            return 4;
        }
        return childExport("192.168.1.130", 26);
    });
    ASSERT_NE(status, 4) << "cannot make the folder read-only for the export";
    EXPECT_EQ(status, 0);
    EXPECT_FALSE(fs::exists(dir_ / "ip-file.csv"));
}

TEST_F(FileStore, ReplacedFileKeepsItsGroup) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to give the file a group of its own";
    writeFile(dir_ / "ip-file.csv", kPrevious);
    ASSERT_EQ(::chown((dir_ / "ip-file.csv").c_str(), 0, kNobody), 0);
    PosixWindow w;
    w.calculate("192.168.1.130", 26);
    expectGoodExport(w);
    EXPECT_EQ(statOf(dir_ / "ip-file.csv").st_gid, kNobody);
}

// Set-user-ID, set-group-ID and sticky bits never survive an export, whichever way it writes.
struct SpecialBits {
    const char* name;
    mode_t before;  // the old file's mode; 0: there is no old file
    bool hardLinked;
    bool nobodysFile;
    mode_t folderMode;
    mode_t after;
};
void PrintTo(const SpecialBits& c, std::ostream* os) {
    *os << c.name;
}

class SpecialBitsGo : public FileStore, public testing::WithParamInterface<SpecialBits> {};

TEST_P(SpecialBitsGo, FromTheFile) {
    const SpecialBits& c = GetParam();
    if (c.nobodysFile && ::geteuid() != 0)
        GTEST_SKIP() << "needs root to write a file of another user";
    ASSERT_EQ(::chmod(dir_.c_str(), c.folderMode), 0);
    if (c.before != 0) {
        writeFile(dir_ / "ip-file.csv", kPrevious);
        if (c.nobodysFile) {
            ASSERT_EQ(::chown((dir_ / "ip-file.csv").c_str(), kNobody, kNobody), 0);
        }
        ASSERT_EQ(::chmod((dir_ / "ip-file.csv").c_str(), c.before), 0);
        if (c.hardLinked)
            fs::create_hard_link(dir_ / "ip-file.csv", dir_ / "second-name.csv");
    }
    PosixWindow w;
    w.calculate("192.168.1.130", 26);
    expectGoodExport(w);
    EXPECT_EQ(modeOf(dir_ / "ip-file.csv"), c.after);
    if (c.nobodysFile) {
        EXPECT_EQ(statOf(dir_ / "ip-file.csv").st_uid, kNobody);
    }
}

INSTANTIATE_TEST_SUITE_P(
    FileStore, SpecialBitsGo,
    testing::Values(SpecialBits{"Renamed", 07755, false, false, 0700, 0755},
                    SpecialBits{"InPlace", 07754, true, false, 0700, 0754},
                    SpecialBits{"AnotherUsersFile", 06755, false, true, 0700, 0755},
                    SpecialBits{"NewFileInASetGroupIdFolder", 0, false, false, 02775, 0644}),
    [](const auto& i) { return std::string(i.param.name); });

// Makes a file (not what a link points to) look two minutes old.
void makeOld(const fs::path& p) {
    const timespec then[2] = {{::time(nullptr) - 120, 0}, {::time(nullptr) - 120, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, p.c_str(), then, AT_SYMLINK_NOFOLLOW), 0) << p;
}

// What lies beside the target under a temporary file's name: only the store's own leftovers
// go (".ip-file.csv.sabrota-" and six letters or digits, the user's, unlocked, older than a
// minute), never a file of the user's, whatever it holds and however old it is.
struct Beside {
    const char* name;
    const char* entry;
    enum Kind { Empty, ExportBeginning, FirstLineBeginning, OtherText, Folder, Link, Linked } kind;
    mode_t mode;
    bool removed;
    bool old = true;  // older than a minute
};
void PrintTo(const Beside& c, std::ostream* os) {
    *os << c.name;
}

class StaleTemporary : public FileStore, public testing::WithParamInterface<Beside> {};

TEST_P(StaleTemporary, OnlyTheStoresOwnGo) {
    const Beside& c = GetParam();
    const fs::path p = dir_ / c.entry;
    const std::string exported = golden("csv_b_16384_networks.csv");
    switch (c.kind) {
        case Beside::Empty:
            writeFile(p, "");
            break;
        case Beside::ExportBeginning:
            writeFile(p, exported.substr(0, 4096));
            break;
        case Beside::FirstLineBeginning:
            writeFile(p, exported.substr(0, 5));
            break;
        case Beside::OtherText:
            writeFile(p, "my own notes\r\n");
            break;
        case Beside::Folder:
            fs::create_directory(p);
            break;
        case Beside::Link:
            writeFile(dir_ / "notes.txt", exported.substr(0, 4096));
            ASSERT_EQ(::chmod((dir_ / "notes.txt").c_str(), c.mode), 0);
            fs::create_symlink("notes.txt", p);
            break;
        case Beside::Linked:
            writeFile(p, exported.substr(0, 4096));
            fs::create_hard_link(p, dir_ / "notes.txt");
            break;
    }
    if (c.kind != Beside::Link) {
        ASSERT_EQ(::chmod(p.c_str(), c.mode), 0);
    }
    if (c.old)
        makeOld(p);
    PosixWindow w;
    w.calculate("192.168.1.130", 26);
    EXPECT_EQ(w.exportCsv(), kSuccess);
    EXPECT_EQ(readFile(dir_ / "ip-file.csv"), golden("csv_c_26.csv"));
    EXPECT_EQ(fs::exists(fs::symlink_status(p)), !c.removed);
}

INSTANTIATE_TEST_SUITE_P(
    FileStore, StaleTemporary,
    testing::Values(
        // The store's own left-overs.
        Beside{"Leftover", ".ip-file.csv.sabrota-Ab3xY9", Beside::ExportBeginning, 0640, true},
        Beside{"EmptyLeftover", ".ip-file.csv.sabrota-000000", Beside::Empty, 0600, true},
        // Named like them, but not theirs to remove.
        Beside{"FreshLeftover", ".ip-file.csv.sabrota-Fr3sh0", Beside::Empty, 0600, false, false},
        Beside{"LeftoverFolder", ".ip-file.csv.sabrota-Dd4Dd4", Beside::Folder, 0700, false},
        Beside{"LeftoverLink", ".ip-file.csv.sabrota-Ss6Ss6", Beside::Link, 0600, false},
        Beside{"LeftoverHardLinked", ".ip-file.csv.sabrota-Hh5Hh5", Beside::Linked, 0600, false},
        Beside{"LeftoverLongerName", ".ip-file.csv.sabrota-Ab3xY9z", Beside::Empty, 0600, false},
        Beside{"LeftoverOfTheMemo", ".ip-memo.txt.sabrota-Ab3xY9", Beside::Empty, 0600, false},
        // The user's own files, named the way earlier versions named their temporary files.
        Beside{"Empty", "ip-file.csv.Ab3xY9", Beside::Empty, 0600, false},
        Beside{"PartOfAnExport", "ip-file.csv.q7ZkP0", Beside::ExportBeginning, 0600, false},
        Beside{"PartOfTheFirstLine", "ip-file.csv.000000", Beside::FirstLineBeginning, 0600, false},
        Beside{"UsersCopyWithItsOwnMode", "ip-file.csv.backup", Beside::ExportBeginning, 0644,
               false},
        Beside{"UsersNotes", "ip-file.csv.notes1", Beside::OtherText, 0600, false},
        Beside{"ShorterName", "ip-file.csv.bak", Beside::Empty, 0600, false},
        Beside{"LongerName", "ip-file.csv.Ab3xY9z", Beside::Empty, 0600, false},
        Beside{"NotALetterOrDigit", "ip-file.csv.Ab-xY9", Beside::Empty, 0600, false},
        Beside{"OtherFilesName", "ip-memo.txt.Ab3xY9", Beside::Empty, 0600, false},
        Beside{"Folder", "ip-file.csv.Dd4Dd4", Beside::Folder, 0700, false},
        Beside{"SymbolicLink", "ip-file.csv.Ss6Ss6", Beside::Link, 0600, false},
        Beside{"HardLinked", "ip-file.csv.Hh5Hh5", Beside::Linked, 0600, false}),
    [](const auto& i) { return std::string(i.param.name); });

TEST_F(FileStore, TemporaryOfALiveExportStays) {
    const std::string exported = golden("csv_b_16384_networks.csv");
    const fs::path p = dir_ / ".ip-file.csv.sabrota-Lk4Lk4";
    writeFile(p, exported.substr(0, 4096));
    ASSERT_EQ(::chmod(p.c_str(), 0600), 0);
    makeOld(p);
    // Every writer holds its temporary file locked while it writes.
    const int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    PosixWindow w;
    w.calculate("192.168.1.130", 26);
    EXPECT_EQ(w.exportCsv(), kSuccess);
    EXPECT_TRUE(fs::exists(p));
    ::close(fd);
}

TEST_F(FileStore, TemporaryOfAnotherUserStays) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to make a file of another user";
    const fs::path p = dir_ / ".ip-file.csv.sabrota-Ot7Ot7";
    writeFile(p, "");
    ASSERT_EQ(::chmod(p.c_str(), 0600), 0);
    ASSERT_EQ(::chown(p.c_str(), kNobody, kNobody), 0);
    makeOld(p);
    PosixWindow w;
    w.calculate("192.168.1.130", 26);
    EXPECT_EQ(w.exportCsv(), kSuccess);
    EXPECT_TRUE(fs::exists(p));
}

// An export killed while it writes its temporary file leaves the old file and no temporary
// file: the temporary has no name until it is complete. (Kills at the later steps, where a
// named temporary is left for the next export to remove, are in store_kill_points_test.cpp.)
TEST_F(FileStore, TemporaryOfAKilledExportGoesAtTheNextExport) {
    writeFile(dir_ / "ip-file.csv", kPrevious);
    const int status = childStatus([] {
        PosixWindow w;
        w.calculate("172.16.5.4", 30);
        // The file size limit stops the write half way; the signal it raises kills the process
        // (the store ignores SIGXFSZ; this handler, set after the store is made, does not).
        std::signal(SIGXFSZ, [](int) { ::raise(SIGKILL); });
        const rlimit limit{4096, 4096};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return 3;
        w.exportCsv();
        return 2;
    });
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "status " << status;
    EXPECT_EQ(leftovers(), std::vector<std::string>{});
    EXPECT_EQ(readFile(dir_ / "ip-file.csv"), kPrevious);

    PosixWindow w;
    w.calculate("192.168.1.130", 26);
    expectGoodExport(w);
}

// A small file system of its own (tmpfs) in a mount namespace of a child process, so that
// nothing of it is seen outside and it goes with the child.
struct FullCase {
    const char* name;
    bool hardLinked;
    const char* oldGolden;  // the old content: a golden file, or null for kPrevious
    long long leave;        // bytes left free; 0: the file system is full
    const char* dotted;
    int prefix;
    const char* newGolden;  // what an export that fits writes
    bool fits;
};
void PrintTo(const FullCase& c, std::ostream* os) {
    *os << c.name;
}

class FullFileSystem : public FileStore, public testing::WithParamInterface<FullCase> {};

// Fills the current folder's file system with the file "filler" and then frees leave bytes.
bool fill(long long leave) {
    const int fd = ::open("filler", O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    const std::string chunk(65536, 'x');
    off_t size = 0;
    for (;;) {
        const ssize_t n = ::write(fd, chunk.data(), chunk.size());
        if (n <= 0)
            break;
        size += n;
    }
    const bool ok = errno == ENOSPC && ::ftruncate(fd, size > leave ? size - leave : 0) == 0;
    ::close(fd);
    return ok;
}

int runOnFullFileSystem(const FullCase& c, const std::string& oldContent,
                        const std::string& newContent) {
    int failures = 0;
    auto check = [&failures](bool ok, const char* what) {
        if (!ok) {
            std::fprintf(stderr, "failed: %s\n", what);
            ++failures;
        }
    };
    writeFile("ip-file.csv", oldContent);
    if (c.hardLinked && ::link("ip-file.csv", "second-name.csv") != 0)
        return 90;
    if (!fill(c.leave))
        return 91;
    const int status = childExport(c.dotted, c.prefix);
    check(status == (c.fits ? 1 : 0), "the export's outcome");
    const std::string now = readFile("ip-file.csv");
    check(now == (c.fits ? newContent : oldContent), "old content or the complete new content");
    if (c.hardLinked)
        check(readFile("second-name.csv") == oldContent, "the second name keeps the old content");
    check(namesStartingWith(".", "ip-file.csv.").empty(), "no temporary file left");
    if (!c.fits) {
        // With room again, the same export goes through.
        check(::unlink("filler") == 0, "removing the filler");
        check(childExport(c.dotted, c.prefix) == 1, "the export with room");
        check(readFile("ip-file.csv") == newContent, "the new content with room");
    }
    return failures == 0 ? 0 : 1;
}

TEST_P(FullFileSystem, OldOrCompleteNewContent) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to mount a small file system";
    const FullCase& c = GetParam();
    const std::string oldContent = c.oldGolden ? golden(c.oldGolden) : kPrevious;
    const std::string newContent = golden(c.newGolden);
    const fs::path mountPoint = dir_ / "fs";
    fs::create_directory(mountPoint);
    const int status = inChild([&] {
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", mountPoint.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=1m") != 0 ||
            ::chdir(mountPoint.c_str()) != 0)
            return 77;
        return runOnFullFileSystem(c, oldContent, newContent);
    });
    if (status == 77)
        GTEST_SKIP() << "cannot mount a tmpfs in a mount namespace here";
    EXPECT_EQ(status, 0) << "see the failures the child printed above";
}

INSTANTIATE_TEST_SUITE_P(
    FileStore, FullFileSystem,
    testing::Values(
        // A second copy does not fit, nor would the new content in the old file's space.
        FullCase{"Renamed", false, nullptr, 65536, "172.16.5.4", 30, "csv_b_16384_networks.csv",
                 false},
        FullCase{"InPlace", true, nullptr, 65536, "172.16.5.4", 30, "csv_b_16384_networks.csv",
                 false},
        // Nothing is free: the shorter new content would fit in the old file's space, but no
        // second copy fits beside it, and nothing else keeps the old content safe.
        FullCase{"FullButTheOldFileHasRoom", false, "csv_b_16384_networks.csv", 0, "192.168.1.130",
                 26, "csv_c_26.csv", false},
        FullCase{"FullButTheOldFileHasRoomInPlace", true, "csv_b_16384_networks.csv", 0,
                 "192.168.1.130", 26, "csv_c_26.csv", false}),
    [](const auto& i) { return std::string(i.param.name); });

TEST(ExecutableFolder, BecomesTheCurrentDirectory) {
    const fs::path before = fs::current_path();
    const fs::path exe = fs::read_symlink("/proc/self/exe");
    if (::faccessat(AT_FDCWD, exe.parent_path().c_str(), W_OK | X_OK, AT_EACCESS) != 0)
        GTEST_SKIP() << "the test's own folder is not the user's to write: the program folder "
                        "would be the user's data folder (see EnterFolder)";
    EXPECT_EQ(platform::ExecutableFolder::folder(), exe.parent_path());
    fs::current_path(fs::temp_directory_path());
    platform::ExecutableFolder folder;
    EXPECT_TRUE(folder.makeCurrent());
    EXPECT_EQ(fs::current_path(), exe.parent_path());
    fs::current_path(before);
}

// Which folder the program keeps its files in, for where its executable lives.
struct FolderCase {
    const char* name;
    const char* executableFolder;
    bool writable;
    const char* home;
    const char* expected;
    const char* documents = "";
};
void PrintTo(const FolderCase& c, std::ostream* os) {
    *os << c.name;
}

class ProgramFolder : public testing::TestWithParam<FolderCase> {};

TEST_P(ProgramFolder, ForTheExecutablesFolder) {
    const FolderCase& c = GetParam();
    const platform::FolderFacts facts{c.executableFolder, c.writable, c.home, c.documents};
    EXPECT_EQ(platform::programFolderFor(facts), fs::path(c.expected));
}

constexpr const char* kDocs = "/home/u/Documents/Sabrota";
constexpr const char* kRootDocs = "/root/Documents/Sabrota";

INSTANTIATE_TEST_SUITE_P(
    ExecutableFolder, ProgramFolder,
    testing::Values(
        // A copy in a folder of its own that the user may write keeps its files beside it.
        FolderCase{"OwnFolder", "/home/u/tools/sabrota", true, "/home/u", "/home/u/tools/sabrota"},
        FolderCase{"OwnFolderBelowHomeBin", "/home/u/bin/sabrota", true, "/home/u",
                   "/home/u/bin/sabrota"},
        FolderCase{"FolderNamedLikeUsr", "/usr2/bin", true, "/home/u", "/usr2/bin"},
        FolderCase{"FolderNamedLikeOpt", "/optimal", true, "/home/u", "/optimal"},
        FolderCase{"Root", "/", true, "/root", "/"},
        // A folder the user may not write.
        FolderCase{"NotWritable", "/srv/shared/sabrota", false, "/home/u", kDocs},
        // Shared folders of installed programs, even for a user who may write them (root).
        FolderCase{"UsrBin", "/usr/bin", true, "/root", kRootDocs},
        FolderCase{"UsrBinWithSlash", "/usr/bin/", true, "/root", kRootDocs},
        FolderCase{"UsrLocalBin", "/usr/local/bin", true, "/home/u", kDocs},
        FolderCase{"UsrLocalShare", "/usr/local/share/sabrota", true, "/home/u", kDocs},
        FolderCase{"UsrGames", "/usr/games", true, "/home/u", kDocs},
        FolderCase{"Opt", "/opt/sabrota/bin", true, "/home/u", kDocs},
        FolderCase{"Bin", "/bin", true, "/root", kRootDocs},
        FolderCase{"Sbin", "/sbin", true, "/root", kRootDocs},
        FolderCase{"LocalBin", "/home/u/.local/bin", true, "/home/u", kDocs},
        FolderCase{"LocalBinHomeWithSlash", "/home/u/.local/bin", true, "/home/u/", kDocs},
        FolderCase{"HomeBin", "/home/u/bin", true, "/home/u", kDocs},
        // Where the documents folder is.
        FolderCase{"DocumentsDir", "/usr/bin", true, "/home/u", "/home/u/Dokumente/Sabrota",
                   "/home/u/Dokumente"},
        FolderCase{"RelativeDocumentsDirDoesNotCount", "/usr/bin", true, "/home/u", kDocs,
                   "Dokumente"},
        FolderCase{"UnknownExecutable", "", false, "/home/u", kDocs},
        FolderCase{"NoHome", "/usr/bin", true, "", ""},
        FolderCase{"RelativeHome", "/usr/bin", true, "home/u", ""}),
    [](const auto& i) { return std::string(i.param.name); });

// XDG_DOCUMENTS_DIR as user-dirs.dirs sets it.
TEST(ExecutableFolder, DocumentsFolderOfUserDirs) {
    const std::pair<const char*, const char*> cases[] = {
        {"XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n", "/home/u/Dokumente"},
        {"# comment\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\r\n  XDG_DOCUMENTS_DIR=\"/srv/d\"\r\n",
         "/srv/d"},
        {"XDG_DOCUMENTS_DIR=\"$HOME/\"", "/home/u/"},
        {"XDG_DOCUMENTS_DIR=\"$HOME/My \\\"Docs\\\"\"", "/home/u/My \"Docs\""},
        {"XDG_DOCUMENTS_DIR=\"$HOME/a\"\nXDG_DOCUMENTS_DIR=\"$HOME/b\"", "/home/u/b"},
        {"XDG_DOCUMENTS_DIR=\"relative\"", ""},
        {"XDG_DOCUMENTS_DIR=\"$HOMEX/a\"", ""},
        {"#XDG_DOCUMENTS_DIR=\"/srv/d\"", ""},
        {"", ""},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(platform::documentsFolderIn(text, "/home/u"), expected) << text;
}

// Entering the program folder on real folders: a fresh home with nothing below it.
class EnterFolder : public testing::Test {
  protected:
    void SetUp() override {
        before_ = fs::current_path();
        std::string tmpl = (fs::temp_directory_path() / "sabrota-home-XXXXXX").string();
        ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
        home_ = tmpl;
    }
    void TearDown() override {
        fs::current_path(before_);
        std::error_code ec;
        fs::remove_all(home_, ec);
    }
    platform::FolderFacts installed() const { return {"/usr/bin", true, home_.string(), ""}; }
    fs::path documents() const { return home_ / "Documents" / "Sabrota"; }
    fs::path before_;
    fs::path home_;
};

TEST_F(EnterFolder, MakesTheDataFolderForTheUserAlone) {
    for (const mode_t mask : {mode_t{022}, mode_t{0}, mode_t{0277}}) {
        SCOPED_TRACE(mask);
        std::error_code ec;
        fs::remove_all(home_ / "Documents", ec);
        const mode_t previous = ::umask(mask);
        const bool entered = platform::ExecutableFolder::enter(installed());
        ::umask(previous);
        ASSERT_TRUE(entered);
        EXPECT_EQ(fs::current_path(), documents());
        for (const fs::path& made : {home_ / "Documents", documents()})
            EXPECT_EQ(modeOf(made), 0700U) << made;
        fs::current_path(before_);
    }
}

// A folder of the user's own that others may read but not write is used, for the user alone.
TEST_F(EnterFolder, LeavesAnExistingDataFolderAsItIs) {
    fs::create_directories(documents());
    ASSERT_EQ(::chmod(documents().c_str(), 0755), 0);
    ASSERT_EQ(::chmod((home_ / "Documents").c_str(), 0755), 0);
    writeFile(documents() / "ip-memo.txt", "memo");
    ASSERT_TRUE(platform::ExecutableFolder::enter(installed()));
    EXPECT_EQ(fs::current_path(), documents());
    EXPECT_EQ(modeOf(documents()), 0700U);
    EXPECT_EQ(modeOf(home_ / "Documents"), 0755U) << "a folder above, not made here, stays";
    EXPECT_EQ(readFile("ip-memo.txt"), "memo");
}

TEST_F(EnterFolder, OwnFolderCreatesNothing) {
    fs::create_directory(home_ / "tools");
    ASSERT_TRUE(platform::ExecutableFolder::enter({home_ / "tools", true, home_.string(), ""}));
    EXPECT_EQ(fs::current_path(), home_ / "tools");
    EXPECT_FALSE(fs::exists(home_ / ".local"));
    EXPECT_FALSE(fs::exists(home_ / "Documents"));
}

TEST_F(EnterFolder, DataFolderThatCannotBeMadeKeepsTheCurrentDirectory) {
    writeFile(home_ / "Documents", "a file where the folder would go");
    fs::current_path(home_);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(platform::ExecutableFolder::enter(installed()));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "sabrota: not using the folder " +
                                                          (home_ / "Documents").string() +
                                                          ": it is not a folder\n");
    EXPECT_EQ(fs::current_path(), home_);
}

// Program folders that another user controls, or could: refused with one line on stderr, and
// nothing read or written through them. Run as root, "another user" is nobody.
struct Hijack {
    const char* name;
    bool nobodys;  // the folder belongs to nobody
    mode_t mode;
    bool link;  // the folder is a symbolic link to a folder of the user's
    const char* why;
};

TEST_F(EnterFolder, RefusesAFolderOthersControl) {
    const Hijack cases[] = {
        {"AnotherUsersFolder", true, 0777, false, "it belongs to another user"},
        {"AnotherUsersClosedFolder", true, 0700, false, "it belongs to another user"},
        {"OwnFolderOthersMayWrite", false, 0777, false, "others may write to it"},
        {"OwnFolderTheGroupMayWrite", false, 0770, false, "others may write to it"},
        {"SymbolicLink", false, 0700, true, "it is a symbolic link"},
    };
    for (const Hijack& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.nobodys && ::geteuid() != 0)
            continue;
        std::error_code ec;
        fs::remove_all(home_ / "Documents", ec);
        fs::create_directories(home_ / "Documents" / "planted");
        writeFile(home_ / "notes.txt", "the victim's notes");
        const fs::path folder = c.link ? home_ / "Documents" / "planted" : documents();
        if (c.link)
            fs::create_directory_symlink(folder, documents());
        else
            fs::create_directory(folder);
        fs::create_symlink(home_ / "notes.txt", folder / "ip-file.csv");
        ASSERT_EQ(::chmod(folder.c_str(), c.mode), 0);
        if (c.nobodys) {
            ASSERT_EQ(::lchown(folder.c_str(), kNobody, kNobody), 0);
        }
        fs::current_path(home_);
        testing::internal::CaptureStderr();
        EXPECT_FALSE(platform::ExecutableFolder::enter(installed()));
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  "sabrota: not using the folder " + documents().string() + ": " + c.why + "\n");
        EXPECT_EQ(fs::current_path(), home_);
        EXPECT_EQ(readFile(home_ / "notes.txt"), "the victim's notes");
        EXPECT_TRUE(fs::is_symlink(folder / "ip-file.csv"));
    }
}

TEST(ExecutableFolder, FactsOfThisProcess) {
    const platform::FolderFacts f = platform::ExecutableFolder::facts();
    EXPECT_EQ(f.executableFolder, fs::read_symlink("/proc/self/exe").parent_path());
    EXPECT_EQ(f.executableFolderWritable,
              ::faccessat(AT_FDCWD, f.executableFolder.c_str(), W_OK | X_OK, AT_EACCESS) == 0);
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home != '\0') {
        EXPECT_EQ(f.home, home);
    } else {
        EXPECT_FALSE(f.home.empty()) << "the account's home folder stands in for HOME";
    }
}

}  // namespace
