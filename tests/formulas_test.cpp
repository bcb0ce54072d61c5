#include "advice/formulas.hpp"

#include <gtest/gtest.h>

#include "advice/extended_float.hpp"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace pokerhilfe {
namespace {

constexpr double fromBits(std::uint64_t bits) {
  return std::bit_cast<double>(bits);
}
constexpr std::uint64_t bitsOf(double value) {
  return std::bit_cast<std::uint64_t>(value);
}

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kQuietNaN = std::numeric_limits<double>::quiet_NaN();
// Infinity times zero and infinity minus infinity give the x87's default NaN, sign bit set.
constexpr double kDefaultNaN = fromBits(0xFFF8000000000000);
constexpr double kSmallestSubnormal = fromBits(0x0000000000000001);
constexpr double kSmallestNormal = fromBits(0x0010000000000000);

struct Formula {
  const char* name;
  double (*compute)(double, double);
};
const Formula kOpeningRaise{"openingRaiseTarget", openingRaiseTarget};
const Formula kReraise{"reraiseTarget", reraiseTarget};
const Formula kPotBet{"potBetTarget", [](double pot, double) { return potBetTarget(pot); }};

struct Case {
  Formula formula;
  double first;
  double second;  // unused by potBetTarget
  double expected;
  // What arithmetic with every product and sum rounded to a double at once gives (for the pot:
  // a division by 1.5), where that differs. A NaN here stands for any NaN.
  std::optional<double> otherEvaluation = std::nullopt;
};

std::string describe(const Case& row) {
  char text[160];
  if (row.formula.compute == kPotBet.compute) {
    std::snprintf(text, sizeof text, "%s(%a)", row.formula.name, row.first);
  } else {
    std::snprintf(text, sizeof text, "%s(%a, %a)", row.formula.name, row.first, row.second);
  }
  return text;
}

bool isThatAnswer(double result, double answer) {
  return std::isnan(answer) ? std::isnan(result) : bitsOf(result) == bitsOf(answer);
}

// Each result compared bit for bit: the sign of a zero and the exact NaN count as well.
const std::vector<Case> kCases = {
    // The usual inputs: whole numbers and short decimals.
    {kOpeningRaise, 2, 3, 14},
    {kOpeningRaise, 2, 0.5, 9},
    {kOpeningRaise, -2, 1, -10},
    {kOpeningRaise, 10, -4, +0.0},  // 40 plus -40
    {kOpeningRaise, 0, 5, 0},
    {kOpeningRaise, 0.15, 3, fromBits(0x3FF0CCCCCCCCCCCD), fromBits(0x3FF0CCCCCCCCCCCC)},
    {kOpeningRaise, 0.01, 7, fromBits(0x3FBC28F5C28F5C29), fromBits(0x3FBC28F5C28F5C2A)},
    {kReraise, 10, 2, 50},
    {kReraise, 4, 0, 12},
    {kReraise, 0.15, 4, fromBits(0x3FF0CCCCCCCCCCCD), fromBits(0x3FF0CCCCCCCCCCCC)},
    {kReraise, 0.09, 2, fromBits(0x3FDCCCCCCCCCCCCC), fromBits(0x3FDCCCCCCCCCCCCD)},
    {kPotBet, 0, 0, 0},
    {kPotBet, 1.5, 0, 1},
    {kPotBet, 3, 0, 2},
    {kPotBet, 30, 0, 20},
    {kPotBet, 150, 0, 100},
    {kPotBet, -30, 0, -20},
    {kPotBet, 10, 0, fromBits(0x401AAAAAAAAAAAAA), fromBits(0x401AAAAAAAAAAAAB)},
    {kPotBet, 100, 0, fromBits(0x4050AAAAAAAAAAAA), fromBits(0x4050AAAAAAAAAAAB)},

    // Products beyond the largest double do no harm when the sum comes back into range.
    {kOpeningRaise, 1e308, -3.5, 1e308 / 2, kQuietNaN},
    {kReraise, 1e308, -2.5, 1e308 / 2, kQuietNaN},
    // A result beyond the largest double is an infinity of its sign.
    {kOpeningRaise, 1e308, 1, kInfinity},
    {kOpeningRaise, -1e308, 1, -kInfinity},
    {kReraise, 1e308, 1, kInfinity},
    {kReraise, -1e308, -5, kInfinity},

    // Infinite operands.
    {kOpeningRaise, kInfinity, 3, kInfinity},
    {kOpeningRaise, -kInfinity, 3, -kInfinity},
    {kOpeningRaise, kInfinity, 0, kDefaultNaN},   // infinity times zero
    {kOpeningRaise, kInfinity, -4, kDefaultNaN},  // infinity minus infinity
    {kOpeningRaise, kInfinity, -0.5, kDefaultNaN},
    {kOpeningRaise, 2, kInfinity, kInfinity},
    {kOpeningRaise, 0, kInfinity, kDefaultNaN},
    {kReraise, -kInfinity, 2, -kInfinity},
    {kReraise, kInfinity, -0.0, kDefaultNaN},
    {kPotBet, kInfinity, 0, kInfinity},
    {kPotBet, -kInfinity, 0, -kInfinity},

    // Signs of zero: x - x is +0, and only negative zeros add up to -0.
    {kOpeningRaise, -10, -4, +0.0},
    {kOpeningRaise, -0.0, 5, -0.0},
    {kOpeningRaise, -0.0, 0, -0.0},
    {kOpeningRaise, -0.0, -5, +0.0},
    {kOpeningRaise, 0, -5, +0.0},
    {kOpeningRaise, 5, -0.0, 20},
    {kReraise, -0.0, 0, -0.0},
    {kReraise, -0.0, -0.0, +0.0},
    {kPotBet, -0.0, 0, -0.0},

    // Results in the subnormal range.
    {kPotBet, kSmallestSubnormal, 0, kSmallestSubnormal},  // two thirds of a unit rounds up
    {kPotBet, -kSmallestSubnormal, 0, -kSmallestSubnormal},
    {kPotBet, 2 * kSmallestSubnormal, 0, kSmallestSubnormal},
    {kPotBet, 3 * kSmallestSubnormal, 0, 2 * kSmallestSubnormal},
    // Exactly halfway between two subnormals: to the even one.
    {kPotBet, kSmallestNormal, 0, fromBits(0x000AAAAAAAAAAAAA)},
    {kOpeningRaise, kSmallestSubnormal, 1, 5 * kSmallestSubnormal},
    // 4 units minus 4.5 units: -0.5 units, halfway to zero, is a negative zero. Rounding the
    // product to a double first gives -4 units and then +0.
    {kOpeningRaise, kSmallestSubnormal, -4.5, -0.0, +0.0},
    // The extended result lies exactly halfway between two subnormals and goes to the even one,
    // although the exact value lies above the halfway point.
    {kOpeningRaise, fromBits(0x00080103AB96B8D3), -3.3, fromBits(0x00059A4F5E831AFA),
     fromBits(0x00059A4F5E831AFB)},
    {kPotBet, fromBits(0x000FFE6992D838F4), 0, fromBits(0x000AA99BB73AD0A2),
     fromBits(0x000AA99BB73AD0A3)},
};

TEST(Formulas, GiveTheExtendedPrecisionResultBitForBit) {
  for (const Case& row : kCases) {
    SCOPED_TRACE(describe(row));
    const double result = row.formula.compute(row.first, row.second);
    EXPECT_EQ(bitsOf(result), bitsOf(row.expected))
        << "result " << std::hexfloat << result << ", expected " << row.expected;
    if (row.otherEvaluation) {
      EXPECT_FALSE(isThatAnswer(result, *row.otherEvaluation))
          << "gives what rounding every step to a double gives";
    }
  }
}

TEST(Formulas, ANaNOperandGivesANaN) {
  const double nan = kQuietNaN;
  for (const double other : {0.0, 2.0, -4.0, kInfinity}) {
    SCOPED_TRACE(other);
    EXPECT_TRUE(std::isnan(openingRaiseTarget(nan, other)));
    EXPECT_TRUE(std::isnan(openingRaiseTarget(other, nan)));
    EXPECT_TRUE(std::isnan(reraiseTarget(nan, other)));
    EXPECT_TRUE(std::isnan(reraiseTarget(other, nan)));
  }
  EXPECT_TRUE(std::isnan(potBetTarget(nan)));
  EXPECT_TRUE(std::isnan(potBetTarget(-nan)));
}

// The formulas take a direct way on integers for normal operands with a normal result, and
// the general ExtendedFloat arithmetic for everything else. Both must give the same bits. The
// operands have 1 to 40 significant bits, so that products and sums often fall exactly half-way
// between two 64-bit or two 53-bit numbers, and scales far enough apart to reach both sides of
// every alignment of the sum.
double shortSignificand(std::mt19937_64& random) {
  const int bits = 1 + static_cast<int>(random() % 40);
  const std::uint64_t top = std::uint64_t{1} << (bits - 1);
  const std::uint64_t significand = top | (random() & (top - 1));
  const int exponent = static_cast<int>(random() % 161) - 80 - (bits - 1);
  const double magnitude = std::ldexp(static_cast<double>(significand), exponent);
  return (random() & 1) != 0 ? -magnitude : magnitude;
}

double generalSumOfProducts(double factor, double amount, double count) {
  return (ExtendedFloat(factor) * ExtendedFloat(amount) +
          ExtendedFloat(amount) * ExtendedFloat(count))
      .toDouble();
}

TEST(Formulas, DirectWayAgreesWithTheGeneralArithmetic) {
  const double twoThirds = std::bit_cast<double>(std::uint64_t{0x3FE5555555555555});
  std::mt19937_64 random(20261211);
  int mismatches = 0;
  for (int pair = 0; pair < 500'000 && mismatches < 10; ++pair) {
    const double amount = shortSignificand(random);
    const double count = shortSignificand(random);
    const auto expectSame = [&](const char* formula, double ours, double general) {
      if (std::bit_cast<std::uint64_t>(ours) == std::bit_cast<std::uint64_t>(general)) return;
      ++mismatches;
      ADD_FAILURE() << formula << "(" << std::hexfloat << amount << ", " << count << "): " << ours
                    << ", general " << general;
    };
    expectSame("openingRaiseTarget", openingRaiseTarget(amount, count),
               generalSumOfProducts(4, amount, count));
    expectSame("reraiseTarget", reraiseTarget(amount, count),
               generalSumOfProducts(3, amount, count));
    expectSame("potBetTarget", potBetTarget(amount),
               (ExtendedFloat(twoThirds) * ExtendedFloat(amount)).toDouble());
  }
}

}  // namespace
}  // namespace pokerhilfe
