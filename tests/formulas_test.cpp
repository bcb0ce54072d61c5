#include "advice/formulas.hpp"

#include <gtest/gtest.h>

namespace pokerhilfe {
namespace {

TEST(Formulas, Smoke) {
  EXPECT_EQ(openingRaiseTarget(2, 3), 14);
  EXPECT_EQ(reraiseTarget(10, 2), 50);
  EXPECT_EQ(potBetTarget(30), 20);
}

}  // namespace
}  // namespace pokerhilfe
