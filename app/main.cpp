// pokerhilfe: betting advice for poker players, on the console.

#include "app/dialogue.hpp"
#include "console/console.hpp"
#include "console/system.hpp"

int main() {
  using namespace pokerhilfe;
  Console console(standardInput(), standardOutput(), consoleScreenDevice());
  console.openConsoleScreen();
  runMainMenu(console);
  // The input has ended: whatever the last screen wrote still reaches standard output.
  console.flushOutput();
  return 0;
}
