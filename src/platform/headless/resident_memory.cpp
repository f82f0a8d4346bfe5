#include "platform/headless/resident_memory.h"

#include <fstream>

#include <malloc.h>
#include <unistd.h>

std::int64_t resident_kib()
{
    // Free heap pages go back first, so that what is left is what the
    // program holds, not what the allocator keeps in hand after a resize.
    malloc_trim(0);
    std::ifstream statm("/proc/self/statm");
    std::int64_t total = 0, resident = 0;
    if (!(statm >> total >> resident))
        return -1;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}
