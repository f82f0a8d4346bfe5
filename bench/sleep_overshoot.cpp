// How late this machine's sleep to an absolute deadline wakes: the main
// loop sleeps to each frame's deadline where this is a small fraction of a
// frame. Sixty deadlines a second for SECONDS (default 5), first with the
// thread's default timer slack, then with it cut to the least as the toy
// does; prints the median, 99th percentile and largest lateness.
#include <sys/prctl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace {

long long now_ns()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1'000'000'000LL + t.tv_nsec;
}

void measure(const char* what, int frames)
{
    std::vector<long long> late;
    late.reserve(static_cast<std::size_t>(frames));
    long long deadline = now_ns();
    for (int i = 0; i < frames; ++i) {
        deadline += 1'000'000'000LL / 60;
        const timespec at{static_cast<time_t>(deadline / 1'000'000'000), static_cast<long>(deadline % 1'000'000'000)};
        while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) != 0) {
        }
        late.push_back(now_ns() - deadline);
    }
    std::sort(late.begin(), late.end());
    std::printf("%-22s late by: median %6.1f us, 99th percentile %6.1f us, max %7.1f us (%d sleeps)\n", what,
                late[late.size() / 2] / 1e3, late[late.size() * 99 / 100] / 1e3, late.back() / 1e3, frames);
}

}  // namespace

int main(int argc, char** argv)
{
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 5;
    if (seconds <= 0) {
        std::fprintf(stderr, "usage: sleep_overshoot [SECONDS]\n");
        return 2;
    }
    measure("default timer slack", seconds * 60);
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    measure("timer slack 1 ns", seconds * 60);
    return 0;
}
