#include "console/cp850_to_utf8.hpp"

#include <array>
#include <cstddef>

namespace pokerhilfe {

namespace {

// The characters of the bytes 0x80 to 0xFF, sixteen to a row.
constexpr std::array<char16_t, 128> kUpperHalf{
    u'Ç', u'ü', u'é', u'â', u'ä', u'à', u'å', u'ç',      u'ê', u'ë', u'è', u'ï', u'î', u'ì', u'Ä',
    u'Å', u'É', u'æ', u'Æ', u'ô', u'ö', u'ò', u'û',      u'ù', u'ÿ', u'Ö', u'Ü', u'ø', u'£', u'Ø',
    u'×', u'ƒ', u'á', u'í', u'ó', u'ú', u'ñ', u'Ñ',      u'ª', u'º', u'¿', u'®', u'¬', u'½', u'¼',
    u'¡', u'«', u'»', u'░', u'▒', u'▓', u'│', u'┤',      u'Á', u'Â', u'À', u'©', u'╣', u'║', u'╗',
    u'╝', u'¢', u'¥', u'┐', u'└', u'┴', u'┬', u'├',      u'─', u'┼', u'ã', u'Ã', u'╚', u'╔', u'╩',
    u'╦', u'╠', u'═', u'╬', u'¤', u'ð', u'Ð', u'Ê',      u'Ë', u'È', u'ı', u'Í', u'Î', u'Ï', u'┘',
    u'┌', u'█', u'▄', u'¦', u'Ì', u'▀', u'Ó', u'ß',      u'Ô', u'Ò', u'õ', u'Õ', u'µ', u'þ', u'Þ',
    u'Ú', u'Û', u'Ù', u'ý', u'Ý', u'¯', u'´', u'\u00AD', u'±', u'‗', u'¾', u'¶', u'§', u'÷', u'¸',
    u'°', u'¨', u'·', u'¹', u'³', u'²', u'■', u'\u00A0',
};

struct Utf8Char {
  std::array<char, 3> bytes{};
  std::size_t size = 0;
};

constexpr Utf8Char encode(char16_t character) {
  Utf8Char encoded;
  if (character < 0x80) {
    encoded.bytes[encoded.size++] = static_cast<char>(character);
  } else if (character < 0x800) {
    encoded.bytes[encoded.size++] = static_cast<char>(0xC0 | (character >> 6));
    encoded.bytes[encoded.size++] = static_cast<char>(0x80 | (character & 0x3F));
  } else {
    encoded.bytes[encoded.size++] = static_cast<char>(0xE0 | (character >> 12));
    encoded.bytes[encoded.size++] = static_cast<char>(0x80 | ((character >> 6) & 0x3F));
    encoded.bytes[encoded.size++] = static_cast<char>(0x80 | (character & 0x3F));
  }
  return encoded;
}

constexpr std::array<Utf8Char, 256> kTable = [] {
  std::array<Utf8Char, 256> table{};
  for (std::size_t byte = 0; byte < 0x80; ++byte) table[byte] = encode(static_cast<char16_t>(byte));
  for (std::size_t byte = 0x80; byte < 0x100; ++byte) table[byte] = encode(kUpperHalf[byte - 0x80]);
  return table;
}();

}  // namespace

std::string_view utf8OfCp850(unsigned char byte) {
  const Utf8Char& character = kTable[byte];
  return {character.bytes.data(), character.size};
}

}  // namespace pokerhilfe
