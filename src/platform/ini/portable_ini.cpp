// Private-profile reading and writing on plain files, matching what the
// Windows calls do with the files our users edit by hand:
//
// - blanks are spaces, tabs, vertical tabs, form feeds and Ctrl-Z (the old
//   end-of-file mark some editors still leave behind);
// - a section starts at a line whose first non-blank character is "["; its
//   name is the text up to the last "]" of the line, blanks around it ignored;
// - every other line that is not all blanks is a key: its name is the text
//   before the first "=", its value the text after it, blanks around both
//   ignored; a line without "=" is a key with no value, which reads as
//   missing but is the line a write fills in. Lines starting with ";" are
//   keys too, only never listed;
// - a key line with nothing before its "=" directly after another key of
//   empty name in the same section is ignored;
// - lines before the first section header belong to the section "";
// - only the first section of a name and the first key of a name count;
// - a UTF-8 byte order mark in front of the file is skipped and kept;
// - lines end in LF, CRLF or a lone CR; a NUL ends a name or value (though
//   an "=" after it still splits the line).
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
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1a';
}

std::string_view trim_leading_blanks(std::string_view text) {
    while (!text.empty() && is_blank(text.front())) {
        text.remove_prefix(1);
    }
    return text;
}

std::string_view trim_blanks(std::string_view text) {
    text = trim_leading_blanks(text);
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

// Text as a C string sees it: up to the first NUL.
std::string_view up_to_nul(std::string_view text) {
    return text.substr(0, text.find('\0'));
}

// One line of the file: its text without the line end.
struct Line {
    std::string_view text;
};

enum class LineKind { Blank, Section, Key, Ignored };

struct ParsedLine {
    LineKind kind = LineKind::Blank;
    std::string_view name;                  // section or key name, blanks trimmed, up to a NUL
    std::optional<std::string_view> value;  // a key's value; none without "="
    bool unnamed = false;                   // a key line with nothing at all before its "="
};

ParsedLine parse_line(std::string_view raw) {
    ParsedLine parsed;
    const std::string_view text = trim_blanks(raw);
    if (text.empty()) {
        return parsed;
    }
    if (text.front() == '[') {
        const auto close = text.rfind(']');
        if (close != std::string_view::npos && close > 0) {
            parsed.kind = LineKind::Section;
            parsed.name = up_to_nul(trim_blanks(text.substr(1, close - 1)));
            return parsed;
        }
    }
    // Anything else names a key, "=" or not, comment or not. The "=" is
    // looked for past a NUL too: the Windows calls split the line first and
    // read names and values as C strings after.
    parsed.kind = LineKind::Key;
    const auto eq = text.find('=');
    const std::string_view name = trim_blanks(text.substr(0, eq));
    parsed.name = up_to_nul(name);
    parsed.unnamed = name.empty();
    if (eq != std::string_view::npos) {
        parsed.value = up_to_nul(trim_blanks(text.substr(eq + 1)));
    }
    return parsed;
}

// Parses every line. A key line with nothing before its "=" that follows a
// key of empty name in the same section is ignored, as the Windows calls
// drop it when they load the file.
std::vector<ParsedLine> parse_lines(const std::vector<Line>& lines) {
    std::vector<ParsedLine> parsed;
    parsed.reserve(lines.size());
    bool after_nameless_key = false;
    for (const Line& line : lines) {
        ParsedLine& current = parsed.emplace_back(parse_line(line.text));
        if (current.kind == LineKind::Section) {
            after_nameless_key = false;
        } else if (current.kind == LineKind::Key) {
            if (current.unnamed && after_nameless_key) {
                current.kind = LineKind::Ignored;
            } else {
                after_nameless_key = current.name.empty();
            }
        }
    }
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
    bool section_found = false;
    std::size_t section_begin = 0;  // first line after the header
    std::size_t section_end = 0;    // one past the section's last line
    std::optional<std::size_t> key_line;
};

Location locate(const std::vector<ParsedLine>& lines, std::string_view section,
                std::string_view key) {
    Location where;
    // Lines before the first header form the section "".
    bool inside = section.empty();
    if (inside) {
        where.section_found = true;
        where.section_begin = 0;
        where.section_end = lines.size();
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const ParsedLine& parsed = lines[i];
        if (parsed.kind == LineKind::Section) {
            if (inside) {
                where.section_end = i;
                return where;
            }
            if (!where.section_found && equal_ignoring_case(parsed.name, section)) {
                inside = true;
                where.section_found = true;
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

// The text as the Windows calls look names up: a C string, blanks at its
// ends ignored.
std::string_view lookup_name(const std::string& text) {
    return trim_blanks(up_to_nul(text));
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

// The file's text after a byte order mark.
std::string_view without_bom(std::string_view content) {
    if (content.substr(0, kBom.size()) == kBom) {
        content.remove_prefix(kBom.size());
    }
    return content;
}

}  // namespace

std::string get_private_profile_string(const std::string& section, const std::string& key,
                                       const std::string& default_value, int buffer_chars,
                                       const std::string& path) {
    const auto content = read_file(path);
    if (!content) {
        return default_result(default_value, buffer_chars);
    }
    const std::vector<ParsedLine> lines = parse_lines(split_lines(without_bom(*content)));
    const Location where = locate(lines, lookup_name(section), lookup_name(key));
    // A key line without "=" is found, but has no value to give.
    if (!where.key_line || !lines[*where.key_line].value) {
        return default_result(default_value, buffer_chars);
    }
    return cut(unquote(*lines[*where.key_line].value), buffer_chars);
}

std::vector<std::string> get_private_profile_keys(const std::string& section,
                                                  const std::string& path) {
    const auto content = read_file(path);
    if (!content) {
        return {};
    }
    const std::vector<ParsedLine> lines = parse_lines(split_lines(without_bom(*content)));
    // Unlike a read of one key, the listing takes the section name as given,
    // blanks and all.
    const Location where = locate(lines, up_to_nul(section), "");
    std::vector<std::string> keys;
    if (!where.section_found) {
        return keys;
    }
    for (std::size_t i = where.section_begin; i < where.section_end; ++i) {
        const ParsedLine& parsed = lines[i];
        // Lines without "=" and comment lines are keys no listing shows.
        if (parsed.kind == LineKind::Key && parsed.value &&
            (parsed.name.empty() || parsed.name.front() != ';')) {
            keys.emplace_back(parsed.name);
        }
    }
    // The Windows call takes a list whose first name is empty for no list
    // at all (its callers would see the empty name as the list's end anyway).
    if (!keys.empty() && keys.front().empty()) {
        keys.clear();
    }
    return keys;
}

namespace {

// The profile's text with the key set: the key line replaced when the
// section has the key, added at the section's end when it has not, and the
// section added at the file's end when there is none. Everything else stays
// as it was, byte order mark included.
std::string with_key_set(const std::string& content, std::string_view section, std::string_view key,
                         std::string_view value) {
    const std::string_view body = without_bom(content);
    std::string out;
    out.reserve(content.size() + section.size() + key.size() + value.size() + 16);
    out += std::string_view(content).substr(0, content.size() - body.size());  // the BOM, if any
    const std::vector<Line> lines = split_lines(body);
    const std::vector<ParsedLine> parsed = parse_lines(lines);
    const Location where = locate(parsed, trim_blanks(section), trim_blanks(key));

    const auto append_line = [&out](std::string_view text) {
        out += text;
        out += "\r\n";
    };
    const auto key_line = [&value](std::string_view name) {
        std::string line(name);
        line += '=';
        line += value;
        return line;
    };

    // Index of the line in front of which the new key line goes.
    std::size_t insert_at = lines.size();
    if (where.section_found && !where.key_line) {
        insert_at = where.section_end;
        // Blank lines trailing the section stay behind the new key.
        while (insert_at > where.section_begin && parsed[insert_at - 1].kind == LineKind::Blank) {
            --insert_at;
        }
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (where.section_found && !where.key_line && i == insert_at) {
            append_line(key_line(trim_leading_blanks(key)));
        }
        if (where.key_line && i == *where.key_line) {
            // The key keeps its own spelling; its value is replaced, or
            // given to a line that had none.
            append_line(key_line(parsed[i].name));
            continue;
        }
        append_line(lines[i].text);
    }
    if (!where.section_found) {
        append_line("[" + std::string(trim_leading_blanks(section)) + "]");
        append_line(key_line(trim_leading_blanks(key)));
    } else if (!where.key_line && insert_at == lines.size()) {
        append_line(key_line(trim_leading_blanks(key)));
    }
    return out;
}

// The profile a write is to change: its text ("" for a new file) and its
// permissions (none for a new file), or nothing when it must stay as it is.
struct WriteTarget {
    std::string content;
    std::optional<std::filesystem::perms> permissions;
};

std::optional<WriteTarget> write_target(const std::string& path) {
    namespace fs = std::filesystem;
    if (path.empty()) {
        return std::nullopt;
    }
    std::error_code ec;
    const auto status = fs::status(path, ec);
    const bool exists = fs::exists(status);
    if (ec && exists) {
        return std::nullopt;
    }
    if (!exists) {
        return WriteTarget{};
    }
    // A read-only profile stays as it is, as with the Windows call (the
    // rename would otherwise replace it regardless).
    if ((status.permissions() & fs::perms::owner_write) == fs::perms::none) {
        return std::nullopt;
    }
    auto content = read_file(path);
    if (!content) {
        return std::nullopt;  // a folder, or unreadable: never overwrite what we cannot read
    }
    return WriteTarget{std::move(*content), status.permissions()};
}

}  // namespace

bool write_private_profile_string(const std::string& section_text, const std::string& key_text,
                                  const std::string& value_text, const std::string& path) {
    const std::string_view section = up_to_nul(section_text);
    const std::string_view key = up_to_nul(key_text);
    // The Windows call would write a line break as it is, splitting the line
    // and planting text (even a section header) of the caller's choosing in
    // the profile. Such a write is refused instead.
    for (const std::string_view text : {section, key, up_to_nul(value_text)}) {
        if (text.find_first_of("\r\n") != std::string_view::npos) {
            return false;
        }
    }
    // Names are looked up without the blanks at their ends, but a new line
    // keeps what follows the leading blanks, as the Windows call writes it;
    // a value loses its leading blanks (the trailing ones go on reading).
    const std::string_view value = trim_leading_blanks(up_to_nul(value_text));
    const std::optional<WriteTarget> target = write_target(path);
    if (!target) {
        return false;
    }
    return replace_file(path, with_key_set(target->content, section, key, value),
                        target->permissions);
}

}  // namespace wl::ini
