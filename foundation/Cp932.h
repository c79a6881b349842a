#pragma once
// The one Shift-JIS (Windows code page 932) codec of the system.
//
// Inside the programs text is UTF-8; every file is CP932. Conversion happens at the file
// boundary only, through glibc iconv "CP932" (not "SHIFT_JIS", which maps 0x5C and 0x8160
// differently). Widths of text are counted in CP932 bytes.

#include <cstddef>
#include <string>
#include <string_view>

namespace cp932 {

// CP932 bytes -> UTF-8. A byte sequence that is not valid CP932 becomes "?" per bad byte.
std::string toUtf8(std::string_view sjis);

// toUtf8 for many short texts: keeps one conversion open instead of opening one per call.
class Decoder {
  public:
    Decoder();
    ~Decoder();
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    std::string toUtf8(std::string_view sjis);

  private:
    void* m_cd;
};

// UTF-8 -> CP932 bytes. A character CP932 cannot hold (or invalid UTF-8) becomes one "?".
std::string fromUtf8(std::string_view utf8);

// True when every character of the UTF-8 text has a CP932 form.
bool canEncode(std::string_view utf8);

// True for the first byte of a double-byte CP932 character (0x81-0x9F, 0xE0-0xFC).
constexpr bool isLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// True when byte i of the CP932 text is the lead byte of a double-byte character that has its
// second byte (a lead byte at the end counts as a single byte).
constexpr bool isDoubleByteAt(std::string_view sjis, std::size_t i) {
    return i + 1 < sjis.size() && isLeadByte(static_cast<unsigned char>(sjis[i]));
}

// Length in CP932 bytes of a UTF-8 text (unencodable characters count as one byte).
std::size_t byteLength(std::string_view utf8);

// The longest prefix of the CP932 text of at most maxBytes bytes that does not end inside a
// double-byte character.
std::string_view cutAtBoundary(std::string_view sjis, std::size_t maxBytes);

// The longest prefix of a UTF-8 text whose CP932 form has at most maxBytes bytes.
std::string truncateUtf8ToBytes(std::string_view utf8, std::size_t maxBytes);

}  // namespace cp932
