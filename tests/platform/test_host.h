// A host for testing the portable window system alone: it records what the
// window system tells it and answers with fixed values.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/geometry.h"
#include "platform/window.h"

struct TestPlacement {
    std::string title;
    Rect screen;
    bool visible = false;
};

struct TestHost {
    std::vector<TestPlacement> placements;
    std::vector<Rect> changes;  // framebuffer areas reported changed
    std::vector<std::string> message_boxes;  // "title: text"
    std::function<void()> on_poll;  // runs inside peek_message, as a host's event pump would
    std::int32_t colour_depth = 32;
    Cursor cursor = Cursor::arrow;
};

inline constexpr Rect test_work_area{0, 0, 1280, 1024};

TestHost& test_host();
void reset_test_host();
