// The top-level window's client area, as the user would see it, written to a
// picture file.
#pragma once

#include <string>

// PNG or PPM by the name's extension; the file appears whole or not at all.
// False, with `error` set, when there is no top-level window or the file
// cannot be written.
bool capture_framebuffer(const std::string& path, std::string& error);
