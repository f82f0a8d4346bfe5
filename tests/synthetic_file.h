// Files made byte by byte for the file readers' tests, and their broken
// copies. Every broken copy is exactly as long as it claims, so a read past
// its end is a sanitizer error rather than a lucky read.
#pragma once

#include <cstdint>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// The low `size` bytes of v at `at`, least significant first.
inline void put(Bytes& b, std::size_t at, std::uint32_t v, int size = 4)
{
    for (int i = 0; i < size; ++i)
        b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> 8 * i);
}

// A field of a good file set to a bad value, and what the reader must say.
struct Corruption {
    const char* what;
    std::size_t at;
    int size;  // 2 or 4 bytes
    std::uint32_t value;
    const char* error;
};
inline Bytes corrupted(Bytes b, const Corruption& c)
{
    put(b, c.at, c.value, c.size);
    return b;
}
inline Bytes first_bytes(const Bytes& b, std::size_t n) { return Bytes(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(n)); }
