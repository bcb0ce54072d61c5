#pragma once
// Unsigned 128-bit integers from two 64-bit halves, with just what exact products and sums of
// doubles need. Portable: no compiler's own 128-bit type.

#include <bit>
#include <cstdint>

namespace pokerhilfe::wide {

struct Wide {
  std::uint64_t high = 0;
  std::uint64_t low = 0;
};

inline constexpr std::uint64_t kTopBit = std::uint64_t{1} << 63;

// The exact product of two 64-bit numbers, from their 32-bit halves.
inline Wide multiply(std::uint64_t left, std::uint64_t right) {
  constexpr std::uint64_t kLowHalf = 0xFFFFFFFF;
  const std::uint64_t lowLow = (left & kLowHalf) * (right & kLowHalf);
  const std::uint64_t lowHigh = (left & kLowHalf) * (right >> 32);
  const std::uint64_t highLow = (left >> 32) * (right & kLowHalf);
  const std::uint64_t highHigh = (left >> 32) * (right >> 32);
  const std::uint64_t middle = (lowLow >> 32) + (lowHigh & kLowHalf) + (highLow & kLowHalf);
  return {highHigh + (lowHigh >> 32) + (highLow >> 32) + (middle >> 32),
          (middle << 32) | (lowLow & kLowHalf)};
}

// `value` × 2^shift, for a shift of 0 to 64 that loses no bit.
inline Wide shiftLeft(std::uint64_t value, int shift) {
  if (shift == 0) return {0, value};
  if (shift == 64) return {value, 0};
  return {value >> (64 - shift), value << shift};
}

inline Wide add(Wide left, Wide right) {
  const std::uint64_t low = left.low + right.low;
  return {left.high + right.high + (low < left.low ? 1 : 0), low};
}

// left - right, for left >= right.
inline Wide subtract(Wide left, Wide right) {
  return {left.high - right.high - (left.low < right.low ? 1 : 0), left.low - right.low};
}

inline bool less(Wide left, Wide right) {
  return left.high < right.high || (left.high == right.high && left.low < right.low);
}

inline bool isZero(Wide value) {
  return value.high == 0 && value.low == 0;
}

// The number of bits up to the highest set bit; 0 for 0.
inline int bitLength(Wide value) {
  return value.high != 0 ? 128 - std::countl_zero(value.high) : 64 - std::countl_zero(value.low);
}

// A number rounded to a number of significant bits: significand × 2^exponent, with the
// significand's top bit the highest of those bits.
struct Rounded {
  std::uint64_t significand;
  int exponent;
};

// value × 2^exponent rounded to `bits` (1 to 64) significant bits, to nearest with ties to even.
// `value` is not 0 and has at most bits + 63 bits.
inline Rounded roundToBits(Wide value, int exponent, int bits) {
  const int length = bitLength(value);
  if (length <= bits) {  // exact: only moved up to the top
    const int up = bits - length;
    return {value.low << up, exponent - up};
  }
  const int shift = length - bits;  // 1 to 63
  std::uint64_t quotient = (value.high << (64 - shift)) | (value.low >> shift);
  const std::uint64_t remainder = value.low & ((std::uint64_t{1} << shift) - 1);
  const std::uint64_t half = std::uint64_t{1} << (shift - 1);
  exponent += shift;
  if (remainder > half || (remainder == half && (quotient & 1) != 0)) {
    ++quotient;
    const std::uint64_t carried = bits == 64 ? 0 : std::uint64_t{1} << bits;
    if (quotient == carried) {  // rounded up to the next power of two
      quotient = std::uint64_t{1} << (bits - 1);
      ++exponent;
    }
  }
  return {quotient, exponent};
}

}  // namespace pokerhilfe::wide
