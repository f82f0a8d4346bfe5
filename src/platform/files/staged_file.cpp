#include "platform/files/staged_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace {

bool fail(std::string& error, const char* why)
{
    error = why;
    return false;
}

}  // namespace

bool open_staged(StagedFile& staged, const std::string& path, std::string& error)
{
    staged.path = path;
    staged.temp_path.clear();
    staged.in_place = false;
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (std::filesystem::is_directory(status))
        return fail(error, "it is a folder");
    // Renaming over a device or a pipe would replace it with a plain file.
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        staged.in_place = true;
        staged.file = std::fopen(path.c_str(), "wb");
        return staged.file || fail(error, std::strerror(errno));
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        staged.temp_path = path + ".part" + std::to_string(attempt);
        // "x": never reuse a name that already exists.
        staged.file = std::fopen(staged.temp_path.c_str(), "wbx");
        if (staged.file)
            return true;
        if (errno != EEXIST)
            break;
    }
    const int cause = errno;
    staged.temp_path.clear();
    return fail(error, std::strerror(cause));
}

bool close_checked(std::FILE*& file, std::string& error)
{
    errno = 0;
    const bool written = std::fflush(file) == 0 && std::ferror(file) == 0;
    const int cause = errno;
    const bool closed = std::fclose(file) == 0;
    file = nullptr;
    if (written && closed)
        return true;
    return fail(error, std::strerror(cause ? cause : errno ? errno : EIO));
}

bool close_staged(StagedFile& staged, std::string& error) { return close_checked(staged.file, error); }

bool commit_staged(StagedFile& staged, std::string& error)
{
    if (staged.temp_path.empty() || std::rename(staged.temp_path.c_str(), staged.path.c_str()) == 0) {
        staged.temp_path.clear();
        return true;
    }
    const int cause = errno;
    std::remove(staged.temp_path.c_str());
    staged.temp_path.clear();
    return fail(error, std::strerror(cause));
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
