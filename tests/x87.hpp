#pragma once
// The x87 unit's double-extended long double, where the compiler has it, as a reference for the
// formulas' own 64-bit arithmetic.

#include <cfloat>

#if (defined(__x86_64__) || defined(__i386__)) && LDBL_MANT_DIG == 64
#define POKERHILFE_HAVE_X87_LONG_DOUBLE 1

namespace pokerhilfe::x87 {

// Some systems set the x87 to round to 53 bits; then there is nothing to compare with.
inline bool roundsToSixtyFourBits() {
  const volatile long double one = 1.0L;
  const volatile long double lastBit = 0x1p-63L;
  const volatile long double sum = one + lastBit;
  return sum != one;
}

}  // namespace pokerhilfe::x87

#endif
