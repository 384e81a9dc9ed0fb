#include "monitor/box_keys.h"

#include "platform/host_strings.h"

namespace wl {

namespace {

constexpr int kClassBufferChars = 256;

std::string file_name_of(const std::string& path) {
    const std::size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

bool contains_ignoring_case(const std::string& text, const std::string& piece) {
    return text::upper_ascii(text).find(text::upper_ascii(piece)) != std::string::npos;
}

}  // namespace

std::string box_message(WindowSystem& windows, Hwnd box) {
    std::string message;
    bool first = true;
    for (Hwnd child = windows.get_window(box, WindowRelation::Child); child != 0;
         child = windows.get_window(child, WindowRelation::Next)) {
        if (text::upper_ascii(windows.get_class_name(child, kClassBufferChars)) != "STATIC") {
            continue;
        }
        const std::string text = windows.get_window_text(child, kMessageTextBufferChars);
        if (text.empty()) {
            continue;  // an icon
        }
        if (!first) {
            message += "\r\n";
        }
        first = false;
        message += text;
    }
    return message;
}

std::string box_program(WindowSystem& windows, Hwnd window) {
    return file_name_of(windows.program_path(window));
}

bool meets_keys(WindowSystem& windows, Hwnd box, const WatchEntry& entry) {
    if (!entry.Win_program.empty() &&
        text::upper_ascii(box_program(windows, box)) != text::upper_ascii(entry.Win_program)) {
        return false;
    }
    return entry.Win_text.empty() ||
           contains_ignoring_case(box_message(windows, box), entry.Win_text);
}

}  // namespace wl
