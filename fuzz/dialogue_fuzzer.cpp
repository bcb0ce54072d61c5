// The whole dialogue on arbitrary input: the menu loop and every screen, on virtual standard
// input, standard output and console screen. Whatever the input, the dialogue
//   - returns once the input has ended (a dialogue that never returns is a hang for libFuzzer),
//     having asked the system for bytes no more than needed;
//   - writes only bytes of its own texts, carriage returns and the characters of amounts;
//   - writes a bounded number of bytes per byte of input, so that no input sets off a loop
//     that writes without reading.
//
// Fuzz input: see FuzzScript. Option bit 0 makes standard output a character device, so that
// every byte is written at once instead of through the buffer.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/dialogue.hpp"
#include "app/texts.hpp"
#include "fuzz/fuzz_script.hpp"
#include "tests/virtual_system.hpp"

namespace {

using pokerhilfe::fuzzing::require;

namespace texts = pokerhilfe::texts;

constexpr std::array<std::string_view, 21> kAllTexts = {
    texts::kMenu0,          texts::kMenu1,         texts::kMenu2,        texts::kMenu3,
    texts::kMenuGap,        texts::kAllInHint,     texts::kChoicePrompt, texts::kAfterChoice,
    texts::kExplanation1,   texts::kExplanation2,  texts::kExplanation3, texts::kExplanation4,
    texts::kBigBlindPrompt, texts::kLimpersPrompt, texts::kBetPrompt,    texts::kCallersPrompt,
    texts::kPotPrompt,      texts::kRaiseToLabel,  texts::kBetLabel,     texts::kChips,
    texts::kPressEnter,
};

// The characters of every amount text: digits, point, signs, exponent letter, "inf" and "nan".
constexpr std::string_view kAmountCharacters = "0123456789.-+einfa";
constexpr std::size_t kLongestAmount = 13;  // '-1.79769e+308'

std::array<bool, 256> writableBytes() {
  std::array<bool, 256> writable{};
  auto allow = [&](std::string_view bytes) {
    for (const char byte : bytes) writable[static_cast<unsigned char>(byte)] = true;
  };
  for (const std::string_view text : kAllTexts) allow(text);
  allow(kAmountCharacters);
  allow("\r");  // before every line feed
  return writable;
}

// Every input operation that does not end the input takes at least one byte, and between two
// input operations the dialogue writes less than all its texts together and one amount, each
// line feed doubled by its carriage return. So no output can be longer than that for each byte
// taken, plus once more for the last operation that met the end.
constexpr std::size_t outputBoundPerInputByte() {
  std::size_t bytes = kLongestAmount;
  for (const std::string_view text : kAllTexts) bytes += text.size();
  return 2 * bytes;
}

void requireOnlyWritableBytes(const std::string& output) {
  static const std::array<bool, 256> writable = writableBytes();
  for (const char byte : output) {
    require(writable[static_cast<unsigned char>(byte)],
            "every output byte belongs to a text, an amount or a line end");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const pokerhilfe::fuzzing::FuzzScript script = pokerhilfe::fuzzing::splitIntoChunks(data, size);
  const bool characterDevice = (script.options & 0x01u) != 0;

  pokerhilfe::testing::VirtualConsole terminal(script.chunks, characterDevice);
  terminal.console.openConsoleScreen();
  pokerhilfe::runMainMenu(terminal.console);
  // As the process does when the dialogue has returned.
  terminal.console.flushOutput();

  pokerhilfe::fuzzing::requireReadsUpToTheEnd(script, terminal.input);
  const std::string& output = terminal.output.bytes();
  requireOnlyWritableBytes(output);
  require(output.size() <= outputBoundPerInputByte() * (script.totalBytes() + 1),
          "the output stays within a fixed number of bytes per input byte");
  return 0;
}
