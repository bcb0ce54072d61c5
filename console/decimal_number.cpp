#include "console/decimal_number.hpp"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace pokerhilfe {

namespace {

// Even a stream of digits as long as any input can be moves the decimal point by less.
constexpr std::int64_t kPowerLimit = std::int64_t{1} << 60;

void movePower(std::int64_t& power, int step) {
  if (step > 0 && power < kPowerLimit) ++power;
  if (step < 0 && power > -kPowerLimit) --power;
}

// The decimal exponent of D's leading digit outside which no double lies: the largest double is
// below 1.8e308 and the half of the smallest subnormal above 2.4e-324.
constexpr std::int64_t kBeyondLargest = 309;
constexpr std::int64_t kBelowSmallest = -325;

}  // namespace

void DecimalNumber::addIntegerDigit(char digit) {
  if (!hasSignificantDigit() && digit == '0') return;
  if (keptCount_ < kKeptDigits) {
    kept_[keptCount_++] = digit;
  } else {
    droppedDigits_ = true;
    movePower(power_, +1);  // a dropped digit before the point
  }
}

void DecimalNumber::addFractionDigit(char digit) {
  if (keptCount_ == kKeptDigits) {
    droppedDigits_ = true;
    return;
  }
  movePower(power_, -1);
  if (!hasSignificantDigit() && digit == '0') return;
  kept_[keptCount_++] = digit;
}

void DecimalNumber::addExponentDigit(char digit) {
  if (exponent_ <= kExponentLimit) exponent_ = exponent_ * 10 + (digit - '0');
}

double DecimalNumber::value(std::string_view written) const {
  const double result = magnitude(written);
  return negative_ ? -result : result;
}

double DecimalNumber::magnitude(std::string_view written) const {
  constexpr double kInfinity = std::numeric_limits<double>::infinity();
  if (!hasSignificantDigit()) return 0.0;
  if (exponent_ > kExponentLimit) return exponentNegative_ ? 0.0 : kInfinity;

  // With every digit kept, the text as written means exactly D × 10^P.
  if (!written.empty() && !droppedDigits_) {
    double result = 0.0;
    const std::from_chars_result parsed =
        std::from_chars(written.data(), written.data() + written.size(), result);
    if (parsed.ec == std::errc{} && parsed.ptr == written.data() + written.size()) return result;
  }

  const std::int64_t power = power_ + (exponentNegative_ ? -exponent_ : exponent_);
  const std::int64_t leadingExponent = power + keptCount_ - 1;
  if (leadingExponent >= kBeyondLargest) return kInfinity;
  if (leadingExponent <= kBelowSmallest) return 0.0;

  // "DDDDDDDDDDDDDDDDDe-PPP" for std::from_chars, which rounds correctly, ties to even, and
  // reports a result that rounds to zero or to infinity as out of range.
  std::array<char, kKeptDigits + 8> text{};
  char* end = text.data();
  for (int i = 0; i < keptCount_; ++i) *end++ = kept_[i];
  *end++ = 'e';
  end = std::to_chars(end, text.data() + text.size(), power).ptr;

  double result = 0.0;
  const std::from_chars_result parsed =
      std::from_chars(text.data(), end, result, std::chars_format::scientific);
  if (parsed.ec == std::errc::result_out_of_range) {
    return leadingExponent > 0 ? kInfinity : 0.0;
  }
  return result;
}

}  // namespace pokerhilfe
