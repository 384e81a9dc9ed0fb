// What each kind of control allows, one table for every host: an operation
// a kind does not have raises error 438, as the classic form runtime does
// for a property or method its object does not support.
#pragma once

#include <string>

#include "platform/types.h"

namespace wl {

enum class Operation {
    Text,
    SetText,
    Visible,
    SetVisible,
    Enabled,
    SetEnabled,
    BackColour,
    SetBackColour,
    Value,
    SetValue,
    Clear,
    AddItem,
    Count,
    Item,
    ListIndex,
    SetListIndex,
    SetFolder,
    Refresh,
    Picture,
    SetPicture,
    PictureHandle,
    MousePointer,
    SetMousePointer,
    SetMouseIcon,
    Placement,
    SetTooltip,
};

// A control's name as messages give it: "Op1(0)" for an element of a
// control array, the name alone otherwise.
std::string control_display_name(const std::string& name, int index);

const char* operation_name(Operation operation);
const char* kind_name(ControlKind kind);

// Whether a control of `kind` has the operation.
bool allows(ControlKind kind, Operation operation);

// Throws AppError 438 naming the control and the operation unless the kind
// has it.
void require(ControlKind kind, Operation operation, const std::string& control_name);

// Whether the kind can take the keyboard focus (and so is a tab stop while
// it is visible and enabled).
bool takes_focus(ControlKind kind);

// A list whose items the program fills itself (not a file list, which shows
// its folder).
bool has_items(ControlKind kind);

}  // namespace wl
