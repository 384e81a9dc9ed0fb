// What a conformance case found: the checks it made that failed, each
// with what it got and what it wanted, shared by the case tables.
#pragma once

#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace wl::conformance {

inline std::string shown(const std::string& s) {
    return "\"" + s + "\"";
}
inline std::string shown(const char* s) {
    return shown(std::string(s));
}
inline std::string shown(bool b) {
    return b ? "true" : "false";
}
template <class N>
std::string shown(const N& n) requires std::is_arithmetic_v<N> {
    return std::to_string(n);
}
inline std::string shown(const std::pair<bool, bool>& p) {
    return "(" + shown(p.first) + ", " + shown(p.second) + ")";
}
inline std::string shown(const std::optional<std::string>& s) {
    return s ? shown(*s) : std::string("nothing");
}
inline std::string shown(const std::vector<std::string>& v) {
    std::string out = "[";
    for (std::size_t i = 0; i < v.size(); ++i)
        out += (i ? ", " : "") + shown(v[i]);
    return out + "]";
}

class Checks {
  public:
    void expect(bool ok, const std::string& what) {
        if (!ok)
            failures.push_back(what);
    }
    template <class A, class B>
    void equal(const A& got, const B& want, const std::string& what) {
        if (!(got == want))
            failures.push_back(what + ": got " + shown(got) + ", want " + shown(want));
    }
    std::vector<std::string> failures;
};

// What one case of a table gave: passed, or the failed checks in one line.
struct CaseResult {
    std::string name;
    bool passed = false;
    std::string detail;
};

// Runs a case's body with fresh checks; what escapes it is one more failure.
template <class Body>
CaseResult run_checked(const std::string& name, Body&& body) {
    CaseResult result{name, false, {}};
    Checks check;
    try {
        body(check);
    } catch (const std::exception& e) {
        check.failures.push_back(std::string("escaped: ") + e.what());
    } catch (...) {
        check.failures.push_back("escaped: an unknown exception");
    }
    for (const std::string& failure : check.failures)
        result.detail += (result.detail.empty() ? "" : "; ") + failure;
    result.passed = check.failures.empty();
    return result;
}

// The conformance programs' tally: a failure is printed with its detail at
// once, so a case that hangs later still leaves the earlier ones told.
struct Tally {
    int passed = 0;
    int failed = 0;
    void count(const CaseResult& result) {
        if (result.passed) {
            ++passed;
        } else {
            ++failed;
            std::printf("FAIL %s: %s\n", result.name.c_str(), result.detail.c_str());
        }
        std::fflush(stdout);
    }
};

}  // namespace wl::conformance
