#pragma once
// Standard output as the program writes to it: every line feed leaves as carriage return and
// line feed; on a character device every byte goes out at once, anywhere else bytes wait in a
// buffer until it is full or flushed; and once a hand-over of the buffer fails, nothing more is
// written, silently.

#include <array>
#include <cstddef>
#include <string_view>

#include "console/system.hpp"

namespace pokerhilfe {

class OutputChannel {
 public:
  // Large enough for a whole menu with its carriage returns, so that a redirected menu leaves
  // in one piece when the program waits for the choice.
  static constexpr std::size_t kBufferSize = 4096;

  // Decides the mode, once: unbuffered for a character device, buffered otherwise.
  explicit OutputChannel(ByteOutput& sink);

  void write(std::string_view bytes);
  // Hands the buffered bytes to the system; does nothing in unbuffered mode.
  void flush();

  bool isBuffered() const { return buffered_; }
  // True for good after a hand-over wrote fewer bytes than it should.
  bool hasFailed() const { return failed_; }

 private:
  void writeUnbuffered(std::string_view bytes);
  void writeBuffered(std::string_view bytes);
  void handOver();

  ByteOutput& sink_;
  const bool buffered_;
  bool failed_ = false;
  // Holds the bytes as they will leave, line feeds already expanded.
  std::array<char, kBufferSize> buffer_{};
  std::size_t pending_ = 0;
};

}  // namespace pokerhilfe
