/* The baseline of the program's start-up time: a C program that writes the bytes of the first
 * menu, as the program writes them when its standard output is a file (code page 850, CR LF
 * line ends), with one write, and exits. run_program_bench.py checks that the bytes agree. */

#include <unistd.h>

static const char kMenu[] =
    "(0) Untschied zwischen den Begriffen setzen und erh\x94hen.\r\n"
    "(1) Niemand hat erh\x94ht\r\n"
    "\r\n"
    "(2) Jemand hat gesetzt oder erh\x94ht (eine oder mehrere oder erh\x94hungen)\r\n"
    "(3) Niemand hat gesetzt\r\n"
    "\r\n"
    "[ Deine Erh\x94hung w\x81rde mehr als die H\x84lfte deiner Chips kosten? \r\n"
    "Dann geh direkt All-In ! ]\r\n"
    "\r\n"
    "Auswahl: ";

int main(void) {
  return write(STDOUT_FILENO, kMenu, sizeof kMenu - 1) == (ssize_t)(sizeof kMenu - 1) ? 0 : 1;
}
