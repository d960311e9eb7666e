#include "common/CodePage.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace quorlex {

namespace {

// One conversion descriptor per call: iconv_t carries shift state and is not
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

    bool Valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts as much as possible; returns errno of the stop, 0 when all was taken.
    int Run(char*& in, size_t& inLeft, char*& out, size_t& outLeft) {
        const size_t r = iconv(cd_, &in, &inLeft, &out, &outLeft);
        return r == static_cast<size_t>(-1) ? errno : 0;
    }

private:
    iconv_t cd_;
};

} // namespace

std::u16string DecodeCp936(std::string_view bytes, bool stopAtNul) {
    if (stopAtNul) {
        const size_t nul = bytes.find('\0');
        if (nul != std::string_view::npos) {
            bytes = bytes.substr(0, nul);
        }
    }
    std::u16string result;
    if (bytes.empty()) {
        return result;
    }
    Converter cv("UTF-16LE", "CP936");
    std::string input(bytes);
    std::u16string buffer(input.size() + 4, u'\0');
    char* in = input.data();
    size_t inLeft = input.size();
    while (inLeft > 0) {
        char* out = reinterpret_cast<char*>(buffer.data());
        size_t outLeft = buffer.size() * sizeof(char16_t);
        const int err = cv.Valid() ? cv.Run(in, inLeft, out, outLeft) : EILSEQ;
        result.append(buffer.data(), (reinterpret_cast<char16_t*>(out) - buffer.data()));
        if (err == EILSEQ || err == EINVAL) {
            // Skip one undecodable byte and go on with the next.
            result += u'\xFFFD';
            ++in;
            --inLeft;
        } else if (err != 0 && err != E2BIG) {
            break;
        }
    }
    return result;
}

std::string EncodeCp936(std::u16string_view text, bool* lossy) {
    if (lossy != nullptr) {
        *lossy = false;
    }
    std::string result;
    if (text.empty()) {
        return result;
    }
    Converter cv("CP936", "UTF-16LE");
    std::u16string input(text);
    std::string buffer(input.size() * 2 + 8, '\0');
    char* in = reinterpret_cast<char*>(input.data());
    size_t inLeft = input.size() * sizeof(char16_t);
    while (inLeft > 0) {
        char* out = buffer.data();
        size_t outLeft = buffer.size();
        const int err = cv.Valid() ? cv.Run(in, inLeft, out, outLeft) : EILSEQ;
        result.append(buffer.data(), static_cast<size_t>(out - buffer.data()));
        if (err == EILSEQ || err == EINVAL) {
            result += '?';
            if (lossy != nullptr) {
                *lossy = true;
            }
            // Skip a whole surrogate pair when the character was one.
            const auto unit = static_cast<char16_t>(static_cast<unsigned char>(in[0]) |
                                                    (static_cast<unsigned char>(in[1]) << 8));
            const size_t skip = (unit >= 0xD800 && unit <= 0xDBFF && inLeft >= 4) ? 4 : 2;
            in += std::min(skip, inLeft);
            inLeft -= std::min(skip, inLeft);
        } else if (err != 0 && err != E2BIG) {
            break;
        }
    }
    return result;
}

} // namespace quorlex
