// Recording what the view shows. Every view pixel is an entry of the
// displayed palette (the cell's high byte is its index), so each frame is
// kept exactly as those indices and that palette. The frame's path only
// copies them into a slot of a bounded queue; a worker thread hands them to
// the outputs, which encode.
#pragma once

#include <cstdint>
#include <string>

#include "sim/cell_field.h"

struct RecordedFrame {
    std::uint8_t indices[field_width * field_height];
    std::uint32_t palette[256];
};

// Where one output's frames go, on the worker thread. A GIF keeps every
// second frame and shows them for 30, 30, 40 ms (browsers slow down
// shorter GIF frames); a WebP or a video keeps every frame, for 16, 17,
// 17 ms: both exactly the toy's sixty a second.
struct RecordingOutput {
    bool every_second = false;  // a GIF's pace
    bool (*add)(void* context, const RecordedFrame& frame, std::int32_t delay_ms, std::string& error) = nullptr;
    void* context = nullptr;
};

inline constexpr int max_recording_outputs = 3;

// Starts with the next frame shown, after skipping `skip` frames, for at
// most `max_frames` frames of the toy (0: no end). With `wait_for_room` a
// frame waits for the worker when every slot is full, so that none is ever
// lost (a program that makes frames as fast as it can); without, the toy
// goes on and the recording ends there, fallen behind. False when one runs.
bool start_recording(const RecordingOutput* outputs, int count, std::int64_t skip, std::int64_t max_frames,
                     bool wait_for_room);
bool recording_fell_behind();
bool recording_active();
// The frames asked for are all taken, or an output failed: time to stop.
bool recording_over();
// Waits until every frame taken is written, ends the worker; false with the
// first output's error. Nothing is recorded afterwards.
bool stop_recording(std::string& error);
