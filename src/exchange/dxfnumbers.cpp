#include "exchange/dxfnumbers.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace {

std::string_view trimmed(const std::string& text)
{
    std::string_view s(text);
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

} // namespace

namespace DxfNumbers {

std::string shortest(double v)
{
    if (v == 0)
        return "0"; // also for -0: CAD readers need no negative zero
    std::array<char, 64> buf{};
    // Fixed notation for the usual magnitudes, the exponent form beyond.
    const double a = std::fabs(v);
    const auto fmt =
        (a >= 1e-5 && a < 1e15) ? std::chars_format::fixed : std::chars_format::general;
    const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), v, fmt);
    return std::string(buf.data(), r.ptr);
}

double shiftDecimal(double v, int places)
{
    if (v == 0 || !std::isfinite(v) || places == 0)
        return v;
    std::array<char, 64> buf{};
    const auto r =
        std::to_chars(buf.data(), buf.data() + buf.size(), v, std::chars_format::scientific);
    std::string text(buf.data(), r.ptr); // "-1.235e+00"
    const size_t e = text.find('e');
    const int exponent = std::atoi(text.c_str() + e + 1) + places;
    text.resize(e);
    text += 'e' + std::to_string(exponent);
    double out = v;
    std::from_chars(text.data(), text.data() + text.size(), out);
    return out;
}

bool parseReal(const std::string& text, double& out)
{
    const std::string_view s = trimmed(text);
    if (s.empty())
        return false;
    const char* first = s.data();
    if (*first == '+' && s.size() > 1)
        ++first; // from_chars takes no plus sign
    double v = 0;
    const auto r = std::from_chars(first, s.data() + s.size(), v);
    if (r.ec != std::errc() || r.ptr != s.data() + s.size() || !std::isfinite(v))
        return false;
    out = v;
    return true;
}

bool parseInt(const std::string& text, long long& out)
{
    const std::string_view s = trimmed(text);
    if (s.empty())
        return false;
    const char* first = s.data();
    if (*first == '+' && s.size() > 1)
        ++first;
    long long v = 0;
    const auto r = std::from_chars(first, s.data() + s.size(), v);
    if (r.ec != std::errc() || r.ptr != s.data() + s.size())
        return false;
    out = v;
    return true;
}

} // namespace DxfNumbers
