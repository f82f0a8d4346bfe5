// Icon resources. No icon resource is embedded yet, so every number is
// unknown and yields null, as the native call does for a missing resource.
#include "platform/canvas.h"

IconHandle load_icon(std::int32_t /*resource_id*/) { return nullptr; }
