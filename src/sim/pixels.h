// Output rows are addressed through a signed byte pitch, as a locked surface
// describes them; a pitch of 0 folds every row onto the first.
#pragma once

#include <cstddef>
#include <cstdint>

inline std::uint32_t* pixel_row(std::uint32_t* pixels, std::int32_t pitch, int row)
{
    return reinterpret_cast<std::uint32_t*>(reinterpret_cast<std::byte*>(pixels) +
                                            static_cast<std::ptrdiff_t>(row) * pitch);
}
