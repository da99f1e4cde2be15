#include "procs/format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "settings/preferences.h"

namespace velkor {
namespace {

bool UseComma() { return Preferences.PreferencesUseComma != 0; }

void ReplaceAll(std::string& text, char from, char to) { std::replace(text.begin(), text.end(), from, to); }

std::string WithoutChar(std::string_view text, char dropped) {
  std::string result;
  result.reserve(text.size());
  for (char c : text) {
    if (c != dropped) result += c;
  }
  return result;
}

// printf's %.nf, done with to_chars so that both trees round alike (exactly,
// ties of exactly representable values to even) whatever their C library.
std::string FixedText(double v, int n) {
  // A negative precision means the default, as in printf; more digits than a
  // double can carry are not worth a huge buffer.
  const int precision = n < 0 ? 6 : std::min(n, 1100);
  std::string buffer(static_cast<size_t>(precision) + 330, '\0');
  const auto result =
      std::to_chars(buffer.data(), buffer.data() + buffer.size(), v, std::chars_format::fixed, precision);
  buffer.resize(static_cast<size_t>(result.ptr - buffer.data()));
  return buffer;
}

// strtod over a view; ranges beyond float become infinities instead of
// undefined conversions.
float TextToFloat(std::string_view s) {
  const std::string text(s);
  const double value = std::strtod(text.c_str(), nullptr);
  if (std::isfinite(value) && std::fabs(value) > std::numeric_limits<float>::max()) {
    return value > 0 ? std::numeric_limits<float>::infinity() : -std::numeric_limits<float>::infinity();
  }
  return static_cast<float>(value);
}

double TextToDouble(std::string_view s) {
  const std::string text(s);
  return std::strtod(text.c_str(), nullptr);
}

std::string TwoDigits(int64_t value) {
  std::string text = std::to_string(value);
  if (text.size() < 2) text.insert(0, 1, '0');
  return text;
}

}  // namespace

std::string FormatDecimal(float v, int n) { return FormatDecimalDouble(static_cast<double>(v), n); }

std::string FormatDecimalDouble(double v, int n) {
  std::string text = FixedText(v, n);
  if (UseComma()) ReplaceAll(text, '.', ',');
  return text;
}

float RoundedDecimal(float v, int n) { return TextToFloat(FixedText(static_cast<double>(v), n)); }

float ParseDecimal(std::string_view s) {
  std::string text(s);
  if (UseComma()) ReplaceAll(text, ',', '.');
  return TextToFloat(text);
}

std::string GroupThousands(int64_t x) {
  const std::string digits = std::to_string(x);
  std::string result;
  result.reserve(digits.size() + digits.size() / 3);
  size_t i = 0;
  for (auto it = digits.rbegin(); it != digits.rend(); ++it, ++i) {
    if (i != 0 && i % 3 == 0) result += '.';
    result += *it;
  }
  std::reverse(result.begin(), result.end());
  return result;
}

float ParseGrouped(std::string_view s) {
  if (s.find('.') != std::string_view::npos) {
    return static_cast<float>(LeadingWholeNumber(WithoutChar(s, '.')));
  }
  // An undotted cell has at most three digits; shift them behind "0." by
  // their count so that the thousandfold value is the number itself. The
  // bounds go by digit count: "10" has two digits and "100" three.
  const int64_t k = LeadingWholeNumber(s);
  const char* prefix = k >= 100 ? "0." : k >= 10 ? "0.0" : "0.00";
  return static_cast<float>(TextToDouble(std::string(prefix) + std::string(s)) * 1000.0);
}

int CompareNumberTexts(std::string_view a, std::string_view b) {
  const int64_t left = LeadingWholeNumber(WithoutChar(WithoutChar(a, '.'), ','));
  const int64_t right = LeadingWholeNumber(WithoutChar(WithoutChar(b, '.'), ','));
  if (left > right) return 1;
  if (left < right) return -1;
  return 0;
}

int32_t RoundHalfUp(float v) {
  if (std::isnan(v)) return 0;
  const float t = std::trunc(v);
  const float rounded = v - t < 0.5f ? t : t + 1.0f;
  // 2^31 is exact in float; anything at or beyond it does not fit.
  if (rounded >= 2147483648.0f) return std::numeric_limits<int32_t>::max();
  if (rounded < -2147483648.0f) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(rounded);
}

int64_t RoundHalfUpDouble(double v) {
  if (std::isnan(v)) return 0;
  const double t = std::trunc(v);
  const double rounded = v - t < 0.5 ? t : t + 1.0;
  if (rounded >= 9223372036854775808.0) return std::numeric_limits<int64_t>::max();
  if (rounded < -9223372036854775808.0) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(rounded);
}

std::string FormatSize(int32_t bytes, int n) {
  if (bytes > 1048576) return FormatDecimal(static_cast<float>(bytes) / 1024.0f / 1024.0f, n) + " MB";
  if (bytes > 1024) return FormatDecimal(static_cast<float>(bytes) / 1024.0f, n) + " KB";
  return std::to_string(bytes) + " Byte";
}

std::string FormatSize64(int64_t bytes, int n) {
  if (bytes > 1048576) return FormatDecimalDouble(static_cast<double>(bytes) / 1024.0 / 1024.0, n) + " MB";
  if (bytes > 1024) return FormatDecimalDouble(static_cast<double>(bytes) / 1024.0, n) + " KB";
  return std::to_string(bytes) + " Byte";
}

std::string FormatDuration(int32_t seconds) {
  const int64_t s = seconds;
  const int64_t h = s / 60 / 60;
  const int64_t m = s / 60 - h * 60;
  const int64_t sec = s - m * 60 - h * 3600;
  return std::to_string(h) + ":" + TwoDigits(m) + ":" + TwoDigits(sec);
}

std::string FormatBitRate(int32_t bits) {
  if (bits > 1000000) return std::to_string(RoundHalfUp(static_cast<float>(bits) / 1000000.0f)) + " MBit";
  if (bits > 1000) return std::to_string(RoundHalfUp(static_cast<float>(bits) / 1000.0f)) + " KBit";
  return std::to_string(bits) + " Bit";
}

std::string FormatBitRate64(int64_t bits) {
  if (bits > 1000000) return std::to_string(RoundHalfUpDouble(static_cast<double>(bits) / 1000000.0)) + " MBit";
  if (bits > 1000) return std::to_string(RoundHalfUpDouble(static_cast<double>(bits) / 1000.0)) + " KBit";
  return std::to_string(bits) + " Bit";
}

int64_t LeadingWholeNumber(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    negative = s[i] == '-';
    ++i;
  }
  // Accumulate toward the sign so that the most negative value fits too.
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
  int64_t value = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
    const int digit = s[i] - '0';
    if (negative) {
      if (value < (kMin + digit) / 10) return kMin;
      value = value * 10 - digit;
    } else {
      if (value > (kMax - digit) / 10) return kMax;
      value = value * 10 + digit;
    }
  }
  return value;
}

}  // namespace velkor
