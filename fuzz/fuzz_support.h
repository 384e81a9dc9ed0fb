// What every fuzz target that works on real files needs: a scratch folder
// of its own per process, whole-file reads, and a loud stop when an
// invariant breaks.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fuzz {

namespace fs = std::filesystem;

[[noreturn]] inline void fail(const std::string& what) {
    std::fprintf(stderr, "INVARIANT BROKEN: %s\n", what.c_str());
    std::abort();
}

// "<temp>/wl-fuzz-<target>-<pid>", emptied once, at first use.
inline fs::path scratch_folder(const std::string& target) {
    fs::path p =
        fs::temp_directory_path() / ("wl-fuzz-" + target + "-" + std::to_string(::getpid()));
    fs::remove_all(p);
    fs::create_directories(p);
    return p;
}

inline std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace fuzz
