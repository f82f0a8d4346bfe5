// Real windows on the test host: a "probe" class that logs every message it
// gets and lets a test decide how each one is handled.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "platform/portable/events.h"
#include "platform/portable/window_testing.h"
#include "platform/window.h"
#include "test_host.h"

struct Logged {
    WindowHandle window;
    std::uint32_t message;
    std::uintptr_t wparam;
    std::intptr_t lparam;
};

// Return a value to handle the message, nothing to pass it to the default
// procedure.
using Handler = std::function<std::optional<std::intptr_t>(WindowHandle, std::uint32_t, std::uintptr_t,
                                                           std::intptr_t)>;

inline std::vector<Logged> message_log;
inline Handler handler;

inline std::intptr_t probe_proc(WindowHandle w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp)
{
    message_log.push_back({w, m, wp, lp});
    if (handler)
        if (auto result = handler(w, m, wp, lp))
            return *result;
    return default_window_proc(w, m, wp, lp);
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        reset_window_system();
        reset_test_host();
        message_log.clear();
        handler = nullptr;
        ASSERT_TRUE(register_class({"probe", probe_proc}));
        ASSERT_TRUE(register_class({"redrawing", probe_proc, true}));
    }
    void TearDown() override
    {
        handler = nullptr;
        reset_window_system();
    }

    // A shown main window at screen (100, 50), its first paint done.
    WindowHandle make_main(std::int32_t width = 200, std::int32_t height = 150)
    {
        WindowHandle w = create_window("probe", "main", WindowStyle::main, 100, 50, width, height, nullptr, 0);
        show_window(w);
        validate(w, nullptr);
        message_log.clear();
        return w;
    }
    WindowHandle make_child(WindowHandle parent, Rect r, std::int32_t id = 1, const char* cls = "probe")
    {
        WindowHandle w = create_window(cls, "child", WindowStyle::visible_child, r.left, r.top, rect_width(r),
                                       rect_height(r), parent, id);
        validate(w, nullptr);
        return w;
    }
    // Peeks and dispatches until the queue is empty (or `limit` messages).
    std::vector<Logged> pump(int limit = 50)
    {
        std::vector<Logged> taken;
        Message m;
        while (limit-- > 0 && peek_message(m)) {
            taken.push_back({m.window, m.message, m.wparam, m.lparam});
            translate_message(m);
            dispatch_message(m);
        }
        return taken;
    }
    std::vector<std::uint32_t> messages_to(WindowHandle w) const
    {
        std::vector<std::uint32_t> out;
        for (const Logged& l : message_log)
            if (l.window == w)
                out.push_back(l.message);
        return out;
    }
    static std::uint32_t pixel(std::int32_t x, std::int32_t y)
    {
        const Framebuffer fb = top_level_framebuffer();
        return fb.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(fb.pitch / 4) +
                         static_cast<std::size_t>(x)];
    }
};
