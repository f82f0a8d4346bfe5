// The resource files, embedded into the portable build at build time.
#pragma once

#include <cstddef>
#include <cstdint>

struct EmbeddedResource {
    const char* type;
    int id;
    const std::uint8_t* data;
    std::size_t size;
};

extern const EmbeddedResource embedded_resources[];
extern const std::size_t embedded_resource_count;
