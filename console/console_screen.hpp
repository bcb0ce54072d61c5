#pragma once
// Clearing the console. What is cleared, and in which colours, is taken once at start from the
// console's screen buffer: the whole buffer as large as it was then, with the text attribute in
// force then. Clearing goes to the console directly, never through standard output.

#include <cstdint>

#include "console/system.hpp"

namespace pokerhilfe {

struct ConsoleScreen {
  ConsoleHandle output = kInvalidConsoleHandle;  // the console's active screen buffer
  std::uint16_t width = 0;                       // 0 when the buffer could not be queried
  std::uint16_t height = 0;
  std::uint8_t attribute = 0;  // foreground and background colours with their intensity bits
};

// Opens the console's screen buffer and records its size and text attribute. Writes nothing and
// changes no console setting.
ConsoleScreen openConsoleScreen(ScreenDevice& device);

// Blanks the recorded area with the recorded attribute and puts the cursor in the top-left cell.
// Without a console nothing happens, and nothing is reported.
void clearScreen(ScreenDevice& device, const ConsoleScreen& screen);

}  // namespace pokerhilfe
