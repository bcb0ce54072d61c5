#include "console/output_channel.hpp"

namespace pokerhilfe {

namespace {
constexpr char kLineEnd[] = {'\r', '\n'};
}  // namespace

OutputChannel::OutputChannel(ByteOutput& sink)
    : sink_(sink), buffered_(!sink.isCharacterDevice()) {}

void OutputChannel::write(std::string_view bytes) {
  if (failed_) return;
  if (buffered_) {
    writeBuffered(bytes);
  } else {
    writeUnbuffered(bytes);
  }
}

void OutputChannel::flush() {
  if (buffered_) handOver();
}

// A console shows each byte before the program does anything else. What the system fails to
// write there is not looked at: the console has no better place to report it.
void OutputChannel::writeUnbuffered(std::string_view bytes) {
  for (const char byte : bytes) {
    if (byte == '\n') {
      sink_.write(kLineEnd, sizeof kLineEnd);
    } else {
      sink_.write(&byte, 1);
    }
  }
}

void OutputChannel::writeBuffered(std::string_view bytes) {
  for (const char byte : bytes) {
    const std::size_t needed = byte == '\n' ? sizeof kLineEnd : 1;
    if (pending_ + needed > buffer_.size()) {
      handOver();
      if (failed_) return;  // the rest of this write is lost with the rest of the output
    }
    if (byte == '\n') {
      buffer_[pending_++] = kLineEnd[0];
      buffer_[pending_++] = kLineEnd[1];
    } else {
      buffer_[pending_++] = byte;
    }
  }
}

// The buffer is empty afterwards whether or not the system took its bytes: a short write loses
// them and silences the channel for good, and the program goes on without a message.
void OutputChannel::handOver() {
  if (pending_ == 0 || failed_) return;
  const std::size_t written = sink_.write(buffer_.data(), pending_);
  if (written < pending_) failed_ = true;
  pending_ = 0;
}

}  // namespace pokerhilfe
