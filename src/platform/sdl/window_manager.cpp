#include "platform/sdl/window_manager.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <string>

bool window_manager_running(SDL_Window* window)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return true;
    Display* x = info.info.x11.display;
    const Atom check = XInternAtom(x, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None)
        return false;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const bool asked = XGetWindowProperty(x, DefaultRootWindow(x), check, 0, 1, False, XA_WINDOW, &type, &format,
                                          &count, &after, &data) == Success;
    if (data)
        XFree(data);
    return asked && type == XA_WINDOW && count == 1;
}

void set_plain_title(SDL_Window* window, const char* title)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return;
    // ISO Latin-1, the STRING every X tool reads; an em dash becomes a
    // hyphen, anything else beyond Latin-1 a question mark.
    std::string latin;
    for (const auto* p = reinterpret_cast<const unsigned char*>(title); *p;) {
        std::uint32_t c = *p++;
        int more = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        if (more)
            c &= 0x3F >> more;
        for (; more > 0 && (*p & 0xC0) == 0x80; --more)
            c = (c << 6) | (*p++ & 0x3F);
        latin += c == 0x2014 ? '-' : c < 0x100 ? static_cast<char>(c) : '?';
    }
    char* text = latin.data();
    XTextProperty property;
    if (XStringListToTextProperty(&text, 1, &property) == 0)
        return;
    XSetWMName(info.info.x11.display, info.info.x11.window, &property);
    XFree(property.value);
}
