// Kept pictures on a POSIX system: the XDG pictures folder, and PNGs taken
// in under a name of their own.
#include "platform/picture_files.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/files/image_file.h"
#include "platform/files/new_file.h"
#include "platform/files/staged_file.h"

namespace {

bool is_folder(const std::string& path)
{
    std::error_code ec;
    return !path.empty() && std::filesystem::is_directory(path, ec);
}

// xdg-user-dir answers the home folder itself when no pictures folder is
// set, which is no answer.
std::string xdg_pictures(const std::string& home)
{
    std::FILE* pipe = popen("xdg-user-dir PICTURES 2>/dev/null", "r");
    if (!pipe)
        return {};
    char line[4096] = {};
    const bool read = std::fgets(line, sizeof line, pipe) != nullptr;
    pclose(pipe);
    std::string answer = read ? line : "";
    while (!answer.empty() && (answer.back() == '\n' || answer.back() == '/'))
        answer.pop_back();
    return answer == home ? std::string() : answer;
}

}  // namespace

const char* const keep_key_help = "S   keep the picture, as a PNG in your pictures folder\n";
const char* const record_key_help =
    "R   record a video there (MP4, with the sound when listening), until R again (a minute at most)\n";
const char* const gif_key_help =
    "Shift+R   record the picture as a GIF there, every pixel kept, until Shift+R again\n";

std::string pictures_folder()
{
    const char* home_env = std::getenv("HOME");
    const std::string home = home_env ? home_env : "";
    if (const std::string xdg = xdg_pictures(home); is_folder(xdg))
        return xdg;
    if (is_folder(home + "/Pictures"))
        return home + "/Pictures";
    return ".";
}

bool save_new_png(const std::string& folder, const std::string& stem, const std::uint32_t* pixels,
                  std::int32_t width, std::int32_t height, std::int32_t pitch, std::string& path,
                  std::string& error)
{
    std::string temp;
    std::FILE* file = open_hidden_temp(folder, stem, temp, error);
    bool ok = file != nullptr;
    if (ok) {
        errno = 0;
        const bool written = write_image(file, ImageFormat::png, pixels, width, height, pitch);
        const int cause = errno ? errno : EIO;
        ok = close_checked(file, error) && written;
        if (!written)
            error = std::strerror(cause);
        ok = ok && take_free_name(temp, folder + "/" + stem, "png", path, error);
        std::remove(temp.c_str());
    }
    if (!ok)
        error = "cannot save a picture in " + folder + ": " + error;
    return ok;
}

bool save_new_text(const std::string& folder, const std::string& stem, const char* extension, const std::string& text,
                   std::string& path, std::string& error)
{
    std::string temp;
    std::FILE* file = open_hidden_temp(folder, stem, temp, error);
    bool ok = file != nullptr;
    if (ok) {
        errno = 0;
        const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
        const int cause = errno ? errno : EIO;
        ok = close_checked(file, error) && written;
        if (!written)
            error = std::strerror(cause);
        ok = ok && take_free_name(temp, folder + "/" + stem, extension, path, error);
        std::remove(temp.c_str());
    }
    if (!ok)
        error = "cannot keep a file in " + folder + ": " + error;
    return ok;
}
