// One picture: the back surface locked, the field stepped (or drawn frozen)
// straight into it, unlocked, presented, and the view marked painted.
#pragma once

#include <cstdint>

#include "platform/surface.h"

void produce_frame(bool step);

// Failures inside a frame go to the trace hook, which writes nothing; the
// frame is abandoned and the next one tries again.
void debug_trace(const char* text);
void trace_failure(Status status, const char* text);
