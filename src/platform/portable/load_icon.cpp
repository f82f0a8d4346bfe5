// Icon resources, decoded from the embedded .ico files on first use. Like the
// native call, a resource's icon is shared and lives for the whole run; a
// missing or unreadable resource yields null.
#include <map>
#include <memory>
#include <string>

#include "platform/canvas.h"
#include "platform/portable/ico_file.h"
#include "platform/portable/icon.h"
#include "platform/portable/resource_types.h"
#include "platform/resources.h"

bool decode_icon_resource(std::int32_t resource_id, IcoImage& image, std::string& error)
{
    const ResourceBytes bytes = load_resource(icon_resource_type, resource_id);
    if (!bytes.data) {
        error = "icon " + std::to_string(resource_id) + " is missing";
        return false;
    }
    if (!parse_ico(bytes.data, bytes.size, image, error)) {
        error = "icon " + std::to_string(resource_id) + ": " + error;
        return false;
    }
    return true;
}

IconHandle load_icon(std::int32_t resource_id)
{
    static std::map<std::int32_t, std::unique_ptr<Icon>> loaded;
    const auto [entry, first_time] = loaded.try_emplace(resource_id);
    IcoImage image;
    std::string error;
    if (first_time && decode_icon_resource(resource_id, image, error))
        entry->second = std::make_unique<Icon>(
            Icon{image.width, image.height, std::move(image.pixels), std::move(image.opaque)});
    return entry->second.get();
}
