// What every fuzz target shares: failing loudly, reading the input's own claims, copies of the input that
// expose reads past its end, and the shape of an error message.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

// A failed check is a crash to libFuzzer, which then keeps the input.
#define FUZZ_CHECK(condition)                                                              \
    do {                                                                                   \
        if (!(condition)) {                                                                \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                  \
        }                                                                                  \
    } while (0)

// Little-endian fields of the input, what a header claims; zero where the input ends first.
inline std::uint32_t claim_u32(const std::uint8_t* data, std::size_t size, std::uint64_t at)
{
    std::uint32_t v = 0;
    for (std::uint64_t i = 0; i < 4; ++i)
        if (at + i < size) v |= static_cast<std::uint32_t>(data[at + i]) << (8 * i);
    return v;
}
inline std::int32_t claim_i32(const std::uint8_t* data, std::size_t size, std::uint64_t at)
{
    return static_cast<std::int32_t>(claim_u32(data, size, at));
}

// A heap block exactly as long as the input: AddressSanitizer reports any byte read past it.
inline std::unique_ptr<std::uint8_t[]> exact_copy(const std::uint8_t* data, std::size_t size)
{
    std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[size]);
    if (size) std::memcpy(copy.get(), data, size);
    return copy;
}

// The input then bytes of `fill`: a reader looking past the end sees something else after 0x00 than 0xFF.
inline std::vector<std::uint8_t> padded_copy(const std::uint8_t* data, std::size_t size, std::uint8_t fill)
{
    constexpr std::size_t padding = 1024;
    std::vector<std::uint8_t> copy(size + padding, fill);
    if (size) std::memcpy(copy.data(), data, size);
    return copy;
}

// An error is one line of printable ASCII, short, opening with `prefix`.
inline bool is_message_line(const std::string& message, const std::string& prefix, std::size_t max_length = 240)
{
    if (message.size() <= prefix.size() || message.size() > max_length || message.compare(0, prefix.size(), prefix) != 0)
        return false;
    for (const unsigned char c : message)
        if (c < 0x20 || c > 0x7E) return false;
    return true;
}

// The outcome of one reader on one copy of the input.
template <typename Picture>
struct Decoded {
    bool ok;
    Picture picture;
    std::string error;
};

// `read(data, size, picture, error)` on the exact copy and both padded ones, each into a copy of `sentinel`:
// all three must agree, and a refusal leave the sentinel as it was and say why after `prefix`.
template <typename Picture, typename Read, typename Same>
Decoded<Picture> decode_three_ways(const std::uint8_t* data, std::size_t size, Read read, const Picture& sentinel,
                                   Same same, const std::string& prefix)
{
    const auto run = [&](const std::uint8_t* bytes) {
        Decoded<Picture> d{false, sentinel, {}};
        d.ok = read(bytes, size, d.picture, d.error);
        return d;
    };
    const auto exact = exact_copy(data, size);
    const Decoded<Picture> first = run(exact.get());
    for (const std::uint8_t fill : {std::uint8_t{0x00}, std::uint8_t{0xFF}}) {
        const std::vector<std::uint8_t> padded = padded_copy(data, size, fill);
        const Decoded<Picture> again = run(padded.data());
        FUZZ_CHECK(again.ok == first.ok && again.error == first.error && same(again.picture, first.picture));
    }
    if (!first.ok) {
        FUZZ_CHECK(same(first.picture, sentinel));
        FUZZ_CHECK(is_message_line(first.error, prefix));
    }
    return first;
}
