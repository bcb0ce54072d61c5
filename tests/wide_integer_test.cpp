// The 128-bit helpers of the formulas. Where the compiler has a 128-bit type of its own, the
// product uses it; the portable product, which other compilers use, must give the same bits.

#include "advice/wide_integer.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>

namespace pokerhilfe::wide {
namespace {

TEST(WideInteger, PortableProductIsExact) {
  constexpr std::uint64_t kAllOnes = ~std::uint64_t{0};
  struct Case {
    std::uint64_t left;
    std::uint64_t right;
    std::uint64_t high;
    std::uint64_t low;
  };
  const Case cases[] = {
      {0, kAllOnes, 0, 0},
      {1, kAllOnes, 0, kAllOnes},
      {kAllOnes, kAllOnes, kAllOnes - 1, 1},  // (2^64 - 1)^2 = 2^128 - 2^65 + 1
      {std::uint64_t{1} << 32, std::uint64_t{1} << 32, 1, 0},
      {0xFFFFFFFF, 0xFFFFFFFF, 0, 0xFFFFFFFE00000001},
      {std::uint64_t{1} << 63, 2, 1, 0},
  };
  for (const Case& c : cases) {
    const Wide product = multiplyPortably(c.left, c.right);
    EXPECT_EQ(product.high, c.high) << c.left << " * " << c.right;
    EXPECT_EQ(product.low, c.low) << c.left << " * " << c.right;
  }
}

TEST(WideInteger, ProductAgreesWithThePortableProduct) {
  std::mt19937_64 random(128);
  for (int i = 0; i < 1'000'000; ++i) {
    // Operands of every length, not only full 64-bit ones.
    const std::uint64_t left = random() >> (random() % 64);
    const std::uint64_t right = random() >> (random() % 64);
    const Wide fast = multiply(left, right);
    const Wide portable = multiplyPortably(left, right);
    ASSERT_EQ(fast.high, portable.high) << left << " * " << right;
    ASSERT_EQ(fast.low, portable.low) << left << " * " << right;
  }
}

}  // namespace
}  // namespace pokerhilfe::wide
