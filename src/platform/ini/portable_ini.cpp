// Private-profile reading and writing on plain files, matching what the
// Windows calls do with the files our users edit by hand:
//
// - a section starts at a line whose first non-blank character is "["; its
//   name is the text up to the last "]" of the line, blanks around it ignored;
// - a key line is any other line holding "="; its name is the text before
//   the first "=", its value the text after it, blanks (spaces and tabs)
//   around both ignored; lines starting with ";" are comments;
// - lines before the first section header belong to the section "";
// - only the first section of a name and the first key of a name count;
// - a UTF-8 byte order mark in front of the file is skipped and kept;
// - lines end in LF, CRLF or a lone CR; a NUL ends a line's meaningful text.
//
// A write keeps every other line as it was (only line ends become CRLF), so
// hand-made comments, blank lines and layout survive.
#include "platform/ini/portable_ini.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string_view>
#include <system_error>
#include <vector>

namespace wl::ini {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trim_blanks(std::string_view text) {
    while (!text.empty() && is_blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && is_blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

char ascii_lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equal_ignoring_case(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (ascii_lower(a[i]) != ascii_lower(b[i])) {
            return false;
        }
    }
    return true;
}

// One line of the file: its text without the line end.
struct Line {
    std::string_view text;
};

enum class LineKind { Other, Section, Key, Comment, Blank };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    std::string_view name;   // section or key name, blanks trimmed
    std::string_view value;  // key value, blanks trimmed
};

ParsedLine parse_line(std::string_view raw) {
    // What follows a NUL is never seen by the Windows calls.
    if (const auto nul = raw.find('\0'); nul != std::string_view::npos) {
        raw = raw.substr(0, nul);
    }
    ParsedLine parsed;
    const std::string_view text = trim_blanks(raw);
    if (text.empty()) {
        parsed.kind = LineKind::Blank;
        return parsed;
    }
    if (text.front() == ';') {
        parsed.kind = LineKind::Comment;
        return parsed;
    }
    if (text.front() == '[') {
        const auto close = text.rfind(']');
        if (close != std::string_view::npos && close > 0) {
            parsed.kind = LineKind::Section;
            parsed.name = trim_blanks(text.substr(1, close - 1));
            return parsed;
        }
    }
    const auto eq = text.find('=');
    if (eq == std::string_view::npos) {
        return parsed;  // a line of text without "=": no key
    }
    parsed.kind = LineKind::Key;
    parsed.name = trim_blanks(text.substr(0, eq));
    parsed.value = trim_blanks(text.substr(eq + 1));
    return parsed;
}

// Splits the content (after a byte order mark) into lines; accepts LF, CRLF
// and a lone CR as line ends.
std::vector<Line> split_lines(std::string_view content) {
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = start;
        while (end < content.size() && content[end] != '\n' && content[end] != '\r') {
            ++end;
        }
        lines.push_back(Line{content.substr(start, end - start)});
        if (end < content.size() && content[end] == '\r' && end + 1 < content.size() &&
            content[end + 1] == '\n') {
            start = end + 2;
        } else {
            start = end + 1;
        }
    }
    return lines;
}

std::optional<std::string> read_file(const std::string& path) {
    std::error_code ec;
    if (path.empty() || !std::filesystem::is_regular_file(path, ec)) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) {
        return std::nullopt;
    }
    return std::move(content).str();
}

// Where the section and the key stand in the file.
struct Location {
    std::optional<std::size_t> section_line;  // header line; npos-like for section ""
    bool section_found = false;
    std::size_t section_begin = 0;  // first line after the header
    std::size_t section_end = 0;    // one past the section's last line
    std::optional<std::size_t> key_line;
};

Location locate(const std::vector<Line>& lines, std::string_view section, std::string_view key) {
    Location where;
    // Lines before the first header form the section "".
    bool inside = section.empty();
    if (inside) {
        where.section_found = true;
        where.section_begin = 0;
        where.section_end = lines.size();
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const ParsedLine parsed = parse_line(lines[i].text);
        if (parsed.kind == LineKind::Section) {
            if (inside) {
                where.section_end = i;
                return where;
            }
            if (!where.section_found && equal_ignoring_case(parsed.name, section)) {
                inside = true;
                where.section_found = true;
                where.section_line = i;
                where.section_begin = i + 1;
                where.section_end = lines.size();
            }
            continue;
        }
        if (inside && !where.key_line && parsed.kind == LineKind::Key &&
            equal_ignoring_case(parsed.name, key)) {
            where.key_line = i;
        }
    }
    return where;
}

// One pair of enclosing quotation marks (both " or both ') is not part of
// the value.
std::string_view unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

std::string cut(std::string_view text, int buffer_chars) {
    if (buffer_chars <= 1) {
        return {};
    }
    const auto limit = static_cast<std::size_t>(buffer_chars - 1);
    return std::string(text.substr(0, std::min(limit, text.size())));
}

std::string default_result(std::string_view default_value, int buffer_chars) {
    // The Windows call drops trailing spaces of the default (though never its
    // first character) and, like a value, one pair of enclosing quotes.
    if (const auto nul = default_value.find('\0'); nul != std::string_view::npos) {
        default_value = default_value.substr(0, nul);
    }
    while (default_value.size() > 1 && default_value.back() == ' ') {
        default_value.remove_suffix(1);
    }
    return cut(unquote(default_value), buffer_chars);
}

// Text as a C string sees it: up to the first NUL.
std::string c_string(const std::string& text) {
    return text.substr(0, text.find('\0'));
}

std::atomic<unsigned> g_temp_counter{0};

// Writes `content` beside `path` and renames it over `path`. The original
// is untouched unless the rename succeeded.
bool replace_file(const std::string& path, const std::string& content,
                  std::optional<std::filesystem::perms> permissions) {
    namespace fs = std::filesystem;
    const fs::path target(path);
    // Beside the target (a rename never crosses volumes), with a short name
    // of its own so that long profile names still fit, unique among the
    // writers of this process and, by the clock, of others; no "*.ini" name,
    // so no profile list ever shows it.
    const fs::path temp =
        target.parent_path() /
        (".wl-" +
         std::to_string(std::chrono::steady_clock::now().time_since_epoch().count() & 0xFFFFFF) +
         "-" + std::to_string(g_temp_counter.fetch_add(1)) + ".tmp");
    std::error_code ec;
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) {
            return false;
        }
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        out.flush();
        if (!out) {
            out.close();
            fs::remove(temp, ec);
            return false;
        }
    }
    if (permissions) {
        fs::permissions(temp, *permissions, ec);  // best effort: the content matters most
    }
    fs::rename(temp, target, ec);
    if (ec) {
        fs::remove(temp, ec);
        return false;
    }
    return true;
}

}  // namespace

std::string get_private_profile_string(const std::string& section, const std::string& key,
                                       const std::string& default_value, int buffer_chars,
                                       const std::string& path) {
    const auto content = read_file(path);
    if (!content) {
        return default_result(default_value, buffer_chars);
    }
    std::string_view body = *content;
    if (body.substr(0, kBom.size()) == kBom) {
        body.remove_prefix(kBom.size());
    }
    const std::vector<Line> lines = split_lines(body);
    const Location where = locate(lines, c_string(section), c_string(key));
    if (!where.key_line) {
        return default_result(default_value, buffer_chars);
    }
    return cut(unquote(parse_line(lines[*where.key_line].text).value), buffer_chars);
}

std::vector<std::string> get_private_profile_keys(const std::string& section,
                                                  const std::string& path) {
    const auto content = read_file(path);
    if (!content) {
        return {};
    }
    std::string_view body = *content;
    if (body.substr(0, kBom.size()) == kBom) {
        body.remove_prefix(kBom.size());
    }
    const std::vector<Line> lines = split_lines(body);
    const Location where = locate(lines, c_string(section), "");
    std::vector<std::string> keys;
    if (!where.section_found) {
        return keys;
    }
    for (std::size_t i = where.section_begin; i < where.section_end; ++i) {
        const ParsedLine parsed = parse_line(lines[i].text);
        if (parsed.kind == LineKind::Key) {
            keys.emplace_back(parsed.name);
        }
    }
    return keys;
}

bool write_private_profile_string(const std::string& section_text, const std::string& key_text,
                                  const std::string& value_text, const std::string& path) {
    namespace fs = std::filesystem;
    const std::string section = c_string(section_text);
    const std::string key = c_string(key_text);
    const std::string value = c_string(value_text);
    // The Windows call would write a line break as it is, splitting the line
    // and planting text (even a section header) of the caller's choosing in
    // the profile. Such a write is refused instead.
    for (const std::string* text : {&section, &key, &value}) {
        if (text->find_first_of("\r\n") != std::string::npos) {
            return false;
        }
    }
    if (path.empty()) {
        return false;
    }
    std::error_code ec;
    const auto status = fs::status(path, ec);
    const bool exists = fs::exists(status);
    if (ec && exists) {
        return false;
    }
    // A read-only profile stays as it is, as with the Windows call (the
    // rename would otherwise replace it regardless).
    if (exists && (status.permissions() & fs::perms::owner_write) == fs::perms::none) {
        return false;
    }
    std::optional<std::string> content;
    if (exists) {
        content = read_file(path);
        if (!content) {
            return false;  // a folder, or unreadable: never overwrite what we cannot read
        }
    } else {
        content.emplace();
    }

    std::string_view body = *content;
    std::string out;
    out.reserve(body.size() + section.size() + key.size() + value.size() + 16);
    if (body.substr(0, kBom.size()) == kBom) {
        body.remove_prefix(kBom.size());
        out += kBom;
    }
    const std::vector<Line> lines = split_lines(body);
    const Location where = locate(lines, section, key);

    const auto append_line = [&out](std::string_view text) {
        out += text;
        out += "\r\n";
    };
    const std::string key_line = key + "=" + value;

    // Index of the line in front of which the new key line goes.
    std::size_t insert_at = lines.size();
    if (where.section_found && !where.key_line) {
        insert_at = where.section_end;
        // Blank lines trailing the section stay behind the new key.
        while (insert_at > where.section_begin &&
               parse_line(lines[insert_at - 1].text).kind == LineKind::Blank) {
            --insert_at;
        }
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (where.section_found && !where.key_line && i == insert_at) {
            append_line(key_line);
        }
        if (where.key_line && i == *where.key_line) {
            // The key keeps its own spelling; its value is replaced.
            append_line(std::string(parse_line(lines[i].text).name) + "=" + value);
            continue;
        }
        append_line(lines[i].text);
    }
    if (!where.section_found) {
        append_line("[" + section + "]");
        append_line(key_line);
    } else if (!where.key_line && insert_at == lines.size()) {
        append_line(key_line);
    }
    return replace_file(path, out,
                        exists ? std::optional<fs::perms>(status.permissions()) : std::nullopt);
}

}  // namespace wl::ini
