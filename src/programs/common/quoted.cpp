#include "programs/common/quoted.h"

std::string quoted(std::string_view text, std::size_t limit)
{
    static constexpr char hex[] = "0123456789abcdef";
    std::string out = "'";
    std::size_t shown = 0;
    for (const char ch : text) {
        if (shown++ == limit) {
            out += "...";
            break;
        }
        const auto byte = static_cast<unsigned char>(ch);
        if (byte >= 0x20 && byte < 0x7F) {
            out += ch;
        } else {
            out += "\\x";
            out += hex[byte >> 4];
            out += hex[byte & 0xF];
        }
    }
    return out + "'";
}
