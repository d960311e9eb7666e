#include "xml/XmlTextCodec.h"

#include "common/CodePage.h"
#include "common/Text.h"
#include "xml/XmlEncodingTable.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quorlex {

namespace {

constexpr char16_t kUnknown = u'?';

bool IsHighSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLowSurrogate(char32_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

char16_t* PutCodePoint(char32_t c, char16_t* out) {
    if (c >= 0x10000) {
        c -= 0x10000;
        *out++ = static_cast<char16_t>(0xD800 + (c >> 10));
        *out++ = static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
        *out++ = static_cast<char16_t>(c);
    }
    return out;
}

// Widens a run of ASCII bytes sixteen at a time; returns how many it took.
// Zero bytes are noted on the way, so that callers need no separate search.
size_t WidenAscii(const unsigned char* p, size_t count, char16_t* out, bool& zero) {
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i none = _mm_setzero_si128();
    __m128i lowest = _mm_set1_epi8(-1);
    while (i + 16 <= count) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        if (_mm_movemask_epi8(v) != 0) {
            break;
        }
        lowest = _mm_min_epu8(lowest, v);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_unpacklo_epi8(v, none));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i + 8), _mm_unpackhi_epi8(v, none));
        i += 16;
    }
    zero = zero || _mm_movemask_epi8(_mm_cmpeq_epi8(lowest, none)) != 0;
#endif
    while (i < count && p[i] < 0x80) {
        zero = zero || p[i] == 0;
        out[i] = p[i];
        ++i;
    }
    return i;
}

char32_t ReadUnit32(const unsigned char* p, bool bigEndian) {
    if (bigEndian) {
        return (char32_t{p[0]} << 24) | (char32_t{p[1]} << 16) | (char32_t{p[2]} << 8) | p[3];
    }
    return (char32_t{p[3]} << 24) | (char32_t{p[2]} << 16) | (char32_t{p[1]} << 8) | p[0];
}

void PutUnit(std::string& out, char32_t unit, size_t bytes, bool bigEndian) {
    for (size_t k = 0; k < bytes; ++k) {
        const size_t shift = 8 * (bigEndian ? bytes - 1 - k : k);
        out += static_cast<char>((unit >> shift) & 0xFF);
    }
}

std::u16string DecodeWithIconv(std::string_view bytes, const char* from) {
    std::u16string text;
    return DecodeCharset(bytes, from, text) ? text : DecodeCp936(bytes, false);
}

std::string EncodeWithIconv(std::u16string_view text, const char* to, size_t& lost) {
    std::string bytes;
    if (EncodeCharset(text, to, bytes, lost)) {
        return bytes;
    }
    bool lossy = false;
    bytes = EncodeCp936(text, &lossy);
    lost += lossy ? 1 : 0;
    return bytes;
}

} // namespace

bool Utf8ToUtf16(std::string_view bytes, std::u16string& out, bool* sawZero) {
    // Decoded a piece at a time into a small buffer and appended, so that the
    // text is written once rather than cleared first and then written.
    constexpr size_t kPiece = 4096;
    char16_t piece[kPiece];
    out.clear();
    out.reserve(bytes.size());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const unsigned char* const end = p + bytes.size();
    char16_t* o = piece;
    bool valid = true;
    bool zero = false;
    while (p < end) {
        if (o + 2 > piece + kPiece) {
            out.append(piece, o);
            o = piece;
        }
        const size_t room = static_cast<size_t>(piece + kPiece - o);
        const size_t ascii = WidenAscii(p, std::min(static_cast<size_t>(end - p), room), o, zero);
        p += ascii;
        o += ascii;
        if (p == end || o + 2 > piece + kPiece) {
            continue;
        }
        char32_t c = 0;
        const size_t length = DecodeUtf8Sequence(p, end, c);
        if (length == 0) {
            *o++ = kUnknown;
            ++p;
            valid = false;
        } else {
            zero = zero || c == 0;
            o = PutCodePoint(c, o);
            p += length;
        }
    }
    out.append(piece, o);
    if (sawZero != nullptr) {
        *sawZero = zero;
    }
    return valid;
}

std::string Utf16ToUtf8(std::u16string_view text, size_t& lost) {
    std::string out;
    out.reserve(text.size() + text.size() / 2);
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c < 0x80) {
            out += static_cast<char>(c);
            continue;
        }
        if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
            out += '?';
            ++lost;
            continue;
        }
        if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        }
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

std::u16string Utf32ToUtf16(std::string_view bytes, bool bigEndian) {
    std::u16string out(bytes.size() / 2, u'\0');
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    char16_t* o = out.data();
    for (size_t i = 0; i + 4 <= bytes.size(); i += 4) {
        const char32_t c = ReadUnit32(p + i, bigEndian);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            *o++ = kUnknown;
        } else {
            o = PutCodePoint(c, o);
        }
    }
    out.resize(static_cast<size_t>(o - out.data()));
    return out;
}

std::string Utf16ToUtf32(std::u16string_view text, bool bigEndian, size_t& lost) {
    std::string out;
    out.reserve(text.size() * 4);
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
            c = kUnknown;
            ++lost;
        }
        PutUnit(out, c, 4, bigEndian);
    }
    return out;
}

std::u16string Utf16BytesToText(std::string_view bytes, bool bigEndian) {
    std::u16string out(bytes.size() / 2, u'\0');
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t hi = bigEndian ? 0 : 1;
    for (size_t i = 0; i < out.size(); ++i) {
        out[i] = static_cast<char16_t>((p[2 * i + hi] << 8) | p[2 * i + (1 - hi)]);
    }
    return out;
}

std::string TextToUtf16Bytes(std::u16string_view text, bool bigEndian) {
    std::string out;
    out.reserve(text.size() * 2);
    for (const char16_t c : text) {
        PutUnit(out, c, 2, bigEndian);
    }
    return out;
}

std::u16string DecodeCodePage(std::string_view bytes, int codePage) {
    switch (codePage) {
    case XmlCodePage::kUtf8: {
        std::u16string text;
        Utf8ToUtf16(bytes, text);
        return text;
    }
    case XmlCodePage::kUtf16Le:
    case XmlCodePage::kUtf16Be:
        return Utf16BytesToText(bytes, codePage == XmlCodePage::kUtf16Be);
    case XmlCodePage::kUtf32Le:
    case XmlCodePage::kUtf32Be:
        return Utf32ToUtf16(bytes, codePage == XmlCodePage::kUtf32Be);
    default:
        break;
    }
    const std::string_view name = IconvNameOfCodePage(codePage);
    if (name.empty()) {
        return DecodeCp936(bytes, false);
    }
    return DecodeWithIconv(bytes, std::string(name).c_str());
}

std::string EncodeCodePage(std::u16string_view text, int codePage, size_t& lost) {
    switch (codePage) {
    case XmlCodePage::kUtf8:
        return Utf16ToUtf8(text, lost);
    case XmlCodePage::kUtf16Le:
    case XmlCodePage::kUtf16Be:
        return TextToUtf16Bytes(text, codePage == XmlCodePage::kUtf16Be);
    case XmlCodePage::kUtf32Le:
    case XmlCodePage::kUtf32Be:
        return Utf16ToUtf32(text, codePage == XmlCodePage::kUtf32Be, lost);
    default:
        break;
    }
    const std::string_view name = IconvNameOfCodePage(codePage);
    if (name.empty()) {
        bool lossy = false;
        std::string bytes = EncodeCp936(text, &lossy);
        if (lossy) {
            // Every unmappable character became "?", and "?" maps to itself.
            lost += static_cast<size_t>(std::count(bytes.begin(), bytes.end(), '?') -
                                        std::count(text.begin(), text.end(), u'?'));
        }
        return bytes;
    }
    return EncodeWithIconv(text, std::string(name).c_str(), lost);
}

} // namespace quorlex
