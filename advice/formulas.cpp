#include "advice/formulas.hpp"

#include <bit>
#include <cstdint>
#include <optional>

#include "advice/extended_float.hpp"
#include "advice/wide_integer.hpp"

namespace pokerhilfe {

namespace {

using wide::Wide;

constexpr std::uint64_t kOpeningRaiseFactor = 4;
constexpr std::uint64_t kReraiseFactor = 3;
// The double nearest to 2/3, 0.66666666666666662965923251249478198587894439697265625. The pot
// is multiplied by it; dividing by 1.5 would give another double for many pots.
constexpr std::uint64_t kTwoThirdsBits = 0x3FE5555555555555;

// Every formula has two ways to its result. The general one, ExtendedFloat, takes any operands:
// zeros, subnormals, infinities and NaNs. The direct one below takes normal operands whose
// result is a normal double, which is nearly every call, and does the same roundings on
// integers without the general one's case analysis. Where it cannot decide, it gives nothing,
// and the general one computes the result.

constexpr int kFractionBits = 52;
constexpr std::uint64_t kFractionMask = (std::uint64_t{1} << kFractionBits) - 1;
// A normal double's biased exponent field lies between these.
constexpr int kSmallestField = 1;
constexpr int kLargestField = 0x7FE;
// The field of significand × 2^exponent, for a significand of 53 bits.
constexpr int kFieldOffset = 1023 + kFractionBits;

// A normal double as significand × 2^exponent, the significand of 53 bits.
struct NormalDouble {
  bool negative;
  std::uint64_t significand;
  int exponent;
};

constexpr std::optional<NormalDouble> decodeNormal(double value) {
  const auto bits = std::bit_cast<std::uint64_t>(value);
  const int field = static_cast<int>(bits >> kFractionBits) & 0x7FF;
  if (field < kSmallestField || field > kLargestField) return std::nullopt;
  return NormalDouble{(bits >> 63) != 0, (bits & kFractionMask) | (kFractionMask + 1),
                      field - kFieldOffset};
}

// An exact value rounded to 64 significant bits, as the x87 unit holds a result, and that
// rounded to a double, as it stores one: each time to nearest with ties to even. Nothing when
// the double would not be normal.
std::optional<double> roundTwice(bool negative, Wide value, int exponent) {
  const std::uint64_t significand =
      wide::roundTo53Bits(wide::roundTo64Bits(value, exponent), exponent);
  const int field = exponent + kFieldOffset;
  if (field < kSmallestField || field > kLargestField) return std::nullopt;
  return std::bit_cast<double>((negative ? wide::kTopBit : 0) |
                               (static_cast<std::uint64_t>(field) << kFractionBits) |
                               (significand & kFractionMask));
}

// factor × amount + amount × count, on integers.
std::optional<double> directSumOfProducts(std::uint64_t factor, double amount, double count) {
  const std::optional<NormalDouble> x = decodeNormal(amount);
  if (!x) return std::nullopt;
  const std::uint64_t base = factor * x->significand;
  // No player: the sum is factor × amount, plus a zero that changes nothing.
  if ((std::bit_cast<std::uint64_t>(count) << 1) == 0) {
    return roundTwice(x->negative, Wide{0, base}, x->exponent);
  }
  const std::optional<NormalDouble> y = decodeNormal(count);
  if (!y) return std::nullopt;

  // amount × count has 105 or 106 bits and is rounded to 64; factor × amount is exact.
  int perPlayerExponent = x->exponent + y->exponent;
  const std::uint64_t perPlayer =
      wide::roundTo64Bits(wide::multiply(x->significand, y->significand), perPlayerExponent);

  // Both as integers in units of the smaller of their two scales, where the sum is exact. Terms
  // further apart than this are left to the general way.
  const int gap = perPlayerExponent - x->exponent;
  if (gap < -64 || gap > 62) return std::nullopt;
  const Wide baseUnits = gap >= 0 ? Wide{0, base} : wide::shiftLeft(base, -gap);
  const Wide perPlayerUnits = gap >= 0 ? wide::shiftLeft(perPlayer, gap) : Wide{0, perPlayer};
  const int exponent = gap >= 0 ? x->exponent : perPlayerExponent;

  const bool perPlayerNegative = x->negative != y->negative;
  if (perPlayerNegative == x->negative) {
    return roundTwice(x->negative, wide::add(baseUnits, perPlayerUnits), exponent);
  }
  if (wide::less(baseUnits, perPlayerUnits)) {
    return roundTwice(perPlayerNegative, wide::subtract(perPlayerUnits, baseUnits), exponent);
  }
  const Wide difference = wide::subtract(baseUnits, perPlayerUnits);
  if (wide::isZero(difference)) return 0.0;  // x - x is +0 when rounding to nearest
  return roundTwice(x->negative, difference, exponent);
}

// factor × amount + amount × count, in that form: amount × (factor + count) rounds differently.
double sumOfProducts(std::uint64_t factor, double amount, double count) {
  if (const std::optional<double> result = directSumOfProducts(factor, amount, count)) {
    return *result;
  }
  const ExtendedFloat base = ExtendedFloat(static_cast<double>(factor)) * ExtendedFloat(amount);
  const ExtendedFloat perPlayer = ExtendedFloat(amount) * ExtendedFloat(count);
  return (base + perPlayer).toDouble();
}

}  // namespace

double openingRaiseTarget(double bigBlind, double limpers) {
  return sumOfProducts(kOpeningRaiseFactor, bigBlind, limpers);
}

double reraiseTarget(double bet, double callers) {
  return sumOfProducts(kReraiseFactor, bet, callers);
}

double potBetTarget(double pot) {
  constexpr NormalDouble kTwoThirds = *decodeNormal(std::bit_cast<double>(kTwoThirdsBits));
  if (const std::optional<NormalDouble> x = decodeNormal(pot)) {
    const std::optional<double> result =
        roundTwice(x->negative, wide::multiply(kTwoThirds.significand, x->significand),
                   kTwoThirds.exponent + x->exponent);
    if (result) return *result;
  }
  return (ExtendedFloat(std::bit_cast<double>(kTwoThirdsBits)) * ExtendedFloat(pot)).toDouble();
}

}  // namespace pokerhilfe
