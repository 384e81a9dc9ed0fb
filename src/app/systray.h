// The notification-area icon, and keeping the main window above the others.
#pragma once

#include <string>

#include "platform/platform.h"

namespace wl {

inline constexpr const char* kTrayTip = "I am monitoring SolidWorks MSGBOXes";
inline constexpr std::uint32_t kTrayIconId = 1;
inline constexpr std::uint32_t kTrayCallbackMessage = 0x200;  // arrives as a mouse move
inline constexpr int kTrayRightButtonDown = 516;
inline constexpr int kTrayLeftDoubleClick = 515;

// The record for adding: the tip is the text, one NUL, then spaces to 64.
TrayRecord tray_record_for_add(const Shell& shell, const Control& Picture1);
// The record for removing: only size, window and id are set.
TrayRecord tray_record_for_remove(const Shell& shell, const Control& Picture1);

// Whether the shell took the icon.
bool AddTrayIcon(Shell& shell, const Control& Picture1);
void RemoveTrayIcon(Shell& shell, const Control& Picture1);

// Makes the window join (or leave) the topmost band at its current place
// and size. Its twips placement is converted to pixels, rounded to the even
// neighbour into 16 bits.
void SetTopmost(WindowSystem& windows, const Host& host, const FormWindow& form, bool topmost);

}  // namespace wl
