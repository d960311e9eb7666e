#pragma once

#include <cstddef>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quorlex::xmlscan {

// Whitespace as XML counts it.
inline bool IsSpace(char16_t c) {
    return c == u' ' || c == u'\n' || c == u'\r' || c == u'\t';
}

// A tag name runs up to whitespace, "/" or ">".
inline bool IsNameEnd(char16_t c) {
    return c <= u'>' && (c == u'>' || c == u'/' || IsSpace(c));
}

// What may open a start tag after "<": a letter, ":" or "_"; any character
// beyond ASCII counts as a letter.
inline bool IsNameStart(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u':' || c == u'_' ||
           c >= 0x80;
}

// The name of the tag whose "<" is at lt.
inline std::u16string_view TagNameAt(std::u16string_view text, size_t lt) {
    size_t i = lt + 1;
    while (i < text.size() && !IsNameEnd(text[i])) {
        ++i;
    }
    return text.substr(lt + 1, i - (lt + 1));
}

// Index of the first of up to three characters in [from, end), or end.
// Documents are megabytes of text between a few markup characters, so the
// search runs eight units at a time where the processor allows it.
template <char16_t A, char16_t B = A, char16_t C = A>
size_t FindFirst(const char16_t* text, size_t from, size_t end) {
    size_t i = from;
#if defined(__SSE2__)
    const __m128i a = _mm_set1_epi16(static_cast<short>(A));
    const __m128i b = _mm_set1_epi16(static_cast<short>(B));
    const __m128i c = _mm_set1_epi16(static_cast<short>(C));
    while (i + 8 <= end) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
        __m128i hit = _mm_cmpeq_epi16(v, a);
        if constexpr (B != A) {
            hit = _mm_or_si128(hit, _mm_cmpeq_epi16(v, b));
        }
        if constexpr (C != A) {
            hit = _mm_or_si128(hit, _mm_cmpeq_epi16(v, c));
        }
        const int mask = _mm_movemask_epi8(hit);
        if (mask != 0) {
            return i + static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(mask))) / 2;
        }
        i += 8;
    }
#endif
    for (; i < end; ++i) {
        const char16_t u = text[i];
        if (u == A || u == B || u == C) {
            return i;
        }
    }
    return end;
}

// Index of the first occurrence of a marker such as "-->" (which starts
// with First) in [from, end), or end.
template <char16_t First>
size_t FindMarker(const char16_t* text, size_t from, size_t end, std::u16string_view marker) {
    size_t i = from;
    while (true) {
        i = FindFirst<First>(text, i, end);
        if (end - i < marker.size()) {
            return end;
        }
        if (std::u16string_view(text + i, marker.size()) == marker) {
            return i;
        }
        ++i;
    }
}

} // namespace quorlex::xmlscan
