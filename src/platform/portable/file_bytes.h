// Little-endian fields of Windows file formats, read with every offset
// checked against the end of the bytes first.
#pragma once

#include <cstddef>
#include <cstdint>

struct ByteSpan {
    const std::uint8_t* data;
    std::size_t size;

    // True when [offset, offset + length) lies inside, without overflow.
    bool holds(std::uint64_t offset, std::uint64_t length) const
    {
        return offset <= size && length <= size - offset;
    }
    // Callers check holds(offset, 2 or 4) first.
    std::uint16_t u16(std::size_t offset) const
    {
        return static_cast<std::uint16_t>(data[offset] | data[offset + 1] << 8);
    }
    std::uint32_t u32(std::size_t offset) const
    {
        return static_cast<std::uint32_t>(data[offset]) | static_cast<std::uint32_t>(data[offset + 1]) << 8 |
               static_cast<std::uint32_t>(data[offset + 2]) << 16 | static_cast<std::uint32_t>(data[offset + 3]) << 24;
    }
    std::int32_t i32(std::size_t offset) const { return static_cast<std::int32_t>(u32(offset)); }
};
