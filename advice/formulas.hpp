#pragma once
// The three recommendations, as pure functions of the numbers a screen has read. Intermediate
// results carry a 64-bit significand, rounded to nearest with ties to even; only the result is
// rounded to a double. Nothing is checked: negative numbers, zero and fractions are used as
// they are. A result too large for a double is an infinity; infinity times zero and infinity
// minus infinity give a NaN.

namespace pokerhilfe {

// Nobody has raised yet: four big blinds, plus one big blind for each player who has entered
// the pot.
double openingRaiseTarget(double bigBlind, double limpers);

// Somebody has bet or raised: three times that amount, plus that amount once for each player who
// has called.
double reraiseTarget(double bet, double callers);

// Nobody has bet yet: two thirds of the pot.
double potBetTarget(double pot);

}  // namespace pokerhilfe
