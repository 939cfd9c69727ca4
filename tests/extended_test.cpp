// SPDX-License-Identifier: MIT
// TExtended against the x87 unit's long double, bit for bit, operation by
// operation: random operands over the magnitudes the feed calculation meets
// and over the whole format, then operands built to land on and beside the
// rounding ties of the 64-bit significand and of the later rounding to
// double, and every pairing of zeros, infinities, NaNs and extremes.
//
// KOLVANE_EXTENDED_PAIRS sets the random operands per operation (default
// 200000); KOLVANE_EXTENDED_SEED the start of the random sequence.

#include <gtest/gtest.h>

#include <cfloat>
#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iostream>
#include <limits>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "calc/Extended.h"

static_assert(LDBL_MANT_DIG == 64, "the comparison needs the x87 long double");

namespace {

using TBits = TExtended::TBits;
__extension__ typedef unsigned __int128 TWide;

constexpr uint64_t IntegerBit = uint64_t{1} << 63;
constexpr int ExponentBias = 16383;
constexpr uint16_t SignBit = 0x8000;

// ---- The two sides ----

TBits BitsOf(long double x) {
  TBits bits{};
  std::memcpy(&bits.Significand, &x, sizeof bits.Significand);
  std::memcpy(&bits.SignExponent, reinterpret_cast<const char*>(&x) + 8, sizeof bits.SignExponent);
  return bits;
}

long double NativeOf(TBits bits) {
  long double x = 0;
  std::memcpy(&x, &bits.Significand, sizeof bits.Significand);
  std::memcpy(reinterpret_cast<char*>(&x) + 8, &bits.SignExponent, sizeof bits.SignExponent);
  return x;
}

uint64_t BitsOf(double x) {
  uint64_t bits = 0;
  std::memcpy(&bits, &x, sizeof bits);
  return bits;
}

double DoubleOf(uint64_t bits) {
  double x = 0;
  std::memcpy(&x, &bits, sizeof x);
  return x;
}

// A normal number: significand * 2^(exponent - 63).
TBits Normal(bool negative, int exponent, uint64_t significand) {
  return {significand, static_cast<uint16_t>((negative ? SignBit : 0) | (exponent + ExponentBias))};
}

std::string Text(TBits x) {
  char text[64];
  std::snprintf(text, sizeof text, "%04x:%016" PRIx64 " (%.21Lg)", x.SignExponent, x.Significand,
                NativeOf(x));
  return text;
}

std::string Text(double x) {
  char text[64];
  std::snprintf(text, sizeof text, "%016" PRIx64 " (%.17g)", BitsOf(x), x);
  return text;
}

int64_t PairsPerOperation() {
  const char* text = std::getenv("KOLVANE_EXTENDED_PAIRS");
  return text != nullptr ? std::strtoll(text, nullptr, 10) : 200000;
}

uint64_t Seed() {
  const char* text = std::getenv("KOLVANE_EXTENDED_SEED");
  return text != nullptr ? std::strtoull(text, nullptr, 10) : 20240611;
}

// ---- The operations ----

struct TBinary {
  const char* Name;
  const char* Symbol;
  std::function<TExtended(TExtended, TExtended)> Portable;
  std::function<long double(long double, long double)> Native;
};

const std::vector<TBinary> Binaries = {
    {"add", "+", [](TExtended a, TExtended b) { return a + b; },
     [](long double a, long double b) { return a + b; }},
    {"subtract", "-", [](TExtended a, TExtended b) { return a - b; },
     [](long double a, long double b) { return a - b; }},
    {"multiply", "*", [](TExtended a, TExtended b) { return a * b; },
     [](long double a, long double b) { return a * b; }},
    {"divide", "/", [](TExtended a, TExtended b) { return a / b; },
     [](long double a, long double b) { return a / b; }},
};

const TBinary& BinaryNamed(const std::string& name) {
  for (const TBinary& op : Binaries) {
    if (name == op.Name) {
      return op;
    }
  }
  throw std::invalid_argument(name);
}

// Counts the operands on which the two sides differ, in the result or in
// its rounding to double, and describes the first few in words.
class TDifferences {
 public:
  explicit TDifferences(std::string what) : what_(std::move(what)) {}

  void Binary(const TBinary& op, TBits a, TBits b) {
    const TExtended portable = op.Portable(TExtended::FromBits(a), TExtended::FromBits(b));
    const long double native = op.Native(NativeOf(a), NativeOf(b));
    Compare(portable, native, [&] { return Text(a) + " " + op.Symbol + " " + Text(b); });
  }

  void Root(TBits a) {
    const TExtended portable = sqrt(TExtended::FromBits(a));
    const long double native = std::sqrt(NativeOf(a));
    Compare(portable, native, [&] { return "the square root of " + Text(a); });
  }

  // The result itself, and the double it is stored as.
  // The description of the operation is only made for a difference.
  template <typename TDescribe>
  void Compare(TExtended portable, long double native, const TDescribe& operation) {
    ++compared_;
    if (portable.Bits() != BitsOf(native)) {
      Note(operation() + " gives " + Text(portable.Bits()) + ", the x87 unit " +
           Text(BitsOf(native)));
      return;
    }
    // Through memory: an optimiser would otherwise drop the round trip of a
    // double through long double, and with it the x87 unit's quieting of a
    // signalling NaN.
    const volatile long double held = native;
    const double stored = static_cast<double>(held);
    if (BitsOf(static_cast<double>(portable)) != BitsOf(stored)) {
      Note(operation() + " is stored as " + Text(static_cast<double>(portable)) +
           ", by the x87 unit as " + Text(stored));
    }
  }

  void Note(const std::string& difference) {
    if (++count_ <= 5) {
      examples_ += "\n  " + difference;
    }
  }

  // Fails the test with the examples, or notes how many were compared.
  void Check() const {
    EXPECT_EQ(count_, 0) << what_ << ": " << count_ << " of " << compared_
                         << " differ, for example:" << examples_;
    if (count_ == 0) {
      std::cout << what_ << ": " << compared_ << " compared, 0 differences\n";
    }
  }

 private:
  std::string what_;
  int64_t compared_ = 0;
  int64_t count_ = 0;
  std::string examples_;
};

// ---- Random operands ----

class TOperands {
 public:
  TOperands() : random_(Seed()) {}

  uint64_t Bits64() { return random_(); }
  int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  bool Coin() { return (random_() & 1) != 0; }

  // Half of them as a double converted (the calculation's inputs and stored
  // values), half with all 64 bits (its unrounded intermediates).
  uint64_t Significand() {
    const uint64_t significand = random_() | IntegerBit;
    return Coin() ? significand : significand & ~uint64_t{0x7FF};
  }

  TBits WithExponent(int low, int high) {
    return Normal(Coin(), Between(low, high), Significand());
  }

  // 2^-40 to 2^41: the feed's lengths (10 um to 4 m), times, speeds and
  // accelerations up to 10^6, their products and quotients.
  TBits InCalculationRange() { return WithExponent(-40, 40); }

  // Over the double range and a little beyond, where storing underflows to
  // a denormal or zero or overflows to an infinity.
  TBits AroundDoubleRange() { return WithExponent(-1090, 1040); }

  // Any finite value, denormals of the format included.
  TBits AnyFinite() {
    const auto field = static_cast<uint16_t>(Between(0, 0x7FFE));
    const uint64_t significand = field == 0 ? random_() >> Between(1, 63) : random_() | IntegerBit;
    return {significand, static_cast<uint16_t>((Coin() ? SignBit : 0) | field)};
  }

  // Halving and doubling take a short way that skips the division and the
  // product: any power of two of the format, to overflow and underflow.
  TBits PowerOfTwo() { return Normal(Coin(), Between(1 - ExponentBias, ExponentBias), IntegerBit); }

  // A few units in the last place or a few binades away, for the
  // cancellations of a subtraction and the carries of an addition.
  TBits Near(TBits x) {
    const int exponent = (x.SignExponent & 0x7FFF) - ExponentBias + Between(-2, 2);
    uint64_t significand = x.Significand + static_cast<uint64_t>(Between(-1000, 1000));
    if (Coin()) {
      significand = x.Significand ^ (random_() >> Between(8, 63));
    }
    return Normal(Coin(), exponent, significand | IntegerBit);
  }

 private:
  std::mt19937_64 random_;
};

struct TSpread {
  const char* Name;
  std::function<std::pair<TBits, TBits>(TOperands&)> Pair;
};

const std::vector<TSpread> Spreads = {
    {"in the calculation's range",
     [](TOperands& r) {
       return std::pair{r.InCalculationRange(), r.InCalculationRange()};
     }},
    {"close to each other",
     [](TOperands& r) {
       const TBits a = r.InCalculationRange();
       return std::pair{a, r.Near(a)};
     }},
    {"around the double range",
     [](TOperands& r) {
       return std::pair{r.AroundDoubleRange(), r.AroundDoubleRange()};
     }},
    {"over the whole format",
     [](TOperands& r) {
       return std::pair{r.AnyFinite(), r.AnyFinite()};
     }},
    {"one of them a power of two",
     [](TOperands& r) {
       const TBits a = r.Coin() ? r.AnyFinite() : r.InCalculationRange();
       const TBits power = r.PowerOfTwo();
       return r.Coin() ? std::pair{a, power} : std::pair{power, a};
     }},
};

void CheckRandomPairs(const TBinary& op) {
  TOperands operands;
  const int64_t each = PairsPerOperation() / static_cast<int64_t>(Spreads.size());
  for (const TSpread& spread : Spreads) {
    TDifferences differences(std::string(op.Name) + ", operands " + spread.Name);
    for (int64_t i = 0; i < each; ++i) {
      const auto [a, b] = spread.Pair(operands);
      differences.Binary(op, a, b);
    }
    differences.Check();
  }
}

TEST(ExtendedRandom, AddsAsTheX87Unit) {
  CheckRandomPairs(BinaryNamed("add"));
}

TEST(ExtendedRandom, SubtractsAsTheX87Unit) {
  CheckRandomPairs(BinaryNamed("subtract"));
}

TEST(ExtendedRandom, MultipliesAsTheX87Unit) {
  CheckRandomPairs(BinaryNamed("multiply"));
}

TEST(ExtendedRandom, DividesAsTheX87Unit) {
  CheckRandomPairs(BinaryNamed("divide"));
}

TEST(ExtendedRandom, TakesSquareRootsAsTheX87Unit) {
  TOperands operands;
  const int64_t each = PairsPerOperation() / 3;
  const std::vector<std::pair<const char*, std::function<TBits()>>> spreads = {
      {"in the calculation's range", [&] { return operands.InCalculationRange(); }},
      {"around the double range", [&] { return operands.AroundDoubleRange(); }},
      {"over the whole format", [&] { return operands.AnyFinite(); }},
  };
  for (const auto& [name, next] : spreads) {
    TDifferences differences(std::string("square root, operands ") + name);
    for (int64_t i = 0; i < each; ++i) {
      TBits a = next();
      a.SignExponent &= 0x7FFF;  // the roots of negative numbers are among the special cases
      differences.Root(a);
    }
    differences.Check();
  }
}

TEST(ExtendedRandom, ConvertsDoublesAndIntegersExactly) {
  TOperands operands;
  TDifferences fromDouble("conversion from double, every bit pattern");
  TDifferences fromInteger("conversion from 32- and 64-bit integers");
  for (int64_t i = 0; i < PairsPerOperation(); ++i) {
    const uint64_t bits = operands.Bits64();
    const double d = DoubleOf(bits);
    fromDouble.Compare(TExtended{d}, static_cast<long double>(d),
                       [&] { return "converting " + Text(d); });
    const auto wide = static_cast<int64_t>(bits >> operands.Between(0, 63));
    const auto narrow = static_cast<int32_t>(bits);
    fromInteger.Compare(TExtended{wide}, static_cast<long double>(wide),
                        [&] { return "converting " + std::to_string(wide); });
    fromInteger.Compare(static_cast<TExtended>(narrow), static_cast<long double>(narrow),
                        [&] { return "converting " + std::to_string(narrow); });
  }
  fromDouble.Check();
  fromInteger.Check();
}

TEST(ExtendedRandom, OrdersAsTheX87Unit) {
  TOperands operands;
  int64_t differences = 0;
  std::string examples;
  for (int64_t i = 0; i < PairsPerOperation(); ++i) {
    const auto [a, b] = Spreads[i % Spreads.size()].Pair(operands);
    const TBits pairs[][2] = {
        {a, b}, {a, a}, {a, {a.Significand, uint16_t(a.SignExponent ^ SignBit)}}};
    for (const auto& [x, y] : pairs) {
      const TExtended px = TExtended::FromBits(x);
      const TExtended py = TExtended::FromBits(y);
      const long double nx = NativeOf(x);
      const long double ny = NativeOf(y);
      const bool same = (px < py) == (nx < ny) && (px <= py) == (nx <= ny) &&
                        (px == py) == (nx == ny) && (px >= py) == (nx >= ny) &&
                        (px > py) == (nx > ny) && (px != py) == (nx != ny);
      if (!same && ++differences <= 5) {
        examples += "\n  " + Text(x) + " against " + Text(y);
      }
    }
  }
  EXPECT_EQ(differences, 0) << "comparisons differ, for example:" << examples;
}

// ---- Ties of the 64-bit significand ----

// Additions and subtractions whose exact result lies exactly half a last
// place of the format between two of its numbers, or one bit beside that:
// to an even or odd significand, across the top of a binade and down into
// the binade below.
TEST(ExtendedTies, OfSumsRoundAsTheX87Unit) {
  const uint64_t larger[] = {IntegerBit,       IntegerBit + 1,     IntegerBit + 2,    ~uint64_t{0},
                             ~uint64_t{0} - 1, 0xC000000000000000, 0xC000000000000001};
  // Relative to the larger operand's last place: a half exactly, a half
  // give or take the smallest amount, a quarter, three quarters, one.
  const struct {
    int ExponentBelow;
    uint64_t Significand;
  } smaller[] = {{64, IntegerBit},     {64, IntegerBit + 1},     {65, ~uint64_t{0}},
                 {65, IntegerBit},     {64, 0xC000000000000000}, {63, IntegerBit},
                 {63, IntegerBit + 1}, {127, IntegerBit},        {128, IntegerBit + 1}};
  for (const char* name : {"add", "subtract"}) {
    const TBinary& op = BinaryNamed(name);
    TDifferences differences(std::string(name) + ", ties of the 64-bit significand");
    for (const int exponent : {0, 17, -30, 1000}) {
      for (const uint64_t big : larger) {
        for (const auto& [below, significand] : smaller) {
          for (const bool negative : {false, true}) {
            const TBits a = Normal(false, exponent, big);
            const TBits b = Normal(negative, exponent - below, significand);
            differences.Binary(op, a, b);
            differences.Binary(op, b, a);
          }
        }
      }
    }
    differences.Check();
  }
}

// (2^63 + x)(2^63 + y) = 2^126 + 2^63 (x + y) + xy: with xy = 2^62 the
// product lies exactly half-way; one more or less in y moves it beside.
TEST(ExtendedTies, OfProductsRoundAsTheX87Unit) {
  TDifferences differences("multiply, ties of the 64-bit significand");
  const TBinary& op = BinaryNamed("multiply");
  for (int k = 0; k <= 62; ++k) {
    for (const int64_t step : {-1, 0, 1}) {
      const uint64_t x = uint64_t{1} << k;
      const uint64_t y = (uint64_t{1} << (62 - k)) + static_cast<uint64_t>(step);
      differences.Binary(op, Normal(false, 3, IntegerBit + x), Normal(true, -5, IntegerBit + y));
    }
  }
  differences.Check();
}

// The inverse of an odd number modulo 2^64.
uint64_t InverseOf(uint64_t odd) {
  uint64_t inverse = odd;  // right in the lowest 3 bits
  for (int i = 0; i < 5; ++i) {
    inverse *= 2 - odd * inverse;
  }
  return inverse;
}

// A quotient is never exactly half-way (its operands would need 65 bits),
// but it can be as close as the divisor allows: dividend * 2^64 =
// quotient * divisor + remainder with the remainder half the divisor
// give or take one half, found by solving for the quotient modulo 2^64.
TEST(ExtendedTies, OfQuotientsRoundAsTheX87Unit) {
  TDifferences differences("divide, near the ties of the 64-bit significand");
  const TBinary& op = BinaryNamed("divide");
  TOperands operands;
  int built = 0;
  while (built < 2000) {
    const uint64_t divisor = operands.Bits64() | IntegerBit | 1;
    const uint64_t remainder = divisor / 2 + (operands.Coin() ? 1 : 0);  // (divisor -+ 1) / 2
    const uint64_t quotient = (0 - remainder) * InverseOf(divisor);
    const TWide product = TWide{quotient} * divisor + remainder;  // a multiple of 2^64
    if (quotient < IntegerBit || (product >> 126) == 0) {
      continue;
    }
    // The dividend's significand is the product's top 64 bits: below the
    // divisor's if the product reaches 2^127, else at least the divisor's.
    const int shift = (product >> 127) != 0 ? 64 : 63;
    ++built;
    differences.Binary(op, Normal(false, 0, static_cast<uint64_t>(product >> shift)),
                       Normal(operands.Coin(), 0, divisor));
  }
  differences.Check();
}

// A square root is never exactly half-way either; the closest come from
// radicands r^2 + r + c with a small even c, which are multiples of 2^63
// when r solves r^2 + r + c = 0 modulo 2^64 or 2^63. With s^2 = 1 - 4c
// (a root modulo 2^64, lifted bit by bit), r = (s - 1) / 2 solves it modulo
// 2^62; of its lifts, those that hold modulo 2^63 are taken. The largest
// significand at odd exponents is the case c = 0.
TEST(ExtendedTies, OfSquareRootsRoundAsTheX87Unit) {
  TDifferences differences("square root, near the ties of the 64-bit significand");
  for (int64_t c = -256; c <= 256; c += 2) {
    const uint64_t square = 1 - 4 * static_cast<uint64_t>(c);  // 1 modulo 8
    uint64_t s = 1;
    for (int bit = 3; bit < 64; ++bit) {
      if (((s * s - square) >> bit & 1) != 0) {
        s += uint64_t{1} << (bit - 1);
      }
    }
    for (const uint64_t lift : {s, 0 - s}) {
      const uint64_t low = ((lift - 1) >> 1) & ((uint64_t{1} << 62) - 1);
      for (const uint64_t top : {uint64_t{2}, uint64_t{3}}) {
        const uint64_t r = top << 62 | low;
        const TWide radicand = TWide{r} * r + r + static_cast<TWide>(c);
        const auto lowWord = static_cast<uint64_t>(radicand);
        const bool large = (radicand >> 127) != 0;
        if (lowWord == 0 && large) {  // a significand at an odd exponent
          differences.Root(Normal(false, 1, static_cast<uint64_t>(radicand >> 64)));
        }
        if ((lowWord & ~IntegerBit) == 0 && !large) {  // at an even exponent
          differences.Root(Normal(false, 0, static_cast<uint64_t>(radicand >> 63)));
        }
      }
    }
  }
  differences.Root(Normal(false, 1, ~uint64_t{0}));
  differences.Root(Normal(false, -1, ~uint64_t{0}));
  // Exact squares at both ends of the significand's range.
  for (uint64_t r = 3037000500; r < 3037000500 + 50; ++r) {
    differences.Root(Normal(false, 63, r * r));
  }
  for (uint64_t r = 0xFFFFFFFF; r > 0xFFFFFFFF - 50; --r) {
    differences.Root(Normal(false, 63, r * r));
  }
  differences.Check();
}

// ---- Ties of the rounding to double ----

// Results whose bits below a double's last place are exactly half, or a
// unit of the format beside it; the bit above them even or odd; across the
// top of a binade, into double denormals and up to the overflow.
TEST(DoubleTies, RoundAsTheX87Unit) {
  TDifferences differences("rounding to double");
  const uint64_t lowBits[] = {0x000, 0x001, 0x3FF, 0x400, 0x401, 0x7FF, 0xC00, 0xBFF, 0xC01};
  const uint64_t highBits[] = {IntegerBit, 0xA5A5A5A5A5A5A000, ~uint64_t{0x7FF}};
  std::vector<int> exponents = {0, 52, -1, 1023, 1024, -1022, -1023, -1024};
  for (int e = -1030; e >= -1080; --e) {
    exponents.push_back(e);
  }
  for (const int exponent : exponents) {
    for (const uint64_t high : highBits) {
      for (const uint64_t low : lowBits) {
        for (const bool negative : {false, true}) {
          const TBits x = Normal(negative, exponent, high | low);
          differences.Compare(TExtended::FromBits(x), NativeOf(x),
                              [&] { return "storing " + Text(x); });
        }
      }
    }
  }
  differences.Check();
}

// Operations of two doubles whose extended result lies on a double's
// half-way point, or within a few units of the format of it, so that the
// value stored is rounded twice: the point of carrying extended
// intermediates at all, and where a single rounding would differ.
TEST(DoubleTies, OfResultsRoundTwiceAsTheX87Unit) {
  TDifferences differences("operations ending on the ties of the rounding to double");
  TOperands operands;
  const TBinary& add = BinaryNamed("add");
  const TBinary& multiply = BinaryNamed("multiply");
  const TBinary& divide = BinaryNamed("divide");
  for (int step = -4; step <= 4; ++step) {
    // 1 + 2^-53 + step * 2^-65: half a double's last place, plus quarters
    // of the format's (and the same below 1).
    for (const bool odd : {false, true}) {
      const TBits one = Normal(false, 0, IntegerBit | (odd ? 0x800 : 0));
      for (const int exponent : {-53, -54}) {
        const long double half = std::ldexp(1.0L, exponent) + std::ldexp(step * 1.0L, -65);
        differences.Binary(add, one, BitsOf(half));
        differences.Binary(add, one, BitsOf(-half));
      }
    }
    // (2^63 + x)(2^63 + y) with xy = 2^73: a double's half-way point.
    for (int k = 11; k <= 62; ++k) {
      const uint64_t x = uint64_t{1} << k;
      const uint64_t y = (uint64_t{1} << (73 - k)) + static_cast<uint64_t>(step);
      differences.Binary(multiply, Normal(false, 7, IntegerBit + x),
                         Normal(false, 2, IntegerBit + y));
    }
  }
  // dividend = quotient * divisor, rounded: the quotient comes out within a
  // unit of the format of a double's half-way point.
  for (int i = 0; i < 5000; ++i) {
    const uint64_t quotient = ((operands.Bits64() | IntegerBit) & ~uint64_t{0x7FF}) | 0x400;
    const uint64_t divisor = operands.Significand();
    const TWide product = TWide{quotient} * divisor;
    const int shift = product >> 127 != 0 ? 64 : 63;
    const auto dividend = static_cast<uint64_t>(product >> shift);
    differences.Binary(divide, Normal(false, shift == 64 ? 1 : 0, dividend),
                       Normal(false, 0, divisor));
    differences.Binary(divide, Normal(false, shift == 64 ? 1 : 0, dividend + 1),
                       Normal(false, 0, divisor));
  }
  differences.Check();
}

// ---- Zeros, infinities, NaNs and the extremes ----

std::vector<TBits> SpecialValues() {
  const uint64_t quiet = uint64_t{1} << 62;
  std::vector<TBits> values = {
      {0, 0},                                 // +0
      {0, SignBit},                           // -0
      {IntegerBit, 0x7FFF},                   // +inf
      {IntegerBit, 0xFFFF},                   // -inf
      {IntegerBit | quiet, 0x7FFF},           // the NaN of a double's quiet NaN
      {IntegerBit | quiet, 0xFFFF},           // the x87 unit's own NaN
      {IntegerBit | quiet | 0x1234, 0x7FFF},  // NaNs with a payload
      {IntegerBit | quiet | 0x1234, 0xFFFF},  //
      {IntegerBit | quiet | 0x800, 0xFFFF},   //
      {1, 0},                                 // the smallest denormal
      {~uint64_t{0} >> 1, SignBit},           // the largest denormal
      {IntegerBit, 1},                        // the smallest normal
      {~uint64_t{0}, 0x7FFE},                 // the largest number
      {~uint64_t{0}, 0xFFFE},                 //
      {IntegerBit + 1, 0x3FFF},               // 1 + 2^-63: carries denormals into normals
      {~uint64_t{0}, 0x3FFE},                 // 1 - 2^-64
  };
  for (const double d :
       {1.0, -1.0, 0.5, 0.75, 3.0, std::numeric_limits<double>::max(),
        std::numeric_limits<double>::min(), std::numeric_limits<double>::denorm_min(),
        -std::numeric_limits<double>::denorm_min(), 2147483000.0, 999999.0}) {
    values.push_back(BitsOf(static_cast<long double>(d)));
  }
  return values;
}

TEST(ExtendedSpecials, PairAsTheX87Unit) {
  const std::vector<TBits> values = SpecialValues();
  for (const TBinary& op : Binaries) {
    TDifferences differences(std::string(op.Name) + ", zeros, infinities, NaNs and extremes");
    for (const TBits a : values) {
      for (const TBits b : values) {
        differences.Binary(op, a, b);
      }
    }
    differences.Check();
  }
  TDifferences roots("square root, zeros, infinities, NaNs and extremes");
  for (const TBits a : values) {
    roots.Root(a);
  }
  roots.Check();
}

TEST(ExtendedSpecials, ConvertAsTheX87Unit) {
  TDifferences differences("conversions of zeros, infinities, NaNs and extremes");
  for (const uint64_t bits :
       {uint64_t{0}, uint64_t{1} << 63, uint64_t{0x7FF0000000000000}, uint64_t{0xFFF0000000000000},
        uint64_t{0x7FF8000000000000}, uint64_t{0xFFF8000000000000}, uint64_t{0x7FF0000000000001},
        uint64_t{0xFFF7FFFFFFFFFFFF}, uint64_t{1}, uint64_t{0x000FFFFFFFFFFFFF},
        uint64_t{0x0010000000000000}, uint64_t{0x7FEFFFFFFFFFFFFF}}) {
    const double d = DoubleOf(bits);
    differences.Compare(TExtended{d}, static_cast<long double>(d),
                        [&] { return "converting " + Text(d); });
  }
  for (const int64_t i :
       {int64_t{0}, int64_t{1}, int64_t{-1}, std::numeric_limits<int64_t>::min(),
        std::numeric_limits<int64_t>::max(), int64_t{1} << 53, (int64_t{1} << 53) + 1}) {
    differences.Compare(TExtended{i}, static_cast<long double>(i),
                        [&] { return "converting " + std::to_string(i); });
  }
  for (const int32_t i :
       {std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()}) {
    differences.Compare(TExtended{i}, static_cast<long double>(i),
                        [&] { return "converting " + std::to_string(i); });
  }
  const uint64_t largest = std::numeric_limits<uint64_t>::max();
  differences.Compare(TExtended{largest}, static_cast<long double>(largest),
                      [] { return std::string("converting 2^64 - 1"); });
  for (const TBits x : SpecialValues()) {
    differences.Compare(TExtended::FromBits(x), NativeOf(x), [&] { return "storing " + Text(x); });
  }
  differences.Check();
}

}  // namespace
