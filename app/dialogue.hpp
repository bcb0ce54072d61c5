#pragma once
// The program's dialogue: the menu of betting situations, the explanation of betting and raising,
// and the three screens that recommend an amount.

#include "console/console.hpp"

namespace pokerhilfe {

// Whether the dialogue goes on after a screen: it stops only when the input has ended.
enum class Flow { Continue, InputEnded };

// Shows the menu and runs the chosen screen, again and again, until the input ends.
void runMainMenu(Console& console);

Flow showExplanation(Console& console);
Flow adviseOpeningRaise(Console& console);
Flow adviseReraise(Console& console);
Flow adviseBet(Console& console);

}  // namespace pokerhilfe
