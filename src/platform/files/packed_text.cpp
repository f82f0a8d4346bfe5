// Packed text through zlib (Debian's zlib1g, and its build for mingw-w64).
#include "platform/packed_text.h"

#include <zlib.h>

#include <cstdint>
#include <vector>

namespace {

constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

int value_of(char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    return c == '-' ? 62 : c == '_' ? 63 : -1;
}

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\n' || s.front() == '\r' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\n' || s.back() == '\r' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

}  // namespace

bool pack_text(std::string_view text, std::string& packed, std::string& error)
{
    uLongf size = compressBound(static_cast<uLong>(text.size()));
    std::vector<Bytef> deflated(size);
    if (compress2(deflated.data(), &size, reinterpret_cast<const Bytef*>(text.data()), static_cast<uLong>(text.size()),
                  Z_BEST_COMPRESSION) != Z_OK) {
        error = "cannot pack it";
        return false;
    }
    packed.clear();
    std::uint32_t bits = 0;
    int held = 0;
    for (uLongf i = 0; i < size; ++i) {
        bits = (bits << 8) | deflated[i];
        held += 8;
        while (held >= 6) {
            held -= 6;
            packed += alphabet[(bits >> held) & 63];
        }
    }
    if (held > 0)
        packed += alphabet[(bits << (6 - held)) & 63];
    return true;
}

bool unpack_text(std::string_view packed, std::string& text, std::string& error)
{
    packed = trimmed(packed);
    std::vector<Bytef> deflated;
    std::uint32_t bits = 0;
    int held = 0;
    for (const char c : packed) {
        const int v = value_of(c);
        if (v < 0) {
            error = "it holds characters no replay has";
            return false;
        }
        bits = (bits << 6) | static_cast<std::uint32_t>(v);
        held += 6;
        if (held >= 8) {
            held -= 8;
            deflated.push_back(static_cast<Bytef>((bits >> held) & 0xFF));
        }
    }
    z_stream z{};
    if (deflated.empty() || inflateInit(&z) != Z_OK) {
        error = "it is empty";
        return false;
    }
    z.next_in = deflated.data();
    z.avail_in = static_cast<uInt>(deflated.size());
    text.clear();
    char chunk[1 << 14];
    int code = Z_OK;
    while (code == Z_OK) {
        z.next_out = reinterpret_cast<Bytef*>(chunk);
        z.avail_out = sizeof chunk;
        code = inflate(&z, Z_NO_FLUSH);
        text.append(chunk, sizeof chunk - z.avail_out);
        if (text.size() > most_unpacked_bytes) {
            code = Z_MEM_ERROR;
            break;
        }
        if (code == Z_BUF_ERROR && z.avail_in > 0)
            code = Z_OK;
    }
    const bool whole = code == Z_STREAM_END && z.avail_in == 0;
    inflateEnd(&z);
    if (!whole)
        error = code == Z_MEM_ERROR ? "it unpacks to too much" : "it is damaged or cut short";
    return whole;
}
