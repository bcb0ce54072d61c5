#pragma once
// Code page 850, the code page of a German Windows console, as UTF-8: what a terminal that shows
// UTF-8 needs to show the program's texts as a console shows them.

#include <string_view>

namespace pokerhilfe {

// The UTF-8 bytes of the character that `byte` stands for in code page 850; a byte below 0x80
// stands for itself.
std::string_view utf8OfCp850(unsigned char byte);

}  // namespace pokerhilfe
