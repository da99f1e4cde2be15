// The one set of conversions between numbers and the texts that the lists and
// panels show and read back. Decimal numbers follow PreferencesUseComma (read
// at every call); sizes in KB are grouped in threes with "." whatever it says.
// Pure functions: none of them fails, whatever text or value it is given.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velkor {

// v with n digits after the separator, rounded as printf's %.nf rounds
// (n = -1: six digits). The single-precision form widens v first.
std::string FormatDecimal(float v, int n);
std::string FormatDecimalDouble(double v, int n);

// v as FormatDecimal(v, n) shows it, as a number (0.06 -> 0.1 for n = 1).
float RoundedDecimal(float v, int n);

// The leading decimal number of s as strtod reads it; 0 when there is none.
// With the comma setting a "," counts as the decimal separator.
float ParseDecimal(std::string_view s);

// 1234567 -> "1.234.567". Meant for non-negative values; a minus sign is
// grouped like a digit (-123 -> "-.123").
std::string GroupThousands(int64_t x);

// Reads back a cell written by GroupThousands ("1.234 KB" -> 1234, "56" -> 56).
// An undotted text of four or more digits reads as a fraction ("1234" -> 123.4).
float ParseGrouped(std::string_view s);

// 1, -1 or 0 as the whole numbers of a and b compare once every "." and ","
// is removed ("1.234 KB" > "999 KB").
int CompareNumberTexts(std::string_view a, std::string_view b);

// Truncates toward zero, then adds one when the remaining fraction is at
// least 0.5 (2.5 -> 3; -2.5 -> -2). Values beyond the result type saturate;
// NaN gives 0.
int32_t RoundHalfUp(float v);
int64_t RoundHalfUpDouble(double v);

// "1024 Byte", "1.0 KB", "3.00 MB": KB above 1024 bytes, MB above 1 048 576.
std::string FormatSize(int32_t bytes, int n);
std::string FormatSize64(int64_t bytes, int n);

// "h:mm:ss", hours unpadded and unbounded (90061 -> "25:01:01").
std::string FormatDuration(int32_t seconds);

// "999 Bit", "2 KBit", "3 MBit": KBit above 1000, MBit above 1 000 000.
std::string FormatBitRate(int32_t bits);
// The same for link speeds beyond 2^31 bit/s (10 Gbit/s -> "10000 MBit").
std::string FormatBitRate64(int64_t bits);

// The whole number of the leading digits of s: leading blanks and tabs
// skipped, an optional sign honoured, stopping at the first non-digit; no
// digits give 0. Saturates at the limits of the type.
int64_t LeadingWholeNumber(std::string_view s);

}  // namespace velkor
