// Keeping the picture: the view's 640 x 480 as it is shown, as a PNG in the
// user's pictures folder.
#pragma once

#include <string>

// True with `path` the file written; false with `error` (one line), and then
// no file is left.
bool save_screenshot(std::string& path, std::string& error);
