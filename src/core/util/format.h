#pragma once
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace marovi {

// One argument of Format: an integer, a real or a text.
struct FormatArg {
    enum class Kind { Int, Real, Text } kind;
    long long i = 0;
    double r = 0.0;
    std::string_view s;
    FormatArg(int v) : kind(Kind::Int), i(v) {}
    FormatArg(long v) : kind(Kind::Int), i(v) {}
    FormatArg(long long v) : kind(Kind::Int), i(v) {}
    FormatArg(unsigned v) : kind(Kind::Int), i(v) {}
    FormatArg(unsigned long v) : kind(Kind::Int), i(static_cast<long long>(v)) {}
    FormatArg(double v) : kind(Kind::Real), r(v) {}
    FormatArg(std::string_view v) : kind(Kind::Text), s(v) {}
    FormatArg(const std::string& v) : kind(Kind::Text), s(v) {}
    FormatArg(const char* v) : kind(Kind::Text), s(v) {}
};

// printf-like formatting that never consults the process locale ('.' is always the
// decimal separator). Conversions: d, u, x, X, f, e, g, s, %. "%f" without a precision
// prints two decimals, "%.3d" pads with zeros, "%-8d" left-justifies, "%-15.15s" cuts.
// A negative zero prints as zero. Throws marovi::Error on a malformed format or a
// missing or mismatched argument.
std::string Format(std::string_view fmt, std::initializer_list<FormatArg> args = {});

// The shortest decimal text of a real: up to 15 significant digits, no trailing zeros,
// scientific notation ("1E-6", "1.5E20") only for very small or very large values.
std::string ShortestText(double value);

// Parses a whole text (leading and trailing blanks allowed) as a real or integer with '.'
// as the decimal separator. Returns false when the text is not a number.
bool ParseReal(std::string_view text, double& value);
bool ParseInt(std::string_view text, int& value);
// ParseReal for fields where an infinite or undefined value is no number either; the value
// is changed only when the text is one.
bool ParseFiniteReal(std::string_view text, double& value);

// Removes leading and trailing blanks and control characters.
std::string_view Trim(std::string_view text);

} // namespace marovi
