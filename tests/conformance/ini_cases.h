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
    using namespace std::string_literals;  // file bytes with NULs in them
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
        ini_case("comment lines and lines without = give no value; text after = is all value",
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
                  read("C", "z", "D", "3"), keys("A", "y")},
                 FileCheck::Unchecked),
        // Notepad saves UTF-8 with a byte-order mark; Windows is believed to
        // read it as part of the first line, Wine skips it: a case for
        // ini_conformance.exe on real Windows.
        ini_case("a UTF-8 byte-order mark before the first line is not part of it",
                 "\xEF\xBB\xBF[A]\r\nx=1\r\n",
                 {read("A", "x", "D", "1"), write("A", "y", "2"), read("A", "y", "D", "2")},
                 FileCheck::Content, "\xEF\xBB\xBF[A]\nx=1\ny=2\n"),
        // The empty section name, as a caller with an empty text would write
        // it, is the keys before the first header: the same question for
        // real Windows.
        ini_case("a write to the empty section name goes before the first section",
                 "[A]\r\nx=1\r\n",
                 {write("", "k", "v"), read("", "k", "D", "v"), read("A", "k", "D", "D")},
                 FileCheck::Content, "k=v\n[A]\nx=1\n"),
        ini_case("sections differing only in letter case are one name: the first counts",
                 "[A]\r\n[a]\r\nx=1\r\n",
                 {read("A", "x", "D", "D"), write("a", "y", "2"), read("A", "y", "D", "2")},
                 FileCheck::Content, "[A]\ny=2\n[a]\nx=1\n"),
        ini_case("quotes keep the blanks inside them; an empty value is no default",
                 "[A]\r\nx\t=\t\"\t\"\r\n",
                 {read("A", "x", "D", "\t"), write("A", "x", ""), read("A", "x", "D", "")},
                 FileCheck::Content, "[A]\nx=\n"),

        // --- Lines without "=" --------------------------------------------
        // A user who deletes "=..." from a line leaves a key behind: a later
        // line of the name must not show through, nor a write grow a second
        // line.
        ini_case("a line without = is a key with no value: the default on reading, "
                 "left out of the listing, filled in by a write",
                 "[WindowTitles]\r\nNum_Windows=3\r\nTitle1=a\r\nTitle3\r\nTitle2=b\r\n",
                 {read("WindowTitles", "Title3", "D", "D"),
                  read("WindowTitles", "Title3", "\"q\"  ", "q"),
                  keys("WindowTitles", "Num_Windows|Title1|Title2"),
                  write("WindowTitles", "Title3", "c"), read("WindowTitles", "Title3", "D", "c"),
                  keys("WindowTitles", "Num_Windows|Title1|Title3|Title2")},
                 FileCheck::Content,
                 "[WindowTitles]\nNum_Windows=3\nTitle1=a\nTitle3=c\nTitle2=b\n"),
        // Which of two lines of one name a read sees and a write changes.
        ini_case("a line without = before a key=value of its name hides it; a write fills it",
                 "[A]\r\nTitle3\r\nTitle3=x\r\n",
                 {read("A", "Title3", "D", "D"), keys("A", "Title3"), write("A", "title3", "v"),
                  read("A", "Title3", "D", "v")},
                 FileCheck::Content, "[A]\nTitle3=v\nTitle3=x\n"),
        ini_case("a line without = after a key=value of its name changes nothing",
                 "[A]\r\nTitle3=x\r\nTitle3\r\n",
                 {read("A", "Title3", "D", "x"), keys("A", "Title3"), write("A", "Title3", "v")},
                 FileCheck::Content, "[A]\nTitle3=v\nTitle3\n"),
        // The name of such a line is trimmed like any other name.
        ini_case("blanks around a line without = are not part of its name",
                 "[A]\r\n \t Title3 \v\f\r\nz=1\r\n",
                 {read("A", "Title3", "D", "D"), keys("A", "z"), write("a", "TITLE3", "v"),
                  read("A", "Title3", "D", "v")},
                 FileCheck::Content, "[A]\nTitle3=v\nz=1\n"),
        // "Title3=" is an empty value, which is no default.
        ini_case("a key with = and nothing after reads empty; without = it reads the default",
                 "[A]\r\nTitle3=\r\nbare\r\n",
                 {read("A", "Title3", "D", ""), read("A", "bare", "D", "D"), write("A", "bare", ""),
                  read("A", "bare", "D", ""), keys("A", "Title3|bare")},
                 FileCheck::Content, "[A]\nTitle3=\nbare=\n"),
        // A commented-out entry must neither read as the entry nor be listed.
        ini_case("a comment line is a key of its whole name, never listed",
                 "[A]\r\n;x=1\r\n;note\r\nz=2\r\n",
                 {read("A", "x", "D", "D"), read("A", ";x", "D", "1"), keys("A", "z"),
                  write("A", ";x", "c")},
                 FileCheck::Content, "[A]\n;x=c\n;note\nz=2\n"),

        // --- Empty names ---------------------------------------------------
        // Blank lines separate groups of keys by hand; they must not become
        // a key a write of an empty name would fill (the file is not
        // checked: kernel32 under Wine drops blank lines when it writes).
        ini_case("a line of blanks is no key, not even of empty name",
                 "[A]\r\nx=1\r\n \t\v\f\x1a\r\ny=2\r\n",
                 {read("A", "", "D", "D"), keys("A", "x|y"), write("A", "", "v"),
                  read("A", "", "D", "v"), keys("A", "x|y|")},
                 FileCheck::Unchecked),
        ini_case("a line starting with = is a key of empty name",
                 "[A]\r\nx=1\r\n=value\r\ny=2\r\n[B]\r\nx=1\r\n=\r\n",
                 {read("A", "", "D", "value"), read("A", " \t", "D", "value"), keys("A", "x||y"),
                  read("B", "", "D", ""), keys("B", "x|"), write("A", "", "w")},
                 FileCheck::Content, "[A]\nx=1\n=w\ny=2\n[B]\nx=1\n=\n"),
        // The listing's NUL-separated form cannot tell an empty first name
        // from the end of the list: the call gives no list at all.
        ini_case("a listing whose first name would be empty is empty",
                 "[A]\r\n=value\r\nx=1\r\n[B]\r\n;note\r\nbare\r\n=\r\nk=1\r\n",
                 {keys("A", ""), read("A", "x", "D", "1"), keys("B", "")}, FileCheck::Unchecked),
        // Found by listing keys: blank lines do not end such a run, any
        // other key line and a section header do.
        ini_case("a line of empty name right after a key of empty name is ignored",
                 "[A]\r\nx=1\r\n=a\r\n=b\r\n[B]\r\ny=0\r\n=a\r\n\r\n=b\r\n"
                 "[C]\r\ny=0\r\n=a\r\nbare\r\n=b\r\n;c=1\r\n=d\r\n[D]\r\n=e\r\n",
                 {keys("A", "x|"), read("A", "", "D", "a"), keys("B", "y|"), keys("C", "y|||"),
                  read("D", "", "D", "e")},
                 FileCheck::Unchecked),

        // --- Blanks --------------------------------------------------------
        // Text pasted from other programs brings these along.
        ini_case("a vertical tab, form feed or Ctrl-Z beside a name or value is a blank",
                 "[A]\r\n\vTitle1\v=\va b\v\r\n\fTitle2\f=\fc d\f\r\n\x1aTitle3\x1a=\x1a"
                 "e f\x1a\r\n",
                 {read("A", "Title1", "D", "a b"), read("A", "Title2", "D", "c d"),
                  read("A", "Title3", "D", "e f"), keys("A", "Title1|Title2|Title3"),
                  write("A", "Title1", "x"), write("A", "Title2", "y"), write("A", "Title3", "z")},
                 FileCheck::Content, "[A]\nTitle1=x\nTitle2=y\nTitle3=z\n"),
        ini_case("a vertical tab, form feed or Ctrl-Z beside a section name is a blank",
                 "\v[\fSec\v]\x1a\r\nx=1\r\n\f[\x1a"
                 "Two\f]\v\r\ny=2\r\n",
                 {read("sec", "x", "D", "1"), read("Two", "y", "D", "2"), keys("Sec", "x"),
                  keys("two", "y")},
                 FileCheck::Unchecked),
        // The set of blanks is no wider than that.
        ini_case("other control characters and a no-break space are part of names and values",
                 "[A]\r\n\x01k\x1f=\x1cv\x7f\r\n\xa0n\xa0=\xa0v\xa0\r\n",
                 {read("A", "k", "D", "D"), read("A", "\x01k\x1f", "D", "\x1cv\x7f"),
                  read("A", "n", "D", "D"), read("A", "\xa0n\xa0", "D", "\xa0v\xa0"),
                  keys("A", "\x01k\x1f|\xa0n\xa0")},
                 FileCheck::Unchecked),
        // Old Mac line ends mixed into a file: the CR is never a blank.
        ini_case("a lone CR beside a name or value ends the line",
                 "[S]\r\nx=1 \r \r\ny\r=\r2\r\n[T\r]\r\nz=3\r\n",
                 {read("S", "x", "D", "1"), read("S", "y", "D", "D"), read("S", "", "D", ""),
                  read("S", "2", "D", "D"), keys("S", "x||z"), read("T", "z", "D", "D")},
                 FileCheck::Unchecked),
        // Callers pass names with blanks picked up from text boxes.
        ini_case("blanks around the section and key names asked for are ignored, "
                 "except by the key listing",
                 "[A]\r\nx=1\r\n",
                 {read(" A ", "\tx\v", "D", "1"), read("\fa\x1a", " X", "D", "1"), keys(" A", ""),
                  keys("A ", ""), write(" a\t", "\fX ", "2"), read("A", "x", "D", "2")},
                 FileCheck::Content, "[A]\nx=2\n"),
        // One write each: a later write would have kernel32 under Wine
        // rewrite these lines without their blanks.
        ini_case("a new section or key is written without its leading blanks", "[A]\r\nx=1\r\n",
                 {write(" B\t", " k ", "v"), read("B", "k", "D", "v")}, FileCheck::Content,
                 "[A]\nx=1\n[B\t]\nk =v\n"),
        ini_case("a value is written without its leading blanks", std::nullopt,
                 {write("A", "k", " \v spaced \f "), read("A", "k", "D", "spaced")},
                 FileCheck::Content, "[A]\nk=spaced \f \n"),

        // --- NUL -----------------------------------------------------------
        // Garbage bytes in a damaged profile.
        ini_case("a NUL ends a name or value, but an = after it still splits the line",
                 "[A]\r\nabc\0=def\r\nx=1\0zz\r\nw\0 x=3\r\n[B\0]\r\nz=3\r\n"s,
                 {read("A", "abc", "D", "def"), read("A", "x", "D", "1"), read("A", "w", "D", "3"),
                  read("B", "z", "D", "3"), keys("A", "abc|x|w"), write("A", "abc", "q"),
                  read("A", "abc", "D", "q")},
                 FileCheck::Unchecked),

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
