#include "capture/finder.h"

#include <algorithm>
#include <cstdint>

#include "monitor/box_keys.h"
#include "platform/host_strings.h"

namespace wl::capture {

namespace {

constexpr const char* kSolidWorksPrefix = "SolidWorks";
constexpr const char* kNoSolidWorksParent = "Couldn't find parent Solidworks window";
constexpr const char* kLevel2Suffix = " level2 ";

}  // namespace

std::size_t TextBuffer::read_window_text(WindowSystem& windows, Hwnd window) {
    const auto text = windows.get_text_message(window, static_cast<int>(kFinderBufferChars));
    if (!text) {
        return 0;
    }
    // The window system never hands back more than fits before the closing
    // NUL; guard anyway so a misbehaving platform cannot overrun the buffer.
    const std::size_t n = std::min(text->size(), kFinderBufferChars - 1);
    std::copy_n(text->begin(), n, chars_.begin());
    chars_[n] = '\0';
    return n;
}

std::string TextBuffer::first_trimmed(std::size_t n) const {
    return text::left(text::trim(contents()), n);
}

bool TextBuffer::trimmed_empty() const {
    return text::trim(contents()).empty();
}

bool TextBuffer::starts_with(const std::string& prefix) const {
    return contents().compare(0, prefix.size(), prefix) == 0;
}

std::string hex_caption(Hwnd window) {
    // The host formats handles as 32-bit integers.
    return text::hex_upper(static_cast<std::uint32_t>(window & 0xFFFFFFFFu));
}

Finder::Finder(WindowSystem& windows, Host& host, CaptureControls controls)
    : windows_(windows),
      controls_(controls),
      outline_(windows),
      tree_walk_(windows, host, WalkControls{controls.List1, controls.cmd1, controls.Op1}) {}

void Finder::Picture2_MouseDown() {
    controls_.Label3.set_visible(false);
    // The option values are left alone: a selection survives until a walk
    // finds a push button again.
    for (std::size_t k = 0; k < 3; ++k) {
        controls_.cmd1[k]->set_visible(false);
        controls_.Op1[k]->set_visible(false);
        controls_.cmd1[k]->set_text("");
    }
    tree_walk_.button_count = 0;
    controls_.form.set_mouse_pointer(MousePointer::Custom);
    controls_.Picture2.set_picture(Picture::None);
    dragging = true;
    // Every later move and the release come to Picture2, wherever the pointer is.
    windows_.set_capture(controls_.Picture2.hwnd());
}

void Finder::Picture2_MouseMove() {
    if (!dragging) {
        return;
    }
    const Hwnd under_pointer = windows_.window_from_point(windows_.cursor_pos());
    // The old frame goes before anything of the new window is read.
    if (outline_.outlined_window != 0 && outline_.outlined_window != under_pointer) {
        outline_.remove_outline(outline_.outlined_window);
    }
    picked_window = under_pointer;
    controls_.form.set_text(hex_caption(picked_window));
    const std::size_t n = title_buffer.read_window_text(windows_, picked_window);
    picked_title = title_buffer.contents().substr(0, n);
    controls_.Text1.set_text(text::up_to_nul(title_buffer.first_trimmed(n)));
    // Framed only when the window changes: framing twice would sample the
    // red frame itself.
    if (outline_.outlined_window != picked_window) {
        outline_.draw_outline(picked_window);
    }
}

void Finder::Picture2_LostCapture() {
    if (!dragging) {
        return;
    }
    dragging = false;
    controls_.Picture2.set_picture(Picture::FinderTool);
    controls_.form.set_mouse_pointer(MousePointer::Default);
    // No release will come to take the frame away with the next drag's first
    // move: the user may never drag again.
    outline_.forget_outline();
}

void Finder::Picture2_MouseUp() {
    controls_.List1.clear();
    // A release over no window walks the whole desktop, which has no
    // message to show.
    const bool picked_nothing = picked_window == 0;
    // Events run during the walk; moves among them keep updating
    // picked_window, and what follows uses its value after the walk.
    tree_walk_.ListChildWindows(picked_window);

    Hwnd parent = windows_.get_parent(picked_window);
    std::size_t n = parent_title_buffer.read_window_text(windows_, parent);
    picked_class = windows_.get_class_name(picked_window, kClassBufferChars);
    if (!parent_title_buffer.trimmed_empty()) {
        controls_.Text2.set_text(text::up_to_nul(parent_title_buffer.first_trimmed(n)));
    }
    // A dialog of SolidWorks is owned by its main window; a control inside
    // such a dialog is one level further down.
    if (!parent_title_buffer.starts_with(kSolidWorksPrefix)) {
        parent = windows_.get_parent(parent);
        n = parent_title_buffer.read_window_text(windows_, parent);
        if (!parent_title_buffer.trimmed_empty()) {
            controls_.Text2.set_text(
                text::up_to_nul(parent_title_buffer.first_trimmed(n) + kLevel2Suffix));
        }
    }

    dragging = false;
    controls_.Picture2.set_picture(Picture::FinderTool);
    controls_.form.set_mouse_pointer(MousePointer::Default);
    windows_.release_capture();
    controls_.Text4.set_text(picked_class);
    // The test is made on whatever the buffer holds now: the grandparent's
    // title, or the parent's when there was no grandparent to read.
    if (!parent_title_buffer.starts_with(kSolidWorksPrefix)) {
        controls_.Label3.set_visible(true);
        controls_.Label3.set_text(kNoSolidWorksParent);
    }
    if (picked_nothing) {
        controls_.Picture2.set_tooltip("");
    } else {
        show_keys();
    }
}

void Finder::show_keys() {
    // What the Text and Program keys of an entry for this box would be
    // compared with, read the way the watcher reads them.
    const std::string message = box_message(windows_, picked_window);
    const std::string program = box_program(windows_, picked_window);
    std::string one_line = message;
    for (std::size_t at = one_line.find("\r\n"); at != std::string::npos;
         at = one_line.find("\r\n", at + 3)) {
        one_line.replace(at, 2, " | ");
    }
    // A window without either (a control, say) adds nothing and has no tip.
    if (!message.empty())
        controls_.List1.add_item(one_line + '\t' + kMessageItem);
    if (!program.empty())
        controls_.List1.add_item(program + '\t' + kProgramItem);
    controls_.Picture2.set_tooltip(message.empty() && program.empty()
                                       ? std::string()
                                       : std::string(kMessageItem) + ":\r\n" + message + "\r\n" +
                                             kProgramItem + ": " + program);
}

}  // namespace wl::capture
