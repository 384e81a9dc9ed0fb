// The finder tool: pressing on Picture2, dragging over any window and
// releasing picks that window. During the drag the window under the pointer
// is framed and its handle and text shown; on release its descendants are
// walked, its class and its parent's title recorded, and a warning shown when
// it does not belong to a SolidWorks window.
#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "capture/outline.h"
#include "capture/tree_walk.h"
#include "platform/control.h"
#include "platform/form_window.h"
#include "platform/host.h"
#include "platform/window_system.h"

namespace wl::capture {

// The main window's controls the finder reads and writes. A plain aggregate
// of references so the main window can build it from its own members.
struct CaptureControls {
    FormWindow& form;   // caption: the picked handle; mouse pointer during a drag
    Control& Label3;    // the SolidWorks warning
    Control& Text1;     // text of the window under the pointer
    Control& Text2;     // parent (or grandparent) title
    Control& Text4;     // class of the picked window
    Control& List1;     // titled descendants (filled by the walk)
    Control& Picture2;  // the finder tool itself
    std::array<Control*, 3> cmd1;
    std::array<Control*, 3> Op1;
};

constexpr std::size_t kFinderBufferChars = 144;
constexpr int kClassBufferChars = 255;

// A fixed text buffer that keeps its whole content between reads: a read
// writes the text and one NUL and leaves the rest as it was; a failed read
// changes nothing. Starts as all NULs.
class TextBuffer {
  public:
    TextBuffer() { chars_.fill('\0'); }

    // Reads the window's text (WM_GETTEXT) into the buffer; returns the
    // number of characters copied, 0 when the read failed.
    std::size_t read_window_text(WindowSystem& windows, Hwnd window);
    // The first n characters of the whole buffer once the spaces at both of
    // its ends are removed; may contain NULs of the buffer.
    std::string first_trimmed(std::size_t n) const;
    // Whether the whole buffer, spaces removed at both ends, is empty.
    bool trimmed_empty() const;
    // Whether the buffer starts with `prefix` (case-sensitive).
    bool starts_with(const std::string& prefix) const;
    std::string contents() const { return std::string(chars_.data(), chars_.size()); }

  private:
    std::array<char, kFinderBufferChars> chars_;
};

class Finder {
  public:
    Finder(WindowSystem& windows, Host& host, CaptureControls controls);

    Finder(const Finder&) = delete;
    Finder& operator=(const Finder&) = delete;

    // Mouse events of Picture2. Any button, modifier and position: the
    // arguments are not looked at, the pointer is read from the window system.
    void Picture2_MouseDown();
    void Picture2_MouseMove();
    void Picture2_MouseUp();
    // The pointer was taken away before the release (Alt+Tab, another
    // program's window): the drag ends as a release would, but without a
    // walk, and the frame it left goes. What the drag showed stays.
    void Picture2_LostCapture();

    Outline& outline() { return outline_; }

    // What a release appends to List1 after the walk, and puts in the finder
    // tool's tip: the picked box's message and its program's file name.
    static constexpr const char* kMessageItem = "Message";
    static constexpr const char* kProgramItem = "Program";
    TreeWalk& tree_walk() { return tree_walk_; }

    bool dragging = false;
    Hwnd picked_window = 0;          // the window under the pointer at the last move
    std::string picked_title;        // its text as read then; Text1 shows it without leading spaces
    std::string picked_class;        // class of picked_window, read on release
    TextBuffer title_buffer;         // text of the window under the pointer
    TextBuffer parent_title_buffer;  // parent / grandparent titles

  private:
    void show_keys();

    WindowSystem& windows_;
    CaptureControls controls_;
    Outline outline_;
    TreeWalk tree_walk_;
};

// Upper-case hexadecimal digits of the handle's 32 low bits, no prefix, no
// leading zeros ("0" for 0).
std::string hex_caption(Hwnd window);

}  // namespace wl::capture
