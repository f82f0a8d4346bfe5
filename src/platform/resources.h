// The program's own resources (stored palette set, title picture, icons),
// found by type and number as the Windows resource functions find them.
#pragma once

#include <cstddef>
#include <cstdint>

struct ResourceBytes {
    const std::uint8_t* data = nullptr;  // null when the resource is missing
    std::size_t size = 0;
};

ResourceBytes load_resource(const char* type, int id);
void free_resource(ResourceBytes resource);
