#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "procs/format.h"
#include "settings/preferences.h"

namespace velkor {
namespace {

// Runs each test under the point setting and puts the setting back afterwards.
class Format : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = Preferences.PreferencesUseComma;
    Preferences.PreferencesUseComma = 0;
  }
  void TearDown() override { Preferences.PreferencesUseComma = saved_; }
  static void UseComma(bool on) { Preferences.PreferencesUseComma = on ? 1 : 0; }

 private:
  int32_t saved_ = 0;
};

TEST_F(Format, DecimalsFollowTheSeparatorSetting) {
  EXPECT_EQ(FormatDecimal(12.34f, 1), "12.3");
  EXPECT_EQ(FormatDecimal(0.0f, 1), "0.0");
  EXPECT_EQ(FormatDecimal(7.25f, 1), "7.2");       // exact tie rounds to even
  EXPECT_EQ(FormatDecimalDouble(7.35, 1), "7.3");  // 7.35 is slightly below in binary
  EXPECT_EQ(FormatDecimal(12.34f, -1), "12.340000");
  EXPECT_EQ(FormatDecimalDouble(-0.25, 1), "-0.2");
  UseComma(true);
  EXPECT_EQ(FormatDecimal(12.34f, 1), "12,3");
  EXPECT_EQ(FormatDecimal(0.0f, 1), "0,0");
  EXPECT_EQ(FormatDecimal(7.25f, 1), "7,2");
  EXPECT_EQ(FormatDecimalDouble(1234.5678, 0), "1235");
}

TEST_F(Format, ParseDecimalReadsTheLeadingNumber) {
  EXPECT_FLOAT_EQ(ParseDecimal("12,5%"), 12.0f);
  EXPECT_FLOAT_EQ(ParseDecimal("12.5%"), 12.5f);
  EXPECT_FLOAT_EQ(ParseDecimal("  3.75 MB"), 3.75f);
  EXPECT_FLOAT_EQ(ParseDecimal(""), 0.0f);
  EXPECT_EQ(ParseDecimal("1e300"), std::numeric_limits<float>::infinity());
  UseComma(true);
  EXPECT_FLOAT_EQ(ParseDecimal("12,5%"), 12.5f);
  EXPECT_FLOAT_EQ(ParseDecimal("12.5%"), 12.5f);
}

TEST_F(Format, ACellReadUnderTheOtherSettingStopsAtTheSeparator) {
  UseComma(true);
  const std::string cell = FormatDecimal(42.5f, 1) + "%";
  EXPECT_EQ(cell, "42,5%");
  EXPECT_FLOAT_EQ(ParseDecimal(cell), 42.5f);
  UseComma(false);
  EXPECT_FLOAT_EQ(ParseDecimal(cell), 42.0f);
}

TEST_F(Format, GroupThousands) {
  EXPECT_EQ(GroupThousands(0), "0");
  EXPECT_EQ(GroupThousands(999), "999");
  EXPECT_EQ(GroupThousands(1000), "1.000");
  EXPECT_EQ(GroupThousands(123456), "123.456");
  EXPECT_EQ(GroupThousands(1234567), "1.234.567");
  EXPECT_EQ(GroupThousands(-1234), "-1.234");
  EXPECT_EQ(GroupThousands(-123), "-.123");
  EXPECT_EQ(GroupThousands(std::numeric_limits<int64_t>::max()), "9.223.372.036.854.775.807");
  UseComma(true);  // grouping ignores the decimal setting
  EXPECT_EQ(GroupThousands(1000), "1.000");
}

TEST_F(Format, ParseGroupedReadsGroupedCellsBack) {
  EXPECT_FLOAT_EQ(ParseGrouped("5 KB"), 5.0f);
  EXPECT_FLOAT_EQ(ParseGrouped("56"), 56.0f);
  EXPECT_FLOAT_EQ(ParseGrouped("999"), 999.0f);
  EXPECT_FLOAT_EQ(ParseGrouped("10 KB"), 10.0f);  // two and three digits on the bounds
  EXPECT_FLOAT_EQ(ParseGrouped("100 KB"), 100.0f);
  EXPECT_FLOAT_EQ(ParseGrouped("1.234 KB"), 1234.0f);
  EXPECT_FLOAT_EQ(ParseGrouped("1.234.567 KB"), 1234567.0f);
  EXPECT_FLOAT_EQ(ParseGrouped(""), 0.0f);
  EXPECT_FLOAT_EQ(ParseGrouped("1234"), 123.4f);  // undotted four digits read as a fraction
  UseComma(true);                                 // the fraction path always reads a point
  EXPECT_FLOAT_EQ(ParseGrouped("56"), 56.0f);
  EXPECT_FLOAT_EQ(ParseGrouped("1234"), 123.4f);
  for (int64_t kb : {0, 7, 10, 11, 100, 101, 999, 1000, 65536, 2000000}) {
    EXPECT_FLOAT_EQ(ParseGrouped(GroupThousands(kb) + " KB"), static_cast<float>(kb)) << kb;
  }
}

TEST_F(Format, CompareNumberTexts) {
  EXPECT_EQ(CompareNumberTexts("1.234 KB", "999 KB"), 1);
  EXPECT_EQ(CompareNumberTexts("999 KB", "1.234 KB"), -1);
  EXPECT_EQ(CompareNumberTexts("12,5", "3,0"), 1);  // 125 against 30
  EXPECT_EQ(CompareNumberTexts("1,5", "1,2"), 1);   // 15 against 12, not 1 against 1
  EXPECT_EQ(CompareNumberTexts("1.000 KB", "1.000 KB"), 0);
  EXPECT_EQ(CompareNumberTexts("1:30:00", "1"), 0);
  EXPECT_EQ(CompareNumberTexts("", "0 KB"), 0);
}

TEST_F(Format, RoundHalfUpTruncatesThenAddsAHalf) {
  EXPECT_EQ(RoundHalfUp(2.5f), 3);
  EXPECT_EQ(RoundHalfUp(2.49f), 2);
  EXPECT_EQ(RoundHalfUp(-2.5f), -2);
  EXPECT_EQ(RoundHalfUp(-2.7f), -2);
  EXPECT_EQ(RoundHalfUpDouble(2.5), 3);
  EXPECT_EQ(RoundHalfUpDouble(2.49), 2);
  EXPECT_EQ(RoundHalfUpDouble(-2.5), -2);
  EXPECT_EQ(RoundHalfUpDouble(-2.7), -2);
  EXPECT_EQ(RoundHalfUpDouble(5e9), 5000000000);
  // Beyond the result type: saturate rather than convert out of range.
  EXPECT_EQ(RoundHalfUp(3e9f), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(RoundHalfUp(-3e9f), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(RoundHalfUp(std::numeric_limits<float>::quiet_NaN()), 0);
  EXPECT_EQ(RoundHalfUpDouble(1e30), std::numeric_limits<int64_t>::max());
}

TEST_F(Format, SizeThresholdsAreStrict) {
  EXPECT_EQ(FormatSize(0, 1), "0 Byte");
  EXPECT_EQ(FormatSize(1024, 1), "1024 Byte");
  EXPECT_EQ(FormatSize(1025, 1), "1.0 KB");
  EXPECT_EQ(FormatSize(1048576, 1), "1024.0 KB");
  EXPECT_EQ(FormatSize(1048577, 1), "1.0 MB");
  EXPECT_EQ(FormatSize(3145728, 2), "3.00 MB");
  EXPECT_EQ(FormatSize64(1048576, 1), "1024.0 KB");
  EXPECT_EQ(FormatSize64(8589934592, 2), "8192.00 MB");
  UseComma(true);
  EXPECT_EQ(FormatSize(3145728, 2), "3,00 MB");
  EXPECT_EQ(FormatSize64(3145728, 2), "3,00 MB");
}

TEST_F(Format, Duration) {
  EXPECT_EQ(FormatDuration(0), "0:00:00");
  EXPECT_EQ(FormatDuration(59), "0:00:59");
  EXPECT_EQ(FormatDuration(3725), "1:02:05");
  EXPECT_EQ(FormatDuration(90061), "25:01:01");
  EXPECT_EQ(FormatDuration(std::numeric_limits<int32_t>::max()), "596523:14:07");
}

TEST_F(Format, BitRateThresholdsAreStrict) {
  EXPECT_EQ(FormatBitRate(999), "999 Bit");
  EXPECT_EQ(FormatBitRate(1000), "1000 Bit");
  EXPECT_EQ(FormatBitRate(1001), "1 KBit");
  EXPECT_EQ(FormatBitRate(1500), "2 KBit");
  EXPECT_EQ(FormatBitRate(1000000), "1000 KBit");
  EXPECT_EQ(FormatBitRate(2500000), "3 MBit");
}

TEST_F(Format, LeadingWholeNumber) {
  EXPECT_EQ(LeadingWholeNumber(" \t-42abc"), -42);
  EXPECT_EQ(LeadingWholeNumber("x1"), 0);
  EXPECT_EQ(LeadingWholeNumber("99999999999999999999"), std::numeric_limits<int64_t>::max());
  EXPECT_EQ(LeadingWholeNumber("-9223372036854775808"), std::numeric_limits<int64_t>::min());
  EXPECT_EQ(LeadingWholeNumber("-99999999999999999999"), std::numeric_limits<int64_t>::min());
}

}  // namespace
}  // namespace velkor
