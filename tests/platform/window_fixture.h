// Real windows of the portable window system on a test host, which records
// what the window system tells it and answers with fixed values. A "probe"
// class logs every message it gets and lets a test decide how each one is
// handled.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/canvas.h"
#include "platform/portable/events.h"
#include "platform/portable/window_testing.h"

struct TestPlacement {
    std::string title;
    Rect screen;
    bool visible = false;
};

struct TestHost {
    std::vector<TestPlacement> placements;
    std::vector<Rect> changes;      // framebuffer areas reported changed
    std::function<void()> on_poll;  // runs inside peek_message, as a host's event pump would
    Cursor cursor = Cursor::arrow;
};
inline TestHost test_host;

using Ids = std::vector<std::uint32_t>;
inline std::vector<Message> message_log;
// Return a value to handle the message, nothing to pass it to the default
// procedure.
inline std::function<std::optional<std::intptr_t>(WindowHandle, std::uint32_t)> handler;

inline std::intptr_t probe_proc(WindowHandle w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp)
{
    message_log.push_back({w, m, wp, lp});
    if (const auto result = handler ? handler(w, m) : std::nullopt)
        return *result;
    return default_window_proc(w, m, wp, lp);
}

// The messages of `log`, only those to `window` when one is given.
inline Ids ids(const std::vector<Message>& log, WindowHandle window = nullptr)
{
    Ids out;
    for (const Message& m : log)
        if (!window || m.window == window)
            out.push_back(m.message);
    return out;
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        reset_window_system();
        test_host = TestHost{};
        message_log.clear();
        handler = nullptr;
        ASSERT_TRUE(register_class({"probe", probe_proc}));
        ASSERT_TRUE(register_class({"redrawing", probe_proc, true}));
    }
    void TearDown() override { reset_window_system(); }

    // A shown main window at screen (100, 50), its first paint done.
    static WindowHandle make_main(std::int32_t width = 200, std::int32_t height = 150)
    {
        WindowHandle w = create_window("probe", "main", WindowStyle::main, 100, 50, width, height, nullptr, 0);
        show_window(w);
        validate(w, nullptr);
        message_log.clear();
        return w;
    }
    static WindowHandle make_child(WindowHandle parent, Rect r, std::int32_t id = 1, const char* cls = "probe")
    {
        WindowHandle w = create_window(cls, "child", WindowStyle::visible_child, r.left, r.top, rect_width(r),
                                       rect_height(r), parent, id);
        validate(w, nullptr);
        return w;
    }
    // Peeks and dispatches until the queue is empty (or `limit` messages).
    static std::vector<Message> pump(int limit = 50)
    {
        std::vector<Message> taken;
        for (Message m; limit-- > 0 && peek_message(m); dispatch_message(m))
            taken.push_back(m);
        return taken;
    }
    static std::uint32_t pixel(std::int32_t x, std::int32_t y)
    {
        const Framebuffer fb = top_level_framebuffer();
        return fb.pixels[static_cast<std::size_t>(y * (fb.pitch / 4) + x)];
    }
};
