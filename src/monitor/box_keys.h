// What an entry's optional keys ask of a box, and how the box's side of them
// is read: its message (the texts of its Static children) and the file name
// of the program that owns it. Every read is one the window system answers
// by itself, so a box whose program hangs cannot hold up the tick.
#pragma once

#include <string>

#include "monitor/watch_list.h"
#include "platform/window_system.h"

namespace wl {

// Room for the text of one Static child; a longer text is read cut to one
// character less.
constexpr int kMessageTextBufferChars = 4096;

// The texts of the box's direct children of class Static, in window order,
// joined by line breaks ("\r\n"); a Static without text (an icon) adds no
// line.
std::string box_message(WindowSystem& windows, Hwnd box);

// The file name of the program that owns the window ("SLDWORKS.exe"); empty
// when the system cannot tell.
std::string box_program(WindowSystem& windows, Hwnd window);

// Whether the box meets the entry's keys: its program's file name equals
// Win_program and its message holds Win_text, letter case ignored in both;
// a key left empty asks nothing.
bool meets_keys(WindowSystem& windows, Hwnd box, const WatchEntry& entry);

}  // namespace wl
