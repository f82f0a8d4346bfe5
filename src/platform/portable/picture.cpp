// The title picture straight from the embedded bitmap file.
#include "platform/picture.h"

#include <string>

#include "platform/portable/bmp_file.h"
#include "platform/portable/resource_types.h"
#include "platform/resources.h"

bool load_picture_bits(std::int32_t resource_id, PictureBits& picture)
{
    const ResourceBytes bytes = load_resource(bitmap_resource_type, resource_id);
    MonoBitmap bitmap;
    std::string error;
    if (!bytes.data || !parse_mono_bmp(bytes.data, bytes.size, bitmap, error))
        return false;
    picture.width = bitmap.width;
    picture.height = bitmap.height;
    picture.bytes_per_row = bitmap.bytes_per_row;
    picture.bits = std::move(bitmap.bits);
    return true;
}
