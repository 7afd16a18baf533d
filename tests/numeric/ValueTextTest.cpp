#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "numeric/CountedText.h"
#include "numeric/SampleOutput.h"
#include "numeric/ValueText.h"

TEST(ValueText, DecodeInBothSignModes) {
  EXPECT_EQ(DecodeValueText(0, "1"), 1);  // single characters are never signed
  EXPECT_EQ(DecodeValueText(0, "0"), 0);
  EXPECT_EQ(DecodeValueText(0, "101"), -1);
  EXPECT_EQ(DecodeValueText(1, "101"), 5);
  EXPECT_EQ(DecodeValueText(0, "10000000"), 0);  // minus zero
  EXPECT_EQ(DecodeValueText(0, "11111111"), -127);
  EXPECT_EQ(DecodeValueText(0, ""), 0);
  EXPECT_EQ(DecodeValueText(1, ""), 0);
}

TEST(ValueText, EncodeInBothSignModes) {
  EXPECT_EQ(EncodeValueText(0, -5, 4), "1101");
  EXPECT_EQ(EncodeValueText(1, -5, 4), "0101");
  EXPECT_EQ(EncodeValueText(0, 0, 3), "000");
  EXPECT_EQ(EncodeValueText(0, -1, 8), "10000001");
  EXPECT_EQ(EncodeValueText(1, -1, 8), "00000001");
  EXPECT_EQ(EncodeValueText(0, -200, 8), EncodeValueText(0, 200, 8));  // magnitude fills the top bit
  EXPECT_EQ(EncodeValueText(0, 123, 4), "1011");
  EXPECT_EQ(EncodeValueText(1, INT32_MIN, 32), "1" + std::string(31, '0'));  // magnitude 2^31
  EXPECT_EQ(EncodeValueText(0, 7, 0), "");
  EXPECT_EQ(EncodeValueText(0, 7, -3), "");
  EXPECT_EQ(EncodeValueText(0, -3, 40), std::string(39 - 2, '0').insert(0, "1") + "11");
  EXPECT_EQ(IntToBits(5, 2), "01");  // high bits dropped
  EXPECT_EQ(FillText('0', 3), "000");
  EXPECT_EQ(FillText('0', -1), "");
}

TEST(ValueText, HostileTextsDecodeSafely) {
  EXPECT_EQ(BitsToInt("1x1"), 5);       // anything but '1' adds 0
  EXPECT_EQ(BitsToInt("\xff\x31"), 1);  // '1' is 0x31
  // Longer than 32 characters: the low 32 bits survive.
  EXPECT_EQ(BitsToInt(std::string(40, '1')), -1);
  EXPECT_EQ(BitsToInt("1" + std::string(32, '0')), 0);
  EXPECT_EQ(BitsToInt(std::string(100000, '1') + "0"), -2);
  // Their integer forms: only texts the form gives back are exact.
  bool exact = true;
  EXPECT_EQ(ReadValueBits("1x1", &exact), ValueBits::Make(5, 3, true));
  EXPECT_FALSE(exact);
  ReadValueBits(("11" + std::string(38, '0')).c_str(), &exact);  // a digit beyond the low 32 bits
  EXPECT_FALSE(exact);
  EXPECT_EQ(FormValueText(ReadValueBits(("1" + std::string(38, '0') + "1").c_str(), &exact)),
            "1" + std::string(38, '0') + "1");
  EXPECT_TRUE(exact);
  EXPECT_EQ(ReadValueBits(nullptr), ValueBits{});
}

TEST(ValueText, RoundTripAtCommonWidths) {
  for (int width : {2, 8, 16, 32}) {
    const int32_t limit = width == 32 ? INT32_MAX : (1 << (width - 1)) - 1;
    for (int32_t v : {0, 1, -1, limit, -limit, limit / 3, -limit / 7}) {
      EXPECT_EQ(DecodeValueText(0, EncodeValueText(0, v, width)), v) << width << " " << v;
      if (v >= 0) {
        EXPECT_EQ(DecodeValueText(1, EncodeValueText(1, v, width)), v) << width << " " << v;
      }
    }
  }
  ValueTextBuffer buffer(6);
  EXPECT_STREQ(buffer.Encode(0, -3), "100011");
  EXPECT_STREQ(buffer.Zero(), "000000");
  buffer.Resize(0);
  EXPECT_STREQ(buffer.Encode(0, 9), "");
}

// An output tells a value as wrapped exactly when its port reads back
// another value: at every width, both sign modes, near every limit. Its
// values' integer forms decode as their texts do.
TEST(ValueText, AnOutputTellsExactlyTheValuesItsPortDoesNotReadBack) {
  for (int32_t sign : {0, 1}) {
    for (int width = 0; width <= 40; ++width) {
      SampleOutput out;
      out.Resize(width, sign);
      std::vector<int64_t> values = {0, 1, -1, INT32_MIN, INT32_MAX, INT32_MIN + 1};
      for (int b = 0; b <= 32; ++b)
        for (int64_t d : {-1, 0, 1}) values.insert(values.end(), {(int64_t{1} << b) + d, -(int64_t{1} << b) - d});
      for (const int64_t wide : values) {
        if (wide < INT32_MIN || wide > INT32_MAX) continue;
        const auto v = static_cast<int32_t>(wide);
        // The integer form and its text agree: the text reads back as the
        // form, and both decode alike.
        const ValueBits bits = out.Encode(v);
        const std::string text = FormValueText(bits);
        bool exact = false;
        ASSERT_EQ(ReadValueBits(text.c_str(), &exact), bits) << sign << " " << width << " " << v;
        ASSERT_TRUE(exact);
        ASSERT_EQ(DecodeValueBits(sign, bits), DecodeValueText(sign, std::string_view(text)));
        const bool readBack = DecodeValueText(sign, std::string_view(text)) == v;
        ASSERT_EQ(out.Problem(v) == rvpNone, readBack) << sign << " " << width << " " << v;
        // A problem met before wins.
        ASSERT_EQ(out.Problem(v, rvpNotANumber), rvpNotANumber);
      }
    }
  }
}

TEST(CountedTextTest, LengthByteNeverReadsPastTheCapacity) {
  CountedText<55> text{};
  text.length = 200;
  EXPECT_EQ(text.Size(), 55u);
  text.Set(std::string(80, 'x'));
  EXPECT_EQ(text.length, 55);
  EXPECT_EQ(text.Get(), std::string(55, 'x'));
  text.Set("1+2");
  EXPECT_TRUE(text == "1+2");
  EXPECT_EQ(text.chars[3], '\0');
}
