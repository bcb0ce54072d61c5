"""The program's texts, as readable German, for the tests that run the built program: the
system tests, the terminal tests and the Wine tests. What the program writes is code page 850
with every line feed sent as CR LF; `encode` turns a readable transcript into those bytes.
"""

MENU = (
    "(0) Untschied zwischen den Begriffen setzen und erhöhen.\n"
    "(1) Niemand hat erhöht\n\n"
    "(2) Jemand hat gesetzt oder erhöht (eine oder mehrere oder erhöhungen)\n"
    "(3) Niemand hat gesetzt\n"
    "\n"
    "[ Deine Erhöhung würde mehr als die Hälfte deiner Chips kosten? \n"
    "Dann geh direkt All-In ! ]\n"
    "\n"
    "Auswahl: "
)
# Written after every choice that was read, whether it selects a screen or not.
AFTER_CHOICE = "\n"

EXPLANATION = (
    "Zu setzen heisst, einen bestimmten Betrag zu setzen,ein Gebot abzugeben.\n"
    "Ein Spieler kann nur setzen, wenn vor ihm noch niemand etwas\n"
    "gesetzt hat. Hat jemand anderes schon einen Einsatz gebracht, dann kann ein Spieler,\n"
    "der das Gebot überbieten will, RAISEN.\n"
)

BIG_BLIND = "Big Blind: "
LIMPERS = "Anzahl von neu eingestiegenen Spielern: "
BET = "Wert eingeben um den gesetzt oder erhöht wurde: "
CALLERS = "Anzahl von mitgegangenen Spielern: "
POT = "Momentaner Wert vom Pot: "

PRESS_ENTER = "Eingabetaste (Enter) drücken um eine neue Eingabe zu machen.\n"


def raise_to(amount):
    """The end of choices 1 and 2: the recommended amount and the request to press Enter."""
    return f"Erhöhe auf: {amount} Chips.\n\n" + PRESS_ENTER


def bet_to(amount):
    """The end of choice 3."""
    return f"Setze den Wert auf: {amount} Chips.\n\n" + PRESS_ENTER


def chosen(screen=""):
    """A menu, the line end after the choice, and what the chosen screen writes."""
    return MENU + AFTER_CHOICE + screen


def encode(text):
    """The bytes the program writes for a readable transcript."""
    return text.replace("\n", "\r\n").encode("cp850")


def encode_unbuffered(text):
    """The write calls the program makes for a text on a character device: one per byte, and
    one of the two bytes CR LF per line feed."""
    return [b"\r\n" if character == "\n" else character.encode("cp850") for character in text]
