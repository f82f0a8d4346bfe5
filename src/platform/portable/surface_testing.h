// Failures a real display produces and tests need on demand: surfaces lost
// after a mode change, locks and unlocks that fail, a restore that fails.
#pragma once

#include <cstdint>

struct DrawSurface;

// Blits from or to it and locks of it report a lost surface until restored.
void mark_surface_lost(DrawSurface* surface);
void lose_all_surfaces();
void fail_next_locks(DrawSurface* surface, std::int32_t count);  // each fails with status_fail
void fail_next_unlock(DrawSurface* surface);  // fails with status_fail, though the lock ends
void fail_next_restore(DrawSurface* surface);
