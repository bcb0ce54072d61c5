#pragma once
// Every text the program writes, in the order in which it writes them. Each is written by a call
// of its own; \n is a line end.

#include "app/cp850_text.hpp"

namespace pokerhilfe::texts {

// The menu, at the start of every pass.
inline constexpr Cp850Text kMenu0 = u8"(0) Untschied zwischen den Begriffen setzen und erhöhen.\n";
inline constexpr Cp850Text kMenu1 = u8"(1) Niemand hat erhöht\n\n";
inline constexpr Cp850Text kMenu2 =
    u8"(2) Jemand hat gesetzt oder erhöht (eine oder mehrere oder erhöhungen)\n";
inline constexpr Cp850Text kMenu3 = u8"(3) Niemand hat gesetzt\n";
inline constexpr Cp850Text kMenuGap = u8"\n";
inline constexpr Cp850Text kAllInHint =
    u8"[ Deine Erhöhung würde mehr als die Hälfte deiner Chips kosten? \n"
    u8"Dann geh direkt All-In ! ]\n";
inline constexpr Cp850Text kChoicePrompt = u8"Auswahl: ";
// After the choice has been read.
inline constexpr Cp850Text kAfterChoice = u8"\n";

// Choice 0.
inline constexpr Cp850Text kExplanation1 =
    u8"Zu setzen heisst, einen bestimmten Betrag zu setzen,ein Gebot abzugeben.\n";
inline constexpr Cp850Text kExplanation2 =
    u8"Ein Spieler kann nur setzen, wenn vor ihm noch niemand etwas\n";
inline constexpr Cp850Text kExplanation3 =
    u8"gesetzt hat. Hat jemand anderes schon einen Einsatz gebracht, dann kann ein Spieler,\n";
inline constexpr Cp850Text kExplanation4 = u8"der das Gebot überbieten will, RAISEN.\n";

// Choice 1.
inline constexpr Cp850Text kBigBlindPrompt = u8"Big Blind: ";
inline constexpr Cp850Text kLimpersPrompt = u8"Anzahl von neu eingestiegenen Spielern: ";
// Choice 2.
inline constexpr Cp850Text kBetPrompt = u8"Wert eingeben um den gesetzt oder erhöht wurde: ";
inline constexpr Cp850Text kCallersPrompt = u8"Anzahl von mitgegangenen Spielern: ";
// Choice 3.
inline constexpr Cp850Text kPotPrompt = u8"Momentaner Wert vom Pot: ";

// The result of choices 1 to 3.
inline constexpr Cp850Text kRaiseToLabel = u8"Erhöhe auf: ";
inline constexpr Cp850Text kBetLabel = u8"Setze den Wert auf: ";
inline constexpr Cp850Text kChips = u8" Chips.\n\n";
inline constexpr Cp850Text kPressEnter =
    u8"Eingabetaste (Enter) drücken um eine neue Eingabe zu machen.\n";

}  // namespace pokerhilfe::texts
