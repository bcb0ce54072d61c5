#include "advice/extended_float.hpp"

#include <bit>
#include <utility>

#include "advice/wide_integer.hpp"

namespace pokerhilfe {

namespace {

using wide::kTopBit;
using wide::Wide;

// The fields of a double.
constexpr int kFractionBits = 52;
constexpr std::uint64_t kFractionMask = (std::uint64_t{1} << kFractionBits) - 1;
constexpr std::uint64_t kImplicitBit = std::uint64_t{1} << kFractionBits;
constexpr std::uint64_t kQuietBit = std::uint64_t{1} << (kFractionBits - 1);
constexpr std::uint64_t kInfinityBits = std::uint64_t{0x7FF} << kFractionBits;
constexpr int kExponentField = 0x7FF;
constexpr int kExponentBias = 1023;
constexpr int kLargestExponent = 1023;
constexpr int kSmallestNormalExponent = -1022;
// The smallest subnormal double is 2^kUnitExponent.
constexpr int kUnitExponent = kSmallestNormalExponent - kFractionBits;
// A double's 53-bit significand stands in the top bits of a 64-bit one.
constexpr int kDroppedBits = 64 - (kFractionBits + 1);

// The bits of the x87's default NaN, the "real indefinite", as a double.
constexpr std::uint64_t kDefaultNaNBits = 0xFFF8000000000000;

// `value` shifted right, every bit shifted out ORed into the lowest bit. The lowest bit lies
// far below the 64 bits that are kept, so the rounding still sees that something was there.
Wide shiftRightSticky(Wide value, std::int64_t shift) {
  if (shift == 0) return value;
  if (shift >= 128) return {0, (value.high | value.low) != 0 ? 1u : 0u};
  Wide result{};
  std::uint64_t lost = 0;
  if (shift >= 64) {
    lost = value.low | (shift == 64 ? 0 : value.high << (128 - shift));
    result.low = shift == 64 ? value.high : value.high >> (shift - 64);
  } else {
    lost = value.low << (64 - shift);
    result.high = value.high >> shift;
    result.low = (value.low >> shift) | (value.high << (64 - shift));
  }
  if (lost != 0) result.low |= 1;
  return result;
}

// `value` / 2^shift rounded to an integer, to nearest with ties to even.
std::uint64_t shiftRightRounded(std::uint64_t value, std::int64_t shift) {
  if (shift == 0) return value;
  if (shift > 64) return 0;  // less than a quarter
  const std::uint64_t quotient = shift == 64 ? 0 : value >> shift;
  const std::uint64_t remainder = shift == 64 ? value : value & ((std::uint64_t{1} << shift) - 1);
  const std::uint64_t half = std::uint64_t{1} << (shift - 1);
  const bool roundUp = remainder > half || (remainder == half && (quotient & 1) != 0);
  return quotient + (roundUp ? 1 : 0);
}

double infinity(bool negative) {
  return std::bit_cast<double>(kInfinityBits | (negative ? kTopBit : 0));
}

}  // namespace

ExtendedFloat::ExtendedFloat(double value) {
  const auto bits = std::bit_cast<std::uint64_t>(value);
  negative_ = (bits & kTopBit) != 0;
  const int field = static_cast<int>(bits >> kFractionBits) & kExponentField;
  const std::uint64_t fraction = bits & kFractionMask;

  if (field == kExponentField) {
    kind_ = fraction == 0 ? Kind::Infinity : Kind::NaN;
    significand_ = bits;
  } else if (field == 0 && fraction == 0) {
    kind_ = Kind::Zero;
  } else {
    // A normal double is (2^52 + fraction) units of 2^(field - 1075), a subnormal one fraction
    // units of 2^-1074.
    const std::uint64_t units = field == 0 ? fraction : (fraction | kImplicitBit);
    const int unitExponent = field == 0 ? kUnitExponent : field - kExponentBias - kFractionBits;
    const int shift = std::countl_zero(units);
    kind_ = Kind::Finite;
    significand_ = units << shift;
    exponent_ = unitExponent - shift;
  }
}

double ExtendedFloat::toDouble() const {
  const std::uint64_t sign = negative_ ? kTopBit : 0;
  switch (kind_) {
    case Kind::Zero:
      return std::bit_cast<double>(sign);
    case Kind::Infinity:
      return infinity(negative_);
    case Kind::NaN:
      return std::bit_cast<double>(significand_ | kQuietBit);
    case Kind::Finite:
      break;
  }
  // The value lies in [2^leadingExponent, 2^(leadingExponent + 1)).
  const std::int64_t leadingExponent = std::int64_t{exponent_} + 63;
  if (leadingExponent > kLargestExponent) return infinity(negative_);

  if (leadingExponent >= kSmallestNormalExponent) {
    std::uint64_t units = shiftRightRounded(significand_, kDroppedBits);
    std::int64_t exponent = leadingExponent;
    if (units == (kImplicitBit << 1)) {  // rounded up into the next power of two
      units = kImplicitBit;
      ++exponent;
    }
    if (exponent > kLargestExponent) return infinity(negative_);
    const auto field = static_cast<std::uint64_t>(exponent + kExponentBias);
    return std::bit_cast<double>(sign | (field << kFractionBits) | (units & kFractionMask));
  }

  // Subnormal: the value in units of the smallest subnormal. Rounding up to 2^52 units gives the
  // smallest normal double, whose bits are that same number.
  const std::int64_t shift = std::int64_t{kUnitExponent} - exponent_;
  return std::bit_cast<double>(sign | shiftRightRounded(significand_, shift));
}

ExtendedFloat ExtendedFloat::rounded(bool negative, std::int32_t exponent, std::uint64_t high,
                                     std::uint64_t low) {
  if (high == 0) {
    high = std::exchange(low, 0);
    exponent -= 64;
  }
  const int shift = std::countl_zero(high);
  if (shift != 0) {
    high = (high << shift) | (low >> (64 - shift));
    low <<= shift;
    exponent -= shift;
  }
  const bool roundUp = low > kTopBit || (low == kTopBit && (high & 1) != 0);
  if (roundUp && ++high == 0) {  // carried into a 65th bit
    high = kTopBit;
    ++exponent;
  }
  ExtendedFloat result(Kind::Finite, negative);
  result.significand_ = high;
  result.exponent_ = exponent;
  return result;
}

ExtendedFloat ExtendedFloat::invalidOperation() {
  ExtendedFloat result(Kind::NaN, true);
  result.significand_ = kDefaultNaNBits;
  return result;
}

ExtendedFloat ExtendedFloat::propagateNaN(ExtendedFloat left, ExtendedFloat right) {
  return left.kind_ == Kind::NaN ? left : right;
}

ExtendedFloat operator*(ExtendedFloat left, ExtendedFloat right) {
  using Kind = ExtendedFloat::Kind;
  const bool negative = left.negative_ != right.negative_;
  if (left.kind_ == Kind::NaN || right.kind_ == Kind::NaN) {
    return ExtendedFloat::propagateNaN(left, right);
  }
  if (left.kind_ == Kind::Infinity || right.kind_ == Kind::Infinity) {
    if (left.kind_ == Kind::Zero || right.kind_ == Kind::Zero) {
      return ExtendedFloat::invalidOperation();
    }
    return {Kind::Infinity, negative};
  }
  if (left.kind_ == Kind::Zero || right.kind_ == Kind::Zero) return {Kind::Zero, negative};

  const Wide product = wide::multiply(left.significand_, right.significand_);
  return ExtendedFloat::rounded(negative, left.exponent_ + right.exponent_ + 64, product.high,
                                product.low);
}

ExtendedFloat operator+(ExtendedFloat left, ExtendedFloat right) {
  using Kind = ExtendedFloat::Kind;
  if (left.kind_ == Kind::NaN || right.kind_ == Kind::NaN) {
    return ExtendedFloat::propagateNaN(left, right);
  }
  if (left.kind_ == Kind::Infinity || right.kind_ == Kind::Infinity) {
    if (left.kind_ == right.kind_ && left.negative_ != right.negative_) {
      return ExtendedFloat::invalidOperation();
    }
    return left.kind_ == Kind::Infinity ? left : right;
  }
  if (left.kind_ == Kind::Zero) {
    // +0 plus -0 is +0 when rounding to nearest; only two negative zeros give a negative zero.
    return right.kind_ == Kind::Zero ? ExtendedFloat(Kind::Zero, left.negative_ && right.negative_)
                                     : right;
  }
  if (right.kind_ == Kind::Zero) return left;

  // `larger` has the larger magnitude, so that a difference is never negative.
  ExtendedFloat larger = left;
  ExtendedFloat smaller = right;
  if (larger.exponent_ < smaller.exponent_ ||
      (larger.exponent_ == smaller.exponent_ && larger.significand_ < smaller.significand_)) {
    std::swap(larger, smaller);
  }
  // Both as 128-bit numbers in units of 2^(larger.exponent_ - 64).
  const Wide big{larger.significand_, 0};
  const Wide small = shiftRightSticky({smaller.significand_, 0},
                                      std::int64_t{larger.exponent_} - smaller.exponent_);
  std::int32_t exponent = larger.exponent_;

  if (larger.negative_ == smaller.negative_) {
    Wide sum{big.high + small.high, small.low};  // big.low is 0: no carry from the low half
    if (sum.high < big.high) {                   // carried out of 128 bits: keep the top 128 of 129
      sum = shiftRightSticky(sum, 1);
      sum.high |= kTopBit;
      ++exponent;
    }
    return ExtendedFloat::rounded(larger.negative_, exponent, sum.high, sum.low);
  }

  const Wide difference{big.high - small.high - (big.low < small.low ? 1 : 0), big.low - small.low};
  if (difference.high == 0 && difference.low == 0) {
    return {Kind::Zero, false};  // x - x is +0 when rounding to nearest
  }
  return ExtendedFloat::rounded(larger.negative_, exponent, difference.high, difference.low);
}

}  // namespace pokerhilfe
