// The random source's step composed with itself: k draws from state s land on
// multiplier(k) * s + increment(k), so the vector paths can hand out many
// sparks from one state without walking the chain one draw at a time.
#pragma once

#include <cstdint>

struct RandomJump {
    std::uint32_t multiplier = 1;
    std::uint32_t increment = 0;
};

inline constexpr std::uint32_t random_multiplier = 214013u;
inline constexpr std::uint32_t random_increment = 2531011u;

constexpr RandomJump random_jump(int draws)
{
    RandomJump j;
    for (int i = 0; i < draws; ++i) {
        j.multiplier *= random_multiplier;
        j.increment = j.increment * random_multiplier + random_increment;
    }
    return j;
}

constexpr std::int32_t random_result(std::uint32_t state) { return static_cast<std::int32_t>((state >> 16) & 0x7FFFu); }

// One spark (two draws, the first in the low bits) from state, which moves on by two.
inline std::int32_t next_spark(std::uint32_t& state)
{
    constexpr RandomJump one = random_jump(1);
    constexpr RandomJump two = random_jump(2);
    // Both draws come straight from the old state: the chain is one multiply long.
    const std::uint32_t first = one.multiplier * state + one.increment;
    state = two.multiplier * state + two.increment;
    return random_result(first) | (random_result(state) << 15);
}

// Lane i of a vector of sparks: the jumps to its first and second draw.
template <int Lanes>
struct SparkLanes {
    std::uint32_t first_multiplier[Lanes];
    std::uint32_t first_increment[Lanes];
    std::uint32_t second_multiplier[Lanes];
    std::uint32_t second_increment[Lanes];
    // Entry k moves the state past k sparks.
    RandomJump past[Lanes + 1];
};

template <int Lanes>
constexpr SparkLanes<Lanes> spark_lanes()
{
    SparkLanes<Lanes> t{};
    for (int i = 0; i < Lanes; ++i) {
        t.first_multiplier[i] = random_jump(2 * i + 1).multiplier;
        t.first_increment[i] = random_jump(2 * i + 1).increment;
        t.second_multiplier[i] = random_jump(2 * i + 2).multiplier;
        t.second_increment[i] = random_jump(2 * i + 2).increment;
    }
    for (int k = 0; k <= Lanes; ++k)
        t.past[k] = random_jump(2 * k);
    return t;
}
