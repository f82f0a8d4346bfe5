// An output file that appears whole or not at all: bytes go to a temporary
// file beside it, which is renamed over the target only when every output
// was written. A target that is not a regular file (a terminal, a pipe, a
// device) cannot be replaced and is written in place.
#pragma once

#include <cstdio>
#include <string>

struct StagedFile {
    std::string path;
    std::string temp_path;
    std::FILE* file = nullptr;
    bool in_place = false;  // the target is no regular file and is written directly
};

// Opens the temporary file, or the target itself when it is no regular
// file; false when neither can be made, or when the target is a folder.
// Every `error` is the reason alone, for the caller to name the file.
bool open_staged(StagedFile& staged, const std::string& path, std::string& error);
// Flushes and closes; false (with `error`) when any byte failed to land.
bool close_staged(StagedFile& staged, std::string& error);
// The same for any file written: closed in every case, `file` null after.
bool close_checked(std::FILE*& file, std::string& error);
// Renames a closed temporary file into place.
bool commit_staged(StagedFile& staged, std::string& error);
// Closes and removes the temporary file, if any.
void discard_staged(StagedFile& staged);
