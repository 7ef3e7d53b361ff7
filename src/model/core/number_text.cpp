#include "model/core/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <system_error>

namespace {

constexpr double LowestInt32 = -2147483648.0;
constexpr double HighestInt32 = 2147483647.0;

// Exponents are accumulated only up to this size; anything larger is far
// outside the range of a double anyway.
constexpr long long ExponentCap = 100000;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool IsDecimalDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Value of a digit in bases up to 16, or -1 for any other character.
int DigitValue(char c)
{
    if (IsDecimalDigit(c))
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Leading digits of the given base; saturates at the top of the 32-bit
// range, so any number of digits is safe.
double ReadDigitsInBase(std::string_view text, int base)
{
    double value = 0;
    for (char c : text) {
        const int digit = DigitValue(c);
        if (digit < 0 || digit >= base)
            break;
        value = std::min(value * base + digit, HighestInt32);
    }
    return value;
}

// Optional sign, digits with an optional point, optional E/D exponent.
double ReadDecimal(std::string_view text)
{
    std::size_t pos = 0;
    const auto at = [&](std::size_t i) { return i < text.size() ? text[i] : '\0'; };

    bool negative = false;
    if (at(pos) == '+' || at(pos) == '-')
        negative = text[pos++] == '-';

    // The mantissa is kept as its significant digits d1 d2 ... and the
    // position of the point relative to them: value = 0.d1d2... * 10^point.
    std::string digits;
    long long point = 0;
    bool seenPoint = false;
    for (;; ++pos) {
        const char c = at(pos);
        if (c == '.' && !seenPoint) {
            seenPoint = true;
        } else if (IsDecimalDigit(c)) {
            if (c == '0' && digits.empty()) {
                if (seenPoint)
                    --point;
            } else {
                digits += c;
                if (!seenPoint)
                    ++point;
            }
        } else {
            break;
        }
    }
    if (digits.empty())
        return 0;  // no digits, or only zeros

    // An exponent letter counts only when digits follow it.
    const char letter = at(pos);
    if (letter == 'E' || letter == 'e' || letter == 'D' || letter == 'd') {
        std::size_t p = pos + 1;
        const bool negativeExponent = at(p) == '-';
        if (at(p) == '+' || at(p) == '-')
            ++p;
        long long exponent = 0;
        for (; IsDecimalDigit(at(p)); ++p)
            exponent = std::min(exponent * 10 + (at(p) - '0'), ExponentCap);
        point += negativeExponent ? -exponent : exponent;
    }

    // At 10^10 and above the value is beyond the 32-bit range; far below
    // the smallest double it is zero.
    if (point > 10)
        return negative ? LowestInt32 : HighestInt32;
    if (point < -330)
        return 0;

    const std::string normalized = "0." + digits + "e" + std::to_string(point);
    double value = 0;
    const auto result = std::from_chars(normalized.data(), normalized.data() + normalized.size(), value);
    if (result.ec != std::errc())
        return 0;
    return std::clamp(negative ? -value : value, LowestInt32, HighestInt32);
}

}  // namespace

double ReadLenientNumber(std::string_view text)
{
    std::string packed;
    for (char c : text) {
        if (!IsBlank(c))
            packed += c;
    }
    const std::string_view view(packed);
    if (view.size() >= 2 && view[0] == '&') {
        if (view[1] == 'H' || view[1] == 'h')
            return ReadDigitsInBase(view.substr(2), 16);
        if (view[1] == 'O' || view[1] == 'o')
            return ReadDigitsInBase(view.substr(2), 8);
    }
    // The hexadecimal forms users know from other tools; like "&H" they take
    // no sign, so "-0x10" reads the decimal "-0" and gives 0.
    if (view.size() >= 2 && view[0] == '0' && (view[1] == 'x' || view[1] == 'X'))
        return ReadDigitsInBase(view.substr(2), 16);
    if (!view.empty() && view[0] == '$')
        return ReadDigitsInBase(view.substr(1), 16);
    return ReadDecimal(view);
}

std::int32_t RoundHalfEven(double value)
{
    if (std::isnan(value))
        return 0;
    value = std::clamp(value, LowestInt32, HighestInt32);
    double rounded = std::floor(value);
    const double fraction = value - rounded;  // exact for every finite double
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(rounded, 2.0) != 0))
        rounded += 1;
    return static_cast<std::int32_t>(rounded);
}

std::string FormatHex(std::int32_t value)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%08X hex", static_cast<unsigned>(std::max<std::int32_t>(value, 0)));
    return buffer;
}

std::string HexText(std::int64_t value)
{
    char text[24];
    std::snprintf(text, sizeof text, "0x%02llX", static_cast<unsigned long long>(value));
    return text;
}

std::string AddressText(std::int64_t address, bool hex)
{
    return hex ? HexText(address) : std::to_string(address);
}

std::string FormatPlainDecimal(double value)
{
    if (value == 0)
        return "0";  // also for -0
    // Room for the longest fixed form of any double (about 330 characters).
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return std::string(buffer, result.ptr);
}
