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

// A recording being kept in a folder: its hidden temporary file until whole.
struct KeptFile {
    std::string folder;
    std::string temp;
    std::FILE* file = nullptr;
};

// False, with `error` ("cannot record in FOLDER: why"), when the folder
// cannot take it.
bool open_kept(KeptFile& kept, const std::string& folder, std::string& error);
// Closes it and names it stem.EXT (or stem-2.EXT ...), after `written` told
// whether every byte went in; false with `error` as above when it could not
// be done. The temporary name is gone either way.
bool name_kept(KeptFile& kept, bool written, const std::string& stem, const char* extension, std::string& path,
               std::string& error);
// Closes and removes it.
void drop_kept(KeptFile& kept);
