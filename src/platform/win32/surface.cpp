// The pixel surface is DirectDraw 7 itself: the interface's statuses are
// DirectDraw's HRESULTs and its objects are the COM objects.
#include "platform/surface.h"

#include "platform/win32/handles.h"

static_assert(status_surface_lost == static_cast<Status>(DDERR_SURFACELOST) &&
              status_still_drawing == static_cast<Status>(DDERR_WASSTILLDRAWING) &&
              status_fail == static_cast<Status>(E_FAIL) && status_pointer == static_cast<Status>(E_POINTER));

Status create_draw_device(DrawDevice** device)
{
    IDirectDraw7* dd = nullptr;
    const HRESULT result = DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&dd), IID_IDirectDraw7, nullptr);
    *device = reinterpret_cast<DrawDevice*>(dd);
    return result;
}

Status set_cooperative_level(DrawDevice* device, WindowHandle window)
{
    return to_ddraw(device)->SetCooperativeLevel(to_hwnd(window), DDSCL_NORMAL);
}

namespace {

Status create_surface(DrawDevice* device, DDSURFACEDESC2& description, DrawSurface** surface)
{
    IDirectDrawSurface7* s = nullptr;
    const HRESULT result = to_ddraw(device)->CreateSurface(&description, &s, nullptr);
    *surface = reinterpret_cast<DrawSurface*>(s);
    return result;
}

}  // namespace

Status create_primary_surface(DrawDevice* device, DrawSurface** surface)
{
    DDSURFACEDESC2 description{};
    description.dwSize = sizeof description;
    description.dwFlags = DDSD_CAPS;
    description.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    return create_surface(device, description, surface);
}

Status create_offscreen_surface(DrawDevice* device, std::int32_t width, std::int32_t height, DrawSurface** surface)
{
    // No pixel format: the surface takes the desktop's.
    DDSURFACEDESC2 description{};
    description.dwSize = sizeof description;
    description.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    description.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE;
    description.dwWidth = static_cast<DWORD>(width);
    description.dwHeight = static_cast<DWORD>(height);
    return create_surface(device, description, surface);
}

Status create_clipper(DrawDevice* device, DrawClipper** clipper)
{
    IDirectDrawClipper* c = nullptr;
    const HRESULT result = to_ddraw(device)->CreateClipper(0, &c, nullptr);
    *clipper = reinterpret_cast<DrawClipper*>(c);
    return result;
}

Status clipper_set_window(DrawClipper* clipper, WindowHandle window)
{
    return to_ddclipper(clipper)->SetHWnd(0, to_hwnd(window));
}

Status set_clipper(DrawSurface* surface, DrawClipper* clipper)
{
    return to_ddsurface(surface)->SetClipper(to_ddclipper(clipper));
}

void release_device(DrawDevice* device) { to_ddraw(device)->Release(); }
void release_surface(DrawSurface* surface) { to_ddsurface(surface)->Release(); }
void release_clipper(DrawClipper* clipper) { to_ddclipper(clipper)->Release(); }

Status blit(DrawSurface* dest, const Rect& dest_rect, DrawSurface* source, const Rect& source_rect)
{
    RECT d = to_win_rect(dest_rect);
    RECT s = to_win_rect(source_rect);
    return to_ddsurface(dest)->Blt(&d, to_ddsurface(source), &s, DDBLT_WAIT, nullptr);
}

Status restore_surface(DrawSurface* surface) { return to_ddsurface(surface)->Restore(); }

Status lock_surface(DrawSurface* surface, LockedPixels& locked)
{
    DDSURFACEDESC2 description{};
    description.dwSize = sizeof description;
    const HRESULT result = to_ddsurface(surface)->Lock(nullptr, &description, DDLOCK_WAIT, nullptr);
    if (FAILED(result))
        return result;
    locked.pixels = static_cast<std::uint32_t*>(description.lpSurface);
    locked.pitch = description.lPitch;
    locked.width = description.dwWidth;
    locked.height = description.dwHeight;
    return result;
}

Status unlock_surface(DrawSurface* surface) { return to_ddsurface(surface)->Unlock(nullptr); }
