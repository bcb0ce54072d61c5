"""Random input through the built program: whatever the bytes, the program ends with status 0
at the end of its input, writes nothing on standard error, and what it writes is well formed.
"""

import random

from session import MENU, ProgramTestCase, encode, main, run

SEED = 20240915
RUNS = 300

# Bytes that mean something to the reads, over-represented so that random lines reach into
# the screens: digits (choices 0 to 3 most of all), signs, the decimal point, exponent letters,
# blanks, line ends, carriage returns and Ctrl+Z.
MEANINGFUL = b"0123" * 6 + b"456789" + b"+-.eE" + b" \t\n\n\n\r\x1a"

# Pieces of typed lines: choices, amounts of every shape, things that are not numbers, and the
# bytes between them.
PIECES = [
    b"0", b"1", b"2", b"3", b"4", b"-1", b"4294967296", b"10", b"2.5", b".5", b"5.", b"-2",
    b"1e3", b"1E+3", b"2.5e-1", b"1e400", b"1e-400", b"0e400", b"12345678901234567891",
    b"abc", b"inf", b"nan", b"-", b".", b"1e", b"1e+", b"1,5", b"0x10",
    b" ", b" ", b"\t", b"\n", b"\n", b"\n", b"\r\n", b"\r", b"\x1a",
]


def random_bytes(generator, length):
    if generator.random() < 0.3:
        return generator.randbytes(length)  # anything at all
    return bytes(
        generator.choice(MEANINGFUL) if generator.random() < 0.9 else generator.randrange(256)
        for _ in range(length)
    )


def random_lines(generator, pieces):
    return b"".join(generator.choice(PIECES) for _ in range(pieces))


def random_input(generator):
    length = generator.randint(0, generator.choice([1, 2, 5, 20, 100, 1000]))
    if generator.random() < 0.5:
        return random_lines(generator, length)
    return random_bytes(generator, length)


class RandomInputTest(ProgramTestCase):
    def test_random_input_ends_the_program_cleanly(self):
        generator = random.Random(SEED)
        first_menu = encode(MENU)
        for run_number in range(RUNS):
            input_bytes = random_input(generator)
            with self.subTest(run=run_number, input=input_bytes):
                result = run(input_bytes)
                self.assertEndsCleanly(result)
                self.assertTrue(result.stdout.startswith(first_menu), "the first menu")
                # The program's texts hold no carriage return: every CR it writes is the first
                # byte of a line end, and every line feed comes after one.
                self.assertEqual(result.stdout.count(b"\r\n"), result.stdout.count(b"\r"))
                self.assertEqual(result.stdout.count(b"\r\n"), result.stdout.count(b"\n"))


if __name__ == "__main__":
    main()
