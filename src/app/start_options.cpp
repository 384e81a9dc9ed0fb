#include "app/start_options.h"

#include "platform/host_strings.h"

namespace wl {

namespace {

// Splits at blanks; a double-quoted stretch is one argument, without the
// quotes.
std::vector<std::string> split_arguments(std::string_view text) {
    std::vector<std::string> arguments;
    std::string current;
    bool quoted = false;
    bool any = false;
    for (const char c : text) {
        if (c == '"') {
            quoted = !quoted;
            any = true;
        } else if (!quoted && (c == ' ' || c == '\t')) {
            if (any)
                arguments.push_back(current);
            current.clear();
            any = false;
        } else {
            current += c;
            any = true;
        }
    }
    if (any)
        arguments.push_back(current);
    return arguments;
}

}  // namespace

StartOptions read_start_options(std::string_view arguments) {
    StartOptions options;
    for (const std::string& argument : split_arguments(arguments)) {
        const std::string name = argument.size() > 1 && (argument[0] == '/' || argument[0] == '-')
                                     ? text::upper_ascii(argument.substr(1))
                                     : std::string();
        if (name == "TRAY") {
            options.tray = true;
        } else if (name == "MONITOR") {
            options.monitor = true;
        } else if (name == "EXIT") {
            options.exit = true;
        } else {
            options.unknown.push_back(argument);
        }
    }
    return options;
}

std::string unknown_switch_message(const std::vector<std::string>& unknown) {
    std::string named;
    for (std::size_t i = 0; i < unknown.size(); ++i) {
        named += i == 0 ? "" : (i + 1 == unknown.size() ? " and " : ", ");
        named += "\"" + unknown[i] + "\"";
    }
    const bool one = unknown.size() == 1;
    return "Wendlock does not know " + std::string(one ? "the switch " : "the switches ") + named +
           " and started without " + (one ? "it" : "them") + "." +
           "\r\n\r\nThe switches Wendlock knows are:\r\n"
           "/tray\tstart in the notification area, the window hidden\r\n"
           "/monitor\tstart with monitoring on\r\n"
           "/exit\tend the Wendlock running from this folder";
}

}  // namespace wl
