// New files in a folder the user keeps things in, never replacing one.
#pragma once

#include <cstdio>
#include <string>

// A hidden temporary file beside where stem's file will go; null with
// `error` (the reason alone) when the folder cannot take it.
std::FILE* open_hidden_temp(const std::string& folder, const std::string& stem, std::string& temp, std::string& error);

// Gives the closed temporary file the first free name of base.EXT,
// base-2.EXT ...; `path` is the name taken. The temporary name stays for the
// caller to remove.
bool take_free_name(const std::string& temp, const std::string& base, const std::string& extension, std::string& path,
                    std::string& error);
