// What start-up decides from the version numbers Windows and the registry
// report, apart from asking them, so that the rules can be tried on any
// numbers.
#pragma once

#include <cstdint>

// The registry's DirectX "Version" text, e.g. "4.09.00.0904" → 4, 9, 0, 904.
// Numbers missing from the text are 0, so a damaged value fails the test.
struct DirectXVersion {
    std::int32_t first = 0;
    std::int32_t second = 0;
    std::int32_t third = 0;
    std::int32_t fourth = 0;
};

DirectXVersion parse_directx_version(const char* text);

// The second number is DirectX's major version and the third its minor;
// each must reach its minimum on its own.
bool directx_version_sufficient(const DirectXVersion& version, std::int32_t minimum_major,
                                std::int32_t minimum_minor);

enum class OsVerdict {
    current,        // Windows 2000 and later (major 5 and up)
    windows_98_me,  // 4.10 and 4.90 (and the same minors under major 3)
    too_old,
};

OsVerdict os_verdict(std::uint32_t major, std::uint32_t minor);
