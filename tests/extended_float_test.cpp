// The hard spots of the extended arithmetic, one case each: ties at the 64th bit, alignment
// shifts whose lost bits matter, cancellation, carries into the next power of two, overflow and
// the rounding into subnormals. Random operands hardly ever meet them. Most cases are built so
// that the 64-bit rounding decides the final double: its result lies exactly halfway between
// two doubles, and the exact value does not.
#include "advice/extended_float.hpp"
#include "tests/x87.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <vector>

namespace pokerhilfe {
namespace {

// Computes left × right + addend × factor, rounded to a double.
struct Case {
  const char* what;
  double left;
  double right;
  double addend;
  double factor;
  std::uint64_t expectedBits;
};

double sumOfProducts(const Case& row) {
  const ExtendedFloat product = ExtendedFloat(row.left) * ExtendedFloat(row.right);
  return (product + ExtendedFloat(row.addend) * ExtendedFloat(row.factor)).toDouble();
}

// 3 × this is 1 + 2^-53: its last significant bit is the 54th, halfway between two doubles,
// and its 64-bit significand is even. Halfway cases round down to the even 1.
constexpr double kThirdOfHalfwayDown = 0x1.5555555555556p-2;
// 5 × this is 1 + 3 × 2^-53, halfway between two doubles; halfway cases round up to the even
// 1 + 2^-51.
constexpr double kFifthOfHalfwayUp = 0x1.999999999999cp-3;
// 2049 × this is 1 + 0x17FBFF × 2^-63: an odd 64-bit significand whose last 11 bits are 0x3FF.
// Rounding it up by one unit puts it halfway between two doubles.
constexpr double kOddJustBelowHalfway = 0x1.ffc007ff007fep-12;
constexpr double kJustAbove = 1 + 0x1p-52;

const std::vector<Case> kCases = {
    {"halfway between doubles: to even", 3, kThirdOfHalfwayDown, 0, 1, 0x3FF0000000000000},
    {"halfway between doubles: to even, upwards", 5, kFifthOfHalfwayUp, 0, 1, 0x3FF0000000000002},

    // Sums; the shift is how far the smaller addend's significand moves to align.
    {"shift 64, exactly half a unit: tie, stays even", 3, kThirdOfHalfwayDown, 0x1p-64, 1,
     0x3FF0000000000000},
    {"shift 64, just over half a unit: rounds up", 3, kThirdOfHalfwayDown, 0x1p-64 * kJustAbove, 1,
     0x3FF0000000000001},
    {"shift 63, one unit", 3, kThirdOfHalfwayDown, 0x1p-63, 1, 0x3FF0000000000001},
    {"shift 65, a quarter unit and a bit", 3, kThirdOfHalfwayDown, 0x1p-65 * kJustAbove, 1,
     0x3FF0000000000000},
    {"shift 127, bits lost to the sticky bit", 3, kThirdOfHalfwayDown, 0x1p-127 * kJustAbove, 1,
     0x3FF0000000000000},
    {"shift 128, everything in the sticky bit", 3, kThirdOfHalfwayDown, 0x1p-128 * kJustAbove, 1,
     0x3FF0000000000000},
    {"shift 200", 3, kThirdOfHalfwayDown, 0x1p-200 * kJustAbove, 1, 0x3FF0000000000000},
    {"odd significand plus half a unit: tie, rounds up to even", 2049, kOddJustBelowHalfway,
     0x1p-64, 1, 0x3FF0000000000300},

    // Differences: the borrow from the lost bits must not change the 64-bit result.
    {"minus exactly half a unit: tie, stays even", 5, kFifthOfHalfwayUp, -0x1p-64, 1,
     0x3FF0000000000002},
    {"minus just over half a unit: rounds down", 5, kFifthOfHalfwayUp, -0x1p-64 * kJustAbove, 1,
     0x3FF0000000000001},
    {"minus one unit, shift 63", 5, kFifthOfHalfwayUp, -0x1p-63, 1, 0x3FF0000000000001},
    {"minus a quarter unit and a bit, shift 65", 5, kFifthOfHalfwayUp, -0x1p-65 * kJustAbove, 1,
     0x3FF0000000000002},
    {"minus, shift 127", 5, kFifthOfHalfwayUp, -0x1p-127 * kJustAbove, 1, 0x3FF0000000000002},
    {"minus, shift 128", 5, kFifthOfHalfwayUp, -0x1p-128 * kJustAbove, 1, 0x3FF0000000000002},
    {"minus, shift 200", 5, kFifthOfHalfwayUp, -0x1p-200 * kJustAbove, 1, 0x3FF0000000000002},

    // Products of 65 and 80 significant bits.
    {"product with a 65th bit, odd: tie, rounds up to even", 4097, 0x1.ffe001ffe0ffep-13, 0, 1,
     0x3FF00000000007F0},
    {"product with a 65th bit, even: tie, stays", 4097, 0x1.ffe001ffe3002p-13, 0, 1,
     0x3FF00000000017F2},
    {"product just over a tie, its last bit 16 places below the 64th", 0x1.00000004p+0,
     0x1.0000020040008p+0, 0, 1, 0x3FF0000020440009},

    // Cancellation.
    {"(2^32 + 1)(2^32 - 1) - 2^64: nothing left in the upper 64 bits", 0x1p32 + 1, 0x1p32 - 1,
     -0x1p64, 1, 0xBFF0000000000000},
    {"0.1 × 0.1 - 0.01 leaves the rounding error of the product", 0.1, 0.1, -0.01, 1,
     0x3C30A40000000000},
    {"x - x is +0", 3, kThirdOfHalfwayDown, -3, kThirdOfHalfwayDown, 0x0000000000000000},

    // Carries into the next power of two.
    {"2^65 - 1 rounds to 2^65, minus 2^65", 8191, 0x1.0008004002001p+52, -0x1p65, 1,
     0x0000000000000000},
    {"2^64 - 1 rounds to the double 2^64", 0x1p32 + 1, 0x1p32 - 1, 0, 1, 0x43F0000000000000},

    // Beyond the largest double, 0x1.fffffffffffffp+1023.
    {"(2^64 - 1) × 2^960 is an infinity", 0x1.00000001p+992, 0x1p32 - 1, 0, 1, 0x7FF0000000000000},
    {"-(2^64 - 1) × 2^960 is a negative infinity", 0x1.00000001p+992, -(0x1p32 - 1), 0, 1,
     0xFFF0000000000000},
    {"halfway between the largest double and 2^1024 is an infinity", 0x1.0000002p+997,
     0x1.ffffffcp+26, 0, 1, 0x7FF0000000000000},
    {"that minus half a unit of the 64th bit: tie, stays, an infinity", 0x1.0000002p+997,
     0x1.ffffffcp+26, -0x1p959, 1, 0x7FF0000000000000},
    {"that minus a bit more: the largest double", 0x1.0000002p+997, 0x1.ffffffcp+26,
     -0x1p959 * kJustAbove, 1, 0x7FEFFFFFFFFFFFFF},

    // Into the subnormals; the unit is the smallest subnormal, 2^-1074.
    {"half a unit: tie, to zero", 0x1p-1074, 0.5, 0, 1, 0x0000000000000000},
    {"minus half a unit: a negative zero", 0x1p-1074, -0.5, 0, 1, 0x8000000000000000},
    {"1.5 units: tie, to 2", 0x1p-1074, 1.5, 0, 1, 0x0000000000000002},
    {"2.5 units: tie, to 2", 0x1p-1074, 2.5, 0, 1, 0x0000000000000002},
    {"just over half a unit: 1", 0x1p-1074, 0.5 * kJustAbove, 0, 1, 0x0000000000000001},
    {"just under half a unit: 0", 0x1p-1074, 0.5 - 0x1p-54, 0, 1, 0x0000000000000000},
    {"2^52 - 0.5 units: tie, up to the smallest normal", 0x1.fffffffffffffp-972, 0x1p-51, 0, 1,
     0x0010000000000000},
    {"2^52 - 1.5 units: tie, down to even", 0x1.ffffffffffffdp-972, 0x1p-51, 0, 1,
     0x000FFFFFFFFFFFFE},
    {"(2^66 + 1) × 2^-1141: rounds to half a unit, then to zero", 0x1.000100008p-567,
     0x1.fffe0001p-509, 0, 1, 0x0000000000000000},
};

TEST(ExtendedFloat, HardSpotsOfTheRounding) {
  for (const Case& row : kCases) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(sumOfProducts(row)), row.expectedBits);
  }
}

// 119537721 × 77158673929 is 2^63 + 1; scaled, it lies just over half a unit of the 64th bit
// below 1, and the bits that show it are shifted out when it is aligned to 1.
constexpr double kFactorOfJustOverHalfAUnit = 119537721;
constexpr double kOtherFactorOfJustOverHalfAUnit = 0x1.1f703ee09p-92;  // 77158673929 × 2^-128

// 1 minus a little over half a unit is 1 - 2^-64, no tie: the difference drops below the power
// of two and brings a lost bit up to the rounding. Only a further sum shows it.
TEST(ExtendedFloat, StickyBitDecidesADifferenceFromAPowerOfTwo) {
  const ExtendedFloat justOverHalfAUnit =
      ExtendedFloat(kFactorOfJustOverHalfAUnit) * ExtendedFloat(kOtherFactorOfJustOverHalfAUnit);
  const ExtendedFloat difference = ExtendedFloat(1.0) + ExtendedFloat(-1.0) * justOverHalfAUnit;
  const double result = (difference + ExtendedFloat(-1.0)).toDouble();
  EXPECT_EQ(std::bit_cast<std::uint64_t>(result), 0xBBF0000000000000);  // -2^-64
}

#if defined(POKERHILFE_HAVE_X87_LONG_DOUBLE)

double x87SumOfProducts(const Case& row) {
  const volatile long double product = static_cast<long double>(row.left) * row.right;
  const volatile long double other = static_cast<long double>(row.addend) * row.factor;
  const volatile long double sum = product + other;
  const volatile double result = static_cast<double>(sum);
  return result;
}

// The expected bits above were worked out by hand; the x87 confirms them.
TEST(ExtendedFloat, HardSpotsAreWhatTheX87Gives) {
  ASSERT_TRUE(x87::roundsToSixtyFourBits()) << "the x87 is set to round to fewer bits";
  for (const Case& row : kCases) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(x87SumOfProducts(row)), row.expectedBits);
  }
}

TEST(ExtendedFloat, StickyBitCaseIsWhatTheX87Gives) {
  ASSERT_TRUE(x87::roundsToSixtyFourBits()) << "the x87 is set to round to fewer bits";
  const volatile long double justOverHalfAUnit =
      static_cast<long double>(kFactorOfJustOverHalfAUnit) * kOtherFactorOfJustOverHalfAUnit;
  const volatile long double difference = 1.0L - justOverHalfAUnit;
  const volatile double result = static_cast<double>(difference - 1.0L);
  EXPECT_EQ(std::bit_cast<std::uint64_t>(static_cast<double>(result)), 0xBBF0000000000000);
}

#endif

}  // namespace
}  // namespace pokerhilfe
