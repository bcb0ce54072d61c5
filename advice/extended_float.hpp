#pragma once
// Binary floating-point numbers with a 64-bit significand, rounded to nearest with ties to even:
// the precision in which the formulas compute. It is the precision of the x87 double-extended
// format, built here from integer arithmetic so that every compiler and processor gives the same
// bits, whatever its own long double is, and without touching the floating-point unit.
//
// The exponent is kept in a 32-bit integer, far wider than the x87's 15 bits. Products and sums
// of doubles, which is all the formulas compute, never come near the x87's limits either, so
// that neither overflow nor subnormal results can arise before the final rounding to a double.

#include <cstdint>

namespace pokerhilfe {

class ExtendedFloat {
 public:
  // Exactly the value of `value`, NaNs and infinities included.
  explicit ExtendedFloat(double value);

  // `value` rounded to the nearest double, ties to even: subnormal or zero when it is too small,
  // an infinity of its sign when it is too large.
  double toDouble() const;

  friend ExtendedFloat operator*(ExtendedFloat left, ExtendedFloat right);
  friend ExtendedFloat operator+(ExtendedFloat left, ExtendedFloat right);

 private:
  enum class Kind : std::uint8_t { Zero, Finite, Infinity, NaN };

  ExtendedFloat(Kind kind, bool negative) : kind_(kind), negative_(negative) {}
  // The value `high`:`low` × 2^(exponent - 64), rounded to 64 bits; `high` may not be 0.
  static ExtendedFloat rounded(bool negative, std::int32_t exponent, std::uint64_t high,
                               std::uint64_t low);
  // Infinity times zero, infinity minus infinity: the x87's default NaN, with its sign bit set.
  static ExtendedFloat invalidOperation();
  static ExtendedFloat propagateNaN(ExtendedFloat left, ExtendedFloat right);

  Kind kind_ = Kind::Zero;
  bool negative_ = false;
  // A finite value is significand_ × 2^exponent_, with bit 63 of significand_ set. A NaN keeps
  // the bits of the double it came from in significand_.
  std::int32_t exponent_ = 0;
  std::uint64_t significand_ = 0;
};

}  // namespace pokerhilfe
