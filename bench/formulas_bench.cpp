// The three formulas, which compute with a 64-bit significand in integer arithmetic, against the
// same computation in the x87 unit's long double, where the hardware does it. Both sides are
// called out of line, as a screen calls a formula. The goal is a few nanoseconds per call.

#include <benchmark/benchmark.h>

#include <bit>
#include <cfloat>
#include <cstdint>
#include <random>
#include <vector>

#include "advice/formulas.hpp"

namespace {

constexpr std::size_t kCalls = 1024;

struct Operands {
  double amount;
  double players;
};

// Blinds, bets and pots of a few chips to a few thousand, with cents; up to ten players.
std::vector<Operands> typicalOperands() {
  std::mt19937_64 random(4);
  std::uniform_int_distribution<int> cents(1, 500'000);
  std::uniform_int_distribution<int> players(0, 9);
  std::vector<Operands> operands;
  for (std::size_t i = 0; i < kCalls; ++i) {
    operands.push_back({cents(random) / 100.0, static_cast<double>(players(random))});
  }
  return operands;
}

const std::vector<Operands> kOperands = typicalOperands();

template <typename Formula>
void callTwoOperands(benchmark::State& state, Formula formula) {
  for (auto _ : state) {
    for (const Operands& operands : kOperands) {
      benchmark::DoNotOptimize(formula(operands.amount, operands.players));
    }
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kOperands.size()));
}

template <typename Formula>
void callOneOperand(benchmark::State& state, Formula formula) {
  for (auto _ : state) {
    for (const Operands& operands : kOperands) {
      benchmark::DoNotOptimize(formula(operands.amount));
    }
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kOperands.size()));
}

void openingRaise(benchmark::State& state) {
  callTwoOperands(state, pokerhilfe::openingRaiseTarget);
}
void reraise(benchmark::State& state) {
  callTwoOperands(state, pokerhilfe::reraiseTarget);
}
void potBet(benchmark::State& state) {
  callOneOperand(state, pokerhilfe::potBetTarget);
}

}  // namespace

BENCHMARK(openingRaise)->Name("opening_raise_target/program");
BENCHMARK(reraise)->Name("reraise_target/program");
BENCHMARK(potBet)->Name("pot_bet_target/program");

// The baselines exist where long double is the x87 format with its 64-bit significand, and the
// unit computes at that precision, rounding to nearest, as it does unless told otherwise.
#if (defined(__x86_64__) || defined(__i386__)) && LDBL_MANT_DIG == 64

namespace {

[[gnu::noinline]] double openingRaiseX87(double bigBlind, double limpers) {
  return static_cast<double>(4.0L * bigBlind + static_cast<long double>(bigBlind) * limpers);
}

[[gnu::noinline]] double reraiseX87(double bet, double callers) {
  return static_cast<double>(3.0L * bet + static_cast<long double>(bet) * callers);
}

[[gnu::noinline]] double potBetX87(double pot) {
  const long double twoThirds = std::bit_cast<double>(std::uint64_t{0x3FE5555555555555});
  return static_cast<double>(twoThirds * pot);
}

// The two sides must give the same doubles, or the comparison means nothing.
bool formulasAgreeWithX87() {
  for (const Operands& operands : kOperands) {
    const double amount = operands.amount;
    const double players = operands.players;
    if (pokerhilfe::openingRaiseTarget(amount, players) != openingRaiseX87(amount, players) ||
        pokerhilfe::reraiseTarget(amount, players) != reraiseX87(amount, players) ||
        pokerhilfe::potBetTarget(amount) != potBetX87(amount)) {
      return false;
    }
  }
  return true;
}

template <typename Run>
void checked(benchmark::State& state, Run run) {
  if (!formulasAgreeWithX87()) {
    state.SkipWithError("the formulas and the x87 computation give different doubles");
    return;
  }
  run(state);
}

void openingRaiseOnX87(benchmark::State& state) {
  checked(state, [](benchmark::State& s) { callTwoOperands(s, openingRaiseX87); });
}
void reraiseOnX87(benchmark::State& state) {
  checked(state, [](benchmark::State& s) { callTwoOperands(s, reraiseX87); });
}
void potBetOnX87(benchmark::State& state) {
  checked(state, [](benchmark::State& s) { callOneOperand(s, potBetX87); });
}

}  // namespace

BENCHMARK(openingRaiseOnX87)->Name("opening_raise_target/baseline");
BENCHMARK(reraiseOnX87)->Name("reraise_target/baseline");
BENCHMARK(potBetOnX87)->Name("pot_bet_target/baseline");

#endif
