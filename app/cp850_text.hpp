#pragma once
// The program's texts are written in code page 850, the code page of a German Windows console,
// but kept readable in the source: each is a UTF-8 literal converted to code page 850 bytes at
// compile time. A character without a place in the table below does not compile.

#include <array>
#include <cstddef>
#include <string_view>

namespace pokerhilfe {

namespace cp850 {

struct Mapping {
  char16_t unicode;
  unsigned char byte;
};

// The letters the German texts use beyond ASCII.
inline constexpr std::array<Mapping, 7> kGermanLetters{{
    {u'ä', 0x84},
    {u'ö', 0x94},
    {u'ü', 0x81},
    {u'Ä', 0x8E},
    {u'Ö', 0x99},
    {u'Ü', 0x9A},
    {u'ß', 0xE1},
}};

consteval unsigned char byteFor(char16_t unicode) {
  for (const Mapping& mapping : kGermanLetters) {
    if (mapping.unicode == unicode) return mapping.byte;
  }
  throw "character not in the code page 850 table";  // stops the compilation
}

}  // namespace cp850

// A text in code page 850 bytes, made from a UTF-8 literal of N code units.
template <std::size_t N>
class Cp850Text {
 public:
  // Implicit, so that a text can be given where a byte string is expected.
  consteval Cp850Text(const char8_t (&utf8)[N]) {  // NOLINT(google-explicit-constructor)
    std::size_t in = 0;
    while (in + 1 < N) {  // the literal's terminating NUL is not part of the text
      const auto lead = static_cast<unsigned char>(utf8[in]);
      if (lead < 0x80) {
        bytes_[size_++] = static_cast<char>(lead);
        in += 1;
      } else if ((lead & 0xE0) == 0xC0) {
        const auto unicode = static_cast<char16_t>(
            ((lead & 0x1F) << 6) | (static_cast<unsigned char>(utf8[in + 1]) & 0x3F));
        bytes_[size_++] = static_cast<char>(cp850::byteFor(unicode));
        in += 2;
      } else {
        throw "only characters of two UTF-8 bytes or fewer are supported";
      }
    }
  }

  constexpr std::string_view view() const { return {bytes_.data(), size_}; }
  constexpr operator std::string_view() const { return view(); }  // NOLINT

 private:
  std::array<char, N> bytes_{};
  std::size_t size_ = 0;
};

}  // namespace pokerhilfe
