#include "console/console.hpp"

#include "console/amount_format.hpp"

namespace pokerhilfe {

Console::Console(ByteInput& input, ByteOutput& output, ScreenDevice& screen)
    : input_(input), output_(output), screenDevice_(screen) {}

void Console::openConsoleScreen() {
  screen_ = pokerhilfe::openConsoleScreen(screenDevice_);
}

void Console::writeText(std::string_view text) {
  output_.write(text);
}

void Console::writeAmount(double amount) {
  output_.write(formatAmount(amount).view());
}

void Console::flushOutput() {
  output_.flush();
}

void Console::clearScreen() {
  pokerhilfe::clearScreen(screenDevice_, screen_);
}

// The end of the input and input that is not a number are handled here, and only here.
//
// Once the input has ended, every later input operation reports Ended at once, without taking
// a byte or flushing. A read that fails because the input ended is Ended as well; a read that
// delivers its number right at the end is Delivered, and the next operation is Ended. A read
// that fails while the input goes on is Rejected: the failure is forgotten and the rest of the
// line is thrown away, so that the caller can ask again.

bool Console::startInput() {
  if (input_.hasEnded()) return false;
  flushOutput();
  return true;
}

InputResult Console::finishRead() {
  if (!input_.hasFailed()) return InputResult::Delivered;
  if (input_.hasEnded()) return InputResult::Ended;
  input_.clearFailure();
  return input_.discardLine() ? InputResult::Rejected : InputResult::Ended;
}

InputResult Console::readChoice(MenuChoice& choice) {
  if (!startInput()) return InputResult::Ended;
  input_.readChoice(choice);
  return finishRead();
}

InputResult Console::readAmount(double& amount) {
  if (!startInput()) return InputResult::Ended;
  input_.readAmount(amount);
  return finishRead();
}

InputResult Console::waitForEnter() {
  for (const bool endIsFailure : {false, true}) {
    if (!startInput()) return InputResult::Ended;
    input_.takeByte(endIsFailure);
  }
  return input_.hasEnded() ? InputResult::Ended : InputResult::Delivered;
}

}  // namespace pokerhilfe
