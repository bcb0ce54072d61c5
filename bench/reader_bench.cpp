// The amount reader against the standard library's conversion, std::from_chars, on the same
// numbers: many amounts as a user types them, one per line, in memory. The reader takes them
// byte by byte from the input stream, which gets them from a virtual standard input in chunks of
// the size it asks the system for; the baseline walks over the same text. The goal is at most
// twice the time of the bare conversion.

#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "console/input_stream.hpp"
#include "tests/virtual_system.hpp"

namespace {

constexpr std::size_t kNumbers = 10'000;

// Whole chips, chips with cents, a few with an exponent, a few negative: what people type.
std::string typedAmounts() {
  std::mt19937_64 random(3);
  std::uniform_int_distribution<int> chips(0, 100'000);
  std::uniform_int_distribution<int> cents(0, 99);
  std::uniform_int_distribution<int> form(0, 9);
  std::string text;
  for (std::size_t i = 0; i < kNumbers; ++i) {
    const int kind = form(random);
    if (kind == 0) text += '-';
    text += std::to_string(chips(random));
    if (kind >= 6) text += '.' + std::to_string(cents(random));
    if (kind == 9) text += "e-2";
    text += '\n';
  }
  return text;
}

const std::string kTypedAmounts = typedAmounts();

// The text as a virtual standard input delivers it: one chunk per read of the system.
std::vector<std::string> chunksOf(const std::string& text) {
  std::vector<std::string> chunks;
  for (std::size_t first = 0; first < text.size(); first += pokerhilfe::InputStream::kChunkSize) {
    chunks.push_back(text.substr(first, pokerhilfe::InputStream::kChunkSize));
  }
  return chunks;
}

void readAmounts(benchmark::State& state) {
  const std::vector<std::string> chunks = chunksOf(kTypedAmounts);
  for (auto _ : state) {
    // A fresh standard input for every pass; filling it is not the reader's work.
    state.PauseTiming();
    pokerhilfe::testing::ScriptedInput input(chunks);
    pokerhilfe::InputStream stream(input);
    state.ResumeTiming();
    for (std::size_t i = 0; i < kNumbers; ++i) {
      double amount = 0;
      stream.readAmount(amount);
      benchmark::DoNotOptimize(amount);
    }
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kNumbers));
}

void fromChars(benchmark::State& state) {
  const char* const end = kTypedAmounts.data() + kTypedAmounts.size();
  for (auto _ : state) {
    const char* next = kTypedAmounts.data();
    for (std::size_t i = 0; i < kNumbers; ++i) {
      double amount = 0;
      next = std::from_chars(next, end, amount).ptr + 1;  // and over the line feed
      benchmark::DoNotOptimize(amount);
    }
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kNumbers));
}

// Both sides must read the same values, or the comparison means nothing.
bool readersAgree() {
  pokerhilfe::testing::ScriptedInput input(chunksOf(kTypedAmounts));
  pokerhilfe::InputStream stream(input);
  const char* next = kTypedAmounts.data();
  const char* const end = next + kTypedAmounts.size();
  for (std::size_t i = 0; i < kNumbers; ++i) {
    double read = 0;
    double converted = 0;
    stream.readAmount(read);
    next = std::from_chars(next, end, converted).ptr + 1;
    if (read != converted || stream.hasFailed()) return false;
  }
  return true;
}

void readAmountsChecked(benchmark::State& state) {
  if (!readersAgree()) {
    state.SkipWithError("the amount reader and std::from_chars read different values");
    return;
  }
  readAmounts(state);
}

}  // namespace

BENCHMARK(readAmountsChecked)->Name("read_amounts/program");
BENCHMARK(fromChars)->Name("read_amounts/baseline");
