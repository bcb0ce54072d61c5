#pragma once
// The notation in which the program writes amounts: six significant digits in general notation,
// the full stop as decimal point, at least two exponent digits ('14', '66.6667', '4e+06').

#include <array>
#include <cstddef>
#include <string_view>

namespace pokerhilfe {

// The text of one amount; the longest is 13 characters ('-1.79769e+308').
struct AmountText {
  std::array<char, 16> chars{};
  std::size_t size = 0;

  std::string_view view() const { return {chars.data(), size}; }
};

// "inf" and "nan" for the values without digits, with a "-" for a set sign bit; "0" for both
// zeros; everything else rounded exactly to six significant digits, ties to even. Touches no
// floating-point setting.
AmountText formatAmount(double amount);

}  // namespace pokerhilfe
