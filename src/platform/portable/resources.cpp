#include "platform/resources.h"

#include <cstring>

#include "platform/portable/embedded_resources.h"

ResourceBytes load_resource(const char* type, int id)
{
    for (std::size_t i = 0; i < embedded_resource_count; ++i) {
        const EmbeddedResource& r = embedded_resources[i];
        if (r.id == id && std::strcmp(r.type, type) == 0)
            return {r.data, r.size};
    }
    return {};
}

// Embedded bytes live for the whole run; there is nothing to release.
void free_resource(ResourceBytes) {}
