// The interface's opaque handles are the Windows handles themselves: a
// Window* is the HWND, a Canvas* the HDC, a DrawSurface* the
// IDirectDrawSurface7*, and so on. Converting is a cast, so every platform
// call stays one Windows call and no table has to be kept in step with the
// window system's own.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <ddraw.h>

#include "platform/canvas.h"
#include "platform/surface.h"
#include "platform/window.h"

// The module handle WinMain received; class registrations and resource
// look-ups name it.
HINSTANCE program_instance();
void set_program_instance(HINSTANCE instance);
// The top-level window create_window made last, for the calls that name no
// window (full screen); it may have been destroyed since.
HWND main_hwnd();

inline HWND to_hwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }
inline WindowHandle from_hwnd(HWND window) { return reinterpret_cast<WindowHandle>(window); }
inline HDC to_hdc(Canvas* canvas) { return reinterpret_cast<HDC>(canvas); }
inline Canvas* from_hdc(HDC dc) { return reinterpret_cast<Canvas*>(dc); }
inline HPEN to_hpen(PenHandle pen) { return reinterpret_cast<HPEN>(pen); }
inline PenHandle from_hpen(HGDIOBJ pen) { return reinterpret_cast<PenHandle>(pen); }
inline HBRUSH to_hbrush(BrushHandle brush) { return reinterpret_cast<HBRUSH>(brush); }
inline BrushHandle from_hbrush(HGDIOBJ brush) { return reinterpret_cast<BrushHandle>(brush); }
inline HICON to_hicon(IconHandle icon) { return reinterpret_cast<HICON>(icon); }
inline IconHandle from_hicon(HICON icon) { return reinterpret_cast<IconHandle>(icon); }
inline IDirectDraw7* to_ddraw(DrawDevice* device) { return reinterpret_cast<IDirectDraw7*>(device); }
inline IDirectDrawSurface7* to_ddsurface(DrawSurface* surface)
{
    return reinterpret_cast<IDirectDrawSurface7*>(surface);
}
inline IDirectDrawClipper* to_ddclipper(DrawClipper* clipper)
{
    return reinterpret_cast<IDirectDrawClipper*>(clipper);
}

inline RECT to_win_rect(const Rect& r) { return {r.left, r.top, r.right, r.bottom}; }
inline Rect from_win_rect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

// The interface speaks 0x00RRGGBB; GDI's COLORREF is 0x00BBGGRR.
inline COLORREF to_colorref(std::uint32_t colour)
{
    return RGB((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
}
