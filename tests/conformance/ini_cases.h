// Conformance cases of the private-profile (INI) calls, run against any
// wl::FileSystem: natively through the portable implementation (unit tests)
// and on Windows / Wine through kernel32 (ini_conformance.exe), so that both
// are held to the same observable behaviour.
//
// Each case starts from given file bytes (or no file), runs reads and writes
// in order and checks every read result, every write's success and the file
// left behind (compared with line ends normalised to "\n").
#pragma once

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "platform/platform.h"

namespace wl::conformance {

struct IniStep {
    bool write = false;
    std::string section;
    std::string key;
    std::string text;  // the default of a read, the value of a write
    int buffer_chars = 256;
    std::string expected;    // a read's result
    bool write_ok = true;    // a write's success
    bool list_keys = false;  // a read of the section's key names, expected "|"-joined
};

inline IniStep read(std::string section, std::string key, std::string default_value,
                    std::string expected, int buffer_chars = 256) {
    return IniStep{false,
                   std::move(section),
                   std::move(key),
                   std::move(default_value),
                   buffer_chars,
                   std::move(expected),
                   true};
}

inline IniStep write(std::string section, std::string key, std::string value, bool ok = true) {
    return IniStep{true, std::move(section), std::move(key), std::move(value), 0, {}, ok};
}

inline IniStep keys(std::string section, std::string expected) {
    IniStep step = read(std::move(section), "", "", std::move(expected));
    step.list_keys = true;
    return step;
}

enum class FileCheck { Content, Absent, Unchecked };

struct IniCase {
    std::string name;
    std::optional<std::string> initial;  // file bytes; nullopt: no file
    std::vector<IniStep> steps;
    FileCheck check = FileCheck::Content;
    std::string expected_file;           // "\n" line ends
    std::string file_name = "case.ini";  // relative to the scratch folder, "/" separated
};

inline IniCase ini_case(std::string name, std::optional<std::string> initial,
                        std::vector<IniStep> steps, FileCheck check, std::string expected_file = {},
                        std::string file_name = "case.ini") {
    return IniCase{std::move(name), std::move(initial),       std::move(steps),
                   check,           std::move(expected_file), std::move(file_name)};
}

inline const std::vector<IniCase>& ini_cases() {
    static const std::vector<IniCase> cases = {
        // --- Reading -------------------------------------------------------
        ini_case("key names of a section, in file order",
                 "[Other]\r\nz=1\r\n[WindowTitles]\r\nNum_Windows=2\r\n; note\r\n"
                 "  Title2 = b\r\ntitle1=a\r\n[Last]\r\ny=2\r\n",
                 {keys("windowtitles", "Num_Windows|Title2|title1"), keys("Missing", ""),
                  keys("Last", "y")},
                 FileCheck::Unchecked),
        ini_case("key names of a missing file", std::nullopt, {keys("WindowTitles", "")},
                 FileCheck::Absent),
        ini_case(
            "missing file gives the default and is not created", std::nullopt,
            {read("WindowTitles", "Num_Windows", "0", "0"), read("A", "x", "NoTitle", "NoTitle")},
            FileCheck::Absent),
        ini_case("empty file gives the default", "",
                 {read("WindowTitles", "Num_Windows", "0", "0")}, FileCheck::Content, ""),
        ini_case("section and key names ignore letter case", "[WindowTitles]\r\nNum_Windows=3\r\n",
                 {read("windowtitles", "NUM_WINDOWS", "0", "3"),
                  read("WINDOWTITLES", "num_windows", "0", "3")},
                 FileCheck::Content, "[WindowTitles]\nNum_Windows=3\n"),
        ini_case("blanks around names and values are not part of them",
                 "  [ Sec ]  \r\n\t Key \t=\t  some  value \t \r\nx y = 1\r\n",
                 {read("Sec", "Key", "D", "some  value"), read("sec", "X Y", "D", "1")},
                 FileCheck::Unchecked),
        ini_case(
            "one pair of enclosing quotes is removed",
            "[A]\r\nq=\"quoted\"\r\nq2='single'\r\nq3=\"mixed'\r\nq4=\" inner "
            "\"\r\nq5=\"\r\nq6=\"\"\r\n"
            "q7='a\"\r\nq8=  \"a b\"  \r\nq9=\"\"x\"\"\r\n",
            {read("A", "q", "D", "quoted"), read("A", "q2", "D", "single"),
             read("A", "q3", "D", "\"mixed'"), read("A", "q4", "D", " inner "),
             read("A", "q5", "D", "\""), read("A", "q6", "D", ""), read("A", "q7", "D", "'a\""),
             read("A", "q8", "D", "a b"), read("A", "q9", "D", "\"x\"")},
            FileCheck::Unchecked),
        ini_case("the value is cut to the buffer less one",
                 "[A]\r\nlong=" + std::string(300, 'v') + "\r\nx=abcdefgh\r\nq=\"abcdefgh\"\r\n",
                 {read("A", "long", "D", std::string(255, 'v')), read("A", "x", "D", "abcd", 5),
                  read("A", "q", "D", "abcd", 5), read("A", "x", "D", "", 1)},
                 FileCheck::Unchecked),
        ini_case("the default loses trailing spaces and is cut like a value", std::nullopt,
                 {read("A", "x", "def  ", "def"), read("A", "x", " def", " def"),
                  read("A", "x", "def\t", "def\t"), read("A", "x", "defaultlong", "defa", 5),
                  read("A", "x", "", "")},
                 FileCheck::Absent),
        ini_case("missing section or key gives the default", "[A]\r\nx=1\r\n[B]\r\ny=2\r\n",
                 {read("C", "x", "D", "D"), read("A", "y", "D", "D"), read("B", "x", "D", "D"),
                  read("B", "y", "D", "2")},
                 FileCheck::Unchecked),
        ini_case("only the first section and the first key of a name count",
                 "[A]\r\nx=1\r\nx=2\r\n[B]\r\n[A]\r\ny=3\r\n",
                 {read("A", "x", "D", "1"), read("A", "y", "D", "D")}, FileCheck::Unchecked),
        ini_case("LF, CRLF and lone CR all end lines; the last line needs no line end",
                 "[A]\nx=1\r\ny=2\rz=3",
                 {read("A", "x", "D", "1"), read("A", "y", "D", "2"), read("A", "z", "D", "3")},
                 FileCheck::Unchecked),
        ini_case("comment lines and lines without = hold no key; text after = is all value",
                 "[A]\r\n;x=1\r\n  ;w=0\r\nnoeq\r\nx=2 ;not a comment\r\nk=a=b\r\n",
                 {read("A", "x", "D", "2 ;not a comment"), read("A", "w", "D", "D"),
                  read("A", "noeq", "D", "D"), read("A", "k", "D", "a=b")},
                 FileCheck::Unchecked),
        ini_case("a section name ends at the last ] of its line",
                 "[A] junk\r\nx=1\r\n[C]]\r\nz=3\r\n",
                 {read("A", "x", "D", "1"), read("C]", "z", "D", "3"), read("C", "z", "D", "D")},
                 FileCheck::Unchecked),

        ini_case("a line that opens a section without closing it belongs to the section above",
                 "[A]\r\n[B\r\ny=2\r\n[C]x=1\r\nz=3\r\n",
                 {read("A", "y", "D", "2"), read("B", "y", "D", "D"), read("C", "x", "D", "D"),
                  read("C", "z", "D", "3")},
                 FileCheck::Unchecked),
        ini_case("sections differing only in letter case are one name: the first counts",
                 "[A]\r\n[a]\r\nx=1\r\n",
                 {read("A", "x", "D", "D"), write("a", "y", "2"), read("A", "y", "D", "2")},
                 FileCheck::Content, "[A]\ny=2\n[a]\nx=1\n"),
        ini_case("quotes keep the blanks inside them; an empty value is no default",
                 "[A]\r\nx\t=\t\"\t\"\r\n",
                 {read("A", "x", "D", "\t"), write("A", "x", ""), read("A", "x", "D", "")},
                 FileCheck::Content, "[A]\nx=\n"),

        // --- Writing -------------------------------------------------------
        ini_case("a write creates a missing file", std::nullopt,
                 {write("Sec", "Key", "v"), read("Sec", "Key", "D", "v")}, FileCheck::Content,
                 "[Sec]\nKey=v\n"),
        ini_case("a profile written key by key", "",
                 {read("WindowTitles", "Num_Windows", "0", "0"),
                  write("WindowTitles", "Num_Windows", "1"),
                  write("WindowTitles", "Title1", "Rebuild Warnings[OK]<<#32770>>"),
                  write("WindowTitles", "Num_Windows", "2"),
                  write("WindowTitles", "Title2", "Close Document[&No]<<#32770>>"),
                  read("WindowTitles", "Title2", "0", "Close Document[&No]<<#32770>>"),
                  read("WindowTitles", "Num_Windows", "0", "2")},
                 FileCheck::Content,
                 "[WindowTitles]\nNum_Windows=2\nTitle1=Rebuild Warnings[OK]<<#32770>>\n"
                 "Title2=Close Document[&No]<<#32770>>\n"),
        ini_case("a missing section is added at the end", "[Sec]\r\nKey=v\r\n",
                 {write("Two", "a", "1")}, FileCheck::Content, "[Sec]\nKey=v\n[Two]\na=1\n"),
        ini_case("a new key goes after the last key of its section",
                 "[Sec]\r\nKey=v\r\n[Two]\r\na=1\r\n",
                 {write("sec", "New", "2"), write("two", "b", "3")}, FileCheck::Content,
                 "[Sec]\nKey=v\nNew=2\n[Two]\na=1\nb=3\n"),
        ini_case("an existing key keeps its place and spelling", "[Sec]\r\nKey=v\r\nNext=n\r\n",
                 {write("SEC", "KEY", "changed"), read("Sec", "Key", "D", "changed")},
                 FileCheck::Content, "[Sec]\nKey=changed\nNext=n\n"),
        ini_case("a file without a final line end gets one before the new line", "[A]\r\nx=1",
                 {write("A", "y", "2")}, FileCheck::Content, "[A]\nx=1\ny=2\n"),
        ini_case("LF-only files are written back whole", "[A]\nx=1\ny=2\n",
                 {write("A", "x", "9"), read("A", "y", "D", "2")}, FileCheck::Content,
                 "[A]\nx=9\ny=2\n"),
        ini_case("writes go to the first section and the first key of a name",
                 "[A]\r\nx=1\r\nx=2\r\n[B]\r\n[A]\r\ny=2\r\n",
                 {write("A", "x", "3"), write("A", "y", "4")}, FileCheck::Content,
                 "[A]\nx=3\nx=2\ny=4\n[B]\n[A]\ny=2\n"),
        ini_case("a comment at the end of a section stays above the new key",
                 "[A]\r\nx=1\r\n;note\r\n[B]\r\n", {write("A", "y", "2")}, FileCheck::Content,
                 "[A]\nx=1\n;note\ny=2\n[B]\n"),
        ini_case("text without sections is kept", "hello\r\n", {write("A", "y", "2")},
                 FileCheck::Content, "hello\n[A]\ny=2\n"),
        ini_case("a section header alone gets its first key", "[A]\r\n", {write("A", "y", "2")},
                 FileCheck::Content, "[A]\ny=2\n"),
        ini_case("a written value in quotes reads back without them", std::nullopt,
                 {write("A", "q", "\"x\""), read("A", "q", "D", "x")}, FileCheck::Content,
                 "[A]\nq=\"x\"\n"),
        ini_case("a write into a missing folder fails and creates nothing", std::nullopt,
                 {write("A", "x", "1", false), read("A", "x", "D", "D")}, FileCheck::Absent, "",
                 "no_such_folder/case.ini"),
    };
    return cases;
}

struct IniCaseResult {
    std::string name;
    bool passed = true;
    std::string detail;  // what differed, for a failed case
};

inline std::string normalise_line_ends(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;
        }
        out += text[i];
    }
    return out;
}

inline std::string printable(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\0') {
            out += "\\0";
        } else {
            out += c;
        }
    }
    return out;
}

// Runs one case in `folder` (which must exist), with paths joined by the
// file system's own separator.
inline IniCaseResult run_ini_case(FileSystem& files, const std::string& folder,
                                  const IniCase& ini_case) {
    IniCaseResult result{ini_case.name, true, {}};
    const auto fail = [&result](const std::string& what) {
        if (result.passed) {
            result.passed = false;
            result.detail = what;
        }
    };
    std::string path = folder + files.separator();
    for (const char c : ini_case.file_name) {
        path += c == '/' ? files.separator() : c;
    }
    const std::filesystem::path file(path);
    std::error_code ec;
    std::filesystem::remove(file, ec);
    if (ini_case.initial) {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(ini_case.initial->data(), static_cast<std::streamsize>(ini_case.initial->size()));
        if (!out) {
            fail("cannot prepare " + path);
            return result;
        }
    }
    for (std::size_t i = 0; i < ini_case.steps.size(); ++i) {
        const IniStep& step = ini_case.steps[i];
        const std::string where =
            "step " + std::to_string(i + 1) + " [" + step.section + "] " + step.key + ": ";
        if (step.write) {
            const bool ok =
                files.write_private_profile_string(step.section, step.key, step.text, path);
            if (ok != step.write_ok) {
                fail(where + "write returned " + (ok ? "true" : "false"));
            }
        } else if (step.list_keys) {
            std::string got;
            for (const std::string& name : files.get_private_profile_keys(step.section, path)) {
                got += (got.empty() ? "" : "|") + name;
            }
            if (got != step.expected) {
                fail(where + "keys \"" + printable(got) + "\", expected \"" +
                     printable(step.expected) + "\"");
            }
        } else {
            const std::string got = files.get_private_profile_string(
                step.section, step.key, step.text, step.buffer_chars, path);
            if (got != step.expected) {
                fail(where + "read \"" + printable(got) + "\", expected \"" +
                     printable(step.expected) + "\"");
            }
        }
    }
    const bool exists = std::filesystem::exists(file, ec);
    if (ini_case.check == FileCheck::Absent && exists) {
        fail("the file exists");
    } else if (ini_case.check == FileCheck::Content) {
        std::ifstream in(file, std::ios::binary);
        const std::string content{std::istreambuf_iterator<char>(in),
                                  std::istreambuf_iterator<char>()};
        if (!exists) {
            fail("the file is missing");
        } else if (normalise_line_ends(content) != ini_case.expected_file) {
            fail("file \"" + printable(content) + "\", expected \"" +
                 printable(ini_case.expected_file) + "\"");
        }
    }
    std::filesystem::remove(file, ec);
    return result;
}

inline std::vector<IniCaseResult> run_ini_cases(FileSystem& files, const std::string& folder) {
    std::vector<IniCaseResult> results;
    for (const IniCase& ini_case : ini_cases()) {
        results.push_back(run_ini_case(files, folder, ini_case));
    }
    return results;
}

}  // namespace wl::conformance
