// Files the user gives modra.exe: on its command line, dropped on its
// window, or handed on to a new start of the program. Paths are UTF-8
// outside, UTF-16 inside.
#pragma once

#include <string>
#include <vector>

#include "platform/win32/handles.h"

#include <shellapi.h>

// The arguments after the program's name, as the wide command line splits
// them: the C runtime's narrow ones lose what the code page cannot spell.
std::vector<std::string> program_arguments();

// From now on files dropped on `window` come to it as wm_dropfiles, whose
// wparam carries nothing: the file is kept here, for dropped_file().
void accept_dropped_files(WindowHandle window);
// The first file of the last drop; empty when nothing was dropped.
std::string dropped_file();
// A drop as it arrives (the peek does it): its first file kept, the drop
// given back to the system.
void keep_dropped_file(HDROP drop);

// A new process of this program with `argument` as its one argument; false
// with `error` (one line) when it cannot start.
bool start_program_again(const std::string& argument, std::string& error);
