#pragma once
// Standard input as the reads see it: one stream of bytes with carriage returns removed and
// Ctrl+Z as its end, the two flags `ended` and `failed`, and the three reads of the program: a
// whole number, a decimal number and the single byte of the pause. A read takes exactly the
// bytes of its number and leaves the first byte that cannot continue it pending.

#include <array>
#include <cstddef>
#include <cstdint>

#include "console/system.hpp"

namespace pokerhilfe {

// The answer to the menu prompt: 0 to 3 select a screen, every other value nothing.
using MenuChoice = std::uint32_t;

class InputStream {
 public:
  static constexpr std::size_t kChunkSize = 4096;

  explicit InputStream(ByteInput& source) : source_(source) {}

  // The input has no more bytes: a read met its end.
  bool hasEnded() const { return ended_; }
  // A read found no valid number, or needed a byte after the end.
  bool hasFailed() const { return failed_; }
  void clearFailure() { failed_ = false; }

  // Skips blanks, then an optional sign and decimal digits. Above 4294967295 stores 4294967295
  // and fails; otherwise stores the value, after a "-" taken modulo 2^32.
  void readChoice(MenuChoice& choice);
  // Skips blanks, then an optional sign, digits, a fraction after ".", an exponent after "e".
  // Stores the value of what it took even when it fails.
  void readAmount(double& amount);
  // Takes one byte, whatever it is. At the end of the input sets `ended`, and also `failed`
  // when `endIsFailure`.
  void takeByte(bool endIsFailure);
  // Takes every byte up to and including the next line feed. False when the input ends first.
  bool discardLine();

 private:
  static constexpr int kEnd = -1;

  int peek();  // the next byte, or kEnd; waits for the system when none is pending
  void take() { ++next_; }
  bool refill();
  bool skipBlanks();

  ByteInput& source_;
  std::array<char, kChunkSize> chunk_{};
  std::size_t next_ = 0;
  std::size_t size_ = 0;
  std::uint64_t refills_ = 0;     // chunks received so far
  bool sourceExhausted_ = false;  // the system reported the end, or a Ctrl+Z arrived
  bool ended_ = false;
  bool failed_ = false;
};

}  // namespace pokerhilfe
