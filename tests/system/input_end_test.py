"""The end of the input and input that is not a number, through the built program.

When the input ends, the program ends at once with status 0: whatever it wrote is out, nothing
more is written, and the console is not cleared. Input that is not a number while more input
follows is dropped to the end of its line; the menu then comes again after its line end, and a
prompt is written again.
"""

from session import (
    BET,
    BIG_BLIND,
    CALLERS,
    EXPLANATION,
    LIMPERS,
    MENU,
    POT,
    ProgramTestCase,
    bet_to,
    chosen,
    main,
    raise_to,
)


class EndOfInputTest(ProgramTestCase):
    def test_empty_input_shows_only_the_first_menu(self):
        self.assertSession(b"", MENU)

    def test_blank_lines_alone_end_at_the_first_menu(self):
        self.assertSession(b"\n\n \t \n", MENU)

    def test_end_at_the_menu_after_a_pass(self):
        self.assertSession(b"4\n", chosen() + MENU)

    def test_end_after_the_first_prompt(self):
        self.assertSessions(
            [
                (b"1\n", chosen(BIG_BLIND)),
                (b"2\n", chosen(BET)),
                (b"3\n", chosen(POT)),
            ]
        )

    def test_end_after_the_second_prompt(self):
        self.assertSessions(
            [
                (b"1\n2\n", chosen(BIG_BLIND + LIMPERS)),
                (b"2\n10\n", chosen(BET + CALLERS)),
            ]
        )

    def test_end_in_the_pause(self):
        # The pause takes the line end after the last number and then meets the end.
        self.assertSessions(
            [
                (b"0\n", chosen(EXPLANATION)),
                (b"1\n2\n3\n", chosen(BIG_BLIND + LIMPERS + raise_to("14"))),
                (b"2\n10\n2\n", chosen(BET + CALLERS + raise_to("50"))),
                (b"3\n30\n", chosen(POT + bet_to("20"))),
            ]
        )

    def test_a_number_right_at_the_end_is_still_used(self):
        # The number counts; the next read or pause finds the end.
        self.assertSessions(
            [
                (b"5", chosen() + MENU),
                (b"0", chosen(EXPLANATION)),
                (b"1\n2\n3", chosen(BIG_BLIND + LIMPERS + raise_to("14"))),
                (b"3\n30", chosen(POT + bet_to("20"))),
            ]
        )

    def test_a_number_cut_off_by_the_end_ends_the_program(self):
        # A sign, a full stop or an exponent letter without the digits that should follow.
        self.assertSessions(
            [
                (b"-", MENU),
                (b"3\n-", chosen(POT)),
                (b"3\n.", chosen(POT)),
                (b"3\n1e", chosen(POT)),
                (b"3\n1e+", chosen(POT)),
            ]
        )


class BadInputTest(ProgramTestCase):
    def test_at_the_menu_a_line_that_is_not_a_number_shows_the_menu_again(self):
        self.assertSessions(
            (line, chosen() + MENU)
            for line in [b"abc\n", b"-x\n", b"- 5\n", b"x1\n", b"4294967296\n",
                         b"99999999999999999999\n"]
        )

    def test_the_rest_of_a_rejected_line_is_dropped(self):
        # The 1 after 'abc' selects nothing.
        self.assertSession(b"abc 1\n", chosen() + MENU)

    def test_the_menu_goes_on_after_a_rejected_line(self):
        self.assertSession(b"abc\n3\n30\n\n", chosen() + chosen(POT + bet_to("20")) + MENU)

    def test_no_earlier_choice_is_used_after_a_rejected_line(self):
        # Neither the choice of the pass before (1) nor any value before the first read.
        self.assertSession(
            b"1 2 3\n\nabc\n", chosen(BIG_BLIND + LIMPERS + raise_to("14")) + chosen() + MENU
        )

    def test_at_each_prompt_the_prompt_comes_again(self):
        self.assertSessions(
            [
                (b"1\nabc\n2\n3\n\n", chosen(BIG_BLIND * 2 + LIMPERS + raise_to("14")) + MENU),
                # The big blind read before the rejected line is kept.
                (b"1\n2\nabc\n3\n\n", chosen(BIG_BLIND + LIMPERS * 2 + raise_to("14")) + MENU),
                (b"2\nabc\n10\n2\n\n", chosen(BET * 2 + CALLERS + raise_to("50")) + MENU),
                (b"2\n10\nabc\n2\n\n", chosen(BET + CALLERS * 2 + raise_to("50")) + MENU),
                (b"3\nabc\n30\n\n", chosen(POT * 2 + bet_to("20")) + MENU),
            ]
        )

    def test_amounts_that_are_not_numbers(self):
        # 'inf' and 'nan' are words, not numbers; an exponent needs digits; '1e 5' is dropped
        # whole with its line.
        self.assertSessions(
            (b"3\n" + line + b"30\n\n", chosen(POT * 2 + bet_to("20")) + MENU)
            for line in [b".x\n", b"-x\n", b"1e\n", b"1e+\n", b"1e 5\n", b"inf\n", b"nan\n"]
        )

    def test_a_rejected_line_cut_off_by_the_end_ends_the_program(self):
        self.assertSessions(
            [
                (b"abc", MENU),
                (b"abc 1", MENU),
                (b"3\nabc", chosen(POT)),
            ]
        )

    def test_many_rejected_lines(self):
        self.assertSession(b"abc\n" * 200, chosen() * 200 + MENU)

    def test_very_long_lines(self):
        self.assertSessions(
            [
                (b"9" * 100000 + b"\n", chosen() + MENU),
                (b"3\n1" + b"0" * 400 + b"\n\n", chosen(POT + bet_to("inf")) + MENU),
                (b" " * 100000 + b"0\n\n", chosen(EXPLANATION) + MENU),
            ]
        )


class CtrlZTest(ProgramTestCase):
    """The byte 0x1A ends the input: the bytes before it count, the rest is never read."""

    def test_ctrl_z_ends_the_input(self):
        self.assertSessions(
            [
                (b"\x1a1\n2\n3\n\n", MENU),
                (b"3\n30\x1a\n\n", chosen(POT + bet_to("20"))),
                (b"1 2\x1a 3\n\n", chosen(BIG_BLIND + LIMPERS)),
                (b"0\n\n\x1a0\n\n", chosen(EXPLANATION) + MENU),
                (b"4\n\x1a", chosen() + MENU),
            ]
        )


class LineEndTest(ProgramTestCase):
    """Carriage returns are dropped wherever they stand."""

    def test_cr_lf_lines_give_the_same_session_as_lf_lines(self):
        self.assertSessions(
            [
                (b"1\r\n2\r\n3\r\n\r\n", chosen(BIG_BLIND + LIMPERS + raise_to("14")) + MENU),
                (b"0\r\n\r\n", chosen(EXPLANATION) + MENU),
                (b"\r\n\r\n", MENU),
            ]
        )

    def test_the_pause_takes_the_line_end_as_one_byte(self):
        # Were the CR kept, the pause would take CR and LF, and the menu would read 12.
        self.assertSession(b"3\r\n30\r\n12\r\n", chosen(POT + bet_to("20")) + chosen(BET))

    def test_a_carriage_return_inside_a_number(self):
        self.assertSession(b"3\r\n3\r0\r\n\r\n", chosen(POT + bet_to("20")) + MENU)


if __name__ == "__main__":
    main()
