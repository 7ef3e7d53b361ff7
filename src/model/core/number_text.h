#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Reads the leading number of a text the way the program's address and jump
// fields do: blanks, tabs and line feeds are skipped anywhere; then an
// optional sign and decimal digits with an optional decimal point and
// exponent, or "&H" and hexadecimal digits, or "&O" and octal digits
// (prefix letters in either case). "0x", "0X" and "$" introduce hexadecimal
// digits too. Reading stops at the first character that does not fit; no
// number gives 0. The result is clamped to the 32-bit range
// [-2147483648, 2147483647].
double ReadLenientNumber(std::string_view text);

// Rounds to the nearest integer, halves to the even neighbour (2.5 -> 2,
// 3.5 -> 4), clamped to the 32-bit range.
std::int32_t RoundHalfEven(double value);

// Eight upper-case hexadecimal digits followed by " hex"; a negative value
// counts as 0. 4660 gives "00001234 hex".
std::string FormatHex(std::int32_t value);

// "0x" and at least two upper-case hexadecimal digits: 0x0F, 0x150.
std::string HexText(std::int64_t value);

// An address as the program shows it: decimal, or HexText when hex.
std::string AddressText(std::int64_t address, bool hex);

// A number in plain decimal with no more digits than needed: 0.055 gives
// "0.055", 1.5 gives "1.5", 0 gives "0". Always a digit before the point.
std::string FormatPlainDecimal(double value);
