#include "model/core/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <limits>
#include <string>
#include <string_view>
#include <utility>

namespace {

void ExpectReads(std::initializer_list<std::pair<std::string_view, double>> cases)
{
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(ReadLenientNumber(text), expected) << '"' << text << '"';
}

}  // namespace

TEST(NumberTextReadLenient, DecimalWithBlanksAnywhere)
{
    ExpectReads({{" 1 2 3", 123},
                 {"1 024", 1024},
                 {"\t1\n0\r2 4 ", 1024},
                 {"+7", 7},
                 {"- 5", -5},
                 {".5", 0.5},
                 {"5.", 5},
                 {"0.055", 0.055},
                 {"-0.25", -0.25},
                 {"000123", 123}});
    ExpectReads({{"1E+3", 1000},
                 {"2.5d2", 250},
                 {"25D-1", 2.5},
                 {"1 e 2", 100},
                 {"1e", 1},
                 {"1024d", 1024},
                 {"1e+", 1},
                 {"1e-x", 1},
                 {"1e-400", 0},
                 {"12345e-4", 1.2345}});
}

TEST(NumberTextReadLenient, StopsAtFirstMisfitAndAtEndOfView)
{
    ExpectReads({{"1024xyz", 1024}, {"12.5.3", 12.5}, {"3-4", 3}, {"1e2e3", 100}, {"7&H10", 7}});
    EXPECT_EQ(ReadLenientNumber(std::string_view("12e5").substr(0, 3)), 12);
}

TEST(NumberTextReadLenient, NoNumberGivesZero)
{
    ExpectReads({{"", 0},
                 {"abc", 0},
                 {"-", 0},
                 {".", 0},
                 {"-.", 0},
                 {"e5", 0},
                 {"&H", 0},
                 {"&O", 0},
                 {"&X12", 0},
                 {"-&H10", 0},
                 {"&O8", 0}});
    EXPECT_FALSE(std::signbit(ReadLenientNumber("-0")));
}

TEST(NumberTextReadLenient, HexAndOctal)
{
    ExpectReads({{" &H100", 256},
                 {"&HfF", 255},
                 {"&hA0g", 160},
                 {"& H 1 0", 16},
                 {"&o17", 15},
                 {"&O178", 15},
                 {"&H7FFFFFFF", 2147483647}});
}

TEST(NumberTextReadLenient, ZeroXAndDollarHex)
{
    ExpectReads(
        {{"0x200", 512}, {"0X200", 512}, {"$200", 512}, {" 0 x f F", 255}, {"0x1g", 1}, {"0x7FFFFFFF", 2147483647}});
    // No digits, a sign (as with "&H"), or a prefix not at the start read as before.
    ExpectReads({{"0x", 0}, {"$", 0}, {"0x-5", 0}, {"-0x10", 0}, {"-$10", 0}, {"00x10", 0}, {"1x10", 1}, {"10$", 10}});
    EXPECT_FALSE(std::signbit(ReadLenientNumber("-0x10")));
    ExpectReads({{"0xFFFFFFFFF", 2147483647}, {"$80000000", 2147483647}});
}

TEST(NumberTextReadLenient, ClampsToInt32Range)
{
    ExpectReads({{"99999999999", 2147483647},
                 {"-1e30", -2147483648.0},
                 {"1e10", 2147483647},
                 {"2147483647.5", 2147483647},
                 {"-2147483648", -2147483648.0},
                 {"&HFFFFFFFFFF", 2147483647},
                 {"&H80000000", 2147483647},
                 {"1e99999999999999999999", 2147483647},
                 {"0.000000000000001e24", 1e9}});
    const std::string nines(1000, '9');
    EXPECT_EQ(ReadLenientNumber(nines), 2147483647);
    EXPECT_EQ(ReadLenientNumber("-" + nines), -2147483648.0);
    EXPECT_EQ(ReadLenientNumber("&H" + std::string(1000, 'F')), 2147483647);
    EXPECT_EQ(ReadLenientNumber("0." + std::string(1000, '0') + "1"), 0);
    EXPECT_EQ(ReadLenientNumber("1" + std::string(1000, '0') + "e-998"), 100);
}

TEST(NumberTextRoundHalfEven, HalvesToEvenClampedNaNZero)
{
    const std::pair<double, int> cases[] = {{2.5, 2},
                                            {3.5, 4},
                                            {-2.5, -2},
                                            {-3.5, -4},
                                            {0.5, 0},
                                            {-0.5, 0},
                                            {2.5000001, 3},
                                            {-1.7, -2},
                                            {1e20, 2147483647},
                                            {-1e20, -2147483647 - 1},
                                            {2147483646.5, 2147483646},
                                            {std::numeric_limits<double>::infinity(), 2147483647},
                                            {std::numeric_limits<double>::quiet_NaN(), 0}};
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(RoundHalfEven(value), expected) << value;
}

TEST(NumberTextFormat, Hex)
{
    EXPECT_EQ(FormatHex(4660), "00001234 hex");
    EXPECT_EQ(FormatHex(2147483647), "7FFFFFFF hex");
    EXPECT_EQ(FormatHex(0xABCDEF), "00ABCDEF hex");
    EXPECT_EQ(FormatHex(-5), "00000000 hex");
}

TEST(NumberTextFormat, PlainDecimal)
{
    const std::pair<double, const char*> cases[] = {{0.055, "0.055"},
                                                    {0.11, "0.11"},
                                                    {0.0, "0"},
                                                    {-0.0, "0"},
                                                    {1.5, "1.5"},
                                                    {1, "1"},
                                                    {1048576, "1048576"},
                                                    {-0.25, "-0.25"},
                                                    {1e21, "1000000000000000000000"},
                                                    {1e-7, "0.0000001"},
                                                    {0.1 + 0.2, "0.30000000000000004"}};
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(FormatPlainDecimal(value), expected) << value;
}
