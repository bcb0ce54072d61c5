#include "console/input_stream.hpp"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string_view>

#include "console/decimal_number.hpp"

namespace pokerhilfe {

namespace {

constexpr char kCarriageReturn = '\r';
constexpr char kEndOfFile = '\x1A';  // Ctrl+Z: the console's way to type the end of the input

bool isDigit(int byte) {
  return byte >= '0' && byte <= '9';
}

// Tab, line feed, vertical tab, form feed, carriage return and space; no byte above 0x7F.
bool isBlank(int byte) {
  return byte == ' ' || (byte >= '\t' && byte <= '\r');
}

bool isSign(int byte) {
  return byte == '+' || byte == '-';
}

}  // namespace

int InputStream::peek() {
  if (next_ == size_ && !refill()) return kEnd;
  return static_cast<unsigned char>(chunk_[next_]);
}

// Reads the next chunk: a Ctrl+Z and everything after it in the chunk are dropped, and
// so is every carriage return, so that a line end is the single line feed even when the
// carriage return and the line feed arrive in two reads. Once the system has reported the end,
// it is not asked again.
bool InputStream::refill() {
  while (!sourceExhausted_) {
    std::size_t size = source_.read(chunk_.data(), chunk_.size());
    if (size == 0) {
      sourceExhausted_ = true;
      break;
    }
    char* const first = chunk_.data();
    if (const void* endOfFile = std::memchr(first, kEndOfFile, size)) {
      size = static_cast<std::size_t>(static_cast<const char*>(endOfFile) - first);
      sourceExhausted_ = true;
    }
    // Most input has no carriage return at all; memchr finds that out fastest.
    if (std::memchr(first, kCarriageReturn, size) != nullptr) {
      size = static_cast<std::size_t>(std::remove(first, first + size, kCarriageReturn) - first);
    }
    size_ = size;
    next_ = 0;
    ++refills_;
    if (size_ > 0) return true;
  }
  return false;
}

bool InputStream::skipBlanks() {
  int byte = peek();
  while (isBlank(byte)) {
    take();
    byte = peek();
  }
  return byte != kEnd;
}

void InputStream::readChoice(MenuChoice& choice) {
  if (!skipBlanks()) {
    ended_ = failed_ = true;
    return;
  }
  constexpr std::uint64_t kLargest = std::numeric_limits<MenuChoice>::max();
  bool negative = false;
  int byte = peek();
  if (isSign(byte)) {
    negative = byte == '-';
    take();
    byte = peek();
  }
  bool anyDigit = false;
  std::uint64_t value = 0;  // stops growing once above kLargest
  while (isDigit(byte)) {
    anyDigit = true;
    if (value <= kLargest) value = value * 10 + static_cast<unsigned>(byte - '0');
    take();
    byte = peek();
  }
  if (byte == kEnd) ended_ = true;
  if (!anyDigit) {
    failed_ = true;
  } else if (value > kLargest) {
    choice = static_cast<MenuChoice>(kLargest);
    failed_ = true;
  } else {
    const auto magnitude = static_cast<MenuChoice>(value);
    choice = negative ? static_cast<MenuChoice>(0u - magnitude) : magnitude;
  }
}

void InputStream::readAmount(double& amount) {
  if (!skipBlanks()) {
    ended_ = failed_ = true;
    return;
  }
  DecimalNumber number;
  int byte = peek();
  if (isSign(byte)) {
    if (byte == '-') number.setNegative();
    take();
    byte = peek();
  }
  // Where the number after its sign starts in the chunk; it lies there whole unless a refill
  // comes in between.
  const std::size_t start = next_;
  const std::uint64_t refillsAtStart = refills_;
  bool anyDigit = false;
  for (; isDigit(byte); take(), byte = peek()) {
    anyDigit = true;
    number.addIntegerDigit(static_cast<char>(byte));
  }
  if (byte == '.') {
    take();
    for (byte = peek(); isDigit(byte); take(), byte = peek()) {
      anyDigit = true;
      number.addFractionDigit(static_cast<char>(byte));
    }
  }
  bool valid = anyDigit;
  if (anyDigit && (byte == 'e' || byte == 'E')) {
    take();
    byte = peek();
    if (isSign(byte)) {
      if (byte == '-') number.setExponentNegative();
      take();
      byte = peek();
    }
    bool anyExponentDigit = false;
    for (; isDigit(byte); take(), byte = peek()) {
      anyExponentDigit = true;
      number.addExponentDigit(static_cast<char>(byte));
    }
    // Without digits the exponent adds nothing to the value, but the number is not valid.
    valid = anyExponentDigit;
  }
  if (byte == kEnd) ended_ = true;
  if (!valid) failed_ = true;
  const bool wholeInChunk = refills_ == refillsAtStart;
  const std::string_view written = valid && wholeInChunk
                                       ? std::string_view(chunk_.data() + start, next_ - start)
                                       : std::string_view();
  amount = anyDigit ? number.value(written) : 0.0;
}

void InputStream::takeByte(bool endIsFailure) {
  if (peek() == kEnd) {
    ended_ = true;
    if (endIsFailure) failed_ = true;
    return;
  }
  take();
}

bool InputStream::discardLine() {
  for (int byte = peek(); byte != kEnd; byte = peek()) {
    take();
    if (byte == '\n') return true;
  }
  ended_ = true;
  return false;
}

}  // namespace pokerhilfe
