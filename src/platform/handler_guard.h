// Where an error that escapes the program's work ends: in one box that tells
// the user, the program carrying on. The program's handlers (Form1) and the
// real host's window procedures both run through it, so every such error is
// told alike.
#pragma once

#include <functional>
#include <string>

namespace wl {

// Runs `work`. An error escaping it goes no further: its run-time error text
// ("Run-time error '5':..." or "Run-time error:\r\n\r\nUnknown error") is
// handed to `show`, whose own failure is ignored (nothing more can be told),
// and false is returned. ProgramEnded is not an error and passes on to the
// host, which ends the paused handler quietly.
bool run_guarded(const std::function<void()>& work,
                 const std::function<void(const std::string&)>& show);

}  // namespace wl
