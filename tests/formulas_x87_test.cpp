// The formulas compared bit for bit with the same computation in the x87's double-extended
// format, where the compiler's long double is that format.
#include "tests/x87.hpp"

#if defined(POKERHILFE_HAVE_X87_LONG_DOUBLE)

#include "advice/formulas.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <limits>
#include <ostream>

namespace pokerhilfe {
namespace {

// The same steps in long double. Every intermediate result goes through a volatile long double,
// so that the compiler neither keeps it in another precision nor folds it.
double x87SumOfProducts(long double factor, double amount, double count) {
  const volatile long double base = factor * amount;
  const volatile long double perPlayer = static_cast<long double>(amount) * count;
  const volatile long double sum = base + perPlayer;
  const volatile double result = static_cast<double>(sum);
  return result;
}

double x87OpeningRaise(double bigBlind, double limpers) {
  return x87SumOfProducts(4.0L, bigBlind, limpers);
}

double x87Reraise(double bet, double callers) {
  return x87SumOfProducts(3.0L, bet, callers);
}

double x87PotBet(double pot) {
  const volatile long double twoThirds = std::bit_cast<double>(std::uint64_t{0x3FE5555555555555});
  const volatile long double product = twoThirds * pot;
  const volatile double result = static_cast<double>(product);
  return result;
}

// SplitMix64: a fixed sequence for a fixed seed, on every platform and standard library.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}

  std::uint64_t next() {
    std::uint64_t value = (state_ += 0x9E3779B97F4A7C15);
    value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9;
    value = (value ^ (value >> 27)) * 0x94D049BB133111EB;
    return value ^ (value >> 31);
  }

  // A number from 0 to count - 1; the slight bias of the remainder does not matter here.
  std::uint64_t below(std::uint64_t count) { return next() % count; }

  double withRandomSign(double magnitude) { return (next() & 1) != 0 ? -magnitude : magnitude; }

 private:
  std::uint64_t state_;
};

constexpr std::uint64_t kFractionMask = (std::uint64_t{1} << 52) - 1;

double withExponentField(Random& random, std::uint64_t field) {
  const std::uint64_t bits = (field << 52) | (random.next() & kFractionMask);
  return random.withRandomSign(std::bit_cast<double>(bits));
}

double anyBits(Random& random) {
  return std::bit_cast<double>(random.next());
}

// An amount as a user types it, 0.01 to 10000.00, read from its decimal text.
double shortDecimal(Random& random) {
  const std::uint64_t cents = 1 + random.below(1'000'000);
  char text[24];
  std::snprintf(text, sizeof text, "%llu.%02llu", static_cast<unsigned long long>(cents / 100),
                static_cast<unsigned long long>(cents % 100));
  return std::strtod(text, nullptr);
}

double playerCount(Random& random) {
  return static_cast<double>(random.below(25)) - 12;
}

// Any fraction between -8 and 8, so that 4 or 3 plus it changes sign or cancels.
double smallFactor(Random& random) {
  const double unit = static_cast<double>(random.next() >> 11) * 0x1p-53;
  return 16 * unit - 8;
}

double nearLargest(Random& random) {
  return withExponentField(random, 0x7FE - random.below(3));
}

double subnormal(Random& random) {
  // Now and then one of the few smallest, where the rounding decides between 0, 1 and 2 units.
  if (random.below(4) == 0) return random.withRandomSign(std::bit_cast<double>(random.below(8)));
  return withExponentField(random, 0);
}

// Small normal numbers, whose products and two thirds fall into the subnormal range.
double tinyNormal(Random& random) {
  return withExponentField(random, 1 + random.below(64));
}

// Numbers from 2^-60 to 2^4, to multiply small numbers down into the subnormal range.
double shrinkingFactor(Random& random) {
  return withExponentField(random, 0x3FF - 60 + random.below(65));
}

// Numbers of 1 to 40 significant bits from 2^-80 to 2^80: their products and sums often lie
// exactly half-way between two 64-bit or two 53-bit numbers, where the roundings are decided by
// the ties-to-even rule, and their scales fall on both sides of every alignment of the sum.
double shortSignificand(Random& random) {
  const int bits = 1 + static_cast<int>(random.below(40));
  const std::uint64_t top = std::uint64_t{1} << (bits - 1);
  const std::uint64_t significand = top | (random.next() & (top - 1));
  const int exponent = static_cast<int>(random.below(161)) - 80 - (bits - 1);
  return random.withRandomSign(std::ldexp(static_cast<double>(significand), exponent));
}

double special(Random& random) {
  constexpr double kSpecials[] = {0.0,
                                  std::numeric_limits<double>::infinity(),
                                  std::numeric_limits<double>::quiet_NaN(),
                                  std::numeric_limits<double>::max(),
                                  std::numeric_limits<double>::min(),
                                  std::numeric_limits<double>::denorm_min(),
                                  1.0,
                                  4.0,
                                  3.0};
  return random.withRandomSign(kSpecials[random.below(std::size(kSpecials))]);
}

double mixed(Random& random) {
  using Draw = double (*)(Random&);
  constexpr Draw kDraws[] = {anyBits,     shortDecimal,    playerCount, smallFactor,
                             nearLargest, subnormal,       tinyNormal,  shrinkingFactor,
                             special,     shortSignificand};
  return kDraws[random.below(std::size(kDraws))](random);
}

struct Distribution {
  const char* name;
  std::uint64_t seed;
  double (*first)(Random&);
  double (*second)(Random&);
};

void PrintTo(const Distribution& distribution, std::ostream* out) {
  *out << distribution.name;
}

constexpr int kPairsPerDistribution = 200'000;

// Equal bits; of NaNs only that both are NaN.
bool agree(double ours, double x87) {
  if (std::isnan(ours) || std::isnan(x87)) return std::isnan(ours) && std::isnan(x87);
  return std::bit_cast<std::uint64_t>(ours) == std::bit_cast<std::uint64_t>(x87);
}

class FormulasAgainstX87 : public testing::TestWithParam<Distribution> {
 protected:
  void compare(const char* formula, double first, double second, double ours, double x87) {
    if (agree(ours, x87)) return;
    if (++mismatches_ <= kReportedMismatches) {
      ADD_FAILURE() << formula << "(" << std::hexfloat << first << ", " << second << "): " << ours
                    << ", x87 " << x87;
    }
  }

  void comparePot(double pot) {
    const double ours = potBetTarget(pot);
    const double x87 = x87PotBet(pot);
    if (agree(ours, x87)) return;
    if (++mismatches_ <= kReportedMismatches) {
      ADD_FAILURE() << "potBetTarget(" << std::hexfloat << pot << "): " << ours << ", x87 " << x87;
    }
  }

  static constexpr int kReportedMismatches = 10;  // enough to see the pattern

  int mismatches_ = 0;
};

TEST_P(FormulasAgainstX87, AgreeBitForBit) {
  ASSERT_TRUE(x87::roundsToSixtyFourBits()) << "the x87 is set to round to fewer bits";
  const Distribution& distribution = GetParam();
  Random random(distribution.seed);
  for (int pair = 0; pair < kPairsPerDistribution; ++pair) {
    const double first = distribution.first(random);
    const double second = distribution.second(random);
    compare("openingRaiseTarget", first, second, openingRaiseTarget(first, second),
            x87OpeningRaise(first, second));
    compare("reraiseTarget", first, second, reraiseTarget(first, second),
            x87Reraise(first, second));
    comparePot(first);
    comparePot(second);
  }
  EXPECT_EQ(mismatches_, 0);
}

// Eight distributions of 200000 pairs: 1.6 million pairs for each formula; the pot formula
// takes both numbers of each pair.
INSTANTIATE_TEST_SUITE_P(
    Operands, FormulasAgainstX87,
    testing::Values(Distribution{"AnyBits", 0x5EED0001, anyBits, anyBits},
                    Distribution{"DecimalsAndPlayers", 0x5EED0002, shortDecimal, playerCount},
                    Distribution{"Decimals", 0x5EED0003, shortDecimal, shortDecimal},
                    Distribution{"NearLargest", 0x5EED0004, nearLargest, smallFactor},
                    Distribution{"Subnormals", 0x5EED0005, subnormal, mixed},
                    Distribution{"IntoSubnormals", 0x5EED0006, tinyNormal, shrinkingFactor},
                    Distribution{"ShortSignificands", 0x5EED0008, shortSignificand,
                                 shortSignificand},
                    Distribution{"Mixed", 0x5EED0007, mixed, mixed}),
    [](const testing::TestParamInfo<Distribution>& info) { return info.param.name; });

}  // namespace
}  // namespace pokerhilfe

#endif
