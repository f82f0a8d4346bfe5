// listen-latency WINDOW X Y W H CLICKS: how long a click played into the
// default PulseAudio output takes to change the picture of a listening,
// paused modra on the X display. A thread plays silence with a click once
// a second; each click's time on the output is its write time plus what
// the server says is still ahead of it; the main thread grabs the region
// (the view) as fast as it can and takes the first grab that differs from
// one made just before the click. Prints each latency in ms, then the
// median and the worst.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <pulse/error.h>
#include <pulse/simple.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int rate = 48000;
constexpr int block = 240;  // 5 ms

std::atomic<bool> playing{true};
std::atomic<std::int64_t> next_click_at{0};  // ns on the steady clock when the last click sounds
std::atomic<int> clicks_played{0};

std::int64_t now_ns() { return Clock::now().time_since_epoch().count(); }

void play(int clicks)
{
    pa_sample_spec spec{PA_SAMPLE_FLOAT32LE, rate, 1};
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<std::uint32_t>(-1);
    attr.tlength = block * 4 * 4;  // 20 ms ahead at the most
    attr.prebuf = static_cast<std::uint32_t>(-1);
    attr.minreq = static_cast<std::uint32_t>(-1);
    int error = 0;
    pa_simple* out = pa_simple_new(nullptr, "listen-latency", PA_STREAM_PLAYBACK, nullptr, "clicks", &spec, nullptr,
                                   &attr, &error);
    if (!out) {
        std::fprintf(stderr, "listen-latency: no PulseAudio: %s\n", pa_strerror(error));
        std::exit(1);
    }
    std::vector<float> silence(block, 0.0f), click(block, 0.0f);
    for (int i = 0; i < block; ++i)
        click[static_cast<std::size_t>(i)] = 0.8f * std::exp(-i / 40.0f) * (i % 2 ? 1.0f : -1.0f);
    for (int b = 0; playing && clicks_played < clicks; ++b) {
        const bool clicking = b % (rate / block) == rate / block / 2;
        if (clicking) {
            const pa_usec_t ahead = pa_simple_get_latency(out, &error);
            next_click_at = now_ns() + static_cast<std::int64_t>(ahead) * 1000;
        }
        pa_simple_write(out, (clicking ? click : silence).data(), block * sizeof(float), &error);
        if (clicking)
            ++clicks_played;
    }
    pa_simple_drain(out, &error);
    pa_simple_free(out);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 7) {
        std::fprintf(stderr, "usage: listen-latency WINDOW X Y W H CLICKS\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "listen-latency: no display\n");
        return 1;
    }
    const Window window = std::strtoul(argv[1], nullptr, 0);
    const int x = std::atoi(argv[2]), y = std::atoi(argv[3]), w = std::atoi(argv[4]), h = std::atoi(argv[5]);
    const int clicks = std::atoi(argv[6]);
    const auto grab = [&](std::vector<char>& to) {
        XImage* image = XGetImage(display, window, x, y, static_cast<unsigned>(w), static_cast<unsigned>(h), AllPlanes, ZPixmap);
        if (!image)
            return false;
        to.assign(image->data, image->data + static_cast<std::ptrdiff_t>(image->bytes_per_line) * h);
        XDestroyImage(image);
        return true;
    };
    std::thread player(play, clicks);
    std::vector<double> latencies;
    std::vector<char> before, now;
    for (int seen = 0; seen < clicks;) {
        // Just before a click: what the picture is without it.
        while (clicks_played == seen)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        const std::int64_t sounds_at = next_click_at;
        if (!grab(before))
            return 1;
        ++seen;
        bool changed = false;
        while (!changed && now_ns() < sounds_at + 500'000'000) {
            if (!grab(now))
                return 1;
            changed = now != before;
        }
        const double ms = (now_ns() - sounds_at) / 1e6;
        if (changed) {
            latencies.push_back(ms);
            std::printf("click %d: %.1f ms\n", seen, ms);
        } else {
            std::printf("click %d: no change within 500 ms\n", seen);
        }
    }
    playing = false;
    player.join();
    XCloseDisplay(display);
    if (latencies.empty())
        return 1;
    std::sort(latencies.begin(), latencies.end());
    std::printf("listen-latency: %zu of %d clicks seen; median %.1f ms, worst %.1f ms\n", latencies.size(), clicks,
                latencies[latencies.size() / 2], latencies.back());
    return 0;
}
