#include "console/console.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <ostream>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "tests/virtual_system.hpp"

namespace pokerhilfe {
namespace {

using testing::RecordingOutput;
using testing::ScriptedInput;
using testing::VirtualConsole;
using testing::VirtualScreen;

const char* nameOf(InputResult result) {
  switch (result) {
    case InputResult::Delivered:
      return "Delivered";
    case InputResult::Rejected:
      return "Rejected";
    case InputResult::Ended:
      return "Ended";
  }
  return "?";
}

std::string escaped(const std::vector<std::string>& chunks) {
  std::string text;
  for (const std::string& chunk : chunks) {
    text += '[';
    for (const char byte : chunk) {
      if (byte == '\n') {
        text += "\\n";
      } else if (byte == '\r') {
        text += "\\r";
      } else if (byte == '\x1A') {
        text += "^Z";
      } else {
        text += byte;
      }
    }
    text += ']';
  }
  return text;
}

// The three input operations, each with a variable of its own where it has one.
enum class Operation { Choice, Amount, Pause };

const char* nameOf(Operation operation) {
  switch (operation) {
    case Operation::Choice:
      return "readChoice";
    case Operation::Amount:
      return "readAmount";
    case Operation::Pause:
      return "waitForEnter";
  }
  return "?";
}

const Operation kOperations[] = {Operation::Choice, Operation::Amount, Operation::Pause};

InputResult run(Console& console, Operation operation) {
  MenuChoice choice = 0;
  double amount = 0.0;
  switch (operation) {
    case Operation::Choice:
      return console.readChoice(choice);
    case Operation::Amount:
      return console.readAmount(amount);
    case Operation::Pause:
      return console.waitForEnter();
  }
  return InputResult::Ended;
}

// Standard input that notes, whenever the system is asked for bytes, what standard output had
// received by then.
class OutputNotingInput final : public ByteInput {
 public:
  OutputNotingInput(std::vector<std::string> chunks, const RecordingOutput& output)
      : input_(std::move(chunks)), output_(output) {}

  std::size_t read(char* buffer, std::size_t capacity) override {
    outputAtReads_.push_back(output_.bytes());
    return input_.read(buffer, capacity);
  }

  const std::vector<std::string>& outputAtReads() const { return outputAtReads_; }

 private:
  ScriptedInput input_;
  const RecordingOutput& output_;
  std::vector<std::string> outputAtReads_;
};

// Standard output redirected, so that everything written waits in the buffer until a flush.
struct NotingConsole {
  explicit NotingConsole(std::vector<std::string> chunks) : input(std::move(chunks), output) {}

  RecordingOutput output{false};
  OutputNotingInput input;
  VirtualScreen screen{80, 25, 0x07};
  Console console{input, output, screen};
};

// ---------------------------------------------------------------------------------------------
// Flushing before waiting.

TEST(ConsoleInput, EveryOperationFlushesRightBeforeItWaits) {
  for (const Operation operation : kOperations) {
    SCOPED_TRACE(nameOf(operation));
    NotingConsole terminal({"1\n\n"});
    terminal.console.writeText("Auswahl: ");
    EXPECT_EQ(terminal.output.bytes(), "") << "held back until the read";
    EXPECT_EQ(run(terminal.console, operation), InputResult::Delivered);
    ASSERT_FALSE(terminal.input.outputAtReads().empty());
    EXPECT_EQ(terminal.input.outputAtReads().front(), "Auswahl: ");
  }
}

TEST(ConsoleInput, EveryOperationFlushesAlsoWhenBytesArePending) {
  NotingConsole terminal({"1 100\n\n"});
  MenuChoice choice = 0;
  double amount = 0.0;
  terminal.console.writeText("Auswahl: ");
  ASSERT_EQ(terminal.console.readChoice(choice), InputResult::Delivered);
  terminal.console.writeText("Big Blind: ");
  EXPECT_EQ(terminal.output.bytes(), "Auswahl: ");
  ASSERT_EQ(terminal.console.readAmount(amount), InputResult::Delivered);
  EXPECT_EQ(terminal.output.bytes(), "Auswahl: Big Blind: ");
  terminal.console.writeText("Weiter");
  ASSERT_EQ(terminal.console.waitForEnter(), InputResult::Delivered);
  EXPECT_EQ(terminal.output.bytes(), "Auswahl: Big Blind: Weiter");
  EXPECT_EQ(terminal.input.outputAtReads().size(), 1u) << "everything came in one line";
}

// ---------------------------------------------------------------------------------------------
// The end of the input.

TEST(ConsoleInput, AfterTheEndEveryOperationEndsWithoutFlushingOrReading) {
  for (const Operation operation : kOperations) {
    SCOPED_TRACE(nameOf(operation));
    VirtualConsole terminal({"5"});
    MenuChoice choice = 9;
    ASSERT_EQ(terminal.console.readChoice(choice), InputResult::Delivered);
    const int reads = terminal.input.reads();
    terminal.console.writeText("Auswahl: ");
    EXPECT_EQ(run(terminal.console, operation), InputResult::Ended);
    EXPECT_EQ(run(terminal.console, operation), InputResult::Ended);
    EXPECT_EQ(terminal.output.bytes(), "") << "nothing flushed";
    EXPECT_EQ(terminal.input.reads(), reads) << "the system is not asked again";
  }
}

struct ReadCase {
  const char* name;
  Operation operation;
  std::vector<std::string> chunks;
  InputResult result;
};

void PrintTo(const ReadCase& read, std::ostream* out) {
  *out << nameOf(read.operation) << " on " << escaped(read.chunks);
}

class ReadAtTheEnd : public ::testing::TestWithParam<ReadCase> {};

// The result of the read, then every operation after it is Ended, without asking the system.
TEST_P(ReadAtTheEnd, EndsTheInputForGood) {
  const ReadCase& read = GetParam();
  VirtualConsole terminal(read.chunks);
  EXPECT_STREQ(nameOf(run(terminal.console, read.operation)), nameOf(read.result));
  const int reads = terminal.input.reads();
  for (const Operation operation : kOperations) {
    EXPECT_EQ(run(terminal.console, operation), InputResult::Ended) << nameOf(operation);
  }
  EXPECT_EQ(terminal.input.reads(), reads);
  EXPECT_LE(terminal.input.readsAtEnd(), 1);
}

const ReadCase kReadsAtTheEnd[] = {
    // A complete number right at the end is delivered.
    {"ChoiceThenEnd", Operation::Choice, {"5"}, InputResult::Delivered},
    {"ChoiceThenCtrlZ", Operation::Choice, {"5\x1A\n"}, InputResult::Delivered},
    {"ChoiceThenEmptyRead", Operation::Choice, {"5", "", "6\n"}, InputResult::Delivered},
    {"AmountThenEnd", Operation::Amount, {"2.5"}, InputResult::Delivered},
    {"AmountWithExponentThenEnd", Operation::Amount, {"2.5e3"}, InputResult::Delivered},
    // A read that fails because the input ended.
    {"ChoiceOnNothing", Operation::Choice, {}, InputResult::Ended},
    {"ChoiceOnBlanks", Operation::Choice, {" \n\t\n", "\r\n"}, InputResult::Ended},
    {"ChoiceOnSign", Operation::Choice, {"-"}, InputResult::Ended},
    {"ChoiceOverflowThenEnd", Operation::Choice, {"4294967296"}, InputResult::Ended},
    {"ChoiceOnCtrlZLine", Operation::Choice, {"\x1A\n", "5\n"}, InputResult::Ended},
    {"AmountOnNothing", Operation::Amount, {}, InputResult::Ended},
    {"AmountOnSign", Operation::Amount, {"-"}, InputResult::Ended},
    {"AmountOnPoint", Operation::Amount, {"."}, InputResult::Ended},
    {"AmountOnExponentLetter", Operation::Amount, {"1e"}, InputResult::Ended},
    {"AmountOnExponentSign", Operation::Amount, {"1e+"}, InputResult::Ended},
    // A read that fails while input is left, and the end comes inside the line thrown away.
    {"ChoiceOnLetters", Operation::Choice, {"abc"}, InputResult::Ended},
    {"ChoiceOnLettersInTwoReads", Operation::Choice, {"abc", " def"}, InputResult::Ended},
    {"ChoiceOnSignThenBlank", Operation::Choice, {"- 5"}, InputResult::Ended},
    {"ChoiceOnLettersThenCtrlZ", Operation::Choice, {"abc\x1A\n", "5\n"}, InputResult::Ended},
    {"AmountOnLetters", Operation::Amount, {"abc"}, InputResult::Ended},
    {"AmountOnExponentLetterThenLetter", Operation::Amount, {"1ex"}, InputResult::Ended},
    // The pause.
    {"PauseOnNothing", Operation::Pause, {}, InputResult::Ended},
    {"PauseWithOneByteLeft", Operation::Pause, {"\n"}, InputResult::Ended},
    {"PauseWithCarriageReturnLeft", Operation::Pause, {"\r\n", "\r"}, InputResult::Ended},
    {"PauseOnCtrlZ", Operation::Pause, {"\x1A"}, InputResult::Ended},
};

INSTANTIATE_TEST_SUITE_P(Cases, ReadAtTheEnd, ::testing::ValuesIn(kReadsAtTheEnd),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ConsoleInput, EndedReadLeavesNothingToFlushLater) {
  // What was written before the read that met the end went out with that read; what is
  // written after it stays with the program, which is about to finish.
  VirtualConsole terminal({"abc"});
  MenuChoice choice = 0;
  terminal.console.writeText("Auswahl: ");
  EXPECT_EQ(terminal.console.readChoice(choice), InputResult::Ended);
  EXPECT_EQ(terminal.output.bytes(), "Auswahl: ");
}

// ---------------------------------------------------------------------------------------------
// Input that is not a number, with more input after it.

struct RejectedCase {
  const char* name;
  Operation operation;
  std::vector<std::string> chunks;  // the rejected line, then the line with the answer
  double answer;                    // read by the same operation again
};

void PrintTo(const RejectedCase& read, std::ostream* out) {
  *out << nameOf(read.operation) << " on " << escaped(read.chunks);
}

class RejectedLine : public ::testing::TestWithParam<RejectedCase> {};

TEST_P(RejectedLine, IsThrownAwayUpToItsLineEnd) {
  const RejectedCase& read = GetParam();
  VirtualConsole terminal(read.chunks);
  MenuChoice choice = 0;
  double amount = 0.0;
  const auto readAgain = [&] {
    return read.operation == Operation::Choice ? terminal.console.readChoice(choice)
                                               : terminal.console.readAmount(amount);
  };
  EXPECT_EQ(readAgain(), InputResult::Rejected);
  EXPECT_EQ(terminal.input.reads(), 1) << "the line end was the last byte taken";
  EXPECT_EQ(readAgain(), InputResult::Delivered);
  EXPECT_EQ(read.operation == Operation::Choice ? choice : amount, read.answer);
  // The answer's line end is the pause's first byte; its second meets the end.
  EXPECT_EQ(terminal.console.waitForEnter(), InputResult::Ended);
}

const RejectedCase kRejectedLines[] = {
    {"ChoiceLetters", Operation::Choice, {"abc\n", "5\n"}, 5},
    {"ChoiceLettersThenDigits", Operation::Choice, {"abc 7 8\n", "5\n"}, 5},
    {"ChoiceSignThenBlank", Operation::Choice, {"- 5\n", "2\n"}, 2},
    {"ChoicePoint", Operation::Choice, {".5\n", "2\n"}, 2},
    {"ChoiceOverflow", Operation::Choice, {"4294967296 3\n", "2\n"}, 2},
    {"ChoiceSignAtLineEnd", Operation::Choice, {"-\n", "2\n"}, 2},
    {"ChoiceAfterEmptyLines", Operation::Choice, {"\n\n x\r\n", "2\r\n"}, 2},
    {"AmountLetters", Operation::Amount, {"abc\n", "2.5\n"}, 2.5},
    {"AmountPointThenLetter", Operation::Amount, {".x\n", "2.5\n"}, 2.5},
    {"AmountSignThenLetter", Operation::Amount, {"-x\n", "2.5\n"}, 2.5},
    {"AmountExponentWithoutDigits", Operation::Amount, {"1e\n", "2.5\n"}, 2.5},
    {"AmountExponentSignThenLetter", Operation::Amount, {"1e+x 4\n", "2.5\n"}, 2.5},
    {"AmountWord", Operation::Amount, {"inf\n", "2.5\n"}, 2.5},
};

INSTANTIATE_TEST_SUITE_P(Cases, RejectedLine, ::testing::ValuesIn(kRejectedLines),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ConsoleInput, RejectedLineInOneReadWithTheAnswer) {
  VirtualConsole terminal({"abc\n5\n"});
  MenuChoice choice = 0;
  EXPECT_EQ(terminal.console.readChoice(choice), InputResult::Rejected);
  EXPECT_EQ(terminal.console.readChoice(choice), InputResult::Delivered);
  EXPECT_EQ(choice, 5u);
}

// ---------------------------------------------------------------------------------------------
// The pause. The chunks of the scripted input show whether a step had to wait for a new line.

TEST(ConsolePause, AfterNumberAndEnterWaitsForOneMoreLine) {
  VirtualConsole terminal({"100\n", "\n"});
  double amount = 0.0;
  ASSERT_EQ(terminal.console.readAmount(amount), InputResult::Delivered);
  EXPECT_EQ(terminal.input.reads(), 1);
  EXPECT_EQ(terminal.console.waitForEnter(), InputResult::Delivered);
  EXPECT_EQ(terminal.input.reads(), 2);
  EXPECT_TRUE(terminal.input.exhausted());
  MenuChoice choice = 0;
  EXPECT_EQ(terminal.console.readChoice(choice), InputResult::Ended) << "nothing was left";
}

TEST(ConsolePause, AfterNumberAndBlankDoesNotWait) {
  VirtualConsole terminal({"100 \n", "7\n"});
  double amount = 0.0;
  ASSERT_EQ(terminal.console.readAmount(amount), InputResult::Delivered);
  EXPECT_EQ(terminal.console.waitForEnter(), InputResult::Delivered);
  EXPECT_EQ(terminal.input.reads(), 1);
  MenuChoice choice = 0;
  EXPECT_EQ(terminal.console.readChoice(choice), InputResult::Delivered);
  EXPECT_EQ(choice, 7u);
}

TEST(ConsolePause, TypedDigitsStayForTheMenu) {
  VirtualConsole terminal({"100\n", "12\n", "3\n"});
  double amount = 0.0;
  ASSERT_EQ(terminal.console.readAmount(amount), InputResult::Delivered);
  EXPECT_EQ(terminal.console.waitForEnter(), InputResult::Delivered);
  MenuChoice choice = 0;
  EXPECT_EQ(terminal.console.readChoice(choice), InputResult::Delivered);
  EXPECT_EQ(choice, 2u);
  EXPECT_EQ(terminal.input.reads(), 2) << "'2' was pending";
}

TEST(ConsolePause, OneLineAnswersMenuAndBothPrompts) {
  VirtualConsole terminal({"1 100 2\n", "\n"});
  MenuChoice choice = 0;
  double bigBlind = 0.0;
  double players = 0.0;
  EXPECT_EQ(terminal.console.readChoice(choice), InputResult::Delivered);
  EXPECT_EQ(terminal.console.readAmount(bigBlind), InputResult::Delivered);
  EXPECT_EQ(terminal.console.readAmount(players), InputResult::Delivered);
  EXPECT_EQ(terminal.input.reads(), 1);
  EXPECT_EQ(terminal.console.waitForEnter(), InputResult::Delivered);
  EXPECT_EQ(terminal.input.reads(), 2);
  EXPECT_EQ(choice, 1u);
  EXPECT_EQ(bigBlind, 100.0);
  EXPECT_EQ(players, 2.0);
}

TEST(ConsolePause, CarriageReturnLineFeedLinesAsLineFeeds) {
  VirtualConsole terminal({"100\r", "\n", "\r\n", "3\r\n"});
  double amount = 0.0;
  MenuChoice choice = 0;
  ASSERT_EQ(terminal.console.readAmount(amount), InputResult::Delivered);
  EXPECT_EQ(terminal.console.waitForEnter(), InputResult::Delivered);
  EXPECT_EQ(terminal.console.readChoice(choice), InputResult::Delivered);
  EXPECT_EQ(choice, 3u);
}

TEST(ConsolePause, AfterNumberRightAtTheEndEnds) {
  VirtualConsole terminal({"100"});
  double amount = 0.0;
  ASSERT_EQ(terminal.console.readAmount(amount), InputResult::Delivered);
  EXPECT_EQ(amount, 100.0);
  EXPECT_EQ(terminal.console.waitForEnter(), InputResult::Ended);
}

// ---------------------------------------------------------------------------------------------
// However the dialogue goes, finite input ends it: every operation that does not report the end
// takes at least one byte (a digit, a line end, the two bytes of the pause), so there can be no
// more such operations than bytes.

std::string randomBytes(std::mt19937_64& engine, std::size_t count) {
  static const std::string kLikely = "0123456789\n\n\n  -+.eEx,\r";
  std::string bytes;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint64_t draw = engine();
    if (draw % 97 == 0) {
      bytes += '\x1A';
    } else if (draw % 5 == 0) {
      bytes += static_cast<char>(draw >> 8);
    } else {
      bytes += kLikely[(draw >> 8) % kLikely.size()];
    }
  }
  return bytes;
}

std::vector<std::string> randomChunks(std::mt19937_64& engine, const std::string& bytes) {
  std::vector<std::string> chunks;
  for (std::size_t start = 0; start < bytes.size();) {
    const std::size_t size = 1 + engine() % 16;
    chunks.push_back(bytes.substr(start, size));
    start += size;
  }
  return chunks;
}

TEST(ConsoleInput, AnyFiniteInputEndsWithinAnOperationPerByte) {
  std::mt19937_64 engine(20240601);
  for (int trial = 0; trial < 3000; ++trial) {
    const std::string bytes = randomBytes(engine, engine() % 300);
    const std::vector<std::string> chunks = randomChunks(engine, bytes);
    SCOPED_TRACE(escaped(chunks));
    VirtualConsole terminal(chunks);
    std::size_t operations = 0;
    for (;;) {
      ++operations;
      if (run(terminal.console, kOperations[engine() % 3]) == InputResult::Ended) break;
      ASSERT_LE(operations, bytes.size()) << "an operation took no byte";
    }
    const int reads = terminal.input.reads();
    EXPECT_EQ(run(terminal.console, kOperations[engine() % 3]), InputResult::Ended);
    EXPECT_EQ(terminal.input.reads(), reads);
    EXPECT_LE(static_cast<std::size_t>(reads), chunks.size() + 1);
    if (HasFailure()) return;
  }
}

}  // namespace
}  // namespace pokerhilfe
