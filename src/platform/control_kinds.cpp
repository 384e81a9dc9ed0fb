#include "platform/control_kinds.h"

#include <cstdint>
#include <initializer_list>

#include "platform/run_time_errors.h"

namespace wl {

namespace {

using Mask = std::uint32_t;

constexpr Mask bit(Operation operation) {
    return Mask{1} << static_cast<unsigned>(operation);
}

constexpr Mask mask(std::initializer_list<Operation> operations) {
    Mask m = 0;
    for (const Operation o : operations)
        m |= bit(o);
    return m;
}

using O = Operation;

// Every windowed control: shown or hidden, enabled or not, its colour, a
// repaint.
constexpr Mask kWindowed = mask({O::Visible, O::SetVisible, O::Enabled, O::SetEnabled,
                                 O::BackColour, O::SetBackColour, O::Refresh});
constexpr Mask kCaption = mask({O::Text, O::SetText});
// A control the pointer can rest on (not the form itself).
constexpr Mask kTip = bit(O::SetTooltip);
constexpr Mask kListRead = mask({O::Count, O::Item, O::ListIndex, O::SetListIndex});
constexpr Mask kListWrite = mask({O::Clear, O::AddItem});

Mask allowed(ControlKind kind) {
    switch (kind) {
        case ControlKind::Form:
            return kWindowed | kCaption |
                   mask({O::MousePointer, O::SetMousePointer, O::SetMouseIcon, O::Placement});
        case ControlKind::Label:
        case ControlKind::TextBox:
        case ControlKind::CommandButton:
            return kWindowed | kCaption | kTip;
        case ControlKind::OptionButton:
            return kWindowed | kCaption | kTip | mask({O::Value, O::SetValue});
        case ControlKind::PictureBox:
            return kWindowed | kTip | mask({O::Picture, O::SetPicture, O::PictureHandle});
        case ControlKind::Shape:
            // A drawing, not a window: it has no caption.
            return mask({O::Visible, O::SetVisible, O::Enabled, O::SetEnabled, O::BackColour,
                         O::SetBackColour, O::Refresh});
        case ControlKind::ComboBox:
            return kWindowed | kCaption | kListRead | kListWrite;
        case ControlKind::ListBox:
            // Its text is the selected item, so it can be read but not set.
            return kWindowed | bit(O::Text) | kListRead | kListWrite;
        case ControlKind::FileList:
            // Its items are its folder's files: pointed at a folder and
            // re-read, never filled or cleared by hand.
            return kWindowed | bit(O::Text) | kListRead | bit(O::SetFolder);
        case ControlKind::Timer:
            return mask({O::Enabled, O::SetEnabled});
        case ControlKind::Menu:
            return kCaption | mask({O::Visible, O::SetVisible, O::Enabled, O::SetEnabled});
        case ControlKind::MenuItem:
            return kCaption | mask({O::Visible, O::SetVisible, O::Enabled, O::SetEnabled, O::Value,
                                    O::SetValue});
    }
    return 0;
}

}  // namespace

std::string control_display_name(const std::string& name, int index) {
    return index < 0 ? name : name + "(" + std::to_string(index) + ")";
}

const char* operation_name(Operation operation) {
    switch (operation) {
        case O::Text:
            return "text";
        case O::SetText:
            return "set_text";
        case O::Visible:
            return "visible";
        case O::SetVisible:
            return "set_visible";
        case O::Enabled:
            return "enabled";
        case O::SetEnabled:
            return "set_enabled";
        case O::BackColour:
            return "back_colour";
        case O::SetBackColour:
            return "set_back_colour";
        case O::Value:
            return "value";
        case O::SetValue:
            return "set_value";
        case O::Clear:
            return "clear";
        case O::AddItem:
            return "add_item";
        case O::Count:
            return "count";
        case O::Item:
            return "item";
        case O::ListIndex:
            return "list_index";
        case O::SetListIndex:
            return "set_list_index";
        case O::SetFolder:
            return "set_folder";
        case O::Refresh:
            return "refresh";
        case O::Picture:
            return "picture";
        case O::SetPicture:
            return "set_picture";
        case O::PictureHandle:
            return "picture_handle";
        case O::MousePointer:
            return "mouse_pointer";
        case O::SetMousePointer:
            return "set_mouse_pointer";
        case O::SetMouseIcon:
            return "set_mouse_icon";
        case O::Placement:
            return "placement";
        case O::SetTooltip:
            return "set_tooltip";
    }
    return "?";
}

const char* kind_name(ControlKind kind) {
    switch (kind) {
        case ControlKind::Form:
            return "form";
        case ControlKind::Label:
            return "label";
        case ControlKind::TextBox:
            return "text box";
        case ControlKind::PictureBox:
            return "picture box";
        case ControlKind::Shape:
            return "shape";
        case ControlKind::OptionButton:
            return "option button";
        case ControlKind::CommandButton:
            return "command button";
        case ControlKind::ComboBox:
            return "combo box";
        case ControlKind::ListBox:
            return "list box";
        case ControlKind::FileList:
            return "file list";
        case ControlKind::Timer:
            return "timer";
        case ControlKind::Menu:
            return "menu";
        case ControlKind::MenuItem:
            return "menu item";
    }
    return "?";
}

bool allows(ControlKind kind, Operation operation) {
    return (allowed(kind) & bit(operation)) != 0;
}

void require(ControlKind kind, Operation operation, const std::string& control_name) {
    if (!allows(kind, operation)) {
        throw run_time_error(err::kNotSupported, control_name + " (" + kind_name(kind) +
                                                     "): " + operation_name(operation));
    }
}

bool takes_focus(ControlKind kind) {
    switch (kind) {
        case ControlKind::TextBox:
        case ControlKind::PictureBox:
        case ControlKind::OptionButton:
        case ControlKind::CommandButton:
        case ControlKind::ComboBox:
        case ControlKind::ListBox:
        case ControlKind::FileList:
            return true;
        default:
            return false;
    }
}

bool has_items(ControlKind kind) {
    return kind == ControlKind::ComboBox || kind == ControlKind::ListBox;
}

}  // namespace wl
