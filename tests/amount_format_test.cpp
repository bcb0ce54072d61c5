#include "console/amount_format.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cfenv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <sstream>
#include <string>

#if defined(__x86_64__) || defined(__i386__)
#include <xmmintrin.h>
#endif

namespace pokerhilfe {
namespace {

double fromBits(std::uint64_t bits) {
  return std::bit_cast<double>(bits);
}

const double kQuietNan = fromBits(0x7FF8'0000'0000'0000);
const double kNegativeQuietNan = fromBits(0xFFF8'0000'0000'0000);
const double kNanWithPayload = fromBits(0x7FFC'0000'DEAD'BEEF);
const double kNegativeNanWithPayload = fromBits(0xFFF8'0000'0000'0001);
const double kSignalingNan = fromBits(0x7FF0'0000'0000'0001);
const double kNegativeSignalingNan = fromBits(0xFFF4'0000'0000'0000);
constexpr double kInfinity = std::numeric_limits<double>::infinity();

struct AmountCase {
  double amount;
  const char* text;
};

// Each amount is the double nearest to the number written.
const AmountCase kAmountCases[] = {
    {600, "600"},
    {800.0 / 3, "266.667"},
    {66.66666666666666, "66.6667"},
    {2.5, "2.5"},
    {87.5, "87.5"},
    {12.3456789, "12.3457"},
    {9.9999996, "10"},
    {123456, "123456"},
    {999999.4, "999999"},
    {999999.5, "1e+06"},
    {1000000, "1e+06"},
    {1234567, "1.23457e+06"},
    {1500000, "1.5e+06"},
    // Half-way between two six-digit results: the even last digit wins.
    {100000.5, "100000"},
    {100001.5, "100002"},
    {1234565, "1.23456e+06"},
    {1234575, "1.23458e+06"},
    {0.5, "0.5"},
    {0.1, "0.1"},
    {0.0001, "0.0001"},
    {0.000123456789, "0.000123457"},
    {0.00001, "1e-05"},
    {0.00000015, "1.5e-07"},
    {1e21, "1e+21"},
    {1e100, "1e+100"},
    {1e-100, "1e-100"},
    {std::numeric_limits<double>::max(), "1.79769e+308"},
    {std::numeric_limits<double>::denorm_min(), "4.94066e-324"},
    {std::numeric_limits<double>::min(), "2.22507e-308"},
    {0, "0"},
    {-0.0, "0"},
    {-600, "-600"},
    {-0.5, "-0.5"},
    {-0.00001, "-1e-05"},
    {-999999.5, "-1e+06"},
    {-1.79769e308, "-1.79769e+308"},
    {kInfinity, "inf"},
    {-kInfinity, "-inf"},
    {kQuietNan, "nan"},
    {kNanWithPayload, "nan"},
    {kSignalingNan, "nan"},
    {kNegativeQuietNan, "-nan"},
    {kNegativeNanWithPayload, "-nan"},
    {kNegativeSignalingNan, "-nan"},
};

std::string bitsOf(double value) {
  std::ostringstream text;
  text << std::hex << std::bit_cast<std::uint64_t>(value);
  return text.str();
}

TEST(AmountFormat, WritesEachAmountInSixDigitGeneralNotation) {
  for (const AmountCase& amountCase : kAmountCases) {
    SCOPED_TRACE("bits 0x" + bitsOf(amountCase.amount));
    EXPECT_EQ(formatAmount(amountCase.amount).view(), amountCase.text);
  }
}

// An earlier infinity or NaN must leave nothing behind that changes a later amount's text.
TEST(AmountFormat, TextDoesNotDependOnWhatWasFormattedBefore) {
  for (const double before : {kInfinity, -kInfinity, kQuietNan, kNegativeSignalingNan}) {
    for (const AmountCase& amountCase : kAmountCases) {
      formatAmount(before);
      SCOPED_TRACE("bits 0x" + bitsOf(amountCase.amount) + " after 0x" + bitsOf(before));
      EXPECT_EQ(formatAmount(amountCase.amount).view(), amountCase.text);
    }
  }
}

// ---- Against the C library's printf("%.6g"), which rounds the exact binary value too ----

std::string printfText(double amount) {
  char text[64];
  const int size = std::snprintf(text, sizeof text, "%.6g", amount);
  return std::string(text, static_cast<std::size_t>(size));
}

// Collects the amounts on which the two disagree; a handful of them is enough to show a fault.
class Comparison {
 public:
  void check(double amount) {
    ++checked_;
    const std::string expected = expectedText(amount);
    const AmountText text = formatAmount(amount);
    const std::string_view actual = text.view();
    if (actual == expected) return;
    if (++mismatches_ <= 20) {
      examples_ << "\n  0x" << bitsOf(amount) << ": ours '" << actual << "', printf '" << expected
                << "'";
    }
  }

  void checkWithNeighbours(double amount) {
    check(std::nextafter(amount, -kInfinity));
    check(amount);
    check(std::nextafter(amount, kInfinity));
  }

  void expectNoMismatch() const {
    EXPECT_GT(checked_, 0);
    EXPECT_EQ(mismatches_, 0) << "of " << checked_ << " amounts, for example:" << examples_.str();
  }

 private:
  // Ours differs from printf in one place only: a negative zero has no sign.
  static std::string expectedText(double amount) {
    if (amount == 0) return "0";
    return printfText(amount);
  }

  long checked_ = 0;
  long mismatches_ = 0;
  std::ostringstream examples_;
};

// NaN texts are the C library's own choice; glibc writes "nan" and "-nan", as we do. Elsewhere
// the comparison keeps to the values with digits and the infinities.
bool printfAgreesOnNan() {
#if defined(__GLIBC__)
  return true;
#else
  return false;
#endif
}

TEST(AmountFormatAgainstPrintf, RandomBitPatterns) {
  std::mt19937_64 random(20240601);
  Comparison comparison;
  for (int i = 0; i < 1'000'000; ++i) {
    const double amount = fromBits(random());
    if (std::isnan(amount) && !printfAgreesOnNan()) continue;
    comparison.check(amount);
  }
  comparison.expectNoMismatch();
}

// k + 0.5 lies exactly half-way between two six-digit results; its neighbours lie one unit of the
// last binary place to either side and must round away from the tie.
TEST(AmountFormatAgainstPrintf, HalfWayPointsOfSixDigitIntegersAndTheirNeighbours) {
  Comparison comparison;
  for (int whole = 100000; whole <= 999999; ++whole) {
    comparison.checkWithNeighbours(whole + 0.5);
  }
  comparison.check(-100000.5);
  comparison.check(-100001.5);
  comparison.expectNoMismatch();
}

// The doubles nearest to d.ddddd5 × 10^e, over the whole exponent range: only rarely exactly a
// tie, but always within a few units of the last binary place of one.
TEST(AmountFormatAgainstPrintf, DecimalHalfWayPointsAcrossTheExponentRange) {
  std::mt19937_64 random(77);
  std::uniform_int_distribution<int> sixDigits(100000, 999999);
  Comparison comparison;
  for (int exponent = -324; exponent <= 308; ++exponent) {
    for (int i = 0; i < 200; ++i) {
      const int digits = sixDigits(random);
      char decimal[40];
      std::snprintf(decimal, sizeof decimal, "%d.%05d5e%d", digits / 100000, digits % 100000,
                    exponent);
      const double amount = std::strtod(decimal, nullptr);
      comparison.checkWithNeighbours(amount);
      comparison.check(-amount);
    }
  }
  comparison.expectNoMismatch();
}

// Where rounding carries into a seventh digit (9.999995 × 10^e) and where the notation changes
// (the powers of ten, among them 0.0001, 0.00001 and 1000000): a walk over the doubles close by.
TEST(AmountFormatAgainstPrintf, AroundCarriesAndPowersOfTen) {
  Comparison comparison;
  for (int exponent = -324; exponent <= 308; ++exponent) {
    for (const char* mantissa : {"9.999995", "1"}) {
      const std::string decimal = mantissa + std::string("e") + std::to_string(exponent);
      const double centre = std::strtod(decimal.c_str(), nullptr);
      double below = centre;
      double above = centre;
      for (int step = 0; step < 64; ++step) {
        comparison.check(below);
        comparison.check(above);
        comparison.check(-above);
        below = std::nextafter(below, 0.0);
        above = std::nextafter(above, kInfinity);
      }
    }
  }
  for (const double boundary : {999999.5, 9.999995, 99999.95, 0.0001, 0.00001, 0.000099999950,
                                0.0000099999950, 1e6, 1e21, 1e-5}) {
    comparison.checkWithNeighbours(boundary);
  }
  comparison.expectNoMismatch();
}

TEST(AmountFormatAgainstPrintf, ValuesWithoutDigits) {
  Comparison comparison;
  comparison.check(kInfinity);
  comparison.check(-kInfinity);
  comparison.check(std::numeric_limits<double>::max());
  comparison.check(std::numeric_limits<double>::denorm_min());
  comparison.expectNoMismatch();
#if defined(__GLIBC__)
  for (const double nan : {kQuietNan, kNanWithPayload, kSignalingNan, kNegativeQuietNan,
                           kNegativeNanWithPayload, kNegativeSignalingNan}) {
    SCOPED_TRACE("bits 0x" + bitsOf(nan));
    EXPECT_EQ(formatAmount(nan).view(), printfText(nan));
  }
  EXPECT_EQ(printfText(kNegativeQuietNan), "-nan");
#endif
}

TEST(AmountFormatAgainstPrintf, NegativeZeroIsTheOneDifference) {
  EXPECT_EQ(printfText(-0.0), "-0");
  EXPECT_EQ(formatAmount(-0.0).view(), "0");
}

// ---- The floating-point environment ----

// What a call could leave changed: the rounding direction, the raised exception flags, and the
// control registers, which also hold the exception masks and, on x86, the x87 precision. On x86
// these are read directly: the environment image there also holds the address of the last x87
// instruction, which says nothing about the settings.
struct FloatingPointState {
  int rounding = 0;
  int raisedFlags = 0;
#if defined(__x86_64__) || defined(__i386__)
  std::uint16_t x87Control = 0;
  unsigned int sseControlAndStatus = 0;
#else
  std::fenv_t environment{};
#endif

  bool operator==(const FloatingPointState& other) const {
#if defined(__x86_64__) || defined(__i386__)
    const bool sameRegisters =
        x87Control == other.x87Control && sseControlAndStatus == other.sseControlAndStatus;
#else
    const bool sameRegisters =
        std::memcmp(&environment, &other.environment, sizeof environment) == 0;
#endif
    return rounding == other.rounding && raisedFlags == other.raisedFlags && sameRegisters;
  }
};

FloatingPointState currentState() {
  FloatingPointState state;
  state.rounding = std::fegetround();
  state.raisedFlags = std::fetestexcept(FE_ALL_EXCEPT);
#if defined(__x86_64__) || defined(__i386__)
  asm volatile("fnstcw %0" : "=m"(state.x87Control));
  // Without the denormal-operand flag, which <cfenv> does not know: the standard library's
  // conversion raises it for a subnormal amount, and it is no setting of the unit.
  constexpr unsigned int kDenormalOperandFlag = 0x2;
  state.sseControlAndStatus = _mm_getcsr() & ~kDenormalOperandFlag;
#else
  std::fegetenv(&state.environment);
#endif
  return state;
}

std::ostream& operator<<(std::ostream& out, const FloatingPointState& state) {
  out << "rounding " << state.rounding << ", flags 0x" << std::hex << state.raisedFlags;
#if defined(__x86_64__) || defined(__i386__)
  out << ", x87 control 0x" << state.x87Control << ", MXCSR 0x" << state.sseControlAndStatus;
#endif
  return out << std::dec;
}

// Puts the environment back as the test found it, whatever the test did to it.
class SavedEnvironment {
 public:
  SavedEnvironment() { std::fegetenv(&saved_); }
  ~SavedEnvironment() { std::fesetenv(&saved_); }
  SavedEnvironment(const SavedEnvironment&) = delete;
  SavedEnvironment& operator=(const SavedEnvironment&) = delete;

 private:
  std::fenv_t saved_;
};

// Amounts of every kind: the special ones, a tie, a carry, subnormal and huge values.
const double kEnvironmentProbes[] = {
    600,  800.0 / 3, 100000.5, 999999.5,  1e-5,       1e100,     4.94e-324,         1.79769e308,
    -0.0, 0.0,       -2.5,     kInfinity, -kInfinity, kQuietNan, kNegativeQuietNan,
};

void expectEnvironmentUnchanged() {
  for (const double amount : kEnvironmentProbes) {
    const FloatingPointState stateBefore = currentState();
    formatAmount(amount);
    const FloatingPointState stateAfter = currentState();
    EXPECT_EQ(stateAfter, stateBefore) << "after bits 0x" << bitsOf(amount);
  }
}

TEST(AmountFormatEnvironment, LeavesTheUsualEnvironmentAndRaisesNoFlag) {
  SavedEnvironment saved;
  std::feclearexcept(FE_ALL_EXCEPT);
  expectEnvironmentUnchanged();
}

// Settings a program would not normally use, so that one forced back to its default shows.
TEST(AmountFormatEnvironment, LeavesAnUnusualEnvironmentAndKeepsRaisedFlags) {
  SavedEnvironment saved;
  ASSERT_EQ(std::fesetround(FE_TOWARDZERO), 0);
  std::feclearexcept(FE_ALL_EXCEPT);
  std::feraiseexcept(FE_INEXACT | FE_UNDERFLOW);
#if defined(__x86_64__) || defined(__i386__)
  // Precision control: a 53-bit significand, as a Windows process starts with.
  std::uint16_t control = 0;
  asm volatile("fnstcw %0" : "=m"(control));
  control = static_cast<std::uint16_t>((control & ~0x0300) | 0x0200);
  asm volatile("fldcw %0" : : "m"(control));
#endif
  expectEnvironmentUnchanged();
}

// A signaling NaN raises "invalid" in any floating-point comparison; formatting it must not.
TEST(AmountFormatEnvironment, SignalingNanRaisesNoFlag) {
  SavedEnvironment saved;
  std::feclearexcept(FE_ALL_EXCEPT);
  for (const double nan : {kSignalingNan, kNegativeSignalingNan}) {
    formatAmount(nan);
    EXPECT_EQ(std::fetestexcept(FE_ALL_EXCEPT), 0) << "after bits 0x" << bitsOf(nan);
  }
}

}  // namespace
}  // namespace pokerhilfe
