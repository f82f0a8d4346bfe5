// Whether this Windows can run the program: a recent enough system, and
// DirectX 7 or later as the registry records it.
#include "platform/startup_checks.h"

#include "platform/win32/directx_check.h"
#include "platform/win32/handles.h"
#include "platform/win32/version_rules.h"

static_assert(sizeof(OSVERSIONINFOA) == 148);

namespace {

constexpr char sorry[] = "Sorry";
constexpr char too_old_text[] =
    "This program requires Windows 98, Windows ME, Windows 2000, Windows XP or later.";
constexpr char no_directx_text[] =
    "This program requires DirectX version 7 or later. Please go to "
    "https://www.microsoft.com/en-us/download/details.aspx?id=35";

}  // namespace

bool check_directx_version(std::int32_t minimum_major, std::int32_t minimum_minor)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\DirectX", 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS)
        return false;
    char text[80] = {};
    DWORD size = sizeof text - 1;  // room for a terminator the value may lack
    const LONG read = RegQueryValueExA(key, "Version", nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size);
    RegCloseKey(key);
    if (read != ERROR_SUCCESS)
        return false;
    return directx_version_sufficient(parse_directx_version(text), minimum_major, minimum_minor);
}

bool check_platform()
{
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    GetVersionExA(&info);
    // Windows 98 and ME pass the system test, but shipped with DirectX 5 and
    // 6, so they take the DirectX test like everyone else.
    if (os_verdict(info.dwMajorVersion, info.dwMinorVersion) == OsVerdict::too_old) {
        MessageBoxA(nullptr, too_old_text, sorry, MB_ICONERROR);
        return false;
    }
    if (!check_directx_version(7, 0)) {
        MessageBoxA(nullptr, no_directx_text, sorry, MB_ICONERROR);
        return false;
    }
    return true;
}
