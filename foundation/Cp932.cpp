#include "foundation/Cp932.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

namespace cp932 {
namespace {

iconv_t openConversion(const char* to, const char* from) {
    const iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
    return cd;
}

// Converts as much as possible; returns false on an invalid or unconvertible sequence,
// leaving in/inLeft at that sequence.
bool convertWith(iconv_t cd, const char*& in, std::size_t& inLeft, std::string& out) {
    char buffer[256];
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        char* inPtr = const_cast<char*>(in);
        const std::size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        in = inPtr;
        out.append(buffer, sizeof buffer - outLeft);
        if (rc == static_cast<std::size_t>(-1)) {
            if (errno == E2BIG) continue;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);  // reset shift state
            return false;
        }
    }
    return true;
}

// RAII handle of one iconv conversion.
class Converter {
  public:
    Converter(const char* to, const char* from) : m_cd(openConversion(to, from)) {}
    ~Converter() { iconv_close(m_cd); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool convert(const char*& in, std::size_t& inLeft, std::string& out) {
        return convertWith(m_cd, in, inLeft, out);
    }

  private:
    iconv_t m_cd;
};

// Length of the UTF-8 sequence that starts with byte c (1 for a stray byte).
std::size_t utf8SequenceLength(unsigned char c) {
    if (c >= 0xF0 && c <= 0xF4) return 4;
    if (c >= 0xE0) return c <= 0xEF ? 3 : 1;
    if (c >= 0xC2 && c <= 0xDF) return 2;
    return 1;
}

}  // namespace

std::string toUtf8(std::string_view sjis) {
    return Decoder().toUtf8(sjis);
}

Decoder::Decoder() : m_cd(openConversion("UTF-8", "CP932")) {}

Decoder::~Decoder() {
    iconv_close(static_cast<iconv_t>(m_cd));
}

std::string Decoder::toUtf8(std::string_view sjis) {
    std::string out;
    out.reserve(sjis.size() * 3 / 2);
    const char* in = sjis.data();
    std::size_t left = sjis.size();
    while (!convertWith(static_cast<iconv_t>(m_cd), in, left, out)) {
        out += '?';
        ++in;
        --left;
    }
    return out;
}

std::string fromUtf8(std::string_view utf8) {
    Converter conv("CP932", "UTF-8");
    std::string out;
    out.reserve(utf8.size());
    const char* in = utf8.data();
    std::size_t left = utf8.size();
    while (!conv.convert(in, left, out)) {
        const std::size_t skip =
            std::min(left, utf8SequenceLength(static_cast<unsigned char>(*in)));
        out += '?';
        in += skip;
        left -= skip;
    }
    return out;
}

bool canEncode(std::string_view utf8) {
    Converter conv("CP932", "UTF-8");
    std::string out;
    const char* in = utf8.data();
    std::size_t left = utf8.size();
    return conv.convert(in, left, out);
}

std::size_t byteLength(std::string_view utf8) {
    return fromUtf8(utf8).size();
}

std::string_view cutAtBoundary(std::string_view sjis, std::size_t maxBytes) {
    if (sjis.size() <= maxBytes) return sjis;
    std::size_t pos = 0;
    while (pos < maxBytes) {
        const std::size_t width = isDoubleByteAt(sjis, pos) ? 2 : 1;
        if (pos + width > maxBytes) break;
        pos += width;
    }
    return sjis.substr(0, pos);
}

std::string truncateUtf8ToBytes(std::string_view utf8, std::size_t maxBytes) {
    const std::string sjis = fromUtf8(utf8);
    if (sjis.size() <= maxBytes) return std::string(utf8);
    std::string out;
    std::size_t bytes = 0;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const std::size_t len =
            std::min(utf8.size() - pos, utf8SequenceLength(static_cast<unsigned char>(utf8[pos])));
        const std::string_view ch = utf8.substr(pos, len);
        const std::size_t width = fromUtf8(ch).size();
        if (bytes + width > maxBytes) break;
        out += ch;
        bytes += width;
        pos += len;
    }
    return out;
}

}  // namespace cp932
