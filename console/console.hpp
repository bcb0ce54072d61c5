#pragma once
// The console operations through which the dialogue talks to the user: one input stream, one
// output channel and one console screen, shared by all of them for the life of the process.
//
// Every input operation first makes everything written so far visible, then waits for input.
// What the dialogue gets back is how the operation ended:
//   Delivered  the number was read (or, for the pause, Enter was pressed);
//   Rejected   the input went on but held no valid number: the rest of that line has been
//              discarded, and the caller asks again;
//   Ended      the input has ended: the program has nothing more to read and finishes.

#include <string_view>

#include "console/console_screen.hpp"
#include "console/input_stream.hpp"
#include "console/output_channel.hpp"
#include "console/system.hpp"

namespace pokerhilfe {

enum class InputResult { Delivered, Rejected, Ended };

class Console {
 public:
  Console(ByteInput& input, ByteOutput& output, ScreenDevice& screen);

  // Records the console screen for clearing; called once, before anything is written.
  void openConsoleScreen();

  void writeText(std::string_view text);
  void writeAmount(double amount);
  void flushOutput();

  InputResult readChoice(MenuChoice& choice);
  InputResult readAmount(double& amount);
  // The pause: drops one byte, normally the line end after the last number, then one more,
  // waiting for a line when none is pending. Delivered or Ended.
  InputResult waitForEnter();

  void clearScreen();

 private:
  bool startInput();
  InputResult finishRead();

  InputStream input_;
  OutputChannel output_;
  ScreenDevice& screenDevice_;
  ConsoleScreen screen_;
};

}  // namespace pokerhilfe
