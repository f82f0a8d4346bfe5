#include "platform/x11/x11_desktop.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

namespace {

void set_atoms(Display* display, Window window, const char* property, const char* const* names, int count)
{
    Atom atoms[4];
    for (int i = 0; i < count; ++i)
        atoms[i] = XInternAtom(display, names[i], False);
    XChangeProperty(display, window, XInternAtom(display, property, False), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(atoms), count);
}

}  // namespace

void mark_as_desktop(Display* display, Window window)
{
    const char* const type[] = {"_NET_WM_WINDOW_TYPE_DESKTOP"};
    set_atoms(display, window, "_NET_WM_WINDOW_TYPE", type, 1);
    // Most window managers infer all of these from the type; some only
    // stack it, and would list it among the running programs.
    const char* const state[] = {"_NET_WM_STATE_BELOW", "_NET_WM_STATE_STICKY", "_NET_WM_STATE_SKIP_TASKBAR",
                                 "_NET_WM_STATE_SKIP_PAGER"};
    set_atoms(display, window, "_NET_WM_STATE", state, 4);
    const long every_workspace = 0xFFFFFFFF;
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_DESKTOP", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&every_workspace), 1);
    // Nothing typed reaches the toy: a click on the desktop leaves the
    // keyboard with the window that had it.
    XWMHints hints{};
    hints.flags = InputHint;
    hints.input = False;
    XSetWMHints(display, window, &hints);
}
