// The portable build runs wherever its host could open a display; what it
// checks at start is its own resources, so that a damaged build says so at
// once instead of showing blank buttons or an empty picture.
#include "platform/startup_checks.h"

#include <string>

#include "platform/portable/bmp_file.h"
#include "platform/portable/resource_types.h"
#include "platform/resources.h"
#include "platform/window.h"

namespace {

constexpr std::int32_t icon_ids[] = {101, 105, 106, 107, 108, 109, 110, 111, 112,
                                     113, 114, 115, 116, 140, 141, 142, 143};
constexpr std::int32_t title_picture = 118;

bool resources_readable(std::string& error)
{
    for (const std::int32_t id : icon_ids) {
        IcoImage image;
        if (!decode_icon_resource(id, image, error))
            return false;
    }
    const ResourceBytes bytes = load_resource(bitmap_resource_type, title_picture);
    MonoBitmap bitmap;
    if (!bytes.data) {
        error = "the title picture is missing";
        return false;
    }
    if (!parse_mono_bmp(bytes.data, bytes.size, bitmap, error)) {
        error = "the title picture: " + error;
        return false;
    }
    if (bitmap.width != 640 || bitmap.height != 480) {
        error = "the title picture is not 640 x 480";
        return false;
    }
    return true;
}

}  // namespace

bool check_platform()
{
    std::string error;
    if (resources_readable(error))
        return true;
    message_box(("This copy of the program is damaged: " + error + ".").c_str(), "Sorry");
    return false;
}
