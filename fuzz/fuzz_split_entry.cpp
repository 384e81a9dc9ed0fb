// The split of one stored value into title, button and class ("Read ini").
//
// The input is the stored value. It is split twice:
// - as the raw text, of any length and with any bytes: only "no crash";
// - in the padded form INIFiles::ReadINI hands over: the value as an INI
//   line can carry it (no NUL, no line break), cut to 255 characters, one
//   NUL, spaces up to 256. Then no part may contain the NUL or reach into
//   the padding, parts the value does not supply stay as they were, and an
//   entry as "Add" writes it comes back as it was written.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "monitor/watch_list.h"
#include "monitor/watch_loader.h"
#include "profile/entry_format.h"

namespace {

[[noreturn]] void fail(const std::string& what, const std::string& value) {
    std::fprintf(stderr, "INVARIANT BROKEN: %s\nvalue: [%s]\n", what.c_str(), value.c_str());
    std::abort();
}

std::string padded(const std::string& value) {
    std::string t = value.substr(0, 255);
    t += '\0';
    t.resize(256, ' ');
    return t;
}

std::string trim_spaces(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return "";
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

const wl::WatchEntry kOld{"old title", "old button", "old class"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string raw(reinterpret_cast<const char*>(data), size);
    {
        wl::WatchEntry entry = kOld;
        wl::split_entry(raw, entry);
        (void)wl::watch_line(entry);
    }

    // What a profile line can hold as a value.
    std::string value;
    for (const char c : raw) {
        if (c != '\0' && c != '\r' && c != '\n') {
            value += c;
        }
    }
    value = value.substr(0, 255);
    wl::WatchEntry entry = kOld;
    wl::split_entry(padded(value), entry);

    for (const std::string* part : {&entry.Win_title, &entry.Win_button, &entry.Win_class}) {
        if (part->find('\0') != std::string::npos) {
            fail("a part holds the NUL", value);
        }
        if (part->size() > 255) {
            fail("a part reaches into the padding", value);
        }
    }
    const auto bracket = value.find('[');
    if (bracket == std::string::npos) {
        if (entry.Win_title != kOld.Win_title || entry.Win_button != kOld.Win_button) {
            fail("title or button changed by a value without \"[\"", value);
        }
    } else {
        if (entry.Win_title != value.substr(0, bracket)) {
            fail("title is not the text before the first \"[\"", value);
        }
        if (entry.Win_button.find(']') != std::string::npos) {
            fail("button runs past the first \"]\"", value);
        }
    }
    if (value.find("<<") == std::string::npos && entry.Win_class != kOld.Win_class) {
        fail("class changed by a value without \"<<\"", value);
    }

    // An entry as "Add" makes it: title[caption]<<class>>. It comes back
    // whole when the title holds no "[" or "]", neither title nor caption
    // holds "<<" (the markers are found by their first occurrence), the
    // caption no "]", and the value fits in front of the NUL.
    const auto open = value.find('[');
    const auto close = value.find(']');
    const auto classes = value.find("<<", close == std::string::npos ? 0 : close);
    if (open != std::string::npos && close != std::string::npos && open < close &&
        classes == close + 1 && value.size() >= classes + 4 &&
        value.compare(value.size() - 2, 2, ">>") == 0 && value.size() <= 254 &&
        value.substr(0, close + 1).find("<<") == std::string::npos) {
        const std::string title = value.substr(0, open);
        const std::string caption = value.substr(open + 1, close - open - 1);
        const std::string class_name = value.substr(classes + 2, value.size() - classes - 4);
        if (entry.Win_title != title || entry.Win_button != trim_spaces(caption) ||
            entry.Win_class != trim_spaces(class_name)) {
            fail("entry does not come back as written: [" + entry.Win_title + "] [" +
                     entry.Win_button + "] [" + entry.Win_class + "]",
                 value);
        }
    }
    return 0;
}
