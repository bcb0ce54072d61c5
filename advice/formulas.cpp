#include "advice/formulas.hpp"

#include <bit>
#include <cstdint>

#include "advice/extended_float.hpp"

namespace pokerhilfe {

namespace {

constexpr float kOpeningRaiseFactor = 4.0F;
constexpr float kReraiseFactor = 3.0F;
// The double nearest to 2/3, 0.66666666666666662965923251249478198587894439697265625. The pot
// is multiplied by it; dividing by 1.5 would give another double for many pots.
const double kTwoThirds = std::bit_cast<double>(std::uint64_t{0x3FE5555555555555});

// factor × amount + amount × count, in that form: amount × (factor + count) rounds differently.
double sumOfProducts(float factor, double amount, double count) {
  const ExtendedFloat base = ExtendedFloat(factor) * ExtendedFloat(amount);  // exact
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
  return (ExtendedFloat(kTwoThirds) * ExtendedFloat(pot)).toDouble();
}

}  // namespace pokerhilfe
