// The toy's window classes and the boxes that tell the user a class or a
// window could not be made.
#pragma once

#include "platform/window.h"

// Registers a class repainted whole when its size changes, with no
// background (every procedure paints all of its pixels); false after telling
// the user.
bool register_toy_class(const char* name, WindowProc procedure, Cursor cursor, IconHandle icon = nullptr);

void tell_class_registration_failed();
void tell_window_creation_failed();
