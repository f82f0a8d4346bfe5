// Resources compiled into the executable by windres.
#include "platform/resources.h"

#include <array>

#include "platform/win32/handles.h"

namespace {

// FreeResource wants the handle LoadResource gave, which ResourceBytes does
// not carry; the program holds at most one or two resources at a time.
struct Loaded {
    const std::uint8_t* data = nullptr;
    HGLOBAL handle = nullptr;
};
std::array<Loaded, 8> loaded;

}  // namespace

ResourceBytes load_resource(const char* type, int id)
{
    HMODULE module = program_instance();
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    if (!found)
        return {};
    const DWORD size = SizeofResource(module, found);
    HGLOBAL handle = LoadResource(module, found);
    if (!handle)
        return {};
    const auto* data = static_cast<const std::uint8_t*>(LockResource(handle));
    if (!data)
        return {};
    for (Loaded& slot : loaded) {
        if (!slot.data) {
            slot = {data, handle};
            break;
        }
    }
    return {data, size};
}

void free_resource(ResourceBytes resource)
{
    for (Loaded& slot : loaded) {
        if (slot.data && slot.data == resource.data) {
            FreeResource(slot.handle);
            slot = {};
            return;
        }
    }
}
