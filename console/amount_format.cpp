#include "console/amount_format.hpp"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <system_error>

namespace pokerhilfe {

namespace {

constexpr int kSignificantDigits = 6;

AmountText textOf(std::string_view literal) {
  AmountText text;
  literal.copy(text.chars.data(), literal.size());
  text.size = literal.size();
  return text;
}

// Told by the bits and not by std::isnan: a floating-point comparison of a signaling NaN raises
// the "invalid" flag, and formatting must leave the flags as it found them.
bool isNan(double amount) {
  constexpr std::uint64_t kSignBit = std::uint64_t{1} << 63;
  constexpr std::uint64_t kInfinityBits = 0x7FF0'0000'0000'0000;
  return (std::bit_cast<std::uint64_t>(amount) & ~kSignBit) > kInfinityBits;
}

}  // namespace

// std::to_chars in general notation with a precision rounds the exact binary value to the
// nearest, ties to even, and writes what printf's "%.6g" writes. Three things are ours: a
// negative zero is written without its sign, and infinities and NaNs get fixed texts, with the
// sign bit of a NaN shown.
AmountText formatAmount(double amount) {
  if (isNan(amount)) return textOf(std::signbit(amount) ? "-nan" : "nan");
  if (std::isinf(amount)) return textOf(amount < 0 ? "-inf" : "inf");
  if (amount == 0) return textOf("0");

  AmountText text;
  char* const first = text.chars.data();
  const std::to_chars_result result = std::to_chars(first, first + text.chars.size(), amount,
                                                    std::chars_format::general, kSignificantDigits);
  // Cannot fail: no finite double needs more than 13 characters in this notation.
  text.size = result.ec == std::errc{} ? static_cast<std::size_t>(result.ptr - first) : 0;
  return text;
}

}  // namespace pokerhilfe
