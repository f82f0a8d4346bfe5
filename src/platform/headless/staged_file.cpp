#include "platform/headless/staged_file.h"

#include <cerrno>
#include <cstring>

bool open_staged(StagedFile& staged, const std::string& path, std::string& error)
{
    staged.path = path;
    for (int attempt = 0; attempt < 100; ++attempt) {
        staged.temp_path = path + ".part" + std::to_string(attempt);
        // "x": never reuse a name that already exists.
        staged.file = std::fopen(staged.temp_path.c_str(), "wbx");
        if (staged.file)
            return true;
        if (errno != EEXIST)
            break;
    }
    error = "cannot write " + path + ": " + std::strerror(errno);
    staged.temp_path.clear();
    return false;
}

bool commit_staged(StagedFile& staged, std::string& error)
{
    const bool written = std::ferror(staged.file) == 0;
    const bool closed = std::fclose(staged.file) == 0;
    staged.file = nullptr;
    if (written && closed && std::rename(staged.temp_path.c_str(), staged.path.c_str()) == 0) {
        staged.temp_path.clear();
        return true;
    }
    error = "cannot write " + staged.path + ": " + std::strerror(errno);
    std::remove(staged.temp_path.c_str());
    staged.temp_path.clear();
    return false;
}

void discard_staged(StagedFile& staged)
{
    if (staged.file)
        std::fclose(staged.file);
    staged.file = nullptr;
    if (!staged.temp_path.empty())
        std::remove(staged.temp_path.c_str());
    staged.temp_path.clear();
}
