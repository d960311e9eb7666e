#include "common/Format.h"

#include "common/Numbers.h"

#include <algorithm>
#include <charconv>
#include <vector>

namespace quorlex {

namespace {

struct Directive {
    bool zeroPad = false;
    int width = 0;
    int precision = -1;
    char16_t conversion = 0;
    size_t length = 0; // characters of the pattern it spans, '%' included
};

bool ParseDirective(std::u16string_view pattern, size_t at, Directive& d) {
    size_t i = at + 1;
    if (i < pattern.size() && pattern[i] == u'0') {
        d.zeroPad = true;
        ++i;
    }
    while (i < pattern.size() && pattern[i] >= u'0' && pattern[i] <= u'9' && d.width < 1000) {
        d.width = d.width * 10 + (pattern[i++] - u'0');
    }
    if (i < pattern.size() && pattern[i] == u'.') {
        d.precision = 0;
        for (++i; i < pattern.size() && pattern[i] >= u'0' && pattern[i] <= u'9'; ++i) {
            d.precision = std::min(d.precision * 10 + (pattern[i] - u'0'), 100);
        }
    }
    if (i >= pattern.size()) {
        return false;
    }
    d.conversion = pattern[i];
    d.length = i - at + 1;
    return std::u16string_view(u"duxXfs%").find(d.conversion) != std::u16string_view::npos;
}

std::u16string Hex(uint64_t value, bool upper) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, 16);
    std::u16string out(buffer, result.ptr);
    if (upper) {
        for (char16_t& c : out) {
            if (c >= u'a' && c <= u'f') {
                c = static_cast<char16_t>(c - u'a' + u'A');
            }
        }
    }
    return out;
}

std::u16string Convert(const Directive& d, const FormatArg& arg) {
    switch (d.conversion) {
    case u'd':
        return FormatInt(std::holds_alternative<int64_t>(arg) ? std::get<int64_t>(arg) : 0);
    case u'u':
        return FormatInt(std::holds_alternative<int64_t>(arg)
                             ? static_cast<int64_t>(static_cast<uint32_t>(std::get<int64_t>(arg)))
                             : 0);
    case u'x':
    case u'X': {
        const auto v = std::holds_alternative<int64_t>(arg) ? std::get<int64_t>(arg) : 0;
        // Like printf's unsigned int conversion: values are taken as 32-bit unless wider.
        const uint64_t bits = (v >= 0 && v <= 0xFFFFFFFFLL)
                                  ? static_cast<uint64_t>(v)
                                  : static_cast<uint64_t>(v) & 0xFFFFFFFFULL;
        return Hex(bits, d.conversion == u'X');
    }
    case u'f': {
        const double v = std::holds_alternative<double>(arg)
                             ? std::get<double>(arg)
                             : (std::holds_alternative<int64_t>(arg)
                                    ? static_cast<double>(std::get<int64_t>(arg))
                                    : 0.0);
        return FormatFixed(v, d.precision < 0 ? 6 : d.precision);
    }
    default:
        return std::holds_alternative<std::u16string_view>(arg)
                   ? std::u16string(std::get<std::u16string_view>(arg))
                   : std::u16string();
    }
}

void Pad(std::u16string& text, const Directive& d) {
    if (static_cast<int>(text.size()) >= d.width) {
        return;
    }
    const size_t missing = static_cast<size_t>(d.width) - text.size();
    const bool numeric = d.conversion != u's';
    if (d.zeroPad && numeric) {
        const size_t signAt = (!text.empty() && text[0] == u'-') ? 1 : 0;
        text.insert(signAt, missing, u'0');
    } else {
        text.insert(0, missing, u' ');
    }
}

} // namespace

std::u16string FormatText(std::u16string_view pattern, std::initializer_list<FormatArg> args) {
    std::u16string out;
    out.reserve(pattern.size() + 16);
    auto next = args.begin();
    size_t i = 0;
    while (i < pattern.size()) {
        Directive d;
        if (pattern[i] != u'%' || !ParseDirective(pattern, i, d)) {
            out += pattern[i++];
            continue;
        }
        if (d.conversion == u'%') {
            out += u'%';
        } else if (next == args.end()) {
            out.append(pattern.substr(i, d.length));
        } else {
            std::u16string piece = Convert(d, *next++);
            Pad(piece, d);
            out += piece;
        }
        i += d.length;
    }
    return out;
}

} // namespace quorlex
