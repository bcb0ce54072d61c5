// The amount notation on arbitrary doubles, against the C library's "%.6g": the program writes
// what printf writes, except that a negative zero is "0". glibc writes a NaN as "nan", or "-nan"
// when its sign bit is set, as the program does. formatAmount must also leave the
// floating-point settings as it found them.
//
// Fuzz input: the first eight bytes are the double, in the machine's byte order; a shorter
// input is padded with zero bytes.

#include <algorithm>
#include <bit>
#include <cfenv>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>

#if defined(__x86_64__) || defined(__i386__)
#include <xmmintrin.h>
#endif

#include "console/amount_format.hpp"
#include "fuzz/fuzz_script.hpp"

namespace {

using pokerhilfe::fuzzing::require;

constexpr std::size_t kLongestAmount = 13;  // '-1.79769e+308'

// The settings that the program's arithmetic depends on: the rounding mode, and on x86 the
// control words of the x87 unit (precision, rounding, exception masks) and of SSE. The status
// flags are not settings: an inexact conversion may well raise one.
struct FloatSettings {
  int rounding = 0;
  std::uint16_t x87Control = 0;
  std::uint32_t sseControl = 0;

  bool operator==(const FloatSettings&) const = default;
};

FloatSettings currentFloatSettings() {
  FloatSettings settings;
  settings.rounding = std::fegetround();
#if defined(__x86_64__) || defined(__i386__)
  __asm__ volatile("fnstcw %0" : "=m"(settings.x87Control));
  constexpr std::uint32_t kSseStatusFlags = 0x3F;
  settings.sseControl = _mm_getcsr() & ~kSseStatusFlags;
#endif
  return settings;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, data, std::min(size, sizeof bits));
  const double amount = std::bit_cast<double>(bits);

  const FloatSettings before = currentFloatSettings();
  const pokerhilfe::AmountText text = pokerhilfe::formatAmount(amount);
  require(currentFloatSettings() == before, "formatAmount leaves the floating-point settings");

  char expected[32];
  const int length = amount == 0 ? std::snprintf(expected, sizeof expected, "0")
                                 : std::snprintf(expected, sizeof expected, "%.6g", amount);
  require(length > 0 && static_cast<std::size_t>(length) <= kLongestAmount,
          "printf's text is no longer than the longest amount");
  require(text.view() == std::string_view(expected, static_cast<std::size_t>(length)),
          "formatAmount writes what printf(\"%.6g\") writes, a zero as \"0\"");
  return 0;
}
