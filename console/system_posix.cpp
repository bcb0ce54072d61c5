// Standard input, standard output and the console screen on a POSIX system. A terminal stands
// in for the Windows console: it is reached through /dev/tty, cleared with escape sequences, and
// shown the program's code page 850 texts as UTF-8.

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <string>
#include <string_view>

#include "console/cp850_to_utf8.hpp"
#include "console/system.hpp"

namespace pokerhilfe {

namespace {

// Writes all bytes unless the system fails; returns how many it took. A write may take fewer
// bytes than asked, or be interrupted by a signal, without failing: both just go on.
std::size_t writeAll(int fd, const char* data, std::size_t size) {
  std::size_t written = 0;
  while (written < size) {
    const ssize_t result = ::write(fd, data + written, size - written);
    if (result < 0 && errno == EINTR) continue;
    if (result <= 0) break;
    written += static_cast<std::size_t>(result);
  }
  return written;
}

std::size_t writeAll(int fd, std::string_view bytes) {
  return writeAll(fd, bytes.data(), bytes.size());
}

// A terminal shows UTF-8: each byte goes out as the character it stands for in code page 850.
// Returns how many of the bytes went out.
std::size_t writeAsUtf8(int fd, const char* data, std::size_t size) {
  constexpr std::size_t kBytesAtATime = 256;
  constexpr std::size_t kLongestCharacter = 3;
  std::array<char, kBytesAtATime * kLongestCharacter> encoded{};
  std::size_t done = 0;
  while (done < size) {
    std::size_t length = 0;
    const std::size_t end = std::min(size, done + kBytesAtATime);
    for (std::size_t i = done; i < end; ++i) {
      const std::string_view character = utf8OfCp850(static_cast<unsigned char>(data[i]));
      character.copy(encoded.data() + length, character.size());
      length += character.size();
    }
    if (writeAll(fd, encoded.data(), length) < length) return done;
    done = end;
  }
  return done;
}

class PosixStandardInput final : public ByteInput {
 public:
  std::size_t read(char* buffer, std::size_t capacity) override {
    for (;;) {
      const ssize_t result = ::read(STDIN_FILENO, buffer, capacity);
      if (result >= 0) return static_cast<std::size_t>(result);
      if (errno != EINTR) return 0;  // a failed read ends the input
    }
  }
};

class PosixStandardOutput final : public ByteOutput {
 public:
  PosixStandardOutput() {
    // Writing to a pipe whose reader has gone raises SIGPIPE, which would end the process.
    // Ignored, the write fails with EPIPE instead, and the output falls silent like a full disk.
    static_cast<void>(std::signal(SIGPIPE, SIG_IGN));
    struct stat status {};
    characterDevice_ = ::fstat(STDOUT_FILENO, &status) == 0 && S_ISCHR(status.st_mode);
    terminal_ = ::isatty(STDOUT_FILENO) == 1;
  }

  bool isCharacterDevice() override { return characterDevice_; }

  std::size_t write(const char* data, std::size_t size) override {
    if (!terminal_) return writeAll(STDOUT_FILENO, data, size);
    return writeAsUtf8(STDOUT_FILENO, data, size);
  }

 private:
  bool characterDevice_ = false;
  bool terminal_ = false;
};

// The terminal as the console screen. Its cells cannot be filled one by one as a console's can,
// but the program only ever blanks the whole screen from its top-left cell, and that a terminal
// does with escape sequences.
class TerminalScreen final : public ScreenDevice {
 public:
  ConsoleHandle openActiveScreenBuffer() override {
    // The process's terminal, whatever standard output is connected to, as "CONOUT$" is the
    // console on Windows. O_NOCTTY: never adopt it as the controlling terminal.
    const int fd = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    return fd < 0 ? kInvalidConsoleHandle : ConsoleHandle{fd};
  }

  bool getScreenBufferInfo(ConsoleHandle console, ScreenBufferInfo& info) override {
    if (console == kInvalidConsoleHandle) return false;
    // TIOCGWINSZ: the terminal's size in columns and rows.
    winsize size{};
    if (::ioctl(static_cast<int>(console), TIOCGWINSZ, &size) != 0) return false;
    info.width = size.ws_col;
    info.height = size.ws_row;
    info.attributes = kConsoleDefaultAttribute;
    return true;
  }

  void fillWithCharacter(ConsoleHandle console, char /*character*/, std::uint32_t count,
                         ScreenCell /*first*/) override {
    if (console == kInvalidConsoleHandle || count == 0) return;
    // ESC [ H: cursor to the top-left cell. ESC [ 2 J: blank the whole screen. ESC [ 3 J: blank
    // the scrollback too, as the console blanks its whole buffer, history included.
    writeAll(static_cast<int>(console), "\x1b[H\x1b[2J\x1b[3J");
  }

  // The blanks keep the terminal's own colours; the program never changes them.
  void fillWithAttribute(ConsoleHandle /*console*/, std::uint16_t /*attribute*/,
                         std::uint32_t /*count*/, ScreenCell /*first*/) override {}

  void setCursorPosition(ConsoleHandle console, ScreenCell cell) override {
    if (console == kInvalidConsoleHandle) return;
    // ESC [ row ; column H: put the cursor there, counted from 1.
    const std::string sequence =
        "\x1b[" + std::to_string(cell.row + 1) + ';' + std::to_string(cell.column + 1) + 'H';
    writeAll(static_cast<int>(console), sequence);
  }

 private:
  // What a console's attribute is on a terminal that was never told any colour: light grey on
  // black. Only recorded; the blanks keep whatever colours the terminal has.
  static constexpr std::uint16_t kConsoleDefaultAttribute = 0x07;
};

}  // namespace

ByteInput& standardInput() {
  static PosixStandardInput input;
  return input;
}

ByteOutput& standardOutput() {
  static PosixStandardOutput output;
  return output;
}

ScreenDevice& consoleScreenDevice() {
  static TerminalScreen screen;
  return screen;
}

}  // namespace pokerhilfe
