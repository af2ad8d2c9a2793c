// Text as the bytes of UTF-16 in either byte order, without a byte order
// mark: the files other programs write.
#pragma once

#include <string>
#include <string_view>

namespace kx::test {

inline std::string Utf16Bytes(std::u16string_view text, bool bigEndian) {
    std::string bytes;
    for (char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

}  // namespace kx::test
