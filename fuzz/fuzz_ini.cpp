// The portable INI reader and writer under arbitrary files and arguments.
//
// Input: section, key and value (each a FuzzedDataProvider random-length
// string: text up to a backslash followed by another character), then the
// file body (the rest; an empty body means the file does not exist).
//
// Checked, beyond "no crash, no hang, no sanitizer report":
// - a write refused (false) leaves the file byte for byte as it was;
// - a write is refused when a text holds a line break, and otherwise
//   happens for every name that can be written back as a key line;
// - a written key reads back its value: blanks at both ends and one pair of
//   enclosing quotes removed, cut to 255 characters;
// - every other key of the file reads the same before and after;
// - no temporary file is left beside the profile.
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fuzz_support.h"
#include "platform/ini/portable_ini.h"

namespace {

namespace fs = std::filesystem;

constexpr int kBuffer = 256;

using fuzz::fail;
using fuzz::slurp;

const fs::path& folder() {
    static const fs::path path = fuzz::scratch_folder("ini");
    return path;
}

// What a C string of the text holds.
std::string c_string(const std::string& text) {
    return text.substr(0, text.find('\0'));
}

bool blank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1a';
}

std::string trim_blanks(std::string_view text) {
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return std::string(text);
}

bool has_line_break(const std::string& text) {
    return text.find_first_of("\r\n") != std::string::npos;
}

char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool same_name(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return lower(x) == lower(y); });
}

// Names that come back as themselves once written as a header "[section]"
// and a line "key=value": names are looked up and read without the blanks
// at their ends, a header runs up to its last "]" and a key to its first
// "=", and a line starting with "[" may read as a header. A key that starts
// with the bytes of a UTF-8 byte order mark loses them when its line
// becomes the first of the file.
bool section_round_trips(const std::string& section) {
    return section.find(']') == std::string::npos;
}
bool key_round_trips(const std::string& key) {
    const std::string name = trim_blanks(key);
    return name.find('=') == std::string::npos && (name.empty() || name.front() != '[') &&
           name.rfind("\xEF\xBB\xBF", 0) != 0;
}

// The value as it reads back.
std::string expected_value(const std::string& value) {
    std::string v = trim_blanks(value);
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
        v = v.substr(1, v.size() - 2);
    }
    return v.substr(0, kBuffer - 1);
}

// (section, key) pairs the body seems to hold, by a rough reading of its
// lines; used only as names to look up.
std::vector<std::pair<std::string, std::string>> names_in(const std::string& body) {
    std::vector<std::pair<std::string, std::string>> names;
    std::string section;
    std::size_t start = 0;
    while (start <= body.size() && names.size() < 200) {
        const std::size_t end = std::min(body.find_first_of("\r\n", start), body.size());
        std::string line = c_string(body.substr(start, end - start));
        line = trim_blanks(line);
        if (!line.empty() && line.front() == '[' && line.rfind(']') != std::string::npos &&
            line.rfind(']') > 0) {
            section = trim_blanks(line.substr(1, line.rfind(']') - 1));
            names.emplace_back(section, "");
        } else if (!line.empty()) {
            // Comment lines and lines without "=" are keys as well.
            names.emplace_back(section, trim_blanks(line.substr(0, line.find('='))));
        }
        start = end + 1;
    }
    return names;
}

bool temporaries_left() {
    for (const auto& entry : fs::directory_iterator(folder())) {
        if (entry.path().filename() != "p.ini") {
            return true;
        }
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string section_arg = input.ConsumeRandomLengthString(64);
    const std::string key_arg = input.ConsumeRandomLengthString(64);
    const std::string value_arg = input.ConsumeRandomLengthString(400);
    const std::string body = input.ConsumeRemainingBytesAsString();

    const fs::path file = folder() / "p.ini";
    const std::string path = file.string();
    std::error_code ec;
    fs::remove(file, ec);
    if (!body.empty()) {
        std::ofstream(file, std::ios::binary) << body;
    }

    const auto names = names_in(body);
    std::vector<std::string> before;
    before.reserve(names.size());
    for (const auto& [s, k] : names) {
        before.push_back(wl::ini::get_private_profile_string(s, k, "\x01", kBuffer, path));
        if (before.back().size() > kBuffer - 1) {
            fail("a read is longer than its buffer");
        }
    }

    const bool written =
        wl::ini::write_private_profile_string(section_arg, key_arg, value_arg, path);

    const std::string section = c_string(section_arg);
    const std::string key = c_string(key_arg);
    const std::string value = c_string(value_arg);
    const bool line_break = has_line_break(section) || has_line_break(key) || has_line_break(value);

    if (temporaries_left()) {
        fail("a temporary file was left beside the profile");
    }
    if (!written) {
        if (!line_break) {
            fail("a write without line breaks was refused");
        }
        if (body.empty() ? fs::exists(file) : slurp(file) != body) {
            fail("a refused write changed the file");
        }
        return 0;
    }
    if (line_break) {
        fail("a write with a line break happened");
    }

    const bool round_trips = section_round_trips(section) && key_round_trips(key);
    if (round_trips) {
        const std::string got =
            wl::ini::get_private_profile_string(section_arg, key_arg, "\x01", kBuffer, path);
        if (got != expected_value(value)) {
            fail("written key reads back [" + got + "], expected [" + expected_value(value) + "]");
        }
        for (std::size_t i = 0; i < names.size(); ++i) {
            const auto& [s, k] = names[i];
            if (same_name(s, trim_blanks(section)) && same_name(k, trim_blanks(key))) {
                continue;
            }
            const std::string now =
                wl::ini::get_private_profile_string(s, k, "\x01", kBuffer, path);
            if (now != before[i]) {
                fail("key [" + s + "] " + k + " changed from [" + before[i] + "] to [" + now + "]");
            }
        }
    }
    return 0;
}
