#include "util/format.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "util/error.h"

namespace marovi {
namespace {

struct Spec {
    bool left = false, zero = false, plus = false, space = false;
    int width = 0;
    int precision = -1;
    char conv = 0;
};

std::string FixedText(double v, int precision, char conv)
{
    char buf[512];
    std::chars_format f = std::chars_format::fixed;
    if (conv == 'e' || conv == 'E') f = std::chars_format::scientific;
    if (conv == 'g' || conv == 'G') f = std::chars_format::general;
    auto res = std::to_chars(buf, buf + sizeof buf, v, f, precision);
    if (res.ec != std::errc()) return "INF";
    std::string text(buf, res.ptr);
    if (conv == 'E' || conv == 'G')
        for (char& c : text)
            if (c == 'e') c = 'E';
    return text;
}

// A text made only of a minus sign, zeros and the decimal point is printed without the sign.
void DropNegativeZero(std::string& text)
{
    if (text.empty() || text[0] != '-') return;
    for (size_t i = 1; i < text.size(); ++i) {
        char c = text[i];
        if (c == 'e' || c == 'E') break;
        if (c != '0' && c != '.') return;
    }
    text.erase(0, 1);
}

std::string IntText(long long v, const Spec& sp)
{
    unsigned long long mag = v < 0 ? 0ULL - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
    char buf[32];
    int base = (sp.conv == 'x' || sp.conv == 'X') ? 16 : 10;
    auto res = std::to_chars(buf, buf + sizeof buf, mag, base);
    std::string digits(buf, res.ptr);
    if (sp.conv == 'X')
        for (char& c : digits) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (sp.precision >= 0 && static_cast<int>(digits.size()) < sp.precision)
        digits.insert(0, static_cast<size_t>(sp.precision) - digits.size(), '0');
    std::string sign = v < 0 ? "-" : sp.plus ? "+" : sp.space ? " " : "";
    if (sp.zero && !sp.left && sp.precision < 0) {
        int fill = sp.width - static_cast<int>(sign.size() + digits.size());
        if (fill > 0) digits.insert(0, static_cast<size_t>(fill), '0');
    }
    return sign + digits;
}

std::string RealText(double v, const Spec& sp)
{
    if (std::isnan(v)) return "NAN";
    if (std::isinf(v)) return v < 0 ? "-INF" : "INF";
    int precision = sp.precision >= 0 ? sp.precision : (sp.conv == 'f' ? 2 : 6);
    std::string text = FixedText(v, precision, sp.conv);
    DropNegativeZero(text);
    bool negative = !text.empty() && text[0] == '-';
    if (!negative && (sp.plus || sp.space)) text.insert(0, sp.plus ? "+" : " ");
    if (sp.zero && !sp.left) {
        int fill = sp.width - static_cast<int>(text.size());
        size_t at = (text[0] == '-' || text[0] == '+' || text[0] == ' ') ? 1 : 0;
        if (fill > 0) text.insert(at, static_cast<size_t>(fill), '0');
    }
    return text;
}

void Pad(std::string& out, const std::string& body, const Spec& sp)
{
    int fill = sp.width - static_cast<int>(body.size());
    if (fill > 0 && !sp.left) out.append(static_cast<size_t>(fill), ' ');
    out += body;
    if (fill > 0 && sp.left) out.append(static_cast<size_t>(fill), ' ');
}

} // namespace

std::string Format(std::string_view fmt, std::initializer_list<FormatArg> args)
{
    std::string out;
    out.reserve(fmt.size() + 16);
    auto arg = args.begin();
    size_t i = 0;
    auto bad = [&](const char* what) { return Error(std::string("format \"") + std::string(fmt) + "\": " + what); };
    while (i < fmt.size()) {
        char c = fmt[i++];
        if (c != '%') { out += c; continue; }
        if (i < fmt.size() && fmt[i] == '%') { out += '%'; ++i; continue; }
        Spec sp;
        for (; i < fmt.size(); ++i) {
            char f = fmt[i];
            if (f == '-') sp.left = true;
            else if (f == '0') sp.zero = true;
            else if (f == '+') sp.plus = true;
            else if (f == ' ') sp.space = true;
            else break;
        }
        while (i < fmt.size() && fmt[i] >= '0' && fmt[i] <= '9') sp.width = sp.width * 10 + (fmt[i++] - '0');
        if (i < fmt.size() && fmt[i] == '.') {
            ++i;
            sp.precision = 0;
            while (i < fmt.size() && fmt[i] >= '0' && fmt[i] <= '9') sp.precision = sp.precision * 10 + (fmt[i++] - '0');
        }
        while (i < fmt.size() && (fmt[i] == 'l' || fmt[i] == 'h')) ++i;
        if (i >= fmt.size()) throw bad("incomplete conversion");
        sp.conv = fmt[i++];
        if (arg == args.end()) throw bad("missing argument");
        const FormatArg& a = *arg++;
        std::string body;
        switch (sp.conv) {
        case 'd': case 'u': case 'x': case 'X':
            if (a.kind != FormatArg::Kind::Int) throw bad("integer expected");
            body = IntText(a.i, sp);
            break;
        case 'f': case 'e': case 'E': case 'g': case 'G':
            if (a.kind == FormatArg::Kind::Text) throw bad("number expected");
            body = RealText(a.kind == FormatArg::Kind::Int ? static_cast<double>(a.i) : a.r, sp);
            break;
        case 's':
            if (a.kind != FormatArg::Kind::Text) throw bad("text expected");
            body = std::string(a.s.substr(0, sp.precision >= 0 ? static_cast<size_t>(sp.precision) : a.s.size()));
            break;
        default:
            throw bad("unknown conversion");
        }
        Pad(out, body, sp);
    }
    return out;
}

std::string ShortestText(double value)
{
    if (value == 0.0) return "0";
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    std::string text(buf, res.ptr);
    // to_chars writes "1e-06"; the program writes "1E-6".
    size_t e = text.find('e');
    if (e == std::string::npos) return text;
    std::string mantissa = text.substr(0, e);
    int exponent = std::atoi(text.c_str() + e + 1);
    return mantissa + "E" + std::to_string(exponent);
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
    return text;
}

bool ParseReal(std::string_view text, double& value)
{
    text = Trim(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return false;
    double v = 0;
    auto res = std::from_chars(text.data(), text.data() + text.size(), v);
    if (res.ec != std::errc() || res.ptr != text.data() + text.size()) return false;
    value = v;
    return true;
}

bool ParseFiniteReal(std::string_view text, double& value)
{
    double v = 0;
    if (!ParseReal(text, v) || !std::isfinite(v)) return false;
    value = v;
    return true;
}

bool ParseInt(std::string_view text, int& value)
{
    text = Trim(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return false;
    int v = 0;
    auto res = std::from_chars(text.data(), text.data() + text.size(), v);
    if (res.ec != std::errc() || res.ptr != text.data() + text.size()) return false;
    value = v;
    return true;
}

} // namespace marovi
