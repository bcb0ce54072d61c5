#pragma once
// Virtual standard input, standard output and console screen, for tests that run the console
// terminal and the dialogue without the operating system.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "console/console.hpp"
#include "console/system.hpp"

namespace pokerhilfe::testing {

// Standard input as a script of chunks: each read delivers the next chunk, or as much of it as
// fits, the rest staying for the next read. After the last chunk every read reports the end.
class ScriptedInput final : public ByteInput {
 public:
  ScriptedInput() = default;
  explicit ScriptedInput(std::vector<std::string> chunks) : chunks_(chunks.begin(), chunks.end()) {}

  void add(std::string chunk) { chunks_.push_back(std::move(chunk)); }

  std::size_t read(char* buffer, std::size_t capacity) override {
    ++reads_;
    if (chunks_.empty()) {
      ++readsAtEnd_;
      return 0;
    }
    std::string& chunk = chunks_.front();
    const std::size_t size = std::min(capacity, chunk.size());
    std::copy_n(chunk.data(), size, buffer);
    chunk.erase(0, size);
    if (chunk.empty()) chunks_.pop_front();
    return size;
  }

  // How often the system was asked, and how often of those after it had reported the end.
  int reads() const { return reads_; }
  int readsAtEnd() const { return readsAtEnd_; }
  bool exhausted() const { return chunks_.empty(); }

 private:
  std::deque<std::string> chunks_;
  int reads_ = 0;
  int readsAtEnd_ = 0;
};

// Standard output that records every write as it was asked for and the bytes the system took.
class RecordingOutput final : public ByteOutput {
 public:
  explicit RecordingOutput(bool characterDevice = false) : characterDevice_(characterDevice) {}

  bool isCharacterDevice() override { return characterDevice_; }

  std::size_t write(const char* data, std::size_t size) override {
    writes_.emplace_back(data, size);
    const std::size_t taken = std::min(size, capacityLeft_);
    capacityLeft_ -= taken;
    bytes_.append(data, taken);
    return taken;
  }

  // From now on the system takes only `bytes` more bytes, as a disk that is about to be full.
  void failAfter(std::size_t bytes) { capacityLeft_ = bytes; }

  // Everything the system took, in order.
  const std::string& bytes() const { return bytes_; }
  // Every write call, with the bytes it asked to write.
  const std::vector<std::string>& writes() const { return writes_; }

 private:
  bool characterDevice_;
  std::size_t capacityLeft_ = std::numeric_limits<std::size_t>::max();
  std::string bytes_;
  std::vector<std::string> writes_;
};

// A console screen buffer of cells, each a character and an attribute, with a cursor and a
// window of visible rows; or no console at all.
class VirtualScreen final : public ScreenDevice {
 public:
  struct Cell {
    char character = ' ';
    std::uint16_t attribute = 0;
  };

  // No console: opening fails, and so does everything else.
  VirtualScreen() = default;
  VirtualScreen(std::uint16_t width, std::uint16_t height, std::uint16_t attribute,
                std::uint16_t windowHeight = 25)
      : exists_(true),
        width_(width),
        height_(height),
        attribute_(attribute),
        windowHeight_(windowHeight),
        cells_(std::size_t{width} * height, Cell{'?', attribute}) {}

  // Changes made by the user or another program while the program runs.
  void resize(std::uint16_t width, std::uint16_t height) {
    std::vector<Cell> cells(std::size_t{width} * height, Cell{'?', attribute_});
    for (std::uint16_t row = 0; row < std::min(height, height_); ++row) {
      for (std::uint16_t column = 0; column < std::min(width, width_); ++column) {
        cells[std::size_t{row} * width + column] = at(column, row);
      }
    }
    width_ = width;
    height_ = height;
    cells_ = std::move(cells);
  }
  void setAttribute(std::uint16_t attribute) { attribute_ = attribute; }
  void putCursor(ScreenCell cell) { cursor_ = cell; }
  void scrollWindowTo(std::uint16_t top) { windowTop_ = top; }

  ConsoleHandle openActiveScreenBuffer() override {
    ++opens_;
    return exists_ ? kHandle : kInvalidConsoleHandle;
  }

  bool getScreenBufferInfo(ConsoleHandle console, ScreenBufferInfo& info) override {
    if (console != kHandle || !exists_) return false;
    info.width = width_;
    info.height = height_;
    info.attributes = attribute_;
    return true;
  }

  void fillWithCharacter(ConsoleHandle console, char character, std::uint32_t count,
                         ScreenCell first) override {
    ++fills_;
    forEachCell(console, count, first, [&](Cell& cell) { cell.character = character; });
  }

  void fillWithAttribute(ConsoleHandle console, std::uint16_t attribute, std::uint32_t count,
                         ScreenCell first) override {
    ++fills_;
    forEachCell(console, count, first, [&](Cell& cell) { cell.attribute = attribute; });
  }

  void setCursorPosition(ConsoleHandle console, ScreenCell cell) override {
    if (console != kHandle || !exists_ || cell.column >= width_ || cell.row >= height_) return;
    cursor_ = cell;
    if (cell.row < windowTop_) windowTop_ = cell.row;
    if (cell.row >= windowTop_ + windowHeight_) windowTop_ = cell.row - windowHeight_ + 1;
  }

  const Cell& at(std::uint16_t column, std::uint16_t row) const {
    return cells_[std::size_t{row} * width_ + column];
  }
  ScreenCell cursor() const { return cursor_; }
  std::uint16_t windowTop() const { return windowTop_; }
  std::uint16_t width() const { return width_; }
  std::uint16_t height() const { return height_; }
  int opens() const { return opens_; }
  int fills() const { return fills_; }

 private:
  static constexpr ConsoleHandle kHandle = 7;

  // As the console does it: in reading order, on to the next row at the right edge, and no
  // further than the end of the buffer.
  template <typename Change>
  void forEachCell(ConsoleHandle console, std::uint32_t count, ScreenCell first, Change change) {
    if (console != kHandle || !exists_) return;
    const std::size_t start = std::size_t{first.row} * width_ + first.column;
    for (std::size_t index = start; index < cells_.size() && index - start < count; ++index) {
      change(cells_[index]);
    }
  }

  bool exists_ = false;
  std::uint16_t width_ = 0;
  std::uint16_t height_ = 0;
  std::uint16_t attribute_ = 0;
  std::uint16_t windowHeight_ = 0;
  std::uint16_t windowTop_ = 0;
  ScreenCell cursor_{};
  std::vector<Cell> cells_;
  int opens_ = 0;
  int fills_ = 0;
};

// A console over the three, as the program makes one over the real ones.
struct VirtualConsole {
  explicit VirtualConsole(std::vector<std::string> input = {}, bool characterDevice = false)
      : input(std::move(input)), output(characterDevice) {}

  ScriptedInput input;
  RecordingOutput output;
  VirtualScreen screen{80, 25, 0x07};
  Console console{input, output, screen};
};

}  // namespace pokerhilfe::testing
