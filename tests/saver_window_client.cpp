// A magenta window for modra-saver to draw into, as xscreensaver would make one. Prints its id once it is up,
// then takes lines on stdin, "W H" to resize it or "destroy", each answered "done" once the server has it.
// With "root", makes the root magenta and stays connected until killed: Xvfb starts afresh, its root white,
// when its last client leaves, which would undo xsetroot's work at once.
// Usage: saver_window_client W H X Y | saver_window_client root
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <unistd.h>

constexpr unsigned long magenta = 0xFF00FF;

int main(int argc, char** argv)
{
    const bool root = argc == 2 && std::strcmp(argv[1], "root") == 0;
    Display* display = argc == 5 || root ? XOpenDisplay(nullptr) : nullptr;
    if (!display) {
        std::fprintf(stderr, "usage: saver_window_client W H X Y | root, with a display to open the window on\n");
        return 2;
    }
    const int screen = DefaultScreen(display);
    if (root) {
        XSetWindowBackground(display, RootWindow(display, screen), magenta);
        XClearWindow(display, RootWindow(display, screen));
        XSync(display, False);
        for (;;)
            pause();
    }
    const auto number = [&](int i) { return static_cast<unsigned>(std::strtoul(argv[i], nullptr, 10)); };
    XSetWindowAttributes attributes{};
    attributes.background_pixel = magenta;
    attributes.event_mask = StructureNotifyMask;
    const Window window =
        XCreateWindow(display, RootWindow(display, screen), static_cast<int>(number(3)), static_cast<int>(number(4)),
                      number(1), number(2), 0, CopyFromParent, InputOutput, CopyFromParent, CWBackPixel | CWEventMask,
                      &attributes);
    XStoreName(display, window, "saver test window");
    XMapWindow(display, window);
    for (XEvent e; XNextEvent(display, &e), e.type != MapNotify;) {
    }
    std::printf("0x%lx\n", window);
    std::fflush(stdout);
    char line[100];
    bool alive = true;
    while (std::fgets(line, sizeof line, stdin)) {
        unsigned width = 0, height = 0;
        if (alive && std::strncmp(line, "destroy", 7) == 0) {
            XDestroyWindow(display, window);
            alive = false;
        } else if (alive && std::sscanf(line, "%u %u", &width, &height) == 2) {
            XResizeWindow(display, window, width, height);
        } else {
            std::fprintf(stderr, "saver_window_client: cannot do %s", line);
            return 2;
        }
        XSync(display, False);
        std::printf("done\n");
        std::fflush(stdout);
    }
    XCloseDisplay(display);
    return 0;
}
