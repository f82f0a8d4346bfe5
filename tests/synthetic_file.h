// Files made byte by byte for the file readers' tests, and the ways of
// breaking a good one. Every broken copy is exactly as long as it claims, so
// a read past its end is a sanitizer error rather than a lucky read.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// The low `size` bytes of v at `at`, least significant first.
inline void put(Bytes& b, std::size_t at, std::uint32_t v, int size = 4)
{
    for (int i = 0; i < size; ++i)
        b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> 8 * i);
}

struct Corruption {
    const char* what;
    std::size_t at;
    int size;  // 2 or 4 bytes
    std::uint32_t value;
};

// check(broken, what) for each corrupted field, each truncation, and each
// byte of the file set to each of `values`.
template <typename Check>
void each_corrupted_field(const Bytes& good, std::initializer_list<Corruption> cases, Check check)
{
    for (const Corruption& c : cases) {
        Bytes bad = good;
        put(bad, c.at, c.value, c.size);
        check(bad, c.what);
    }
}
template <typename Check>
void each_truncation(const Bytes& good, Check check)
{
    for (std::size_t n = 0; n < good.size(); ++n)
        check(Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n)), n);
}
template <typename Check>
void each_byte_set_to(const Bytes& good, std::initializer_list<std::uint8_t> values, Check check)
{
    for (std::size_t i = 0; i < good.size(); ++i)
        for (std::uint8_t v : values) {
            Bytes bad = good;
            bad[i] = v;
            check(bad, i);
        }
}
