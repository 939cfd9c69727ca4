// SPDX-License-Identifier: MIT
// The number text of every build (settings/DecimalText.h) against the C and
// C++ libraries of x86-64 Linux it stands in for: the fixed formats against
// glibc's printf "%W.Pf", reading against strtod, the shortest form against
// libstdc++'s std::to_chars, over many random doubles and over the exact ties
// where a rounding could go either way. The program runs in the "C" locale.

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "settings/DecimalText.h"

namespace {

uint64_t BitsOf(double value) {
  uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

double FromBits(uint64_t bits) {
  double value = 0;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

// The value with its bits, so that a failure names the very double.
std::string Named(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.17g (%a)", value, value);
  return text;
}

// Doubles the way the program meets them and beyond: values of the inputs'
// and results' magnitudes (a few decimals, and any bits), and finite doubles
// of every exponent, subnormals included.
class TDoubles {
 public:
  explicit TDoubles(uint64_t seed) : random_(seed) {}

  double Next() {
    switch (random_() % 4) {
      case 0:  // a typed value of up to 3 decimals, up to 5000
        return static_cast<double>(random_() % 5'000'001) / 1000.0;
      case 1:  // any double of the figures' magnitudes, 1e-6 to 1e7
        return std::ldexp(0.5 + 0.5 * Unit(), static_cast<int>(random_() % 44) - 20);
      case 2:  // a whole number or one with a short binary fraction
        return std::ldexp(static_cast<double>(random_() >> 11), -static_cast<int>(random_() % 60));
      default: {  // any finite double, sign included
        double value = FromBits(random_());
        while (!std::isfinite(value)) {
          value = FromBits(random_());
        }
        return value;
      }
    }
  }

  uint64_t Bits() { return random_(); }
  int Below(int bound) { return static_cast<int>(random_() % static_cast<uint64_t>(bound)); }
  bool Coin() { return (random_() & 1) != 0; }

 private:
  double Unit() { return static_cast<double>(random_() >> 11) * 0x1p-53; }

  std::mt19937_64 random_;
};

std::string Fixed(double value, int precision, int width) {
  std::string text;
  AppendFixed(text, value, precision, width);
  return text;
}

std::string Printf(double value, int precision, int width) {
  // The widest is the largest double: 309 digits, sign, point, precision.
  std::vector<char> text(static_cast<size_t>(330 + precision + width));
  std::snprintf(text.data(), text.size(), "%*.*f", width, precision, value);
  return text.data();
}

std::string Shortest(double value) {
  std::string text;
  AppendShortest(text, value);
  return text;
}

std::string ToChars(double value) {
  char text[64];
  const auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

// strtod's answer, for a text in the decimal notation both read.
double Strtod(const std::string& text) {
  return std::strtod(text.c_str(), nullptr);
}

void ExpectReadAsStrtod(const std::string& text) {
  EXPECT_EQ(BitsOf(ReadDecimal(text.c_str())), BitsOf(Strtod(text)))
      << "\"" << text << "\" reads as " << Named(ReadDecimal(text.c_str())) << ", strtod gives "
      << Named(Strtod(text));
}

TEST(DecimalTextTest, FixedIsPrintfsOverRandomDoubles) {
  TDoubles doubles(1);
  for (int i = 0; i < 60'000; ++i) {
    const double value = doubles.Next();
    const int precision = doubles.Below(8);
    const int width = 1 + doubles.Below(12);
    ASSERT_EQ(Fixed(value, precision, width), Printf(value, precision, width))
        << Named(value) << " at %" << width << "." << precision << "f";
  }
}

TEST(DecimalTextTest, FixedRoundsExactTiesToEvenAsPrintfDoes) {
  // A tie at precision p is an odd multiple of 2^-(p+1): its next decimal
  // is exactly 5. The ones written out here are checked by hand; the random
  // ones, and the doubles on either side of each, against printf.
  struct TCase {
    double Value;
    int Precision;
    const char* Expected;
  };
  const TCase cases[] = {{0.5, 0, "0"},        {1.5, 0, "2"},       {2.5, 0, "2"},
                         {-2.5, 0, "-2"},      {-0.5, 0, "-0"},     {0.125, 2, "0.12"},
                         {0.375, 2, "0.38"},   {9.995, 2, "9.99"},  {0.0625, 3, "0.062"},
                         {1.0625, 3, "1.062"}, {0.25, 1, "0.2"},    {0.75, 1, "0.8"},
                         {-0.0, 2, "-0.00"},   {-0.004, 2, "-0.00"}};
  for (const TCase& c : cases) {
    EXPECT_EQ(Fixed(c.Value, c.Precision, 1), c.Expected) << Named(c.Value);
  }
  TDoubles doubles(2);
  for (int i = 0; i < 50'000; ++i) {
    const int precision = doubles.Below(7);
    const int oddBits = 1 + doubles.Below(53);
    const double odd = static_cast<double>(doubles.Bits() >> (64 - oddBits) | 1);
    const double tie = std::ldexp(doubles.Coin() ? odd : -odd, -(precision + 1));
    for (const double value :
         {tie, std::nextafter(tie, -INFINITY), std::nextafter(tie, INFINITY)}) {
      ASSERT_EQ(Fixed(value, precision, 1), Printf(value, precision, 1))
          << Named(value) << " at %." << precision << "f";
    }
  }
}

TEST(DecimalTextTest, ShortestIsToCharsAndReadsBackToTheSameDouble) {
  std::vector<double> values = {0.0,
                                -0.0,
                                1.0,
                                0.1,
                                0.001,
                                1e-4,
                                1e5,
                                1.23e6,
                                1e22,
                                1e23,
                                5e-324,
                                2.2250738585072014e-308,
                                std::numeric_limits<double>::max()};
  for (int exponent = -323; exponent <= 308; ++exponent) {
    values.push_back(std::pow(10.0, exponent));
  }
  TDoubles doubles(3);
  for (int i = 0; i < 200'000; ++i) {
    values.push_back(doubles.Next());
  }
  for (const double value : values) {
    const std::string text = Shortest(value);
    ASSERT_EQ(text, ToChars(value)) << Named(value);
    ASSERT_EQ(BitsOf(ReadDecimal(text.c_str())), BitsOf(value)) << Named(value) << " as " << text;
  }
  EXPECT_EQ(Shortest(INFINITY), "");
  EXPECT_EQ(Shortest(std::nan("")), "");
}

TEST(DecimalTextTest, ReadIsStrtodOverRandomTexts) {
  TDoubles doubles(4);
  char text[64];
  for (int i = 0; i < 100'000; ++i) {
    const double value = doubles.Next();
    std::snprintf(text, sizeof text, "%.17g", value);
    ExpectReadAsStrtod(text);
    std::snprintf(text, sizeof text, "%.*e", doubles.Below(20), value);
    ExpectReadAsStrtod(text);
    if (std::fabs(value) < 1e20) {
      std::snprintf(text, sizeof text, "%.*f", doubles.Below(8), value);
      ExpectReadAsStrtod(text);
    }
  }
  // Long digit strings, with the point anywhere and exponents beyond the
  // double's range either way.
  for (int i = 0; i < 50'000; ++i) {
    std::string digits(static_cast<size_t>(1 + doubles.Below(40)), '0');
    for (char& digit : digits) {
      digit = static_cast<char>('0' + doubles.Below(10));
    }
    // Built from the two halves rather than by inserting: GCC 12's -O3
    // warns falsely (-Wrestrict) about std::string::insert.
    const size_t point = static_cast<size_t>(doubles.Below(static_cast<int>(digits.size()) + 1));
    const std::string number = digits.substr(0, point) + '.' + digits.substr(point);
    ExpectReadAsStrtod((doubles.Coin() ? "-" : "") + number + "e" +
                       std::to_string(doubles.Below(700) - 350));
  }
}

TEST(DecimalTextTest, ReadRoundsHalfwayTextsAsStrtodDoes) {
  // The exact decimal of the point halfway between two neighbouring doubles
  // (it fits the x87 long double exactly), and that point raised by one in
  // its last place: a tie goes to the even double, just above it goes up.
  TDoubles doubles(5);
  std::vector<char> text(1200);
  for (int i = 0; i < 10'000; ++i) {
    const double low = std::fabs(doubles.Next());
    const double high = std::nextafter(low, INFINITY);
    if (!std::isfinite(high)) {
      continue;
    }
    const long double halfway = (static_cast<long double>(low) + high) / 2;
    std::snprintf(text.data(), text.size(), "%.1100Le", halfway);
    std::string exact = text.data();
    ExpectReadAsStrtod(exact);
    exact[exact.find('e') - 1] = '1';
    ExpectReadAsStrtod(exact);
  }
  // The ends of the double's range: the largest double and the step to
  // infinity, the smallest subnormal and the step to zero.
  for (const char* edge :
       {"1.7976931348623157e308", "1.7976931348623158e308", "1.797693134862315807937e308",
        "1.797693134862315807938e308", "1.8e308", "2.4703282292062327e-324",
        "2.4703282292062328e-324", "4.9406564584124654e-324", "1e-400", "-1e-400", "1e400",
        "-1e400", "0e999", "0.000001e999", "100000e-999", "-0", "+.5", "5.", " \t-7.25e+1x"}) {
    ExpectReadAsStrtod(edge);
  }
}

TEST(DecimalTextTest, IntegersAreWrittenAsPrintfsPercentD) {
  for (const int value : {0, 7, -7, 100, 2147483647, -2147483647 - 1}) {
    std::string text;
    AppendInteger(text, value);
    EXPECT_EQ(text, std::to_string(value));
  }
}

}  // namespace
