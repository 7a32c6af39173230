// SPDX-License-Identifier: MIT
// The Windows file store and program folder on real files, run under Wine.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "platform/windows/services/windows_services.h"
#include "platform/windows/windows_api.h"

namespace fs = std::filesystem;
using sabrota::platform::programFolderFor;
using sabrota::platform::WindowsFileStore;
using sabrota::platform::WindowsProgramFolder;

namespace {

std::string read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void write(const fs::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}

// Sets a file's last write time this many minutes back.
void age(const fs::path& p, int minutes) {
    HANDLE h = CreateFileW(p.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER t{{now.dwLowDateTime, now.dwHighDateTime}};
    t.QuadPart -= static_cast<ULONGLONG>(minutes) * 60 * 10'000'000;
    FILETIME then{t.LowPart, t.HighPart};
    SetFileTime(h, nullptr, nullptr, &then);
    CloseHandle(h);
}

int temporaries(const fs::path& folder) {
    int n = 0;
    for (const auto& e : fs::directory_iterator(folder))
        n += e.path().filename().string().starts_with(".ip-file.csv.sabrota-");
    return n;
}

class Folder : public testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("sabrota-store-" + std::to_string(GetCurrentProcessId()) + "-" +
               testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        before = fs::current_path();
        fs::current_path(dir);
    }
    void TearDown() override {
        fs::current_path(before);
        for (const auto& e : fs::directory_iterator(dir))
            SetFileAttributesW(e.path().c_str(), FILE_ATTRIBUTE_NORMAL);
        fs::remove_all(dir);
    }
    fs::path dir, before;
};

struct StoreCase {
    const char* name;
    const char* old;  // nullptr: no file before
    // Done before the export; returns what must be undone afterwards.
    std::function<std::function<void()>(const fs::path&)> arrange;
    bool replaced;
};

class Store : public Folder, public testing::WithParamInterface<StoreCase> {};

TEST_P(Store, OldOrWholeNewContent) {
    const StoreCase& c = GetParam();
    const fs::path target = dir / "ip-file.csv";
    if (c.old)
        write(target, c.old);
    std::function<void()> undo = c.arrange ? c.arrange(target) : nullptr;
    const std::string fresh(200'000, 'n');
    const bool ok = WindowsFileStore().replaceFile("ip-file.csv", fresh);
    if (undo)
        undo();
    EXPECT_EQ(ok, c.replaced);
    EXPECT_EQ(read(target), c.replaced ? fresh : std::string(c.old ? c.old : ""));
    EXPECT_EQ(temporaries(dir), 0);
}

// A spreadsheet keeps the file it shows open for reading and writing, sharing reads only.
std::function<void()> heldOpen(const fs::path& p) {
    HANDLE h = CreateFileW(p.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    return [h] { CloseHandle(h); };
}

std::function<void()> readOnly(const fs::path& p) {
    SetFileAttributesW(p.c_str(), FILE_ATTRIBUTE_READONLY);
    return nullptr;
}

INSTANTIATE_TEST_SUITE_P(Cases, Store,
                         testing::Values(StoreCase{"new_file", nullptr, nullptr, true},
                                         StoreCase{"existing_file", "old", nullptr, true},
                                         StoreCase{"held_open_by_a_spreadsheet", "old", heldOpen,
                                                   false},
                                         StoreCase{"read_only_file", "old", readOnly, false}),
                         [](const auto& i) { return std::string(i.param.name); });

TEST_F(Folder, SweepTakesOnlyOldTemporariesOfItsOwn) {
    const char* kept[] = {"ip-file.csv.backup", "ip-file.csv.202412", "ip-file.csv.notes1",
                          ".ip-file.csv.sabrota-young"};
    for (const char* name : kept) {
        write(dir / name, "mine");
        age(dir / name, 120);
    }
    age(dir / ".ip-file.csv.sabrota-young", 0);
    write(dir / ".ip-file.csv.sabrota-1-1", "left by a killed export");
    age(dir / ".ip-file.csv.sabrota-1-1", 5);
    ASSERT_TRUE(WindowsFileStore().replaceFile("ip-file.csv", "new"));
    ASSERT_TRUE(WindowsFileStore().replaceFile("ip-file.csv", "newer"));
    for (const char* name : kept)
        EXPECT_EQ(read(dir / name), "mine") << name;
    EXPECT_FALSE(fs::exists(dir / ".ip-file.csv.sabrota-1-1"));
    EXPECT_EQ(read(dir / "ip-file.csv"), "newer");
}

TEST_F(Folder, MissingFolderIsRefused) {
    EXPECT_FALSE(WindowsFileStore().replaceFile("absent\\ip-file.csv", "new"));
}

struct FolderCase {
    const char* name;
    const wchar_t* exe;
    bool writable;
    const wchar_t* documents;
    const wchar_t* chosen;
};

class ProgramFolder : public testing::TestWithParam<FolderCase> {};

TEST_P(ProgramFolder, Chosen) {
    const FolderCase& c = GetParam();
    EXPECT_EQ(programFolderFor(c.exe, c.writable, c.documents), c.chosen);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProgramFolder,
    testing::Values(FolderCase{"own_folder", L"D:\\tools", true, L"C:\\Users\\u\\Documents",
                               L"D:\\tools"},
                    FolderCase{"program_files", L"C:\\Program Files\\Sabrota", false,
                               L"C:\\Users\\u\\Documents", L"C:\\Users\\u\\Documents\\Sabrota"},
                    FolderCase{"unknown_exe", L"", false, L"C:\\Users\\u\\Documents",
                               L"C:\\Users\\u\\Documents\\Sabrota"},
                    FolderCase{"nowhere", L"C:\\Program Files\\Sabrota", false, L"", L""}),
    [](const auto& i) { return std::string(i.param.name); });

TEST_F(Folder, WritableIsFoundByTrying) {
    EXPECT_TRUE(WindowsProgramFolder::writable(dir.wstring()));
    EXPECT_FALSE(WindowsProgramFolder::writable((dir / "absent").wstring()));
    EXPECT_TRUE(fs::is_empty(dir));
}

TEST_F(Folder, MakeCurrentEntersTheExecutablesFolder) {
    ASSERT_TRUE(WindowsProgramFolder().makeCurrent());
    EXPECT_EQ(fs::current_path(), fs::path(WindowsProgramFolder::executableFolder()));
    EXPECT_FALSE(WindowsProgramFolder::documents().empty());
}

}  // namespace
