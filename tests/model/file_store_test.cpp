// The export against real files: PosixFileStore in a fresh folder that the test makes current.
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
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

class FileStore : public testing::Test {
  protected:
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

    std::vector<std::string> leftovers() const {
        std::vector<std::string> found;
        for (const auto& e : fs::directory_iterator(dir_)) {
            const std::string n = e.path().filename().string();
            if (n.rfind("ip-file.csv.", 0) == 0)
                found.push_back(n);
        }
        return found;
    }

    // What every failed export must leave: the box, the old file, no temporary file, the button.
    void expectFailedExport(PosixWindow& w, const std::string& kept) {
        EXPECT_EQ(w.exportCsv(), kFailure);
        EXPECT_EQ(w.box.shown.back().style, 0);
        EXPECT_EQ(w.box.shown.back().title, "Sabrota");
        if (fs::is_regular_file(dir_ / "ip-file.csv")) {
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

mode_t modeOf(const fs::path& p) {
    struct stat st {};
    EXPECT_EQ(::stat(p.c_str(), &st), 0);
    return st.st_mode & 07777;
}

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

TEST_F(FileStore, ImmutableFolder) {
    writeFile(dir_ / "ip-file.csv", kPrevious);
    if (!makeImmutable(dir_))
        GTEST_SKIP() << "the immutable attribute cannot be set here (needs root on ext4 or alike)";
    PosixWindow w;
    w.calculate("192.168.1.130", 26);
    expectFailedExport(w, kPrevious);
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

// Runs body in a child process and returns its exit status (-1 when it did not exit).
template <typename Body>
int inChild(Body body) {
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(body());
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
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

TEST_F(FileStore, ReadOnlyFileForAnotherUser) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to act as another user; see ReadOnlyFile";
    // A folder anybody may write to, holding a read-only file of root's: a rename by another
    // user would replace it, which the store must refuse.
    ASSERT_EQ(::chmod(dir_.c_str(), 0777), 0);
    writeFile(dir_ / "ip-file.csv", kPrevious);
    ASSERT_EQ(::chmod((dir_ / "ip-file.csv").c_str(), 0444), 0);
    const int status = inChild([] {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
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

TEST_F(FileStore, SymbolicLinkIsNotFollowed) {
    writeFile(dir_ / "elsewhere.txt", kPrevious);
    fs::create_symlink("elsewhere.txt", dir_ / "ip-file.csv");
    PosixWindow w;
    w.calculate("192.168.1.130", 26);
    expectFailedExport(w, kPrevious);  // read through the link: the target is untouched
    EXPECT_TRUE(fs::is_symlink(dir_ / "ip-file.csv"));
}

TEST(ExecutableFolder, BecomesTheCurrentDirectory) {
    const fs::path before = fs::current_path();
    const fs::path exe = fs::read_symlink("/proc/self/exe");
    EXPECT_EQ(platform::ExecutableFolder::folder(), exe.parent_path());
    fs::current_path(fs::temp_directory_path());
    platform::ExecutableFolder folder;
    EXPECT_TRUE(folder.makeCurrent());
    EXPECT_EQ(fs::current_path(), exe.parent_path());
    fs::current_path(before);
}

}  // namespace
