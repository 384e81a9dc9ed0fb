// What the host keeps of one control (or of the form itself).
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/pointer_press.h"
#include "platform/types.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_host.h"

namespace wl::win32 {

// Records live as long as the host, so window procedures may hold on to
// them. The control table alone binds and unbinds their windows.
struct ControlRecord {
    Win32Host::Impl* host = nullptr;
    ControlSpec design;          // name, index, kind and design values; a menu's
                                 // design.text is its current caption
    HWND hwnd = nullptr;         // nullptr for shapes, timers and menus
    int id = 0;                  // control, menu command or timer identifier
    std::optional<Colour> back;  // design.back_colour as the logic changed it
    Picture picture = Picture::None;
    UniqueFont font;
    UniqueBrush brush;  // background brush of WM_CTLCOLOR*, in brush_colour
    Colour brush_colour = kInvalidColour;
    std::string folder;  // file list
    // State of the kinds without a window of their own.
    bool visible = true;
    bool enabled = true;
    RECT bounds{};  // shape: pixels in the form's client area
    // Menus.
    UniqueMenu menu;                       // a Menu's pop-up menu
    ControlRecord* parent_menu = nullptr;  // a MenuItem's menu
    std::vector<ControlRecord*> items;     // a Menu's items, top to bottom
    bool checked = false;                  // a menu item's check mark while it is hidden
    // Subclassed controls (text boxes, graphical command buttons): their own
    // window procedure; a text box's press that may become a click.
    WNDPROC original_proc = nullptr;
    bool pressed = false;
    PointerPress pointer;  // picture boxes: buttons held since the press
};

}  // namespace wl::win32
