// Standard input, standard output and the console screen on Windows: the standard handles,
// read and written as files, and the console's active screen buffer, reached by its own name.
// The program installs no console control handler: Ctrl+C, Ctrl+Break and closing the window
// end the process through the system's default handling.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>

#include "console/system.hpp"

namespace pokerhilfe {

namespace {

// ReadFile and WriteFile count in DWORD; a larger request is split by the callers' loops.
DWORD clampToDword(std::size_t size) {
  return static_cast<DWORD>(std::min<std::size_t>(size, std::numeric_limits<DWORD>::max()));
}

HANDLE toHandle(ConsoleHandle console) {
  return reinterpret_cast<HANDLE>(console);
}

ConsoleHandle toConsoleHandle(HANDLE handle) {
  if (handle == INVALID_HANDLE_VALUE) return kInvalidConsoleHandle;
  return reinterpret_cast<ConsoleHandle>(handle);
}

COORD toCoord(ScreenCell cell) {
  COORD coord;
  coord.X = static_cast<SHORT>(cell.column);
  coord.Y = static_cast<SHORT>(cell.row);
  return coord;
}

class Win32StandardInput final : public ByteInput {
 public:
  // GetStdHandle: the handle the process was given as standard input (a console, a pipe or a
  // file), taken once: the program never swaps its standard handles.
  Win32StandardInput() : handle_(GetStdHandle(STD_INPUT_HANDLE)) {}

  std::size_t read(char* buffer, std::size_t capacity) override {
    DWORD received = 0;
    // ReadFile: waits for bytes and takes what is there. On a console it returns the line that
    // the user typed once Enter is pressed, with its carriage return and line feed. A pipe whose
    // writer has gone, a missing handle or any other failure is the end of the input.
    if (!ReadFile(handle_, buffer, clampToDword(capacity), &received, nullptr)) return 0;
    return received;
  }

 private:
  HANDLE handle_;
};

class Win32StandardOutput final : public ByteOutput {
 public:
  // GetStdHandle: the handle the process was given as standard output, taken once.
  // GetFileType, once as well: a console and the NUL device are character devices and get every
  // byte at once; a disk file or a pipe is written in blocks. What the handle is at start
  // decides it for the whole run.
  Win32StandardOutput()
      : handle_(GetStdHandle(STD_OUTPUT_HANDLE)),
        characterDevice_(GetFileType(handle_) == FILE_TYPE_CHAR) {}

  bool isCharacterDevice() override { return characterDevice_; }

  std::size_t write(const char* data, std::size_t size) override {
    std::size_t written = 0;
    while (written < size) {
      DWORD taken = 0;
      // WriteFile: hands the bytes to the console, file or pipe unchanged: no code page
      // conversion, so the code page 850 texts reach the console as they are. A pipe may take
      // fewer bytes than asked; the rest is written by the next turn. A failure, such as a full
      // disk or a pipe whose reader has gone, stops here and tells how many bytes got through.
      if (!WriteFile(handle_, data + written, clampToDword(size - written), &taken, nullptr) ||
          taken == 0) {
        break;
      }
      written += taken;
    }
    return written;
  }

 private:
  HANDLE handle_;
  bool characterDevice_;
};

class Win32ConsoleScreen final : public ScreenDevice {
 public:
  ConsoleHandle openActiveScreenBuffer() override {
    // CreateFileA on "CONOUT$": the console's active screen buffer, whatever standard output is
    // connected to, so that a redirected standard output still leaves the console to be cleared.
    // Reading and writing are both needed to query and to fill it; sharing both lets the console
    // and standard output keep using the buffer. A process without a console gets
    // INVALID_HANDLE_VALUE, and clearing then does nothing.
    return toConsoleHandle(CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                       0, nullptr));
  }

  bool getScreenBufferInfo(ConsoleHandle console, ScreenBufferInfo& info) override {
    CONSOLE_SCREEN_BUFFER_INFO buffer;
    // GetConsoleScreenBufferInfo: the size of the whole buffer in cells (not of the visible
    // window) and the text attribute in force, for the clearing to cover and to paint with.
    if (!GetConsoleScreenBufferInfo(toHandle(console), &buffer)) return false;
    info.width = static_cast<std::uint16_t>(buffer.dwSize.X);
    info.height = static_cast<std::uint16_t>(buffer.dwSize.Y);
    info.attributes = buffer.wAttributes;
    return true;
  }

  void fillWithCharacter(ConsoleHandle console, char character, std::uint32_t count,
                         ScreenCell first) override {
    DWORD cellsWritten = 0;
    // FillConsoleOutputCharacterA: sets `count` cells from `first` on, row after row, to the
    // character, and stops at the end of the buffer by itself. Neither the cursor nor standard
    // output is touched. What it reports is not looked at: there is nothing to do about it.
    FillConsoleOutputCharacterA(toHandle(console), character, count, toCoord(first), &cellsWritten);
  }

  void fillWithAttribute(ConsoleHandle console, std::uint16_t attribute, std::uint32_t count,
                         ScreenCell first) override {
    DWORD cellsWritten = 0;
    // FillConsoleOutputAttribute: gives the same cells the colours recorded at start, so that
    // blanked cells look like a fresh console even where a program had painted them.
    FillConsoleOutputAttribute(toHandle(console), attribute, count, toCoord(first), &cellsWritten);
  }

  void setCursorPosition(ConsoleHandle console, ScreenCell cell) override {
    // SetConsoleCursorPosition: the next text written to the console starts in this cell, and
    // the console scrolls its window so that the cell can be seen.
    SetConsoleCursorPosition(toHandle(console), toCoord(cell));
  }
};

}  // namespace

ByteInput& standardInput() {
  static Win32StandardInput input;
  return input;
}

ByteOutput& standardOutput() {
  static Win32StandardOutput output;
  return output;
}

ScreenDevice& consoleScreenDevice() {
  static Win32ConsoleScreen screen;
  return screen;
}

}  // namespace pokerhilfe
