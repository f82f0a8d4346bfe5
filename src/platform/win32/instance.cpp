#include "platform/win32/handles.h"

namespace {
HINSTANCE stored_instance = nullptr;
}

// Before WinMain has stored it (the unit tests have no WinMain), the module
// that started the process is the one that holds the resources.
HINSTANCE program_instance() { return stored_instance ? stored_instance : GetModuleHandleA(nullptr); }

void set_program_instance(HINSTANCE instance) { stored_instance = instance; }
