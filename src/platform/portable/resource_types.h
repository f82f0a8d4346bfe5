// The type names the embedded resources are filed under, as the Windows
// resource script files them.
#pragma once

#include <cstdint>
#include <string>

#include "platform/portable/ico_file.h"

inline constexpr const char* icon_resource_type = "ICON";
inline constexpr const char* bitmap_resource_type = "BITMAP";

// Decodes an icon resource, saying what is wrong with it when it cannot.
bool decode_icon_resource(std::int32_t resource_id, IcoImage& image, std::string& error);
