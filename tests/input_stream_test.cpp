#include "console/input_stream.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "tests/virtual_system.hpp"

namespace pokerhilfe {
namespace {

using testing::ScriptedInput;

constexpr MenuChoice kChoiceSentinel = 123456789;
constexpr double kAmountSentinel = -777.25;
constexpr MenuChoice kLargestChoice = 4294967295;
constexpr double kInfinity = std::numeric_limits<double>::infinity();

// The two flags after a read.
enum class State { Good, Failed, Ended, EndedFailed };

State stateOf(const InputStream& stream) {
  if (stream.hasEnded()) return stream.hasFailed() ? State::EndedFailed : State::Ended;
  return stream.hasFailed() ? State::Failed : State::Good;
}

const char* nameOf(State state) {
  switch (state) {
    case State::Good:
      return "good";
    case State::Failed:
      return "failed";
    case State::Ended:
      return "ended";
    case State::EndedFailed:
      return "ended and failed";
  }
  return "?";
}

std::string escaped(const std::string& bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string text;
  for (const char byte : bytes) {
    const auto code = static_cast<unsigned char>(byte);
    if (code >= 0x20 && code < 0x7F && byte != '\\') {
      text += byte;
    } else {
      text += "\\x";
      text += kHex[code >> 4];
      text += kHex[code & 0xF];
    }
  }
  return text;
}

std::string escaped(const std::vector<std::string>& chunks) {
  std::string text;
  for (const std::string& chunk : chunks) text += "[" + escaped(chunk) + "]";
  return text;
}

std::uint64_t bitsOf(double value) {
  return std::bit_cast<std::uint64_t>(value);
}

// The bytes the reads get from these chunks: carriage returns removed, nothing from a Ctrl+Z or
// an empty read on.
std::string deliveredBytes(const std::vector<std::string>& chunks) {
  std::string bytes;
  for (const std::string& chunk : chunks) {
    if (chunk.empty()) return bytes;
    for (const char byte : chunk) {
      if (byte == '\x1A') return bytes;
      if (byte != '\r') bytes += byte;
    }
  }
  return bytes;
}

// Reads take bytes only from the front of the input, so what is still pending is a tail of the
// delivered bytes and its length tells which tail. The pause step counts them, one by one.
std::size_t countPendingBytes(InputStream& stream) {
  std::size_t count = 0;
  for (;;) {
    stream.takeByte(false);
    if (stream.hasEnded()) return count;
    ++count;
  }
}

void expectPendingAndState(const std::vector<std::string>& chunks, InputStream& stream,
                           const std::string& pending, State state) {
  EXPECT_STREQ(nameOf(stateOf(stream)), nameOf(state));
  ASSERT_TRUE(deliveredBytes(chunks).ends_with(pending)) << "bad table entry";
  EXPECT_EQ(countPendingBytes(stream), pending.size()) << "expected pending: " << escaped(pending);
}

// ---------------------------------------------------------------------------------------------
// The whole number of the menu.

struct ChoiceCase {
  const char* name;
  std::vector<std::string> chunks;
  std::optional<MenuChoice> stored;  // none: the variable keeps its value
  std::string pending;
  State state;
};

void PrintTo(const ChoiceCase& read, std::ostream* out) {
  *out << escaped(read.chunks);
}

class ChoiceRead : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(ChoiceRead, StoresTakesAndFlags) {
  const ChoiceCase& read = GetParam();
  ScriptedInput input(read.chunks);
  InputStream stream(input);
  MenuChoice choice = kChoiceSentinel;
  stream.readChoice(choice);
  EXPECT_EQ(choice, read.stored.value_or(kChoiceSentinel));
  expectPendingAndState(read.chunks, stream, read.pending, read.state);
}

const ChoiceCase kChoiceCases[] = {
    {"Plain", {"42\n"}, 42, "\n", State::Good},
    {"LeadingBlanks", {"  42\n"}, 42, "\n", State::Good},
    {"EveryBlankSkipped", {"\t\n\v\f\r \n42\n"}, 42, "\n", State::Good},
    {"EmptyLinesPassedOver", {"\n", "\n", "   \n", "42\n"}, 42, "\n", State::Good},
    {"Plus", {"+7\n"}, 7, "\n", State::Good},
    {"LeadingZeros", {"007\n"}, 7, "\n", State::Good},
    {"ManyLeadingZeros",
     {std::string(100, '0') + "4294967295\n"},
     kLargestChoice,
     "\n",
     State::Good},
    {"MinusOneWraps", {"-1\n"}, kLargestChoice, "\n", State::Good},
    {"Largest", {"4294967295\n"}, kLargestChoice, "\n", State::Good},
    {"MinusLargestIsOne", {"-4294967295\n"}, 1, "\n", State::Good},
    {"MinusZero", {"-0\n"}, 0, "\n", State::Good},
    {"JustAboveLargest", {"4294967296\n"}, kLargestChoice, "\n", State::Failed},
    {"TwentyNines", {"99999999999999999999\n"}, kLargestChoice, "\n", State::Failed},
    {"NegativeOverflow", {"-4294967296\n"}, kLargestChoice, "\n", State::Failed},
    {"NoOtherBase", {"0x10\n"}, 0, "x10\n", State::Good},
    {"CommaEnds", {"1,5\n"}, 1, ",5\n", State::Good},
    {"PointEnds", {"1.5\n"}, 1, ".5\n", State::Good},
    {"ExponentLetterEnds", {"1e3\n"}, 1, "e3\n", State::Good},
    {"BlankEnds", {"1 2\n"}, 1, " 2\n", State::Good},
    {"Letters", {"abc\n"}, std::nullopt, "abc\n", State::Failed},
    {"SignThenBlank", {"- 5\n"}, std::nullopt, " 5\n", State::Failed},
    {"SignThenLetter", {"-x\n"}, std::nullopt, "x\n", State::Failed},
    {"PointFirst", {".5\n"}, std::nullopt, ".5\n", State::Failed},
    {"TwoSigns", {"+-1\n"}, std::nullopt, "-1\n", State::Failed},
    {"HighByteIsNoBlank",
     {"\xFF"
      "5\n"},
     std::nullopt,
     "\xFF"
     "5\n",
     State::Failed},
    {"NonBreakingSpaceIsNoBlank",
     {"\xA0"
      "5\n"},
     std::nullopt,
     "\xA0"
     "5\n",
     State::Failed},
    {"NulIsNoBlank",
     {std::string("\0"
                  "5\n",
                  3)},
     std::nullopt,
     std::string("\0"
                 "5\n",
                 3),
     State::Failed},
    {"ByteAfterCarriageReturnIsNoBlank",
     {"\x0E"
      "5\n"},
     std::nullopt,
     "\x0E"
     "5\n",
     State::Failed},
    {"NothingAtAll", {}, std::nullopt, "", State::EndedFailed},
    {"BlanksThenEnd", {" \n\t\n"}, std::nullopt, "", State::EndedFailed},
    {"SignThenEnd", {"-"}, std::nullopt, "", State::EndedFailed},
    {"NumberThenEnd", {"42"}, 42, "", State::Ended},
    {"OverflowThenEnd", {"4294967296"}, kLargestChoice, "", State::EndedFailed},
    {"NumberAcrossReads", {"1", "2", "34\n"}, 1234, "\n", State::Good},
    {"CarriageReturnLineFeed", {"7\r\n"}, 7, "\n", State::Good},
    {"CarriageReturnAndLineFeedInTwoReads", {"7\r", "\n"}, 7, "\n", State::Good},
    {"CarriageReturnInsideNumber", {"1\r2\n"}, 12, "\n", State::Good},
    {"ReadOfOnlyCarriageReturnIsNoEnd", {"\r", "5\n"}, 5, "\n", State::Good},
    {"OnlyCarriageReturnsThenEnd", {"\r", "\r\r"}, std::nullopt, "", State::EndedFailed},
    {"CtrlZAfterNumber", {"5\x1A\n"}, 5, "", State::Ended},
    {"CtrlZInsideNumber",
     {"12\x1A"
      "34\n"},
     12,
     "",
     State::Ended},
    {"CtrlZFirst",
     {"\x1A"
      "5\n"},
     std::nullopt,
     "",
     State::EndedFailed},
    {"CtrlZLineAfterNumber", {"5\n", "\x1A\n", "6\n"}, 5, "\n", State::Good},
    {"EmptyReadIsTheEnd", {"5", "", "6\n"}, 5, "", State::Ended},
};

INSTANTIATE_TEST_SUITE_P(Cases, ChoiceRead, ::testing::ValuesIn(kChoiceCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------
// The decimal number of the amount prompts.

struct AmountCase {
  const char* name;
  std::vector<std::string> chunks;
  std::optional<double> stored;  // compared bit for bit; none: the variable keeps its value
  std::string pending;
  State state;
};

void PrintTo(const AmountCase& read, std::ostream* out) {
  *out << escaped(read.chunks);
}

class AmountRead : public ::testing::TestWithParam<AmountCase> {};

TEST_P(AmountRead, StoresTakesAndFlags) {
  const AmountCase& read = GetParam();
  ScriptedInput input(read.chunks);
  InputStream stream(input);
  double amount = kAmountSentinel;
  stream.readAmount(amount);
  const double expected = read.stored.value_or(kAmountSentinel);
  EXPECT_EQ(bitsOf(amount), bitsOf(expected)) << amount << " instead of " << expected;
  expectPendingAndState(read.chunks, stream, read.pending, read.state);
}

const AmountCase kAmountCases[] = {
    {"Fraction", {"2.5\n"}, 2.5, "\n", State::Good},
    {"NoIntegerPart", {".5\n"}, 0.5, "\n", State::Good},
    {"PointWithoutFraction", {"5.\n"}, 5.0, "\n", State::Good},
    {"Plus", {"+5\n"}, 5.0, "\n", State::Good},
    {"Minus", {"-2\n"}, -2.0, "\n", State::Good},
    {"MinusZero", {"-0\n"}, -0.0, "\n", State::Good},
    {"MinusZeroWithHugeExponent", {"-0e400\n"}, -0.0, "\n", State::Good},
    {"LeadingZeros", {"007\n"}, 7.0, "\n", State::Good},
    {"Exponent", {"1e3\n"}, 1000.0, "\n", State::Good},
    {"CapitalExponentWithPlus", {"1E+3\n"}, 1000.0, "\n", State::Good},
    {"NegativeExponent", {"2.5e-1\n"}, 0.25, "\n", State::Good},
    {"ZerosAfterPoint", {"0.00123\n"}, 0.00123, "\n", State::Good},
    {"ExponentWithLeadingZeros", {"1e0003\n"}, 1000.0, "\n", State::Good},
    {"TwentyDigits", {"12345678901234567891\n"}, 12345678901234567000.0, "\n", State::Good},
    {"TwentyNines", {"99999999999999999999\n"}, 99999999999999999000.0, "\n", State::Good},
    // The exact value lies above the midpoint 1e18 + 64; the dropped digits do not round.
    {"DroppedDigitsDoNotRound", {"1000000000000000065\n"}, 1e18, "\n", State::Good},
    // Above the midpoint between 1 and the next double; only 1.0000000000000001 is kept.
    {"DroppedFractionDigitsDoNotRound",
     {"1.00000000000000011102230246251566\n"},
     1.0,
     "\n",
     State::Good},
    {"AboveLargestChoice", {"4294967296\n"}, 4294967296.0, "\n", State::Good},
    {"MinusLargestChoice", {"-4294967295\n"}, -4294967295.0, "\n", State::Good},
    {"HugeExponent", {"1e400\n"}, kInfinity, "\n", State::Good},
    {"FirstExponentBeyondLimit", {"1e341\n"}, kInfinity, "\n", State::Good},
    {"ExponentBeyondLimitWithTinyDigits", {"0.0000000001e341\n"}, kInfinity, "\n", State::Good},
    {"ExponentAtLimitOverflows", {"1e340\n"}, kInfinity, "\n", State::Good},
    {"ExponentAtLimitWithTinyDigits",
     {"0." + std::string(33, '0') + "1e340\n"},
     1e306,
     "\n",
     State::Good},
    {"NegativeHugeExponent", {"-1e400\n"}, -kInfinity, "\n", State::Good},
    {"TinyExponent", {"1e-400\n"}, 0.0, "\n", State::Good},
    {"FirstExponentBelowLimit", {"1e-341\n"}, 0.0, "\n", State::Good},
    {"ExponentBelowLimitWithLargeDigits",
     {"1000000000000000000000e-341\n"},
     0.0,
     "\n",
     State::Good},
    {"ExponentAtLowerLimit", {"100000000000000000000e-340\n"}, 1e-320, "\n", State::Good},
    {"ZeroWithHugeExponent", {"0e400\n"}, 0.0, "\n", State::Good},
    {"Largest",
     {"1.7976931348623157e308\n"},
     std::numeric_limits<double>::max(),
     "\n",
     State::Good},
    {"BelowMidpointAboveLargest",
     {"1.7976931348623158e308\n"},
     std::numeric_limits<double>::max(),
     "\n",
     State::Good},
    {"AboveMidpointAboveLargest", {"1.7976931348623159e308\n"}, kInfinity, "\n", State::Good},
    {"SmallestNormal",
     {"2.2250738585072014e-308\n"},
     std::numeric_limits<double>::min(),
     "\n",
     State::Good},
    {"Subnormal", {"1e-320\n"}, 1e-320, "\n", State::Good},
    {"SmallestSubnormal",
     {"4.9406564584124654e-324\n"},
     std::numeric_limits<double>::denorm_min(),
     "\n",
     State::Good},
    {"JustAboveHalfSmallestSubnormal",
     {"2.4703282292062328e-324\n"},
     std::numeric_limits<double>::denorm_min(),
     "\n",
     State::Good},
    {"JustBelowHalfSmallestSubnormal", {"2.4703282292062327e-324\n"}, 0.0, "\n", State::Good},
    {"TieRoundsToEven", {"9007199254740993\n"}, 9007199254740992.0, "\n", State::Good},
    {"TieRoundsToEvenUpwards", {"9007199254740995\n"}, 9007199254740996.0, "\n", State::Good},
    {"SecondPoint", {"1.2.3\n"}, 1.2, ".3\n", State::Good},
    {"PointAfterExponent", {"1e3.5\n"}, 1000.0, ".5\n", State::Good},
    {"Comma", {"1,5\n"}, 1.0, ",5\n", State::Good},
    {"NoOtherBase", {"0x10\n"}, 0.0, "x10\n", State::Good},
    {"BlankInside", {"1 5\n"}, 1.0, " 5\n", State::Good},
    {"Infinity", {"inf\n"}, 0.0, "inf\n", State::Failed},
    {"NotANumber", {"nan\n"}, 0.0, "nan\n", State::Failed},
    {"Letters", {"abc\n"}, 0.0, "abc\n", State::Failed},
    {"OnlyPoint", {".\n"}, 0.0, "\n", State::Failed},
    {"OnlyMinus", {"-\n"}, 0.0, "\n", State::Failed},
    {"MinusPoint", {"-.\n"}, 0.0, "\n", State::Failed},
    {"PointThenLetter", {".x\n"}, 0.0, "x\n", State::Failed},
    {"MinusThenLetter", {"-x\n"}, 0.0, "x\n", State::Failed},
    {"MinusThenBlank", {"- 5\n"}, 0.0, " 5\n", State::Failed},
    {"ExponentLetterNotLookedAtWithoutDigits", {".e5\n"}, 0.0, "e5\n", State::Failed},
    {"ExponentAlone", {"e5\n"}, 0.0, "e5\n", State::Failed},
    {"ExponentWithoutDigits", {"1e\n"}, 1.0, "\n", State::Failed},
    {"ExponentSignWithoutDigits", {"1e+\n"}, 1.0, "\n", State::Failed},
    {"NegativeExponentSignWithoutDigits", {"2.5e-\n"}, 2.5, "\n", State::Failed},
    {"ExponentThenLetter", {"1ex\n"}, 1.0, "x\n", State::Failed},
    {"NothingAtAll", {}, std::nullopt, "", State::EndedFailed},
    {"BlanksThenEnd", {"  \n \n"}, std::nullopt, "", State::EndedFailed},
    {"MinusThenEnd", {"-"}, 0.0, "", State::EndedFailed},
    {"PointThenEnd", {"."}, 0.0, "", State::EndedFailed},
    {"MinusPointThenEnd", {"-."}, 0.0, "", State::EndedFailed},
    {"ExponentLetterThenEnd", {"1e"}, 1.0, "", State::EndedFailed},
    {"ExponentSignThenEnd", {"1e-"}, 1.0, "", State::EndedFailed},
    {"NumberThenEnd", {"2.5"}, 2.5, "", State::Ended},
    {"PointThenEndAfterDigits", {"5."}, 5.0, "", State::Ended},
    {"ExponentThenEnd", {"1e3"}, 1000.0, "", State::Ended},
    {"NumberAcrossReads", {"1", ".", "2", "5e", "+", "1\n"}, 12.5, "\n", State::Good},
    {"CarriageReturnsInsideNumber", {"2\r.\r5\r\n"}, 2.5, "\n", State::Good},
    {"CtrlZInsideFraction",
     {"2.5\x1A"
      "7\n"},
     2.5,
     "",
     State::Ended},
    {"CtrlZAfterExponentLetter",
     {"2e\x1A"
      "7\n"},
     2.0,
     "",
     State::EndedFailed},
};

INSTANTIATE_TEST_SUITE_P(Cases, AmountRead, ::testing::ValuesIn(kAmountCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------
// The steps of the pause take one byte each, whatever it is.

struct PauseStepCase {
  const char* name;
  std::vector<std::string> chunks;
  bool endIsFailure;  // the second step of the pause
  std::string pending;
  State state;
};

void PrintTo(const PauseStepCase& step, std::ostream* out) {
  *out << escaped(step.chunks);
}

class PauseStep : public ::testing::TestWithParam<PauseStepCase> {};

TEST_P(PauseStep, TakesOneByteOrMeetsTheEnd) {
  const PauseStepCase& step = GetParam();
  ScriptedInput input(step.chunks);
  InputStream stream(input);
  stream.takeByte(step.endIsFailure);
  expectPendingAndState(step.chunks, stream, step.pending, step.state);
}

const PauseStepCase kPauseStepCases[] = {
    {"LineFeed", {"\n"}, false, "", State::Good},
    {"BlankIsNotSkipped", {" 5\n"}, false, "5\n", State::Good},
    {"AnyByte", {"12\n"}, true, "2\n", State::Good},
    {"CarriageReturnDropped", {"\r", "\n"}, true, "", State::Good},
    {"FirstStepAtEnd", {}, false, "", State::Ended},
    {"SecondStepAtEnd", {}, true, "", State::EndedFailed},
    {"CtrlZ", {"\x1A\n"}, true, "", State::EndedFailed},
};

INSTANTIATE_TEST_SUITE_P(Cases, PauseStep, ::testing::ValuesIn(kPauseStepCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------
// Reads one after the other on the same bytes.

TEST(InputStream, WholeNumberLeavesFractionForAmount) {
  ScriptedInput input({"1.5\n"});
  InputStream stream(input);
  MenuChoice choice = kChoiceSentinel;
  double amount = kAmountSentinel;
  stream.readChoice(choice);
  stream.readAmount(amount);
  EXPECT_EQ(choice, 1u);
  EXPECT_EQ(amount, 0.5);
  EXPECT_EQ(input.reads(), 1);
  EXPECT_EQ(stateOf(stream), State::Good);
}

TEST(InputStream, OneLineAnswersMenuAndBothPrompts) {
  ScriptedInput input({"1 100 2\n", "\n"});
  InputStream stream(input);
  MenuChoice choice = kChoiceSentinel;
  double bigBlind = kAmountSentinel;
  double players = kAmountSentinel;
  stream.readChoice(choice);
  stream.readAmount(bigBlind);
  stream.readAmount(players);
  stream.takeByte(false);
  EXPECT_EQ(input.reads(), 1) << "the line end was pending";
  stream.takeByte(true);
  EXPECT_EQ(input.reads(), 2) << "the second step waits for a line";
  EXPECT_EQ(choice, 1u);
  EXPECT_EQ(bigBlind, 100.0);
  EXPECT_EQ(players, 2.0);
  EXPECT_EQ(countPendingBytes(stream), 0u);
}

TEST(InputStream, FailedReadLeavesFlagsUntilCleared) {
  ScriptedInput input({"abc\n7\n"});
  InputStream stream(input);
  MenuChoice choice = kChoiceSentinel;
  stream.readChoice(choice);
  ASSERT_EQ(stateOf(stream), State::Failed);
  EXPECT_TRUE(stream.discardLine());
  EXPECT_EQ(stateOf(stream), State::Failed) << "only the console clears it";
  stream.clearFailure();
  stream.readChoice(choice);
  EXPECT_EQ(choice, 7u);
  EXPECT_EQ(stateOf(stream), State::Good);
}

TEST(InputStream, DiscardLineStopsAfterLineFeedWithoutWaiting) {
  ScriptedInput input({"abc def\n", "5\n"});
  InputStream stream(input);
  EXPECT_TRUE(stream.discardLine());
  EXPECT_EQ(input.reads(), 1);
  EXPECT_EQ(stateOf(stream), State::Good);
  MenuChoice choice = kChoiceSentinel;
  stream.readChoice(choice);
  EXPECT_EQ(choice, 5u);
}

TEST(InputStream, DiscardLineMeetsTheEnd) {
  ScriptedInput input({"abc", " def"});
  InputStream stream(input);
  EXPECT_FALSE(stream.discardLine());
  EXPECT_TRUE(stream.hasEnded());
}

// ---------------------------------------------------------------------------------------------
// The end of the input is for good, and the system is not asked again once it has told it.

TEST(InputStream, CtrlZEndsWithoutAskingTheSystemAgain) {
  ScriptedInput input(
      {"5\x1A"
       "6\n",
       "7\n"});
  InputStream stream(input);
  MenuChoice choice = kChoiceSentinel;
  stream.readChoice(choice);
  EXPECT_EQ(choice, 5u);
  EXPECT_EQ(stateOf(stream), State::Ended);
  stream.readChoice(choice);
  stream.takeByte(true);
  EXPECT_FALSE(stream.discardLine());
  EXPECT_EQ(choice, 5u);
  EXPECT_EQ(stateOf(stream), State::EndedFailed);
  EXPECT_EQ(input.reads(), 1);
}

TEST(InputStream, EmptyReadEndsForGood) {
  ScriptedInput input({"5", "", "7\n"});
  InputStream stream(input);
  MenuChoice choice = kChoiceSentinel;
  stream.readChoice(choice);
  stream.readChoice(choice);
  double amount = kAmountSentinel;
  stream.readAmount(amount);
  stream.takeByte(false);
  EXPECT_EQ(choice, 5u);
  EXPECT_EQ(amount, kAmountSentinel);
  EXPECT_EQ(input.reads(), 2);
  EXPECT_FALSE(input.exhausted()) << "'7' is never read";
}

TEST(InputStream, EndReportedOnceBySystem) {
  ScriptedInput input({"5"});
  InputStream stream(input);
  MenuChoice choice = kChoiceSentinel;
  stream.readChoice(choice);
  input.add("7\n");  // typed too late: the system had already reported the end
  for (int attempt = 0; attempt < 3; ++attempt) {
    stream.readChoice(choice);
    stream.takeByte(false);
  }
  EXPECT_EQ(choice, 5u);
  EXPECT_EQ(input.readsAtEnd(), 1);
  EXPECT_EQ(input.reads(), 2);
}

// ---------------------------------------------------------------------------------------------
// Numbers far longer than any buffer are read as they stream past.

constexpr std::size_t kLongLine = 10'000'000;

// A line cut into reads of awkward sizes.
std::vector<std::string> chunksOf(const std::string& line) {
  std::vector<std::string> chunks;
  const std::size_t sizes[] = {1, 4095, 4096, 4097, 777, 13};
  for (std::size_t start = 0, next = 0; start < line.size(); start += chunks.back().size()) {
    chunks.push_back(line.substr(start, sizes[next++ % std::size(sizes)]));
  }
  return chunks;
}

std::string repeatedDigits(std::size_t count) {
  std::string digits;
  digits.reserve(count);
  for (std::size_t i = 0; i < count; ++i) digits += static_cast<char>('0' + (i + 1) % 10);
  return digits;
}

TEST(InputStream, AmountWithTenMillionFractionDigits) {
  ScriptedInput input(chunksOf("0." + repeatedDigits(kLongLine) + "\n"));
  InputStream stream(input);
  double amount = kAmountSentinel;
  stream.readAmount(amount);
  EXPECT_EQ(amount, 0.12345678901234567);
  EXPECT_EQ(countPendingBytes(stream), 1u);
}

TEST(InputStream, AmountWithTenMillionLeadingZeros) {
  ScriptedInput input(chunksOf(std::string(kLongLine, '0') + "123.5\n"));
  InputStream stream(input);
  double amount = kAmountSentinel;
  stream.readAmount(amount);
  EXPECT_EQ(amount, 123.5);
}

TEST(InputStream, AmountWithTenMillionIntegerDigitsScaledBack) {
  // 1.2345678901234567 × 10^(10^7 − 1) × 10^(−340) is still far beyond the largest double; the
  // point is that a digit count this large neither wraps nor stops the reader.
  ScriptedInput input(chunksOf(repeatedDigits(kLongLine) + "e-340\n"));
  InputStream stream(input);
  double amount = kAmountSentinel;
  stream.readAmount(amount);
  EXPECT_EQ(amount, kInfinity);
  EXPECT_EQ(stateOf(stream), State::Good);
}

TEST(InputStream, AmountWithTenMillionZerosAfterPoint) {
  ScriptedInput input(chunksOf("0." + std::string(kLongLine, '0') + "1e340\n"));
  InputStream stream(input);
  double amount = kAmountSentinel;
  stream.readAmount(amount);
  EXPECT_EQ(bitsOf(amount), bitsOf(0.0));
}

TEST(InputStream, ChoiceWithTenMillionDigits) {
  ScriptedInput input(chunksOf(std::string(kLongLine, '0') + "7 " + repeatedDigits(kLongLine)));
  InputStream stream(input);
  MenuChoice choice = kChoiceSentinel;
  stream.readChoice(choice);
  EXPECT_EQ(choice, 7u);
  stream.readChoice(choice);
  EXPECT_EQ(choice, kLargestChoice);
  EXPECT_EQ(stateOf(stream), State::EndedFailed);
}

struct LongExponentCase {
  const char* name;
  std::string exponent;
  double stored;
};

TEST(InputStream, ExponentOfAMillionDigits) {
  constexpr std::size_t kDigits = 1'000'000;
  const LongExponentCase cases[] = {
      {"zeros then 5", std::string(kDigits, '0') + "5", 1e5},
      {"zeros then -5", "-" + std::string(kDigits, '0') + "5", 1e-5},
      {"nines", std::string(kDigits, '9'), kInfinity},
      {"negative nines", "-" + std::string(kDigits, '9'), 0.0},
  };
  for (const LongExponentCase& exponent : cases) {
    SCOPED_TRACE(exponent.name);
    ScriptedInput input(chunksOf("1e" + exponent.exponent + "\n"));
    InputStream stream(input);
    double amount = kAmountSentinel;
    stream.readAmount(amount);
    EXPECT_EQ(bitsOf(amount), bitsOf(exponent.stored));
    EXPECT_EQ(stateOf(stream), State::Good);
    EXPECT_EQ(countPendingBytes(stream), 1u);
  }
}

}  // namespace
}  // namespace pokerhilfe
