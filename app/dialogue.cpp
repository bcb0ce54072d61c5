#include "app/dialogue.hpp"

#include "advice/formulas.hpp"
#include "app/texts.hpp"

namespace pokerhilfe {

namespace {

void writeMenu(Console& console) {
  for (const std::string_view text :
       {texts::kMenu0.view(), texts::kMenu1.view(), texts::kMenu2.view(), texts::kMenu3.view(),
        texts::kMenuGap.view(), texts::kAllInHint.view(), texts::kMenuGap.view(),
        texts::kChoicePrompt.view()}) {
    console.writeText(text);
  }
}

// Runs the screen of a selection; values outside 0 to 3 select none.
Flow runScreen(Console& console, MenuChoice selection) {
  switch (selection) {
    case 0:
      return showExplanation(console);
    case 1:
      return adviseOpeningRaise(console);
    case 2:
      return adviseReraise(console);
    case 3:
      return adviseBet(console);
    default:
      return Flow::Continue;
  }
}

// Writes the prompt and reads the amount; input that is not a number gets the prompt again.
bool askForAmount(Console& console, std::string_view prompt, double& amount) {
  for (;;) {
    console.writeText(prompt);
    switch (console.readAmount(amount)) {
      case InputResult::Delivered:
        return true;
      case InputResult::Rejected:
        continue;
      case InputResult::Ended:
        return false;
    }
  }
}

// Every screen ends alike: the pause until Enter, then a clean console for the next menu. When
// the input ends during the pause, the console is left as it is.
Flow endScreen(Console& console) {
  if (console.waitForEnter() == InputResult::Ended) return Flow::InputEnded;
  console.clearScreen();
  return Flow::Continue;
}

Flow showAdvice(Console& console, std::string_view label, double amount) {
  console.writeText(label);
  console.writeAmount(amount);
  console.writeText(texts::kChips);
  console.writeText(texts::kPressEnter);
  return endScreen(console);
}

}  // namespace

void runMainMenu(Console& console) {
  MenuChoice selection = 0;  // a value is used only after a read has delivered one
  for (;;) {
    writeMenu(console);
    const InputResult result = console.readChoice(selection);
    if (result == InputResult::Ended) return;
    console.writeText(texts::kAfterChoice);
    if (result == InputResult::Rejected) continue;  // as for a number that selects nothing
    if (runScreen(console, selection) == Flow::InputEnded) return;
  }
}

Flow showExplanation(Console& console) {
  console.writeText(texts::kExplanation1);
  console.writeText(texts::kExplanation2);
  console.writeText(texts::kExplanation3);
  console.writeText(texts::kExplanation4);
  return endScreen(console);
}

Flow adviseOpeningRaise(Console& console) {
  double bigBlind = 0;
  double limpers = 0;
  if (!askForAmount(console, texts::kBigBlindPrompt, bigBlind) ||
      !askForAmount(console, texts::kLimpersPrompt, limpers)) {
    return Flow::InputEnded;
  }
  return showAdvice(console, texts::kRaiseToLabel, openingRaiseTarget(bigBlind, limpers));
}

Flow adviseReraise(Console& console) {
  double bet = 0;
  double callers = 0;
  if (!askForAmount(console, texts::kBetPrompt, bet) ||
      !askForAmount(console, texts::kCallersPrompt, callers)) {
    return Flow::InputEnded;
  }
  return showAdvice(console, texts::kRaiseToLabel, reraiseTarget(bet, callers));
}

Flow adviseBet(Console& console) {
  double pot = 0;
  if (!askForAmount(console, texts::kPotPrompt, pot)) return Flow::InputEnded;
  return showAdvice(console, texts::kBetLabel, potBetTarget(pot));
}

}  // namespace pokerhilfe
