#include "app/dialogue.hpp"

#include <gtest/gtest.h>

#include <initializer_list>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/texts.hpp"
#include "tests/virtual_system.hpp"

namespace pokerhilfe {
namespace {

using pokerhilfe::testing::ScriptedInput;
using pokerhilfe::testing::VirtualScreen;

// The marks between the bytes of a session: a read of standard input that got bytes, one that
// found the end, and the clearing of the screen.
constexpr std::string_view kWait = "<wait>";
constexpr std::string_view kEnd = "<end>";
constexpr std::string_view kClear = "<clear>";

// What a user of the console sees, in order: the bytes that reached standard output, each time
// the program asked for input, and each clearing. Bytes between two marks form one entry.
class SessionLog {
 public:
  void written(std::string_view bytes) {
    if (!lastWasOutput_) entries_.emplace_back();
    entries_.back() += bytes;
    lastWasOutput_ = true;
  }
  void mark(std::string_view mark) {
    entries_.emplace_back(mark);
    lastWasOutput_ = false;
  }
  const std::vector<std::string>& entries() const { return entries_; }

 private:
  std::vector<std::string> entries_;
  bool lastWasOutput_ = false;
};

// Standard input that delivers one scripted chunk per read and logs each read.
class LoggedInput final : public ByteInput {
 public:
  LoggedInput(SessionLog& log, std::vector<std::string> chunks)
      : log_(log), script_(std::move(chunks)) {}

  std::size_t read(char* buffer, std::size_t capacity) override {
    const std::size_t size = script_.read(buffer, capacity);
    log_.mark(size == 0 ? kEnd : kWait);
    return size;
  }

 private:
  SessionLog& log_;
  ScriptedInput script_;
};

class LoggedOutput final : public ByteOutput {
 public:
  LoggedOutput(SessionLog& log, bool characterDevice)
      : log_(log), characterDevice_(characterDevice) {}

  bool isCharacterDevice() override { return characterDevice_; }
  std::size_t write(const char* data, std::size_t size) override {
    log_.written({data, size});
    return size;
  }

 private:
  SessionLog& log_;
  bool characterDevice_;
};

// A virtual console screen that logs each clearing.
class LoggedScreen final : public ScreenDevice {
 public:
  explicit LoggedScreen(SessionLog& log) : log_(log) {}

  ConsoleHandle openActiveScreenBuffer() override { return screen_.openActiveScreenBuffer(); }
  bool getScreenBufferInfo(ConsoleHandle console, ScreenBufferInfo& info) override {
    return screen_.getScreenBufferInfo(console, info);
  }
  void fillWithCharacter(ConsoleHandle console, char character, std::uint32_t count,
                         ScreenCell first) override {
    log_.mark(kClear);
    screen_.fillWithCharacter(console, character, count, first);
  }
  void fillWithAttribute(ConsoleHandle console, std::uint16_t attribute, std::uint32_t count,
                         ScreenCell first) override {
    screen_.fillWithAttribute(console, attribute, count, first);
  }
  void setCursorPosition(ConsoleHandle console, ScreenCell cell) override {
    screen_.setCursorPosition(console, cell);
  }

  // The virtual screen starts full of '?'; clearing blanks it.
  VirtualScreen& screen() { return screen_; }
  bool isBlank() const {
    for (std::uint16_t row = 0; row < screen_.height(); ++row) {
      for (std::uint16_t column = 0; column < screen_.width(); ++column) {
        if (screen_.at(column, row).character != ' ') return false;
      }
    }
    return true;
  }

 private:
  SessionLog& log_;
  VirtualScreen screen_{80, 25, 0x07};
};

// The console terminal on the logged input, output and screen, as the program builds it.
struct Session {
  Session(std::vector<std::string> chunks, bool characterDevice)
      : input(log, std::move(chunks)), output(log, characterDevice), screen(log) {
    console.openConsoleScreen();
  }

  // Runs the menu loop until the input ends and hands over what is left, as the program does.
  const std::vector<std::string>& runMenu() {
    runMainMenu(console);
    console.flushOutput();
    return log.entries();
  }

  SessionLog log;
  LoggedInput input;
  LoggedOutput output;
  LoggedScreen screen;
  Console console{input, output, screen};
};

// The program's texts as the expected log names them.
std::string menu() {
  std::string menu;
  for (const std::string_view text :
       {texts::kMenu0.view(), texts::kMenu1.view(), texts::kMenu2.view(), texts::kMenu3.view(),
        texts::kMenuGap.view(), texts::kAllInHint.view(), texts::kMenuGap.view(),
        texts::kChoicePrompt.view()}) {
    menu += text;
  }
  return menu;
}

std::string explanation() {
  return std::string(texts::kExplanation1) + std::string(texts::kExplanation2) +
         std::string(texts::kExplanation3) + std::string(texts::kExplanation4);
}

std::string advice(std::string_view label, std::string_view amount) {
  return std::string(label) + std::string(amount) + std::string(texts::kChips) +
         std::string(texts::kPressEnter);
}
std::string raiseTo(std::string_view amount) {
  return advice(texts::kRaiseToLabel, amount);
}
std::string betTo(std::string_view amount) {
  return advice(texts::kBetLabel, amount);
}

// The line end written after a choice has been read.
constexpr std::string_view kChosen = texts::kAfterChoice;

// The log a session should leave: texts and marks in order. Texts next to each other form one
// entry, as the program's bytes do in the log, and every line feed leaves as CR LF.
std::vector<std::string> expectedLog(std::initializer_list<std::string_view> items) {
  std::vector<std::string> entries;
  bool lastWasText = false;
  for (const std::string_view item : items) {
    if (item == kWait || item == kEnd || item == kClear) {
      entries.emplace_back(item);
      lastWasText = false;
      continue;
    }
    if (!lastWasText) entries.emplace_back();
    for (const char byte : item) {
      if (byte == '\n') {
        entries.back() += "\r\n";
      } else {
        entries.back() += byte;
      }
    }
    lastWasText = true;
  }
  return entries;
}

// Every read first hands over what was written, so the log is the same whether standard output
// shows each byte at once (a console) or holds bytes back (a file or a pipe).
void expectMenuSession(const std::vector<std::string>& chunks,
                       const std::vector<std::string>& expected) {
  for (const bool characterDevice : {true, false}) {
    SCOPED_TRACE(characterDevice ? "on a console" : "redirected");
    Session session(chunks, characterDevice);
    EXPECT_EQ(session.runMenu(), expected);
  }
}

// --- One pass of the menu and its dispatch --------------------------------------------------

struct PassCase {
  const char* name;
  std::vector<std::string> chunks;  // one per read of standard input
  std::vector<std::string> expected;
};
void PrintTo(const PassCase& passCase, std::ostream* out) {
  *out << passCase.name;
}

class MenuPass : public ::testing::TestWithParam<PassCase> {};

TEST_P(MenuPass, WritesEveryTextInOrderAndRunsTheChosenScreen) {
  expectMenuSession(GetParam().chunks, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Dialogue, MenuPass,
    ::testing::Values(
        PassCase{"Explanation",
                 {"0\n", "\n"},
                 expectedLog({menu(), kWait, kChosen, explanation(), kWait, kClear, menu(), kEnd})},
        PassCase{"OpeningRaise",
                 {"1\n", "2\n", "3\n", "\n"},
                 expectedLog({menu(), kWait, kChosen, texts::kBigBlindPrompt, kWait,
                              texts::kLimpersPrompt, kWait, raiseTo("14"), kWait, kClear, menu(),
                              kEnd})},
        PassCase{
            "Reraise",
            {"2\n", "10\n", "2\n", "\n"},
            expectedLog({menu(), kWait, kChosen, texts::kBetPrompt, kWait, texts::kCallersPrompt,
                         kWait, raiseTo("50"), kWait, kClear, menu(), kEnd})},
        PassCase{"Bet",
                 {"3\n", "30\n", "\n"},
                 expectedLog({menu(), kWait, kChosen, texts::kPotPrompt, kWait, betTo("20"), kWait,
                              kClear, menu(), kEnd})},
        // A choice that selects no screen: the menu again, right below, and no clearing.
        PassCase{"Four", {"4\n"}, expectedLog({menu(), kWait, kChosen, menu(), kEnd})},
        PassCase{"MinusOne", {"-1\n"}, expectedLog({menu(), kWait, kChosen, menu(), kEnd})},
        PassCase{"TwoToThe31MinusOne",
                 {"2147483647\n"},
                 expectedLog({menu(), kWait, kChosen, menu(), kEnd})},
        // The whole line answers the menu and both prompts; only the pause waits.
        PassCase{"OneLine",
                 {"1 2 3\n", "\n"},
                 expectedLog({menu(), kWait, kChosen, texts::kBigBlindPrompt, texts::kLimpersPrompt,
                              raiseTo("14"), kWait, kClear, menu(), kEnd})},
        PassCase{"TwoChoicesOnOneLine",
                 {"7 1\n", "2\n", "3\n", "\n"},
                 expectedLog({menu(), kWait, kChosen, menu(), kChosen, texts::kBigBlindPrompt,
                              kWait, texts::kLimpersPrompt, kWait, raiseTo("14"), kWait, kClear,
                              menu(), kEnd})}),
    [](const ::testing::TestParamInfo<PassCase>& info) { return std::string(info.param.name); });

// --- Clearing ---------------------------------------------------------------------------------

// The log shows when the screen is cleared; these show what the clearing did to the screen.
TEST(DialogueClearing, AScreenBlanksTheConsoleAndPutsTheCursorTopLeft) {
  Session session({"3\n", "30\n", "\n"}, true);
  session.screen.screen().putCursor({5, 7});
  session.runMenu();
  EXPECT_TRUE(session.screen.isBlank());
  EXPECT_EQ(session.screen.screen().cursor().column, 0);
  EXPECT_EQ(session.screen.screen().cursor().row, 0);
}

TEST(DialogueClearing, AChoiceWithoutScreenClearsNothing) {
  Session session({"4\n", "99\n", "abc\n"}, true);
  session.runMenu();
  EXPECT_EQ(session.screen.screen().fills(), 0);
  EXPECT_EQ(session.screen.screen().at(0, 0).character, '?');
}

TEST(DialogueClearing, TheEndOfTheInputInThePauseLeavesTheConsoleAsItIs) {
  Session session({"3\n", "30\n"}, true);
  EXPECT_EQ(session.runMenu(),
            expectedLog({menu(), kWait, kChosen, texts::kPotPrompt, kWait, betTo("20"), kEnd}));
  EXPECT_EQ(session.screen.screen().fills(), 0);
}

// --- The end of the input ---------------------------------------------------------------------

// After the end nothing more is written and the system is not asked again.
TEST(DialogueEnd, EmptyInputEndsAtTheFirstMenu) {
  expectMenuSession({}, expectedLog({menu(), kEnd}));
}

TEST(DialogueEnd, TheEndAtAPromptEndsTheDialogue) {
  expectMenuSession({"1\n"}, expectedLog({menu(), kWait, kChosen, texts::kBigBlindPrompt, kEnd}));
  expectMenuSession({"2\n", "10\n"}, expectedLog({menu(), kWait, kChosen, texts::kBetPrompt, kWait,
                                                  texts::kCallersPrompt, kEnd}));
}

TEST(DialogueEnd, ANumberRightAtTheEndIsUsedAndTheNextReadEnds) {
  // The pot is read up to the end of the input; the advice follows, and the pause ends at once.
  expectMenuSession({"3\n", "30"}, expectedLog({menu(), kWait, kChosen, texts::kPotPrompt, kWait,
                                                kEnd, betTo("20")}));
  expectMenuSession({"5"}, expectedLog({menu(), kWait, kEnd, kChosen, menu()}));
}

TEST(DialogueEnd, ANumberCutOffByTheEndEndsTheDialogue) {
  expectMenuSession({"3\n", "1e"},
                    expectedLog({menu(), kWait, kChosen, texts::kPotPrompt, kWait, kEnd}));
}

// --- Input that is not a number ---------------------------------------------------------------

class RejectedChoice : public ::testing::TestWithParam<const char*> {};

// The line is dropped and the pass goes on as for a choice that selects nothing. Before the first
// choice has been read there is no earlier one to fall back on: no screen runs.
TEST_P(RejectedChoice, ShowsTheMenuAgain) {
  expectMenuSession({GetParam()}, expectedLog({menu(), kWait, kChosen, menu(), kEnd}));
}

INSTANTIATE_TEST_SUITE_P(Dialogue, RejectedChoice,
                         ::testing::Values("abc\n", "-x\n", "- 5\n", "abc 1\n", "4294967296\n",
                                           "99999999999999999999\n"));

class RejectedAmount : public ::testing::TestWithParam<const char*> {};

// The line is dropped, and the prompt comes again.
TEST_P(RejectedAmount, AsksAgain) {
  expectMenuSession(
      {"3\n", GetParam(), "30\n", "\n"},
      expectedLog({menu(), kWait, kChosen, texts::kPotPrompt, kWait, texts::kPotPrompt, kWait,
                   betTo("20"), kWait, kClear, menu(), kEnd}));
}

INSTANTIATE_TEST_SUITE_P(Dialogue, RejectedAmount,
                         ::testing::Values("abc\n", ".x\n", "-x\n", "1e\n", "1e+ 5\n", "inf\n"));

TEST(DialogueRejected, EachPromptIsAskedAgainAndTheFirstAmountIsKept) {
  expectMenuSession(
      {"1\n", "abc\n", "2\n", "x\n", "3\n", "\n"},
      expectedLog({menu(), kWait, kChosen, texts::kBigBlindPrompt, kWait, texts::kBigBlindPrompt,
                   kWait, texts::kLimpersPrompt, kWait, texts::kLimpersPrompt, kWait, raiseTo("14"),
                   kWait, kClear, menu(), kEnd}));
  expectMenuSession(
      {"2\n", "abc\n", "10\n", "x\n", "2\n", "\n"},
      expectedLog({menu(), kWait, kChosen, texts::kBetPrompt, kWait, texts::kBetPrompt, kWait,
                   texts::kCallersPrompt, kWait, texts::kCallersPrompt, kWait, raiseTo("50"), kWait,
                   kClear, menu(), kEnd}));
}

TEST(DialogueRejected, TheChoiceOfAnEarlierPassIsNotUsedAgain) {
  expectMenuSession(
      {"1 2 3\n", "\n", "abc\n"},
      expectedLog({menu(), kWait, kChosen, texts::kBigBlindPrompt, texts::kLimpersPrompt,
                   raiseTo("14"), kWait, kClear, menu(), kWait, kChosen, menu(), kEnd}));
}

TEST(DialogueRejected, ALineCutOffByTheEndEndsTheDialogue) {
  expectMenuSession({"abc"}, expectedLog({menu(), kWait, kEnd}));
  expectMenuSession({"1\n", "abc"},
                    expectedLog({menu(), kWait, kChosen, texts::kBigBlindPrompt, kWait, kEnd}));
}

// --- The screens on their own -----------------------------------------------------------------

struct ScreenCase {
  const char* name;
  Flow (*screen)(Console&);
  std::vector<std::string> chunks;
  Flow flow;
  std::vector<std::string> expected;
};
void PrintTo(const ScreenCase& screenCase, std::ostream* out) {
  *out << screenCase.name;
}

class Screen : public ::testing::TestWithParam<ScreenCase> {};

// A screen tells the menu loop whether the dialogue goes on: only the end of the input stops it.
TEST_P(Screen, RunsToItsClearingOrToTheEndOfTheInput) {
  const ScreenCase& screenCase = GetParam();
  Session session(screenCase.chunks, true);
  EXPECT_EQ(screenCase.screen(session.console), screenCase.flow);
  EXPECT_EQ(session.log.entries(), screenCase.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Dialogue, Screen,
    ::testing::Values(
        // With no number before it, the pause waits twice.
        ScreenCase{"Explanation",
                   showExplanation,
                   {"\n", "\n"},
                   Flow::Continue,
                   expectedLog({explanation(), kWait, kWait, kClear})},
        ScreenCase{"ExplanationEnded",
                   showExplanation,
                   {"\n"},
                   Flow::InputEnded,
                   expectedLog({explanation(), kWait, kEnd})},
        ScreenCase{"OpeningRaise",
                   adviseOpeningRaise,
                   {"2 3\n", "\n"},
                   Flow::Continue,
                   expectedLog({texts::kBigBlindPrompt, kWait, texts::kLimpersPrompt, raiseTo("14"),
                                kWait, kClear})},
        ScreenCase{"OpeningRaiseEnded",
                   adviseOpeningRaise,
                   {"2\n"},
                   Flow::InputEnded,
                   expectedLog({texts::kBigBlindPrompt, kWait, texts::kLimpersPrompt, kEnd})},
        ScreenCase{"Reraise",
                   adviseReraise,
                   {"10 2\n", "\n"},
                   Flow::Continue,
                   expectedLog({texts::kBetPrompt, kWait, texts::kCallersPrompt, raiseTo("50"),
                                kWait, kClear})},
        ScreenCase{"ReraiseEnded",
                   adviseReraise,
                   {},
                   Flow::InputEnded,
                   expectedLog({texts::kBetPrompt, kEnd})},
        ScreenCase{"Bet",
                   adviseBet,
                   {"100\n", "\n"},
                   Flow::Continue,
                   expectedLog({texts::kPotPrompt, kWait, betTo("66.6667"), kWait, kClear})},
        ScreenCase{"BetEndedInThePause",
                   adviseBet,
                   {"100\n"},
                   Flow::InputEnded,
                   expectedLog({texts::kPotPrompt, kWait, betTo("66.6667"), kEnd})}),
    [](const ::testing::TestParamInfo<ScreenCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace pokerhilfe
