// One control of the main window (or the form itself) as the host shows it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/types.h"

namespace wl {

// One control (or the form, a menu item, a timer) as the platform shows it.
// Every host keeps these rules (tests/conformance/host_cases.h checks them on
// the real host and on the simulated one):
// - An operation the control's kind does not have (control_kinds.h) raises AppError 438.
// - Reads go to the control as it is now: what the user typed or chose is what they give.
// - Caption, visibility, enabled state and colour read back as last set, else as designed.
// - List items stay in the order added; item() of an index outside the list is "".
// - set_list_index(-1) unselects, emptying a combo box's text.
// - set_list_index outside -1..count-1 raises AppError 380 and changes nothing.
// - A combo box's selected item is also its text.
// - A list box's or file list's text is its selected item, "" without one.
// - A file list shows its folder's files that match its pattern, sorted without regard to case.
// - A file list reads its folder on set_folder and refresh only; a missing folder shows none.
// - Option buttons are one group: choosing one clears the others.
// - A click on an option button chooses it before its Click event.
// - A menu item keeps its caption and check mark while hidden.
// - A timer ticks every interval while enabled, counted from when it was enabled.
// - refresh() repaints a windowed control; a file list re-reads its folder.
// - Hiding or disabling the control with the keyboard focus hands it to the first tab stop.
class Control {
  public:
    Control() = default;
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual Hwnd hwnd() const = 0;
    virtual std::string text() const = 0;  // caption or text
    virtual void set_text(std::string_view text) = 0;
    virtual bool visible() const = 0;
    virtual void set_visible(bool visible) = 0;
    virtual bool enabled() const = 0;
    virtual void set_enabled(bool enabled) = 0;
    virtual Colour back_colour() const = 0;
    virtual void set_back_colour(Colour colour) = 0;
    // Option button: selected. Menu item: checked.
    virtual bool value() const = 0;
    virtual void set_value(bool value) = 0;
    // List box, combo box, file list.
    virtual void clear() = 0;
    virtual void add_item(std::string_view item) = 0;
    virtual int count() const = 0;
    virtual std::string item(int index) const = 0;
    virtual int list_index() const = 0;
    virtual void set_list_index(int index) = 0;  // combo box: also sets its text
    // File list: point it at a folder (re-reads the listing) / re-read it.
    virtual void set_folder(const std::string& folder) = 0;
    virtual void refresh() = 0;
    // Picture box.
    virtual Picture picture() const = 0;
    virtual void set_picture(Picture picture) = 0;
    virtual std::uint64_t picture_handle() const = 0;  // icon handle of the picture
    // The tip shown while the pointer rests on the control, its line breaks
    // kept; "" takes it away. Starts as the design's tooltip.
    virtual void set_tooltip(std::string_view text) = 0;
};

}  // namespace wl
