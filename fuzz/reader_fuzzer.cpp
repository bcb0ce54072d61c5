// The input stream's reads on arbitrary input, each checked against a model of its own: the
// model scans the same syntax byte by byte over the input as the reads see it (carriage returns
// dropped, nothing from Ctrl+Z on) and computes the values independently:
//   - an amount: strtod on the first 17 significant digits and the power of ten they stand
//     for, an exponent above 340 giving infinity and one below -340 zero;
//   - a choice: compared as a string with 4294967295, then negated modulo 2^32.
// After every operation the value stored, the two flags and, for discardLine, the result must
// agree with the model; at the end the bytes still pending must be as many as the model has
// left, so that a read that took a byte too many or too few does not go unseen.
//
// Fuzz input: the first byte's low four bits give a count n of operation bytes that follow;
// each holds four operations of two bits, lowest first (0 readAmount, 1 readChoice, 2 takeByte,
// 3 discardLine), run in a cycle until the input ends. With n = 0 every operation is readAmount.
// The rest of the input is a FuzzScript.

#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "console/input_stream.hpp"
#include "fuzz/fuzz_script.hpp"
#include "tests/virtual_system.hpp"

namespace {

using pokerhilfe::MenuChoice;
using pokerhilfe::fuzzing::require;

enum class Operation { ReadAmount, ReadChoice, TakeByte, DiscardLine };

// What a read that stores nothing leaves in its variable.
constexpr double kUntouchedAmount = 12345.678;
constexpr MenuChoice kUntouchedChoice = 0xC0FFEEu;

// Standard input as the reads see it.
std::string bytesAsRead(const pokerhilfe::fuzzing::FuzzScript& script) {
  std::string bytes;
  for (const std::string& chunk : script.chunks) bytes += chunk;
  bytes.erase(std::min(bytes.find('\x1A'), bytes.size()));
  std::erase(bytes, '\r');
  return bytes;
}

bool isDigit(int byte) {
  return byte >= '0' && byte <= '9';
}
bool isBlank(int byte) {
  return byte == ' ' || (byte >= '\t' && byte <= '\r');
}
bool isSign(int byte) {
  return byte == '+' || byte == '-';
}

// The decimal number of the amount reader, from its parts as they were typed.
struct TypedDecimal {
  bool negative = false;
  std::string integerDigits;
  std::string fractionDigits;
  bool exponentNegative = false;
  std::string exponentDigits;
};

// The exponent's value, held within a range that already decides the result by itself.
long exponentValue(const TypedDecimal& number) {
  long value = 0;
  for (const char digit : number.exponentDigits) {
    value = std::min(value * 10 + (digit - '0'), 100'000L);
  }
  return number.exponentNegative ? -value : value;
}

double valueOf(const TypedDecimal& number) {
  const double sign = number.negative ? -1.0 : 1.0;
  const std::string digits = number.integerDigits + number.fractionDigits;
  const std::size_t firstSignificant = digits.find_first_not_of('0');
  if (firstSignificant == std::string::npos) return sign * 0.0;

  const long exponent = exponentValue(number);
  if (exponent > 340) return sign * std::numeric_limits<double>::infinity();
  if (exponent < -340) return sign * 0.0;

  // The digits kept, D, and the power of ten P of the number D × 10^P that they stand for: the
  // dropped digits raise it, every digit typed after the point lowers it.
  const std::string significant = digits.substr(firstSignificant);
  const std::string kept = significant.substr(0, 17);
  const long dropped = static_cast<long>(significant.size() - kept.size());
  const long power = dropped - static_cast<long>(number.fractionDigits.size()) + exponent;
  const std::string text = (number.negative ? "-" : "") + kept + "e" + std::to_string(power);
  return std::strtod(text.c_str(), nullptr);
}

// The input stream as the model sees it.
class InputModel {
 public:
  explicit InputModel(std::string bytes) : bytes_(std::move(bytes)) {}

  bool ended = false;
  bool failed = false;

  std::size_t pending() const { return bytes_.size() - next_; }

  void readAmount(double& amount) {
    if (!skipBlanks()) return;
    TypedDecimal number;
    number.negative = takeSign();
    number.integerDigits = takeDigits();
    if (peek() == '.') {
      take();
      number.fractionDigits = takeDigits();
    }
    const bool anyDigit = !number.integerDigits.empty() || !number.fractionDigits.empty();
    bool valid = anyDigit;
    if (anyDigit && (peek() == 'e' || peek() == 'E')) {
      take();
      number.exponentNegative = takeSign();
      number.exponentDigits = takeDigits();
      valid = !number.exponentDigits.empty();
      // An exponent letter without digits makes the read fail and adds nothing to the value.
    }
    finishRead(valid);
    amount = anyDigit ? valueOf(number) : 0.0;
  }

  void readChoice(MenuChoice& choice) {
    if (!skipBlanks()) return;
    const bool negative = takeSign();
    const std::string digits = takeDigits();
    if (digits.empty()) return finishRead(false);

    const std::string_view largest = "4294967295";
    std::string_view value = digits;
    value.remove_prefix(std::min(value.find_first_not_of('0'), value.size()));
    if (value.size() > largest.size() || (value.size() == largest.size() && value > largest)) {
      choice = std::numeric_limits<MenuChoice>::max();
      return finishRead(false);
    }
    constexpr std::uint64_t kModulus = std::uint64_t{1} << 32;
    const std::uint64_t magnitude = value.empty() ? 0 : std::stoull(std::string(value));
    choice = static_cast<MenuChoice>(negative ? (kModulus - magnitude) % kModulus : magnitude);
    finishRead(true);
  }

  void takeByte(bool endIsFailure) {
    if (peek() == kEnd) {
      ended = true;
      failed = failed || endIsFailure;
    } else {
      take();
    }
  }

  bool discardLine() {
    while (peek() != kEnd) {
      if (take() == '\n') return true;
    }
    ended = true;
    return false;
  }

 private:
  static constexpr int kEnd = -1;

  int peek() const {
    return next_ < bytes_.size() ? static_cast<unsigned char>(bytes_[next_]) : kEnd;
  }
  char take() { return bytes_[next_++]; }

  // False, with both flags set, when the input ends before a byte that is not a blank.
  bool skipBlanks() {
    while (isBlank(peek())) take();
    if (peek() != kEnd) return true;
    ended = failed = true;
    return false;
  }
  bool takeSign() {
    if (!isSign(peek())) return false;
    return take() == '-';
  }
  std::string takeDigits() {
    std::string digits;
    while (isDigit(peek())) digits += take();
    return digits;
  }
  void finishRead(bool valid) {
    if (peek() == kEnd) ended = true;
    if (!valid) failed = true;
  }

  std::string bytes_;
  std::size_t next_ = 0;
};

std::vector<Operation> operationsOf(const std::uint8_t*& data, std::size_t& size) {
  std::vector<Operation> operations;
  if (size == 0) return {Operation::ReadAmount};
  const std::size_t operationBytes = std::min<std::size_t>(data[0] & 0x0Fu, size - 1);
  for (std::size_t i = 1; i <= operationBytes; ++i) {
    for (int shift = 0; shift < 8; shift += 2) {
      operations.push_back(static_cast<Operation>((data[i] >> shift) & 0x03u));
    }
  }
  data += operationBytes + 1;
  size -= operationBytes + 1;
  if (operations.empty()) operations.push_back(Operation::ReadAmount);
  return operations;
}

void requireSameAmount(double actual, double expected) {
  require(std::bit_cast<std::uint64_t>(actual) == std::bit_cast<std::uint64_t>(expected),
          "readAmount stores the model's value, bit for bit");
}

void runOperation(Operation operation, pokerhilfe::InputStream& stream, InputModel& model) {
  switch (operation) {
    case Operation::ReadAmount: {
      double amount = kUntouchedAmount;
      double expected = kUntouchedAmount;
      stream.readAmount(amount);
      model.readAmount(expected);
      requireSameAmount(amount, expected);
      break;
    }
    case Operation::ReadChoice: {
      MenuChoice choice = kUntouchedChoice;
      MenuChoice expected = kUntouchedChoice;
      stream.readChoice(choice);
      model.readChoice(expected);
      require(choice == expected, "readChoice stores the model's value");
      break;
    }
    case Operation::TakeByte:
      stream.takeByte(true);
      model.takeByte(true);
      break;
    case Operation::DiscardLine:
      require(stream.discardLine() == model.discardLine(),
              "discardLine finds a line end where the model does");
      break;
  }
  require(stream.hasEnded() == model.ended, "the input ends where the model's does");
  require(stream.hasFailed() == model.failed, "a read fails where the model's does");
  // As the console does after a failure, so that each operation's failure is seen on its own.
  stream.clearFailure();
  model.failed = false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<Operation> operations = operationsOf(data, size);
  const pokerhilfe::fuzzing::FuzzScript script = pokerhilfe::fuzzing::splitIntoChunks(data, size);

  pokerhilfe::testing::ScriptedInput input(script.chunks);
  pokerhilfe::InputStream stream(input);
  InputModel model(bytesAsRead(script));

  // A read that finds no number takes no byte, so a cycle of such reads could go on for ever;
  // the cycle stops after a number of operations that lets every byte be taken one by one.
  const std::size_t operationLimit = 2 * script.totalBytes() + operations.size() + 2;
  for (std::size_t done = 0; done < operationLimit && !stream.hasEnded(); ++done) {
    runOperation(operations[done % operations.size()], stream, model);
  }

  std::size_t stillPending = 0;
  for (; !stream.hasEnded(); ++stillPending) stream.takeByte(false);
  // The last takeByte met the end rather than a byte.
  if (stillPending > 0) --stillPending;
  require(stillPending == model.pending(), "the reads leave as many bytes pending as the model");
  pokerhilfe::fuzzing::requireReadsUpToTheEnd(script, input);
  return 0;
}
