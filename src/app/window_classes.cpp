#include "app/window_classes.h"

bool register_toy_class(const char* name, WindowProc procedure, Cursor cursor, IconHandle icon)
{
    WindowClass c;
    c.name = name;
    c.procedure = procedure;
    c.redraw_on_resize = true;
    c.cursor = cursor;
    c.icon = icon;
    if (register_class(c))
        return true;
    tell_class_registration_failed();
    return false;
}

void tell_class_registration_failed()
{
    message_box("Couldn't Register Window Class", "Window Class Registration Failure");
}

void tell_window_creation_failed() { message_box("Failed to Create Window", "Window Creation Failure"); }
