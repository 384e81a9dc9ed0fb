// The portable INI reader/writer: the shared conformance cases (also run
// against kernel32 by ini_conformance.exe), then what only a file-level
// test can see: exact bytes written, hand-made layout kept, atomic
// replacement, hostile and large files.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "conformance/ini_cases.h"
#include "platform/ini/portable_ini.h"
#include "platform/sim/sim_platform.h"

namespace wl {
namespace {

namespace fs = std::filesystem;

class ScratchFolder {
  public:
    ScratchFolder() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("wl_ini_") + info->test_suite_name() + "_" + info->name();
        for (char& c : name) {
            if (c == '/') {
                c = '_';
            }
        }
        path_ = fs::temp_directory_path() / name;
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ec;
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
        // Windows does not delete a read-only file, whatever its folder allows.
        for (const auto& entry : fs::directory_iterator(path_, ec)) {
            fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add, ec);
        }
        fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

  private:
    fs::path path_;
};

void put(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string get(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> names_in(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// --- The shared conformance table ----------------------------------------

class IniConformance : public ::testing::TestWithParam<std::size_t> {};

TEST_P(IniConformance, BehavesLikeKernel32) {
    ScratchFolder folder;
    sim::CallLog log;
    sim::SimFiles files(log, folder.path().string());
    const auto& ini_case = conformance::ini_cases()[GetParam()];
    const auto result = conformance::run_ini_case(files, folder.path().string(), ini_case);
    EXPECT_TRUE(result.passed) << ini_case.name << ": " << result.detail;
}

INSTANTIATE_TEST_SUITE_P(Cases, IniConformance,
                         ::testing::Range<std::size_t>(0, conformance::ini_cases().size()));

// --- Bytes and layout -----------------------------------------------------

TEST(PortableIni, WrittenLinesEndInCrlfAndHandMadeLayoutSurvives) {
    struct Case {
        const char* name;
        std::string before;
        const char *section, *key, *value;
        std::string after;
    };
    const Case cases[] = {
        {"new file", "", "S", "k", "v", "[S]\r\nk=v\r\n"},
        {"LF lines become CRLF", "[A]\nx=1\n", "A", "y", "2", "[A]\r\nx=1\r\ny=2\r\n"},
        {"blank lines trailing a section stay behind the new key",
         "[A]\r\nx=1\r\n\r\n\r\n[B]\r\ny=2\r\n\r\n", "A", "z", "3",
         "[A]\r\nx=1\r\nz=3\r\n\r\n\r\n[B]\r\ny=2\r\n\r\n"},
        {"blank lines at the end stay at the end", "[A]\r\nx=1\r\n\r\n", "A", "z", "3",
         "[A]\r\nx=1\r\nz=3\r\n\r\n"},
        {"other lines keep their blanks and comments",
         "; my profile\r\n[ A ]\r\n  x = 1  \r\n;note\r\n", "a", "y", "2",
         "; my profile\r\n[ A ]\r\n  x = 1  \r\n;note\r\ny=2\r\n"},
        {"a replaced line keeps the key's spelling without its blanks",
         "[A]\r\n  Key\t= old \r\nz=1\r\n", "A", "KEY", "new", "[A]\r\nKey=new\r\nz=1\r\n"},
        {"the value is written from its first non-blank", "", "A", "k", " \t spaced ",
         "[A]\r\nk=spaced \r\n"},
        {"a line without = gets the value, the rest of the section stays",
         "[A]\r\n  Key \r\n\r\n;note\r\n", "A", "key", "v", "[A]\r\nKey=v\r\n\r\n;note\r\n"},
        {"a byte order mark is kept", "\xEF\xBB\xBF[A]\r\nx=1\r\n", "A", "y", "2",
         "\xEF\xBB\xBF[A]\r\nx=1\r\ny=2\r\n"},
    };
    ScratchFolder folder;
    const std::string path = folder.file("p.ini");
    for (const Case& c : cases) {
        fs::remove(path);
        if (!c.before.empty()) {
            put(path, c.before);
        }
        ASSERT_TRUE(ini::write_private_profile_string(c.section, c.key, c.value, path)) << c.name;
        EXPECT_EQ(get(path), c.after) << c.name;
    }
}

TEST(PortableIni, ReadsPastOddBytes) {
    ScratchFolder folder;
    const std::string path = folder.file("p.ini");
    // A byte order mark does not hide the first section; a NUL ends what a
    // line says but not the file.
    put(path, std::string("\xEF\xBB\xBF[A]\r\nx=1\0zz\r\ny=2\r\n", 20));
    EXPECT_EQ(ini::get_private_profile_string("A", "x", "D", 256, path), "1");
    EXPECT_EQ(ini::get_private_profile_string("A", "y", "D", 256, path), "2");
}

TEST(PortableIni, DefaultQuirksOfKernel32) {
    // Seen from kernel32 under Wine: trailing spaces go but never the first
    // character, and enclosing quotes go as from a value.
    ScratchFolder folder;
    const std::string path = folder.file("none.ini");
    EXPECT_EQ(ini::get_private_profile_string("A", "x", "  ", 256, path), " ");
    EXPECT_EQ(ini::get_private_profile_string("A", "x", "\"q\"", 256, path), "q");
    EXPECT_EQ(ini::get_private_profile_string("A", "x", "D", 0, path), "");
}

// --- Never lose a profile -------------------------------------------------

TEST(PortableIni, FailedWritesLeaveTheFileAsItWas) {
    ScratchFolder folder;
    // A path naming a folder: nothing to read, nothing may be replaced.
    const std::string dir = folder.file("looks.ini");
    fs::create_directory(dir);
    put((fs::path(dir) / "inside.txt").string(), "keep");
    EXPECT_FALSE(ini::write_private_profile_string("A", "x", "1", dir));
    EXPECT_EQ(get((fs::path(dir) / "inside.txt").string()), "keep");
    EXPECT_EQ(ini::get_private_profile_string("A", "x", "D", 256, dir), "D");
    // No file name at all.
    EXPECT_FALSE(ini::write_private_profile_string("A", "x", "1", ""));
    EXPECT_EQ(ini::get_private_profile_string("A", "x", "D", 256, ""), "D");
    EXPECT_EQ(names_in(folder.path()), std::vector<std::string>{"looks.ini"});
}

TEST(PortableIni, RefusedWritesLeaveTheProfileAlone) {
    ScratchFolder folder;
    const std::string path = folder.file("p.ini");
    const std::string before = "[A]\r\nx=1\r\n";
    put(path, before);
    // Line breaks would plant lines of their own in the profile.
    EXPECT_FALSE(ini::write_private_profile_string("A", "x", "1\r\n[Evil]", path));
    EXPECT_FALSE(ini::write_private_profile_string("A", "y\n", "1", path));
    EXPECT_FALSE(ini::write_private_profile_string("A\r", "y", "1", path));
    EXPECT_EQ(get(path), before);
    // A read-only profile is not replaced, whoever runs the program.
    fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_FALSE(ini::write_private_profile_string("A", "x", "2", path));
    EXPECT_EQ(get(path), before);
    EXPECT_EQ(names_in(folder.path()), std::vector<std::string>{"p.ini"});
}

TEST(PortableIni, ReadOnlyFolderKeepsTheOldFile) {
    ScratchFolder folder;
    const std::string path = folder.file("p.ini");
    put(path, "[A]\r\nx=1\r\n");
    fs::permissions(folder.path(),
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    {
        std::ofstream probe(folder.path() / "probe");
        if (probe) {
            GTEST_SKIP() << "a read-only folder cannot be made here: root passes permission "
                            "bits, and Windows ignores the read-only attribute of a folder";
        }
    }
    EXPECT_FALSE(ini::write_private_profile_string("A", "x", "2", path));
    EXPECT_EQ(get(path), "[A]\r\nx=1\r\n");
    EXPECT_EQ(names_in(folder.path()), std::vector<std::string>{"p.ini"});
}

TEST(PortableIni, SuccessfulWritesLeaveNoTemporaryFiles) {
    ScratchFolder folder;
    // The longest name a folder entry may have: the replacement must not
    // need a longer one.
    const std::string path = folder.file(std::string(251, 'p') + ".ini");
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(ini::write_private_profile_string("A", "k" + std::to_string(i % 5),
                                                      std::to_string(i), path));
    }
    EXPECT_EQ(names_in(folder.path()), std::vector<std::string>{std::string(251, 'p') + ".ini"});
    EXPECT_EQ(ini::get_private_profile_string("A", "k4", "D", 256, path), "19");
}

// --- Hostile and large files ----------------------------------------------

TEST(PortableIni, BinaryGarbageIsReadAndWrittenWithoutHarm) {
    ScratchFolder folder;
    const std::string path = folder.file("garbage.ini");
    std::mt19937 random(7);
    std::string garbage(1 << 20, '\0');
    for (char& c : garbage) {
        c = static_cast<char>(random() & 0xFF);
    }
    put(path, garbage);
    EXPECT_EQ(ini::get_private_profile_string("WindowTitles", "Num_Windows", "0", 256, path), "0");
    ASSERT_TRUE(ini::write_private_profile_string("WindowTitles", "Num_Windows", "1", path));
    EXPECT_EQ(ini::get_private_profile_string("WindowTitles", "Num_Windows", "0", 256, path), "1");
}

TEST(PortableIni, MegabyteProfilesTakeLinearTime) {
    ScratchFolder folder;
    const std::string path = folder.file("big.ini");
    const std::string entry = "Some window title[OK]<<#32770>>";
    std::string content = "[WindowTitles]\r\n";
    for (int i = 0; i < 150000; ++i) {
        content += "Title" + std::to_string(i) + "=" + entry + "\r\n";
    }
    put(path, content);
    ASSERT_GT(content.size(), 5u << 20);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ini::get_private_profile_string("WindowTitles", "Title149999", "D", 256, path),
              entry);
    ASSERT_TRUE(ini::write_private_profile_string("WindowTitles", "Title0", "x", path));
    ASSERT_TRUE(ini::write_private_profile_string("WindowTitles", "New", "y", path));
    EXPECT_EQ(ini::get_private_profile_string("WindowTitles", "New", "D", 256, path), "y");
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_LT(elapsed, std::chrono::seconds(10));
    EXPECT_EQ(fs::file_size(path), content.size() - entry.size() +
                                       std::string("x"
                                                   "New=y\r\n")
                                           .size());
}

}  // namespace
}  // namespace wl
