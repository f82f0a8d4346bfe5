// The local time for names of kept pictures, where the C library knows the
// time zone (POSIX and the browser alike).
#include <ctime>

#include "platform/picture_files.h"

std::string local_time_stamp()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}
