#include "profile/entry_format.h"

#include <algorithm>

#include "platform/host_strings.h"
#include "profile/ini_files.h"

namespace wl {

namespace {

// The characters of s from 1-based position `start` on, `length` of them;
// fewer when s is shorter. A negative length cannot be taken: it gives the
// empty text instead of stopping the program.
std::string mid(const std::string& s, long long start, long long length) {
    if (length <= 0 || start < 1 || static_cast<std::size_t>(start) > s.size())
        return "";
    return s.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(length));
}

// 1-based position of the first occurrence, 0 when absent.
long long position(const std::string& s, const char* what) {
    const std::size_t p = s.find(what);
    return p == std::string::npos ? 0 : static_cast<long long>(p) + 1;
}

// The blanks a profile read trims from the ends of a value: spaces, tabs,
// vertical tabs, form feeds and Ctrl-Z.
bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1a';
}

}  // namespace

std::string make_entry(const std::string& title, const std::string& caption,
                       const std::string& class_name) {
    return title + "[" + caption + "]" + "<<" + class_name + ">>";
}

void split_entry(const std::string& t, WatchEntry& entry) {
    const long long len = static_cast<long long>(t.size());

    // Class: between "<<" and the final ">>". The 5 counts "<<", ">>" and the
    // NUL that ends the stored value inside the padded text.
    if (const long long p = position(t, "<<"); p > 0) {
        const std::string x = mid(t, p, len - p);
        const long long m = static_cast<long long>(text::trim(x).size());
        entry.Win_class = text::trim(mid(x, 3, m - 5));
    }

    // Title: everything before the first "["; button: between it and the
    // first "]".
    if (const long long a = position(t, "["); a > 0) {
        const long long b = position(t, "]");
        entry.Win_title = text::left(t, static_cast<std::size_t>(a - 1));
        const std::string s = mid(t, a, b - a + 1);
        entry.Win_button = text::trim(mid(s, 2, static_cast<long long>(text::trim(s).size()) - 2));
    }
}

std::string as_read_back(const std::string& value) {
    std::size_t begin = 0;
    std::size_t end = value.size();
    while (begin < end && is_blank(value[begin]))
        ++begin;
    while (end > begin && is_blank(value[end - 1]))
        --end;
    return value.substr(begin, std::min<std::size_t>(end - begin, INIFiles::kBufferChars - 1));
}

WatchEntry read_back(const std::string& entry) {
    WatchEntry loaded;
    split_entry(INIFiles::padded(as_read_back(entry)), loaded);
    return loaded;
}

}  // namespace wl
