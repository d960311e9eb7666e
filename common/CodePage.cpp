#include "common/CodePage.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace quorlex {

namespace {

constexpr const char* kCp936 = "CP936";

// One descriptor per conversion: an iconv_t carries shift state and is not
// safe to share between the reader thread and the UI thread.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (Valid()) {
            iconv_close(cd_);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // iconv_open reports failure as (iconv_t)-1.
    bool Valid() const {
        return cd_ != reinterpret_cast<iconv_t>(-1); // NOLINT(performance-no-int-to-ptr)
    }

    // Converts as much as possible; returns errno of the stop, 0 when all was taken.
    // Without input it writes the sequence that returns to the initial shift state.
    int Run(char** in, size_t* inLeft, char** out, size_t* outLeft) {
        const size_t r = iconv(cd_, in, inLeft, out, outLeft);
        return r == static_cast<size_t>(-1) ? errno : 0;
    }

private:
    iconv_t cd_;
};

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

} // namespace

bool DecodeCharset(std::string_view bytes, const char* charset, std::u16string& text) {
    Converter cv("UTF-16LE", charset);
    if (!cv.Valid()) {
        return false;
    }
    text.clear();
    std::string input(bytes);
    std::u16string buffer(input.size() * 2 + 8, u'\0');
    char* in = input.data();
    size_t inLeft = input.size();
    while (inLeft > 0) {
        char* out = reinterpret_cast<char*>(buffer.data());
        size_t outLeft = buffer.size() * sizeof(char16_t);
        const int err = cv.Run(&in, &inLeft, &out, &outLeft);
        text.append(buffer.data(), reinterpret_cast<char16_t*>(out) - buffer.data());
        if (err == EILSEQ || err == EINVAL) {
            // Skip one undecodable byte and go on with the next.
            text += u'\xFFFD';
            ++in;
            --inLeft;
        } else if (err != 0 && err != E2BIG) {
            break;
        }
    }
    return true;
}

bool EncodeCharset(std::u16string_view text, const char* charset, std::string& bytes,
                   size_t& lost) {
    Converter cv(charset, "UTF-16LE");
    if (!cv.Valid()) {
        return false;
    }
    bytes.clear();
    std::u16string input(text);
    std::string buffer(input.size() * 4 + 16, '\0');
    char* in = reinterpret_cast<char*>(input.data());
    size_t inLeft = input.size() * sizeof(char16_t);
    bool flushed = false;
    while (!flushed) {
        char* out = buffer.data();
        size_t outLeft = buffer.size();
        const int err = inLeft > 0 ? cv.Run(&in, &inLeft, &out, &outLeft)
                                   : cv.Run(nullptr, nullptr, &out, &outLeft);
        flushed = inLeft == 0 && err == 0 && out == buffer.data();
        bytes.append(buffer.data(), static_cast<size_t>(out - buffer.data()));
        if (err == EILSEQ || err == EINVAL) {
            bytes += '?';
            ++lost;
            // Skip a whole surrogate pair when the character was one.
            char16_t unit = 0;
            std::copy_n(in, sizeof unit, reinterpret_cast<char*>(&unit));
            const size_t skip = std::min<size_t>(IsHighSurrogate(unit) ? 4 : 2, inLeft);
            in += skip;
            inLeft -= skip;
        } else if (err != 0 && err != E2BIG) {
            break;
        }
    }
    return true;
}

std::u16string DecodeCp936(std::string_view bytes, bool stopAtNul) {
    if (stopAtNul) {
        bytes = bytes.substr(0, bytes.find('\0'));
    }
    std::u16string text;
    if (!bytes.empty() && !DecodeCharset(bytes, kCp936, text)) {
        text.assign(bytes.size(), u'\xFFFD');
    }
    return text;
}

std::string EncodeCp936(std::u16string_view text, bool* lossy) {
    std::string bytes;
    size_t lost = 0;
    if (!text.empty() && !EncodeCharset(text, kCp936, bytes, lost)) {
        bytes.assign(text.size(), '?');
        lost = text.size();
    }
    if (lossy != nullptr) {
        *lossy = lost > 0;
    }
    return bytes;
}

} // namespace quorlex
