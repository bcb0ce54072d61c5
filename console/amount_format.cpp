#include "console/amount_format.hpp"

#include <bit>
#include <charconv>
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

// The kind of a double, told by its bits alone. A floating-point comparison would raise flags
// of its own: "invalid" for a signalling NaN, "denormal operand" for a subnormal, and
// formatting leaves the floating-point unit as it found it.
constexpr std::uint64_t kSignBit = std::uint64_t{1} << 63;
constexpr std::uint64_t kInfinityBits = 0x7FF0'0000'0000'0000;

std::uint64_t magnitudeBits(double amount) {
  return std::bit_cast<std::uint64_t>(amount) & ~kSignBit;
}
bool isNegative(double amount) {
  return (std::bit_cast<std::uint64_t>(amount) & kSignBit) != 0;
}

}  // namespace

// std::to_chars in general notation with a precision rounds the exact binary value to the
// nearest, ties to even, and writes what printf's "%.6g" writes. Three things are ours: a
// negative zero is written without its sign, and infinities and NaNs get fixed texts, with the
// sign bit of a NaN shown.
AmountText formatAmount(double amount) {
  const std::uint64_t magnitude = magnitudeBits(amount);
  if (magnitude > kInfinityBits) return textOf(isNegative(amount) ? "-nan" : "nan");
  if (magnitude == kInfinityBits) return textOf(isNegative(amount) ? "-inf" : "inf");
  if (magnitude == 0) return textOf("0");

  AmountText text;
  char* const first = text.chars.data();
  const std::to_chars_result result = std::to_chars(first, first + text.chars.size(), amount,
                                                    std::chars_format::general, kSignificantDigits);
  // Cannot fail: no finite double needs more than 13 characters in this notation.
  text.size = result.ec == std::errc{} ? static_cast<std::size_t>(result.ptr - first) : 0;
  return text;
}

}  // namespace pokerhilfe
