// Utf8 -- a small UTF-8 decoder.
#include "core/Utf8.h"

#include <cstdint>

namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

} // namespace

std::u16string DecodeUtf8(const std::string& text) {
    std::u16string out;
    out.reserve(text.size());
    const size_t n = text.size();
    size_t i = 0;
    while (i < n) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            out.push_back(lead);
            ++i;
            continue;
        }
        // Sequence length and the smallest code point it may carry (longer
        // forms of smaller values are not accepted).
        size_t length = 0;
        uint32_t code = 0;
        uint32_t least = 0;
        if ((lead & 0xE0) == 0xC0) {
            length = 2;
            code = lead & 0x1Fu;
            least = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            code = lead & 0x0Fu;
            least = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            code = lead & 0x07u;
            least = 0x10000;
        } else {
            out.push_back(kReplacement); // a stray continuation or an invalid lead byte
            ++i;
            continue;
        }
        size_t taken = 1;
        while (taken < length && i + taken < n &&
               IsContinuation(static_cast<unsigned char>(text[i + taken]))) {
            code = (code << 6) | (static_cast<unsigned char>(text[i + taken]) & 0x3Fu);
            ++taken;
        }
        i += taken;
        if (taken < length || code < least || code > 0x10FFFF ||
            (code >= 0xD800 && code <= 0xDFFF)) {
            out.push_back(kReplacement);
            continue;
        }
        if (code < 0x10000) {
            out.push_back(static_cast<char16_t>(code));
        } else {
            code -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FFu)));
        }
    }
    return out;
}
