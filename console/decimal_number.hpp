#pragma once
// A decimal number as the amount reader takes it in, digit by digit, and its value as a double.
// Only the first 17 significant digits are kept; the rest only move the decimal point. All
// counters saturate, so a number of any length takes the same few bytes.

#include <array>
#include <cstdint>
#include <string_view>

namespace pokerhilfe {

class DecimalNumber {
 public:
  static constexpr int kKeptDigits = 17;
  // An exponent beyond this, either way, decides the value by itself: infinity or zero.
  static constexpr int kExponentLimit = 340;

  void setNegative() { negative_ = true; }
  void addIntegerDigit(char digit);
  void addFractionDigit(char digit);
  void setExponentNegative() { exponentNegative_ = true; }
  void addExponentDigit(char digit);

  // D × 10^P rounded to the nearest double, ties to even; subnormals included, infinity beyond
  // the largest double, and zero when there is no significant digit, whatever the exponent.
  // `written` is the number's text after its sign where the reader still has it in one piece,
  // or empty: when no digit was dropped, converting it as it stands is the shorter way.
  double value(std::string_view written = {}) const;

 private:
  bool hasSignificantDigit() const { return keptCount_ > 0; }
  double magnitude(std::string_view written) const;

  bool negative_ = false;
  std::array<char, kKeptDigits> kept_{};  // D, as its digits
  int keptCount_ = 0;
  bool droppedDigits_ = false;
  std::int64_t power_ = 0;  // P
  bool exponentNegative_ = false;
  std::int32_t exponent_ = 0;  // saturates just above kExponentLimit
};

}  // namespace pokerhilfe
