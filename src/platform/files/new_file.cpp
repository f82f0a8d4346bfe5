// New files in a folder the user keeps things in: written under a hidden
// temporary name, then given a name of their own with a hard link, which
// fails rather than replace a file that is there.
#include "platform/files/new_file.h"

#include "platform/files/staged_file.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

std::FILE* open_hidden_temp(const std::string& folder, const std::string& stem, std::string& temp, std::string& error)
{
    std::FILE* file = nullptr;
    for (int attempt = 0; attempt < 100 && !file; ++attempt) {
        temp = folder + "/." + stem + ".part" + std::to_string(attempt);
        file = std::fopen(temp.c_str(), "wbx");
        if (!file && errno != EEXIST)
            break;
    }
    if (!file)
        error = std::strerror(errno);
    return file;
}

bool take_free_name(const std::string& temp, const std::string& base, const std::string& extension, std::string& path,
                    std::string& error)
{
    for (int n = 1; n <= 1000; ++n) {
        path = base;
        if (n > 1)
            path.append("-").append(std::to_string(n));
        path.append(".").append(extension);
        if (link(temp.c_str(), path.c_str()) == 0)
            return true;
        if (errno == EEXIST)
            continue;
        // A file system without hard links: take the name with an empty file,
        // then move the picture over it.
        if (errno == EPERM || errno == ENOTSUP || errno == EXDEV) {
            std::FILE* claim = std::fopen(path.c_str(), "wbx");
            if (!claim && errno == EEXIST)
                continue;
            if (claim && std::fclose(claim) == 0 && std::rename(temp.c_str(), path.c_str()) == 0)
                return true;
            const int cause = errno;
            std::remove(path.c_str());
            error = std::strerror(cause);
            return false;
        }
        error = std::strerror(errno);
        return false;
    }
    error = "every name is taken";
    return false;
}


bool open_kept(KeptFile& kept, const std::string& folder, std::string& error)
{
    kept.folder = folder;
    kept.file = open_hidden_temp(folder, "modra-recording", kept.temp, error);
    if (!kept.file)
        error = "cannot record in " + folder + ": " + error;
    return kept.file != nullptr;
}

bool name_kept(KeptFile& kept, bool written, const std::string& stem, const char* extension, std::string& path,
               std::string& error)
{
    std::string closing;
    bool ok = close_checked(kept.file, closing) && written;
    if (written && !ok)
        error = closing;
    ok = ok && take_free_name(kept.temp, kept.folder + "/" + stem, extension, path, error);
    if (!ok)
        error = "cannot record in " + kept.folder + ": " + error;
    drop_kept(kept);
    return ok;
}

void drop_kept(KeptFile& kept)
{
    if (kept.file)
        std::fclose(kept.file);
    kept.file = nullptr;
    if (!kept.temp.empty())
        std::remove(kept.temp.c_str());
    kept.temp.clear();
}
