// Whether the program can run on this platform at all; each implementation
// tells the user why not before answering false.
#pragma once

bool check_platform();
