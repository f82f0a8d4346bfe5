#include "platform/win32/version_rules.h"

#include <cstdio>

DirectXVersion parse_directx_version(const char* text)
{
    DirectXVersion v;
    std::sscanf(text, "%d.%d.%d.%d", &v.first, &v.second, &v.third, &v.fourth);
    return v;
}

bool directx_version_sufficient(const DirectXVersion& version, std::int32_t minimum_major,
                                std::int32_t minimum_minor)
{
    return version.second >= minimum_major && version.third >= minimum_minor;
}

OsVerdict os_verdict(std::uint32_t major, std::uint32_t minor)
{
    if (major >= 5)
        return OsVerdict::current;
    if ((major == 3 || major == 4) && (minor == 10 || minor == 90))
        return OsVerdict::windows_98_me;
    return OsVerdict::too_old;
}
