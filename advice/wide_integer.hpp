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
inline Wide multiplyPortably(std::uint64_t left, std::uint64_t right) {
  constexpr std::uint64_t kLowHalf = 0xFFFFFFFF;
  const std::uint64_t lowLow = (left & kLowHalf) * (right & kLowHalf);
  const std::uint64_t lowHigh = (left & kLowHalf) * (right >> 32);
  const std::uint64_t highLow = (left >> 32) * (right & kLowHalf);
  const std::uint64_t highHigh = (left >> 32) * (right >> 32);
  const std::uint64_t middle = (lowLow >> 32) + (lowHigh & kLowHalf) + (highLow & kLowHalf);
  return {highHigh + (lowHigh >> 32) + (highLow >> 32) + (middle >> 32),
          (middle << 32) | (lowLow & kLowHalf)};
}

// The same product in one instruction where GCC and Clang offer a 128-bit type; everywhere
// else, and in a test that holds the two to the same results, the portable way.
inline Wide multiply(std::uint64_t left, std::uint64_t right) {
#if defined(__SIZEOF_INT128__)
  __extension__ using Product = unsigned __int128;
  const Product product = static_cast<Product>(left) * right;
  return {static_cast<std::uint64_t>(product >> 64), static_cast<std::uint64_t>(product)};
#else
  return multiplyPortably(left, right);
#endif
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

// Rounding to nearest with ties to even: 1 when the dropped bits, left-aligned, are above the
// half, or exactly the half and the kept part is odd; else 0. Without branches, since the
// answer is a coin toss for the numbers of a formula.
inline std::uint64_t roundingIncrement(std::uint64_t kept, std::uint64_t droppedLeftAligned) {
  const std::uint64_t aboveHalf = droppedLeftAligned > kTopBit ? 1 : 0;
  const std::uint64_t exactlyHalf = droppedLeftAligned == kTopBit ? 1 : 0;
  return aboveHalf | (exactlyHalf & kept);
}

// `value` (at most 127 bits, and not 0 for a meaningful result) × 2^exponent rounded to 64
// significant bits: the significand with its top bit set, the exponent updated.
inline std::uint64_t roundTo64Bits(Wide value, int& exponent) {
  const int length = bitLength(value);
  if (length <= 64) {  // exact: only moved up to the top
    const int up = 64 - length;
    exponent -= up;
    return up < 64 ? value.low << up : 0;
  }
  const int shift = length - 64;  // 1 to 63
  const std::uint64_t kept = (value.high << (64 - shift)) | (value.low >> shift);
  const std::uint64_t rounded = kept + roundingIncrement(kept, value.low << (64 - shift));
  exponent += shift;
  if (rounded == 0) {  // rounded up to the next power of two
    ++exponent;
    return kTopBit;
  }
  return rounded;
}

// A 64-bit significand with its top bit set, × 2^exponent, rounded to the 53 bits of a double's
// significand.
inline std::uint64_t roundTo53Bits(std::uint64_t significand, int& exponent) {
  constexpr int kDropped = 11;
  constexpr std::uint64_t kCarried = std::uint64_t{1} << 53;
  const std::uint64_t kept = significand >> kDropped;
  const std::uint64_t rounded = kept + roundingIncrement(kept, significand << (64 - kDropped));
  exponent += kDropped;
  if (rounded == kCarried) {  // rounded up to the next power of two
    ++exponent;
    return kCarried >> 1;
  }
  return rounded;
}

}  // namespace pokerhilfe::wide
