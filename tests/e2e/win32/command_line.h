// The command line of the test tools: a command first (driver.exe's command,
// probe.exe's mode), then options, each "--name value" unless the tool names
// it as one that stands alone, and, where the tool takes them, plain words.
// Shared by the tools so that they read their arguments by one rule.
#pragma once

#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace e2e {

// A command line the tool cannot follow: the tool prints the message and its
// usage, and exits with 2.
struct UsageError {
    std::string message;
};

struct Args {
    std::string command;
    std::vector<std::string> positional;        // words that are not options, in order
    std::map<std::string, std::string> values;  // the last value given counts
    std::vector<std::string> extra;             // every value of the repeated option, in order
    std::set<std::string> flags;                // options that stand alone

    bool has(const std::string& key) const { return values.count(key) != 0; }
    std::string get(const std::string& key, const std::string& fallback = "") const {
        const auto found = values.find(key);
        return found == values.end() ? fallback : found->second;
    }
    bool flag(const std::string& key) const { return flags.count(key) != 0; }
};

// What one tool accepts.
struct ArgRules {
    std::string command_word;       // what the tool calls its first argument: "no command"
    std::set<std::string> flags;    // options without a value
    std::string repeated;           // the option that may repeat, into Args::extra ("" for none)
    bool takes_positional = false;  // plain words are kept, not refused
};

inline Args parse_args(int argc, char** argv, const ArgRules& rules) {
    if (argc < 2) {
        throw UsageError{"no " + rules.command_word};
    }
    Args args;
    args.command = argv[1];
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (rules.flags.count(arg) != 0) {
            args.flags.insert(arg);
        } else if (arg.rfind("--", 0) == 0) {
            if (i + 1 >= argc) {
                throw UsageError{"missing value for " + arg};
            }
            if (!rules.repeated.empty() && arg == rules.repeated) {
                args.extra.push_back(argv[++i]);
            } else {
                args.values[arg] = argv[++i];
            }
        } else if (rules.takes_positional) {
            args.positional.push_back(arg);
        } else {
            throw UsageError{"unexpected argument " + arg};
        }
    }
    return args;
}

// A whole number in C notation (decimal, 0x hex, 0 octal); `what` names it in
// the error.
inline long long parse_number(const std::string& text, const std::string& what) {
    char* end = nullptr;
    const long long value = std::strtoll(text.c_str(), &end, 0);
    if (text.empty() || *end != '\0') {
        throw UsageError{"bad number for " + what + ": " + text};
    }
    return value;
}

}  // namespace e2e
