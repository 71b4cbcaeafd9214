// ZivNumber: reals for people and for SVG, with a full stop whatever the locale.
#pragma once

#include <charconv>
#include <string>

namespace ZivNumber {

// The shortest form that reads back to the same value.
inline std::string Text(double v) {
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

// At most the given number of significant digits, for coordinates of a picture.
inline void Append(std::string& out, double v, int digits = 8) {
    char buf[40];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, digits);
    out.append(buf, r.ptr);
}

}  // namespace ZivNumber
