// The user-interface host's string and number operations, as the program's
// rules rely on them: trimming removes the space character only (never tabs
// or NULs), numbers are taken from the front of a text, reals round to the
// even neighbour, hexadecimal is upper case without prefix.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "platform/run_time_errors.h"
#include "platform/types.h"

namespace wl::text {

inline std::string ltrim(std::string_view s) {
    std::size_t b = 0;
    while (b < s.size() && s[b] == ' ')
        ++b;
    return std::string(s.substr(b));
}

inline std::string rtrim(std::string_view s) {
    std::size_t e = s.size();
    while (e > 0 && s[e - 1] == ' ')
        --e;
    return std::string(s.substr(0, e));
}

inline std::string trim(std::string_view s) {
    return ltrim(rtrim(s));
}

// The first n characters (fewer when the text is shorter).
inline std::string left(std::string_view s, std::size_t n) {
    return std::string(s.substr(0, std::min(n, s.size())));
}

// What a text box or caption shows of a text: everything before its first NUL.
inline std::string up_to_nul(std::string_view s) {
    return std::string(s.substr(0, std::min(s.find('\0'), s.size())));
}

inline std::string upper_ascii(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

// The leading decimal number of a text: optional blanks, an optional sign,
// digits with an optional decimal point. 0 when the text does not begin with
// a number. Stops at the first character that cannot continue the number.
inline double leading_number(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    double value = 0;
    bool any = false;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        value = value * 10 + (s[i] - '0');
        any = true;
        ++i;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        double scale = 0.1;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
            value += (s[i] - '0') * scale;
            scale /= 10;
            any = true;
            ++i;
        }
    }
    if (!any)
        return 0;
    return negative ? -value : value;
}

// Real to a 16-bit integer: nearest, halves to the even neighbour (2.5 -> 2,
// 3.5 -> 4); a value that does not fit raises the host's overflow error
// (number 6).
inline std::int16_t to_int16_rounded(double v) {
    const double r = std::nearbyint(v);
    if (!(r >= std::numeric_limits<std::int16_t>::min() &&
          r <= std::numeric_limits<std::int16_t>::max())) {
        throw run_time_error(err::kOverflow);
    }
    return static_cast<std::int16_t>(r);
}

// Upper-case hexadecimal digits, no prefix, no leading zeros ("0" for 0).
inline std::string hex_upper(std::uint64_t v) {
    static const char kDigits[] = "0123456789ABCDEF";
    if (v == 0)
        return "0";
    std::string out;
    while (v != 0) {
        out.insert(out.begin(), kDigits[v & 0xF]);
        v >>= 4;
    }
    return out;
}

}  // namespace wl::text
