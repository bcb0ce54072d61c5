// Clearing the console on a virtual screen buffer: what is recorded at start, which cells are
// blanked and with which attribute, where the cursor and the window end up, and that clearing
// never goes through standard output.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "console/console.hpp"
#include "console/console_screen.hpp"
#include "virtual_system.hpp"

namespace pokerhilfe {
namespace {

using testing::RecordingOutput;
using testing::ScriptedInput;
using testing::VirtualScreen;

// What a virtual screen holds before anything is cleared: every cell is '?', so that a cell
// that was not blanked shows.
constexpr char kUntouched = '?';

VirtualScreen::Cell cellAt(const VirtualScreen& screen, std::size_t index) {
  const auto row = static_cast<std::uint16_t>(index / screen.width());
  const auto column = static_cast<std::uint16_t>(index % screen.width());
  return screen.at(column, row);
}

bool isBlankWith(const VirtualScreen::Cell& cell, std::uint16_t attribute) {
  return cell.character == ' ' && cell.attribute == attribute;
}

// Checks that exactly the first `blanked` cells in reading order are blanks with `attribute` and
// every later cell is untouched. Reports the first cell that differs rather than one failure per
// cell, since a buffer can hold a million of them.
::testing::AssertionResult firstCellsBlank(const VirtualScreen& screen, std::size_t blanked,
                                           std::uint16_t attribute) {
  const std::size_t cells = std::size_t{screen.width()} * screen.height();
  for (std::size_t index = 0; index < cells; ++index) {
    const VirtualScreen::Cell cell = cellAt(screen, index);
    const bool expectBlank = index < blanked;
    const bool ok = expectBlank ? isBlankWith(cell, attribute) : cell.character == kUntouched;
    if (!ok) {
      return ::testing::AssertionFailure()
             << "cell (" << index % screen.width() << ", " << index / screen.width() << ") holds '"
             << cell.character << "' with attribute 0x" << std::hex << cell.attribute
             << ", expected " << (expectBlank ? "a blank" : "it untouched");
    }
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult allCellsBlank(const VirtualScreen& screen, std::uint16_t attribute) {
  return firstCellsBlank(screen, std::size_t{screen.width()} * screen.height(), attribute);
}

void expectCursorTopLeft(const VirtualScreen& screen) {
  EXPECT_EQ(screen.cursor().column, 0);
  EXPECT_EQ(screen.cursor().row, 0);
}

TEST(OpenConsoleScreen, RecordsTheBufferSizeAndAttributeAndChangesNothing) {
  VirtualScreen device(80, 25, 0x1F);
  device.putCursor({12, 7});

  const ConsoleScreen screen = openConsoleScreen(device);

  EXPECT_NE(screen.output, kInvalidConsoleHandle);
  EXPECT_EQ(screen.width, 80);
  EXPECT_EQ(screen.height, 25);
  EXPECT_EQ(screen.attribute, 0x1F);
  EXPECT_EQ(device.opens(), 1);
  EXPECT_EQ(device.fills(), 0);
  EXPECT_TRUE(firstCellsBlank(device, 0, 0));
  EXPECT_EQ(device.cursor().column, 12);
  EXPECT_EQ(device.cursor().row, 7);
}

TEST(ClearScreen, BlanksAllCellsOfAnEightyByTwentyFiveBufferAndPutsTheCursorTopLeft) {
  VirtualScreen device(80, 25, 0x1F);
  const ConsoleScreen screen = openConsoleScreen(device);
  device.putCursor({9, 24});

  clearScreen(device, screen);

  EXPECT_TRUE(allCellsBlank(device, 0x1F));
  expectCursorTopLeft(device);
  // One fill for the characters and one for the attributes, not one per row or cell.
  EXPECT_EQ(device.fills(), 2);
}

TEST(ClearScreen, BlanksATallBufferWholeAndMovesTheWindowToItsTop) {
  constexpr std::uint16_t kWidth = 120;
  constexpr std::uint16_t kHeight = 9001;
  constexpr std::uint16_t kWindowRows = 25;
  VirtualScreen device(kWidth, kHeight, 0x07, kWindowRows);
  device.scrollWindowTo(kHeight - kWindowRows);
  device.putCursor({0, kHeight - 1});
  const ConsoleScreen screen = openConsoleScreen(device);

  clearScreen(device, screen);

  ASSERT_EQ(std::size_t{device.width()} * device.height(), 1080120u);
  EXPECT_TRUE(allCellsBlank(device, 0x07));
  expectCursorTopLeft(device);
  EXPECT_EQ(device.windowTop(), 0);
}

struct AttributeCase {
  std::uint16_t atStart;  // the console's text attribute when the program starts
  std::uint8_t recorded;  // its low 8 bits, the colours and their intensity
};

void PrintTo(const AttributeCase& attribute, std::ostream* out) {
  *out << std::hex << std::showbase << attribute.atStart;
}

class RecordedAttribute : public ::testing::TestWithParam<AttributeCase> {};

TEST_P(RecordedAttribute, KeepsTheLowEightBitsAndBlanksWithTheUpperEightBitsZero) {
  VirtualScreen device(80, 25, GetParam().atStart);

  const ConsoleScreen screen = openConsoleScreen(device);
  clearScreen(device, screen);

  EXPECT_EQ(screen.attribute, GetParam().recorded);
  // The cells hold the attribute exactly as it was passed, all 16 bits of it.
  EXPECT_TRUE(allCellsBlank(device, std::uint16_t{GetParam().recorded}));
}

INSTANTIATE_TEST_SUITE_P(ConsoleScreen, RecordedAttribute,
                         ::testing::Values(AttributeCase{0x0007, 0x07}, AttributeCase{0x01F7, 0xF7},
                                           AttributeCase{0x8000, 0x00}, AttributeCase{0xFFFF, 0xFF},
                                           AttributeCase{0x4C1E, 0x1E}),
                         [](const ::testing::TestParamInfo<AttributeCase>& info) {
                           std::ostringstream name;
                           name << "From0x" << std::hex << std::uppercase << info.param.atStart;
                           return name.str();
                         });

TEST(ClearScreen, UsesTheAttributeOfTheStartAfterTheColoursChanged) {
  VirtualScreen device(80, 25, 0x1F);
  const ConsoleScreen screen = openConsoleScreen(device);
  device.setAttribute(0x4E);

  clearScreen(device, screen);

  EXPECT_TRUE(allCellsBlank(device, 0x1F));
}

struct ResizeCase {
  std::uint16_t width;   // the buffer's size when the program clears,
  std::uint16_t height;  // after it was 80 x 25 at start
};

void PrintTo(const ResizeCase& size, std::ostream* out) {
  *out << size.width << " x " << size.height;
}

class BufferResizedAfterStart : public ::testing::TestWithParam<ResizeCase> {};

// The 2000 cells recorded at start are set in reading order from the top-left cell: a smaller
// buffer cuts them off at its end, a wider one gets them as whole rows of its own width.
TEST_P(BufferResizedAfterStart, BlanksTheFirstCellsOfTheStartInReadingOrder) {
  VirtualScreen device(80, 25, 0x2A);
  const ConsoleScreen screen = openConsoleScreen(device);
  device.resize(GetParam().width, GetParam().height);
  device.putCursor({static_cast<std::uint16_t>(GetParam().width - 1),
                    static_cast<std::uint16_t>(GetParam().height - 1)});

  clearScreen(device, screen);

  const std::size_t cellsNow = std::size_t{GetParam().width} * GetParam().height;
  EXPECT_TRUE(firstCellsBlank(device, std::min<std::size_t>(80 * 25, cellsNow), 0x2A));
  expectCursorTopLeft(device);
}

INSTANTIATE_TEST_SUITE_P(ConsoleScreen, BufferResizedAfterStart,
                         ::testing::Values(ResizeCase{40, 10}, ResizeCase{80, 10}, ResizeCase{1, 1},
                                           ResizeCase{100, 25}, ResizeCase{160, 30},
                                           ResizeCase{80, 50}, ResizeCase{40, 100}),
                         [](const ::testing::TestParamInfo<ResizeCase>& info) {
                           return std::to_string(info.param.width) + "x" +
                                  std::to_string(info.param.height);
                         });

TEST(ClearScreen, LeavesPartOfTheOldRectangleWhenTheBufferGotWider) {
  VirtualScreen device(80, 25, 0x07);
  const ConsoleScreen screen = openConsoleScreen(device);
  device.resize(100, 25);

  clearScreen(device, screen);

  // 2000 cells are 20 rows of 100: the last five rows are left as they were.
  EXPECT_TRUE(isBlankWith(device.at(99, 19), 0x07));
  EXPECT_EQ(device.at(0, 20).character, kUntouched);
  EXPECT_EQ(device.at(79, 24).character, kUntouched);
}

// A terminal that reports no size (a pseudo-terminal nobody gave one) is such a buffer.
TEST(ClearScreen, SetsNoCellOfABufferWithoutRowsOrColumns) {
  for (const ResizeCase size : {ResizeCase{0, 25}, ResizeCase{80, 0}, ResizeCase{0, 0}}) {
    VirtualScreen device(size.width, size.height, 0x07);
    const ConsoleScreen screen = openConsoleScreen(device);

    clearScreen(device, screen);

    EXPECT_EQ(device.fills(), 0) << size.width << " x " << size.height;
  }
}

TEST(ClearScreen, DoesNothingWithoutAConsole) {
  VirtualScreen noConsole;

  const ConsoleScreen screen = openConsoleScreen(noConsole);
  clearScreen(noConsole, screen);
  clearScreen(noConsole, screen);

  EXPECT_EQ(screen.output, kInvalidConsoleHandle);
  EXPECT_EQ(screen.width, 0);
  EXPECT_EQ(screen.height, 0);
  EXPECT_EQ(screen.attribute, 0);
  EXPECT_EQ(noConsole.opens(), 1);
  EXPECT_EQ(noConsole.fills(), 0);
}

// Standard output as a file (buffered) and as a console (unbuffered).
class ClearingAndStandardOutput : public ::testing::TestWithParam<bool> {};

TEST_P(ClearingAndStandardOutput, ClearingWritesAndFlushesNothing) {
  const bool characterDevice = GetParam();
  ScriptedInput input;
  RecordingOutput output(characterDevice);
  VirtualScreen device(80, 25, 0x1F);
  Console console(input, output, device);
  console.openConsoleScreen();
  console.writeText("Auswahl: ");
  const std::string bytesBefore = output.bytes();
  const std::size_t writesBefore = output.writes().size();

  console.clearScreen();

  EXPECT_EQ(output.bytes(), bytesBefore);
  EXPECT_EQ(output.writes().size(), writesBefore);
  EXPECT_TRUE(allCellsBlank(device, 0x1F));
  expectCursorTopLeft(device);
  // Whatever was held back is still held back, and leaves with the next flush.
  console.flushOutput();
  EXPECT_EQ(output.bytes(), "Auswahl: ");
}

INSTANTIATE_TEST_SUITE_P(ConsoleScreen, ClearingAndStandardOutput, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? "Unbuffered" : "Buffered";
                         });

TEST(OpenConsoleScreen, WritesNothingToStandardOutput) {
  ScriptedInput input;
  RecordingOutput output(/*characterDevice=*/true);
  VirtualScreen device(80, 25, 0x07);
  Console console(input, output, device);

  console.openConsoleScreen();

  EXPECT_TRUE(output.writes().empty());
  EXPECT_EQ(device.fills(), 0);
}

}  // namespace
}  // namespace pokerhilfe
