#pragma once
// The three things the console terminal needs from the operating system: the bytes of standard
// input, a place for the bytes of standard output, and the console's screen buffer. Each is an
// abstract interface so that tests can put a virtual one in its place; the real ones are in
// system_posix.cpp and system_win32.cpp, and only those files know which platform this is.

#include <cstddef>
#include <cstdint>

namespace pokerhilfe {

// Standard input as a source of bytes.
class ByteInput {
 public:
  virtual ~ByteInput() = default;
  // Waits until bytes are available and stores at most `capacity` of them in `buffer`.
  // Returns how many were stored; 0 means that the input has ended or could not be read.
  virtual std::size_t read(char* buffer, std::size_t capacity) = 0;
};

// Standard output as a sink of bytes.
class ByteOutput {
 public:
  virtual ~ByteOutput() = default;
  // True when standard output is a character device: a console, a terminal, the null device.
  virtual bool isCharacterDevice() = 0;
  // Writes `size` bytes and returns how many the system took; fewer than `size` only on failure.
  virtual std::size_t write(const char* data, std::size_t size) = 0;
};

// A console handle, opaque to everything but the platform layer that made it.
using ConsoleHandle = std::intptr_t;
inline constexpr ConsoleHandle kInvalidConsoleHandle = -1;

// A cell of the screen buffer; (0, 0) is the top-left cell of the whole buffer.
struct ScreenCell {
  std::uint16_t column = 0;
  std::uint16_t row = 0;
};

// What a query of the screen buffer tells.
struct ScreenBufferInfo {
  std::uint16_t width = 0;       // columns
  std::uint16_t height = 0;      // rows
  std::uint16_t attributes = 0;  // the text attribute in force: colours and intensity
};

// The console's screen buffer, reached directly and not through standard output. The operations
// are those of the Windows console; other platforms stand in for them as well as they can.
class ScreenDevice {
 public:
  virtual ~ScreenDevice() = default;
  // Opens the console's active screen buffer, whatever standard output is connected to.
  // Returns kInvalidConsoleHandle when the process has no console.
  virtual ConsoleHandle openActiveScreenBuffer() = 0;
  // Fills `info` and returns true, or returns false when the buffer cannot be queried.
  virtual bool getScreenBufferInfo(ConsoleHandle console, ScreenBufferInfo& info) = 0;
  // Sets `count` cells from `first` on, in reading order, to `character`; stops at the end.
  virtual void fillWithCharacter(ConsoleHandle console, char character, std::uint32_t count,
                                 ScreenCell first) = 0;
  // Gives the same cells the text attribute `attribute`.
  virtual void fillWithAttribute(ConsoleHandle console, std::uint16_t attribute,
                                 std::uint32_t count, ScreenCell first) = 0;
  // Puts the cursor in `cell`, scrolling the window so that the cell is visible.
  virtual void setCursorPosition(ConsoleHandle console, ScreenCell cell) = 0;
};

// The real ones, for the platform the program is built for. Each lives as long as the process.
ByteInput& standardInput();
ByteOutput& standardOutput();
ScreenDevice& consoleScreenDevice();

}  // namespace pokerhilfe
