// How much of the process's memory is resident, for the soak's watch on
// growth. Linux reads it from /proc; elsewhere it is unknown.
#pragma once

#include <cstdint>

// Kibibytes, or -1 when the system does not say.
std::int64_t resident_kib();
