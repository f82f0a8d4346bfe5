// The installed DirectX, as the registry records it.
#pragma once

#include <cstdint>

// False when the value is missing or older than minimum_major.minimum_minor.
bool check_directx_version(std::int32_t minimum_major, std::int32_t minimum_minor);
