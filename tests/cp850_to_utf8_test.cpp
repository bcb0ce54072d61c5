#include "console/cp850_to_utf8.hpp"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#if defined(__GLIBC__)
#include <iconv.h>
#endif

namespace pokerhilfe {
namespace {

std::string_view asChars(std::u8string_view utf8) {
  return {reinterpret_cast<const char*>(utf8.data()), utf8.size()};
}

struct Cp850Case {
  unsigned char byte;
  std::u8string_view character;
};

// The letters of the program's German texts, and a few of every other kind.
const Cp850Case kCp850Cases[] = {
    {0x41, u8"A"}, {0x84, u8"ä"}, {0x94, u8"ö"},      {0x81, u8"ü"},  {0x8E, u8"Ä"}, {0x99, u8"Ö"},
    {0x9A, u8"Ü"}, {0xE1, u8"ß"}, {0x0A, u8"\n"},     {0x0D, u8"\r"}, {0xD5, u8"ı"}, {0xC9, u8"╔"},
    {0xF2, u8"‗"}, {0xFE, u8"■"}, {0xFF, u8"\u00A0"},  // no-break space
};

TEST(Cp850ToUtf8, ShowsTheCharacterEachByteStandsFor) {
  for (const Cp850Case& cp850Case : kCp850Cases) {
    SCOPED_TRACE(::testing::Message() << "byte 0x" << std::hex << static_cast<int>(cp850Case.byte));
    EXPECT_EQ(utf8OfCp850(cp850Case.byte), asChars(cp850Case.character));
  }
}

TEST(Cp850ToUtf8, NulIsOneByte) {
  EXPECT_EQ(utf8OfCp850(0x00), std::string_view("\0", 1));
}

#if defined(__GLIBC__)

// The C library's own code page 850 table, through iconv.
std::string iconvUtf8OfCp850(iconv_t converter, unsigned char byte) {
  char in = static_cast<char>(byte);
  char out[8] = {};
  char* inPosition = &in;
  char* outPosition = out;
  std::size_t inLeft = 1;
  std::size_t outLeft = sizeof out;
  if (iconv(converter, &inPosition, &inLeft, &outPosition, &outLeft) ==
      static_cast<std::size_t>(-1)) {
    return "<no conversion>";
  }
  return std::string(out, outPosition);
}

TEST(Cp850ToUtf8, AgreesWithTheCLibraryForEveryByte) {
  const iconv_t converter = iconv_open("UTF-8", "CP850");
  ASSERT_NE(converter, reinterpret_cast<iconv_t>(-1)) << "the C library has no CP850";
  for (int byte = 0; byte < 256; ++byte) {
    SCOPED_TRACE(::testing::Message() << "byte 0x" << std::hex << byte);
    EXPECT_EQ(utf8OfCp850(static_cast<unsigned char>(byte)),
              iconvUtf8OfCp850(converter, static_cast<unsigned char>(byte)));
  }
  iconv_close(converter);
}

#endif

}  // namespace
}  // namespace pokerhilfe
