// An output file that appears whole or not at all: bytes go to a temporary
// file beside it, which is renamed over the target only when everything was
// written.
#pragma once

#include <cstdio>
#include <string>

struct StagedFile {
    std::string path;
    std::string temp_path;
    std::FILE* file = nullptr;
};

// Opens the temporary file; false (with `error` set) when it cannot be made.
bool open_staged(StagedFile& staged, const std::string& path, std::string& error);
// Closes and renames into place; on failure the temporary file is removed.
bool commit_staged(StagedFile& staged, std::string& error);
// Closes and removes the temporary file, if any.
void discard_staged(StagedFile& staged);
