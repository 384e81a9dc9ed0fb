// How the program was asked to start: the switches of its command line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace wl {

struct StartOptions {
    bool tray = false;     // start with the main window hidden in the notification area
    bool monitor = false;  // switch monitoring on once start-up has loaded the watch list
    bool exit = false;     // end the instance running from this folder; start nothing
    std::vector<std::string> unknown;  // anything else, as written
};

// The switches of a command line (the arguments, without the program's own
// name): "/tray" or "-tray", in any letter case; arguments in double quotes
// count as one.
StartOptions read_start_options(std::string_view arguments);

// The message for switches the program does not know: it names them (the
// program starts with the rest) and lists the valid ones.
std::string unknown_switch_message(const std::vector<std::string>& unknown);

}  // namespace wl
