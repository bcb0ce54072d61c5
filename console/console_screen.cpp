#include "console/console_screen.hpp"

namespace pokerhilfe {

namespace {
constexpr ScreenCell kTopLeft{0, 0};
constexpr char kBlank = ' ';
constexpr std::uint16_t kAttributeBits = 0xFF;
}  // namespace

ConsoleScreen openConsoleScreen(ScreenDevice& device) {
  ConsoleScreen screen;
  screen.output = device.openActiveScreenBuffer();
  ScreenBufferInfo info;
  if (device.getScreenBufferInfo(screen.output, info)) {
    screen.width = info.width;
    screen.height = info.height;
    screen.attribute = static_cast<std::uint8_t>(info.attributes & kAttributeBits);
  }
  return screen;
}

// The results of the console calls are not looked at: a console that changed size since the
// start cuts the filling off at its own end, and there is nothing better to do when it fails.
void clearScreen(ScreenDevice& device, const ConsoleScreen& screen) {
  if (screen.width != 0 && screen.height != 0) {
    const std::uint32_t cells = std::uint32_t{screen.width} * screen.height;
    device.fillWithCharacter(screen.output, kBlank, cells, kTopLeft);
    device.fillWithAttribute(screen.output, screen.attribute, cells, kTopLeft);
  }
  device.setCursorPosition(screen.output, kTopLeft);
}

}  // namespace pokerhilfe
