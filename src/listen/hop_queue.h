// Hops from the thread that hears to the one that draws: one writer, one
// reader, fixed room, no lock and no allocation. When the reader falls
// behind by more than its room, the newest hops are dropped and counted.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "listen/analysis.h"

struct HopQueue {
    static constexpr std::size_t room = 256;  // two and a half seconds of hops
    std::array<Hop, room> hops;
    std::atomic<std::uint64_t> written{0}, read{0};
    std::atomic<std::uint64_t> dropped{0};
};

inline void push_hop(HopQueue& q, const Hop& hop)
{
    const std::uint64_t w = q.written.load(std::memory_order_relaxed);
    if (w - q.read.load(std::memory_order_acquire) >= HopQueue::room) {
        q.dropped.fetch_add(1, std::memory_order_relaxed);
        return;
    }
    q.hops[w % HopQueue::room] = hop;
    q.written.store(w + 1, std::memory_order_release);
}

inline bool pop_hop(HopQueue& q, Hop& hop)
{
    const std::uint64_t r = q.read.load(std::memory_order_relaxed);
    if (r == q.written.load(std::memory_order_acquire))
        return false;
    hop = q.hops[r % HopQueue::room];
    q.read.store(r + 1, std::memory_order_release);
    return true;
}

// Only while no writer runs.
inline void clear_hops(HopQueue& q) { q.read.store(q.written.load()); }
