// The amount notation against the standard library's conversion with the same settings,
// std::to_chars in general notation with six digits, on the same doubles. formatAmount adds only
// its handling of zeros, infinities and NaNs; the goal is at most 1.5 times the time of the bare
// conversion.

#include <benchmark/benchmark.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "advice/formulas.hpp"
#include "console/amount_format.hpp"

namespace {

constexpr std::size_t kAmounts = 4096;

// What the screens write: the results of the three formulas on the kind of numbers people type,
// big blinds and bets of a few chips to a few thousand, up to ten players, pots with cents.
std::vector<double> screenResults() {
  std::mt19937_64 random(1);
  std::uniform_int_distribution<int> blind(1, 5000);
  std::uniform_int_distribution<int> players(0, 9);
  std::uniform_int_distribution<int> cents(1, 10'000'000);
  std::vector<double> amounts;
  for (std::size_t i = 0; amounts.size() < kAmounts; ++i) {
    switch (i % 3) {
      case 0:
        amounts.push_back(pokerhilfe::openingRaiseTarget(blind(random) / 10.0, players(random)));
        break;
      case 1:
        amounts.push_back(pokerhilfe::reraiseTarget(blind(random), players(random)));
        break;
      default:
        amounts.push_back(pokerhilfe::potBetTarget(cents(random) / 100.0));
        break;
    }
  }
  return amounts;
}

// Finite doubles of every magnitude, from random bit patterns.
std::vector<double> anyFiniteDoubles() {
  std::mt19937_64 random(2);
  std::vector<double> amounts;
  while (amounts.size() < kAmounts) {
    const double amount = std::bit_cast<double>(random());
    if (std::isfinite(amount)) amounts.push_back(amount);
  }
  return amounts;
}

template <typename Format>
void formatAll(benchmark::State& state, const std::vector<double>& amounts, Format format) {
  for (auto _ : state) {
    for (const double amount : amounts) format(amount);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * amounts.size()));
}

void programFormat(double amount) {
  const pokerhilfe::AmountText text = pokerhilfe::formatAmount(amount);
  benchmark::DoNotOptimize(text);
}

void bareToChars(double amount) {
  char text[16];
  const std::to_chars_result result =
      std::to_chars(text, text + sizeof text, amount, std::chars_format::general, 6);
  benchmark::DoNotOptimize(text);
  benchmark::DoNotOptimize(result);
}

const std::vector<double> kScreenResults = screenResults();
const std::vector<double> kAnyFiniteDoubles = anyFiniteDoubles();

void formatScreenResults(benchmark::State& state) {
  formatAll(state, kScreenResults, programFormat);
}
void toCharsScreenResults(benchmark::State& state) {
  formatAll(state, kScreenResults, bareToChars);
}
void formatAnyDoubles(benchmark::State& state) {
  formatAll(state, kAnyFiniteDoubles, programFormat);
}
void toCharsAnyDoubles(benchmark::State& state) {
  formatAll(state, kAnyFiniteDoubles, bareToChars);
}

}  // namespace

// Each pair: NAME/program and NAME/baseline; run_all.sh reports the ratio of the two.
BENCHMARK(formatScreenResults)->Name("format_screen_results/program");
BENCHMARK(toCharsScreenResults)->Name("format_screen_results/baseline");
BENCHMARK(formatAnyDoubles)->Name("format_any_doubles/program");
BENCHMARK(toCharsAnyDoubles)->Name("format_any_doubles/baseline");
