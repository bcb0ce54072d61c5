// The amount reader's conversion against the C library: strtod rounds correctly, ties to even,
// so the reader must give the very double that strtod gives for the same decimal cut to its
// first 17 significant digits. The numbers are random, of many shapes, and go through the whole
// reader: bytes in chunks from the system, the syntax, the conversion.

#include "console/decimal_number.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "console/input_stream.hpp"
#include "tests/virtual_system.hpp"

namespace pokerhilfe {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

std::uint64_t bitsOf(double value) {
  return std::bit_cast<std::uint64_t>(value);
}

// ---------------------------------------------------------------------------------------------
// The oracle, written from the number's text alone.

struct DecimalText {
  bool negative = false;
  std::string digits;  // integer and fraction digits, in order
  std::size_t integerDigits = 0;
  bool exponentNegative = false;
  std::string exponentDigits;  // empty when there is no exponent or it has no digits
};

bool isDigit(char byte) {
  return byte >= '0' && byte <= '9';
}

DecimalText parse(const std::string& text) {
  DecimalText number;
  std::size_t at = 0;
  if (text[at] == '+' || text[at] == '-') number.negative = text[at++] == '-';
  while (at < text.size() && isDigit(text[at])) number.digits += text[at++];
  number.integerDigits = number.digits.size();
  if (at < text.size() && text[at] == '.') {
    ++at;
    while (at < text.size() && isDigit(text[at])) number.digits += text[at++];
  }
  if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
    ++at;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
      number.exponentNegative = text[at++] == '-';
    }
    number.exponentDigits = text.substr(at);
  }
  return number;
}

// The exponent's value, or 341 for anything larger.
long exponentMagnitude(const std::string& digits) {
  const std::size_t first = digits.find_first_not_of('0');
  if (first == std::string::npos) return 0;
  if (digits.size() - first > 3) return 341;
  return std::min(std::stol(digits.substr(first)), 341L);
}

double expectedAmount(const std::string& text) {
  const DecimalText number = parse(text);
  const double sign = number.negative ? -1.0 : 1.0;
  const std::size_t first = number.digits.find_first_not_of('0');
  if (first == std::string::npos) return sign * 0.0;
  const long exponent = exponentMagnitude(number.exponentDigits);
  if (exponent > 340) return sign * (number.exponentNegative ? 0.0 : kInfinity);

  const std::string kept = number.digits.substr(first, 17);
  const long power = static_cast<long>(number.integerDigits) - static_cast<long>(first) -
                     static_cast<long>(kept.size()) +
                     (number.exponentNegative ? -exponent : exponent);
  const std::string truncated = kept + "e" + std::to_string(power);
  return sign * std::strtod(truncated.c_str(), nullptr);
}

// ---------------------------------------------------------------------------------------------
// Random numbers of many shapes.

class Random {
 public:
  explicit Random(std::uint64_t seed) : engine_(seed) {}

  std::uint64_t bits() { return engine_(); }
  // Uniform in [0, count), the same on every platform.
  std::uint64_t below(std::uint64_t count) { return engine_() % count; }
  long between(long low, long high) {
    return low + static_cast<long>(below(static_cast<std::uint64_t>(high - low + 1)));
  }
  bool oneIn(std::uint64_t count) { return below(count) == 0; }

  std::string digits(std::size_t count) {
    std::string text(count, '0');
    std::uint64_t pool = 0;  // one draw gives 19 digits
    for (std::size_t i = 0; i < count; ++i, pool /= 10) {
      if (i % 19 == 0) pool = engine_();
      text[i] = static_cast<char>('0' + pool % 10);
    }
    return text;
  }
  char nonZeroDigit() { return static_cast<char>('1' + below(9)); }

 private:
  std::mt19937_64 engine_;
};

// The digits written, where the point stands among them, and the exponent written.
struct Layout {
  std::string digits;
  std::size_t point;  // digits before the point
  long exponent;
};

// The power of ten of the first significant digit as written, without the exponent.
long leadingPower(const Layout& layout) {
  const std::size_t first = layout.digits.find_first_not_of('0');
  return static_cast<long>(layout.point) - 1 - static_cast<long>(first);
}

// Chooses the exponent so that the first significant digit stands at 10^target, within the
// exponents that decide nothing by themselves.
void placeAt(Layout& layout, long target) {
  layout.exponent = std::clamp(target - leadingPower(layout), -340L, 340L);
}

std::string exponentText(Random& random, long exponent) {
  std::string text(1, random.oneIn(2) ? 'e' : 'E');
  if (exponent < 0) {
    text += '-';
  } else if (random.oneIn(2)) {
    text += '+';
  }
  text += std::string(random.oneIn(8) ? random.below(30) : 0, '0');
  text += std::to_string(std::labs(exponent));
  return text;
}

std::string render(Random& random, const Layout& layout) {
  std::string text;
  const auto sign = random.below(3);
  if (sign == 1) text += '-';
  if (sign == 2) text += '+';
  text += layout.digits;
  if (layout.point < layout.digits.size() || random.oneIn(4)) {
    text.insert(text.size() - (layout.digits.size() - layout.point), 1, '.');
  }
  if (layout.exponent != 0 || random.oneIn(3)) text += exponentText(random, layout.exponent);
  return text;
}

// Moves the point anywhere in `digits` (padded with zeros in front) and compensates with the
// exponent, so that the value stays `digits` × 10^power.
Layout anyLayout(Random& random, std::string digits, long power, std::size_t zerosInFront) {
  digits.insert(0, zerosInFront, '0');
  Layout layout{digits, digits.size(), 0};
  layout.point = random.below(digits.size() + 1);
  layout.exponent = power + static_cast<long>(digits.size() - layout.point);
  // Keep the exponent within the limits, moving the point back where it would leave them.
  if (layout.exponent > 340) {
    const auto shift =
        std::min(digits.size() - layout.point, static_cast<std::size_t>(layout.exponent - 340));
    layout.point += shift;
    layout.exponent -= static_cast<long>(shift);
  }
  if (layout.exponent < -340) {
    const auto shift = std::min(layout.point, static_cast<std::size_t>(-340 - layout.exponent));
    layout.point -= shift;
    layout.exponent += static_cast<long>(shift);
  }
  return layout;
}

std::size_t someZeros(Random& random) {
  switch (random.below(16)) {
    case 0:
      return random.below(400);
    case 1:
    case 2:
    case 3:
      return random.below(20);
    default:
      return 0;
  }
}

// Short numbers with any point and a small exponent.
std::string shortNumber(Random& random) {
  Layout layout{random.digits(1 + random.below(20)), 0, 0};
  layout.point = random.below(layout.digits.size() + 1);
  if (layout.digits.find_first_not_of('0') == std::string::npos) layout.digits += '1';
  layout.exponent = random.oneIn(2) ? 0 : random.between(-30, 30);
  return render(random, layout);
}

// Tens to hundreds of digits, anywhere in the range of doubles.
std::string longNumber(Random& random) {
  Layout layout{std::string(1, random.nonZeroDigit()) + random.digits(17 + random.below(400)), 0,
                0};
  layout.digits.insert(0, someZeros(random), '0');
  layout.point = random.below(layout.digits.size() + 1);
  placeAt(layout, random.between(-330, 310));
  return render(random, layout);
}

// Many zeros before and after the point, in front of a few significant digits.
std::string leadingZeros(Random& random) {
  const std::size_t zeros = 1 + random.below(random.oneIn(3) ? 400 : 30);
  Layout layout{std::string(zeros, '0') + random.nonZeroDigit() + random.digits(random.below(25)),
                0, 0};
  layout.point = random.below(zeros + 1);
  placeAt(layout, random.oneIn(2) ? random.between(-330, 310) : random.between(-10, 10));
  return render(random, layout);
}

// A double of the given range.
double someDouble(Random& random) {
  constexpr std::uint64_t kLargest = 0x7FEFFFFFFFFFFFFF;
  constexpr std::uint64_t kSmallestNormal = 0x0010000000000000;
  switch (random.below(6)) {
    case 0:
      return std::bit_cast<double>(kLargest - random.below(4096));
    case 1:
      return std::bit_cast<double>(kSmallestNormal - 2048 + random.below(4096));
    case 2:
      return std::bit_cast<double>(random.below(4096));  // the smallest subnormals
    case 3:
      return std::bit_cast<double>(random.below(kSmallestNormal));  // any subnormal
    default:
      return std::bit_cast<double>(random.below(kLargest + 1));  // any finite double
  }
}

// Near a double or near the midpoint between it and the next one, the decimal cut at some
// length and perhaps nudged in its last digit. The midpoint is formed in long double, which
// holds it exactly where long double is wider than double.
std::string nearDouble(Random& random) {
  const double nearby = someDouble(random);
  long double value = nearby;
  if (random.oneIn(2)) {
    const bool largest = nearby == std::numeric_limits<double>::max();
    const long double gap = largest ? std::ldexp(1.0L, 971)
                                    : static_cast<long double>(std::nextafter(nearby, kInfinity)) -
                                          static_cast<long double>(nearby);
    value += gap / 2;
  }
  const int precision =
      static_cast<int>(random.oneIn(4) ? random.below(17) : 16 + random.below(30));
  char buffer[128];
  std::snprintf(buffer, sizeof buffer, "%.*Le", precision, value);
  const std::string text = buffer;  // d.ddde±xx, or de±xx
  const std::size_t letter = text.find('e');
  std::string digits = text.substr(0, letter);
  if (precision > 0) digits.erase(1, 1);
  const long power = std::stol(text.substr(letter + 1)) - static_cast<long>(digits.size() - 1);
  char& last = digits.back();
  if (random.oneIn(3) && last < '9') ++last;
  if (random.oneIn(3) && last > '0') --last;
  if (digits.find_first_not_of('0') == std::string::npos) digits = "1";
  return render(random, anyLayout(random, digits, power, someZeros(random)));
}

// Exact midpoints between two doubles that need no more than 17 digits: integers between 2^53
// and 10^17, and halves between 2^52 and 2^53.
std::string exactTie(Random& random) {
  constexpr std::uint64_t kTwoTo52 = std::uint64_t{1} << 52;
  if (random.oneIn(2)) {
    const std::uint64_t lower = kTwoTo52 + random.below(kTwoTo52);
    return render(random, anyLayout(random, std::to_string(lower) + "5", -1, someZeros(random)));
  }
  for (;;) {
    const int scale = 1 + static_cast<int>(random.below(4));  // doubles 2^scale apart
    const std::uint64_t lower = (kTwoTo52 + random.below(kTwoTo52)) << scale;
    const std::uint64_t tie = lower + (std::uint64_t{1} << (scale - 1));
    if (tie >= 100'000'000'000'000'000) continue;
    return render(random, anyLayout(random, std::to_string(tie), 0, someZeros(random)));
  }
}

// Exponents at and beyond the limits, up to thirty digits long.
std::string extremeExponent(Random& random) {
  std::string text = random.oneIn(2) ? "-" : "";
  text += random.digits(random.below(3));
  if (random.oneIn(2)) text += '.';
  text += random.digits(random.below(20));
  if (text.find_first_of("0123456789") == std::string::npos) text += random.nonZeroDigit();
  text += random.oneIn(2) ? "e" : "E";
  text += random.oneIn(2) ? "-" : "+";
  switch (random.below(3)) {
    case 0:
      text += std::to_string(random.between(339, 342));
      break;
    case 1:
      text += std::to_string(random.between(343, 100'000));
      break;
    default:
      text += std::string(random.below(5), '0') + random.nonZeroDigit() + random.digits(29);
  }
  return text;
}

// No significant digit, whatever the exponent.
std::string zerosOnly(Random& random) {
  Layout layout{std::string(1 + random.below(50), '0'), 0, 0};
  layout.point = random.below(layout.digits.size() + 1);
  layout.exponent = random.between(-400, 400);
  return render(random, layout);
}

// ---------------------------------------------------------------------------------------------
// Running the reader.

// What may follow the number on its line, none of which can continue it; empty: the input ends.
const char* const kFollowers[] = {"\n", " ", ",", "x", ""};

struct Mismatch {
  std::string text;
  double read;
  double expected;
};

class AmountConversion : public ::testing::Test {
 protected:
  // Reads `count` numbers of one shape, each from its own input, and compares.
  void compare(std::uint64_t seed, int count, const std::function<std::string(Random&)>& shape) {
    Random random(seed);
    for (int i = 0; i < count; ++i) {
      std::string text = shape(random);
      // Now and then an exponent letter without digits: the read fails, but stores the value.
      const bool withoutExponentDigits =
          text.find_first_of("eE") == std::string::npos && random.oneIn(50);
      if (withoutExponentDigits) text += random.oneIn(2) ? "e" : "E-";
      check(random, text, withoutExponentDigits);
      if (HasFatalFailure()) return;
    }
    for (const Mismatch& mismatch : mismatches_) {
      ADD_FAILURE() << mismatch.text << "\n  read     " << describe(mismatch.read)
                    << "\n  expected " << describe(mismatch.expected);
    }
    EXPECT_EQ(mismatchCount_, 0) << "of " << count;
  }

 private:
  static std::string describe(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.17g (bits %016llx)", value,
                  static_cast<unsigned long long>(bitsOf(value)));
    return buffer;
  }

  // The text in one to three reads, now and then with carriage returns in it, which the reader
  // drops.
  static std::vector<std::string> chunksOf(Random& random, const std::string& text) {
    std::string bytes = text;
    if (random.oneIn(20)) {
      for (std::size_t at = random.below(bytes.size()); at < bytes.size();
           at += 1 + random.below(8)) {
        bytes.insert(at++, 1, '\r');
      }
    }
    std::vector<std::string> chunks;
    std::size_t start = 0;
    for (std::uint64_t cuts = random.below(3); cuts > 0 && start < bytes.size(); --cuts) {
      const std::size_t size = 1 + random.below(bytes.size() - start);
      chunks.push_back(bytes.substr(start, size));
      start += size;
    }
    chunks.push_back(bytes.substr(start));
    return chunks;
  }

  void check(Random& random, const std::string& text, bool shouldFail) {
    const std::string follower = kFollowers[random.below(std::size(kFollowers))];
    testing::ScriptedInput input(chunksOf(random, text + follower));
    InputStream stream(input);
    double read = 0.0;
    stream.readAmount(read);
    const double expected = expectedAmount(text);
    if (bitsOf(read) != bitsOf(expected)) {
      if (mismatchCount_++ < 10) mismatches_.push_back({text, read, expected});
    }
    // The whole text was taken, and nothing after it.
    ASSERT_EQ(stream.hasFailed(), shouldFail) << text;
    ASSERT_EQ(stream.hasEnded(), follower.empty()) << text;
    if (!follower.empty()) {
      stream.takeByte(false);
      ASSERT_FALSE(stream.hasEnded()) << text;
      stream.takeByte(false);
      ASSERT_TRUE(stream.hasEnded()) << text;
    }
  }

  int mismatchCount_ = 0;
  std::vector<Mismatch> mismatches_;
};

TEST_F(AmountConversion, ShortNumbers) {
  compare(1, 150'000, shortNumber);
}

TEST_F(AmountConversion, LongDigitStrings) {
  compare(2, 15'000, longNumber);
}

TEST_F(AmountConversion, ManyLeadingZeros) {
  compare(3, 40'000, leadingZeros);
}

TEST_F(AmountConversion, NearDoublesAndMidpoints) {
  compare(4, 120'000, nearDouble);
}

TEST_F(AmountConversion, ExactTies) {
  compare(5, 50'000, exactTie);
}

TEST_F(AmountConversion, ExponentsAtAndBeyondLimits) {
  compare(6, 30'000, extremeExponent);
}

TEST_F(AmountConversion, ZerosOnly) {
  compare(7, 10'000, zerosOnly);
}

// The oracle itself, on numbers whose doubles are known.
TEST(AmountOracle, KnownValues) {
  EXPECT_EQ(expectedAmount("0.00123"), 0.00123);
  EXPECT_EQ(expectedAmount("12345678901234567891"), 12345678901234567000.0);
  EXPECT_EQ(expectedAmount("1000000000000000065"), 1e18);
  EXPECT_EQ(expectedAmount("-2.5e-1"), -0.25);
  EXPECT_EQ(expectedAmount("1e-341"), 0.0);
  EXPECT_EQ(expectedAmount("0.001e341"), kInfinity);
  EXPECT_EQ(expectedAmount("2.4703282292062328e-324"), std::numeric_limits<double>::denorm_min());
  EXPECT_EQ(bitsOf(expectedAmount("-000.0e999")), bitsOf(-0.0));
  EXPECT_EQ(expectedAmount("1e"), 1.0);
}

}  // namespace
}  // namespace pokerhilfe
