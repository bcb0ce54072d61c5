"""The dialogue through the built program: piped input, byte-exact output.

Each session ends when its input ends; the transcript is then everything up to and including the
menu (or prompt) at which the program met the end.
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


class ScreenTest(ProgramTestCase):
    def test_each_screen_answers_and_returns_to_the_menu(self):
        self.assertSessions(
            [
                (b"0\n\n", chosen(EXPLANATION) + MENU),
                (b"1\n2\n3\n\n", chosen(BIG_BLIND + LIMPERS + raise_to("14")) + MENU),
                (b"2\n10\n2\n\n", chosen(BET + CALLERS + raise_to("50")) + MENU),
                (b"3\n30\n\n", chosen(POT + bet_to("20")) + MENU),
                (b"3\n100\n\n", chosen(POT + bet_to("66.6667")) + MENU),
                (b"3\n0\n\n", chosen(POT + bet_to("0")) + MENU),
            ]
        )

    def test_amounts_are_used_as_typed(self):
        self.assertSessions(
            [
                # Negative amounts are not refused.
                (b"1\n-2\n1\n\n", chosen(BIG_BLIND + LIMPERS + raise_to("-10")) + MENU),
                # Six significant digits: 4000000 takes the exponent form.
                (b"1\n1000000\n0\n\n", chosen(BIG_BLIND + LIMPERS + raise_to("4e+06")) + MENU),
                # A pot beyond the largest double is infinite, and so is two thirds of it.
                (b"3\n1e400\n\n", chosen(POT + bet_to("inf")) + MENU),
                # A count of players need not be whole.
                (b"1\n2\n0.5\n\n", chosen(BIG_BLIND + LIMPERS + raise_to("9")) + MENU),
            ]
        )

    def test_several_screens_in_one_session(self):
        self.assertSession(
            b"0\n\n1\n2\n3\n\n2\n10\n2\n\n3\n100\n\n",
            chosen(EXPLANATION)
            + chosen(BIG_BLIND + LIMPERS + raise_to("14"))
            + chosen(BET + CALLERS + raise_to("50"))
            + chosen(POT + bet_to("66.6667"))
            + MENU,
        )


class MenuChoiceTest(ProgramTestCase):
    def test_a_number_outside_0_to_3_shows_the_menu_again(self):
        self.assertSessions(
            (number, chosen() + MENU)
            for number in [b"4\n", b"99\n", b"-1\n", b"2147483647\n", b"4294967295\n"]
        )

    def test_several_out_of_range_numbers_stack_their_menus(self):
        self.assertSession(b"4\n99\n-1\n", chosen() * 3 + MENU)

    def test_a_choice_is_taken_modulo_two_to_the_32(self):
        # -4294967295 is 1 modulo 2^32.
        self.assertSession(
            b"-4294967295\n2\n3\n\n", chosen(BIG_BLIND + LIMPERS + raise_to("14")) + MENU
        )

    def test_blanks_before_the_choice_do_not_matter(self):
        self.assertSession(b"  \t2\n10\n2\n\n", chosen(BET + CALLERS + raise_to("50")) + MENU)


class OneLineManyNumbersTest(ProgramTestCase):
    def test_a_line_answers_the_menu_and_both_prompts(self):
        self.assertSession(b"1 2 3\n\n", chosen(BIG_BLIND + LIMPERS + raise_to("14")) + MENU)

    def test_an_out_of_range_choice_then_a_screen_from_one_line(self):
        self.assertSession(
            b"7 1\n2\n3\n\n", chosen() + chosen(BIG_BLIND + LIMPERS + raise_to("14")) + MENU
        )

    def test_a_fraction_at_the_menu_gives_the_big_blind(self):
        # The menu takes 1; the big blind read takes .5 from the same line.
        self.assertSession(b"1.5\n3\n\n", chosen(BIG_BLIND + LIMPERS + raise_to("3.5")) + MENU)


class PauseTest(ProgramTestCase):
    """The pause takes two bytes, whatever they are."""

    def test_bytes_after_the_last_amount_end_the_pause_at_once(self):
        # ' ' and 'x' end the pause; the line end is skipped by the next menu read.
        self.assertSession(
            b"3\n30 x\n0\n\n", chosen(POT + bet_to("20")) + chosen(EXPLANATION) + MENU
        )

    def test_what_follows_the_first_byte_of_the_next_line_is_the_next_choice(self):
        # The pause takes the line end and the '1' of '12'; the menu then reads 2.
        self.assertSession(b"3\n30\n12\n", chosen(POT + bet_to("20")) + chosen(BET))


if __name__ == "__main__":
    main()
