#include "listen/music_hand.h"

#include <algorithm>
#include <cmath>

#include "hand/hand.h"

namespace {

constexpr float silence_db = -50;
constexpr double palette_gap = 8, rule_gap = 45;  // seconds between cues, at the least
constexpr double palette_change_db = 6, rule_change_db = 12;
constexpr double wait_for_beat = 4;  // seconds a cue waits for a beat before it goes anyway
constexpr double same_for_long = 30;  // seconds of unchanging sound that call for a new palette all the same

// splitmix64, as attract mode's.
std::uint64_t next(std::uint64_t& s)
{
    std::uint64_t z = (s += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::int32_t pick(MusicHand& hand, std::int32_t low, std::int32_t high)
{
    const auto span = static_cast<std::uint64_t>(high - low) + 1;
    return low + static_cast<std::int32_t>(next(hand.state) % span);
}

std::int32_t clamp_to(std::int32_t v, std::int32_t low, std::int32_t high) { return std::max(low, std::min(high, v)); }

void drop_at(std::int32_t row, std::int32_t column)
{
    act({HandAction::drop, clamp_to(row, 0, 479), clamp_to(column, 0, 639)});
}

// Bass low in the picture, treble high.
constexpr std::int32_t band_rows[sound_bands][2] = {{350, 460}, {240, 350}, {130, 240}, {20, 130}};

// An onset's strength against the strongest of late: in a song the kick
// storms and the hats drop one by one, whatever the song's loudness.
float relative_strength(MusicHand& hand, const Hop& hop, double seconds)
{
    hand.peak = std::max(static_cast<double>(hop.onset), hand.peak * std::exp(-(seconds - hand.peak_at) / 10));
    hand.peak_at = seconds;
    return static_cast<float>(hop.onset / hand.peak);
}

void answer_onset(MusicHand& hand, const Hop& hop, double seconds)
{
    const auto* rows = band_rows[std::clamp(hop.onset_band, 0, sound_bands - 1)];
    const std::int32_t row = pick(hand, rows[0], rows[1]);
    const std::int32_t column = 320 + static_cast<std::int32_t>(hop.balance * 200) + pick(hand, -220, 220);
    drop_at(row, column);
    const float s = relative_strength(hand, hop, seconds);
    if (s < 0.5f)
        return;
    if (s >= 0.8f && hand.drag_moves == 0 && pick(hand, 0, 99) < 30) {
        hand.drag_row = row;
        hand.drag_column = column;
        hand.drag_dr = pick(hand, -4, 4);
        hand.drag_dc = pick(hand, -5, 5);
        hand.drag_moves = pick(hand, 8, 20);
        return;
    }
    const std::int32_t more = s < 0.8f ? pick(hand, 1, 2) : pick(hand, 3, 6);
    const std::int32_t spread = s < 0.8f ? 40 : 70;
    for (std::int32_t i = 0; i < more; ++i)
        drop_at(row + pick(hand, -spread, spread), column + pick(hand, -spread, spread));
}

// How far the last second's sound stands from the last ten seconds', in dB.
double change(const MusicHand& hand)
{
    double sum = 0;
    for (std::size_t i = 0; i < hand.recent.size(); ++i)
        sum += (hand.recent[i] - hand.usual[i]) * (hand.recent[i] - hand.usual[i]);
    return std::sqrt(sum / static_cast<double>(hand.recent.size()));
}

void follow(MusicHand& hand, const Hop& hop, double seconds)
{
    const double hop_seconds = seconds - hand.seconds;
    hand.seconds = seconds;
    const bool loud = hop.loudness > silence_db;
    if (loud) {
        if (seconds - hand.last_loud > 1)
            hand.quiet_from = hand.last_loud;
        hand.last_loud = seconds;
    }
    // Silence neither sets a level nor counts as a change of sound.
    if (!loud)
        return;
    const double fast = std::min(1.0, hop_seconds / 1.0), slow = std::min(1.0, hop_seconds / 10.0);
    for (std::size_t i = 0; i < hand.recent.size(); ++i) {
        const double v = std::max(-80.0, static_cast<double>(i < sound_bands ? hop.bands[i] : hop.loudness));
        if (hand.usual[i] == 0 && hand.recent[i] == 0)
            hand.usual[i] = hand.recent[i] = v;
        hand.recent[i] += (v - hand.recent[i]) * fast;
        hand.usual[i] += (v - hand.usual[i]) * slow;
    }
    hand.level_db += (hop.loudness - hand.level_db) * std::min(1.0, hop_seconds / 2.0);

    const double changed = change(hand);
    const bool after_a_break = hand.quiet_from > -100 && hand.last_loud - hand.quiet_from > 3;
    if (!hand.rule_due && seconds - hand.last_rule >= rule_gap && (changed > rule_change_db || after_a_break)) {
        hand.rule_due = true;
        hand.quiet_from = -100;
        hand.due_since = seconds;
    } else if (!hand.palette_due && seconds - hand.last_palette >= palette_gap &&
               (changed > palette_change_db || seconds - hand.last_palette >= same_for_long)) {
        hand.palette_due = true;
        hand.due_since = seconds;
    }
    // A change waits for a beat, so that it comes with the music and never
    // in the middle of a phrase's bar.
    if (!hand.palette_due && !hand.rule_due)
        return;
    const bool on_beat = hop.beat_period > 0 ? hop.next_beat <= hop_seconds : hop.onset >= 1.5f;
    if (!on_beat && seconds - hand.due_since < wait_for_beat)
        return;
    if (hand.rule_due) {
        hand.cues.rule = true;
        hand.last_rule = hand.last_palette = seconds;
    } else {
        hand.cues.palette = true;
        hand.last_palette = seconds;
    }
    hand.palette_due = hand.rule_due = false;
}

}  // namespace

void start_music_hand(MusicHand& hand, std::uint64_t seed)
{
    hand = MusicHand{};
    hand.state = seed;
}

void hear(MusicHand& hand, const Hop& hop)
{
    const double seconds = static_cast<double>(hop.end) / hop.rate;
    if (hop.onset > 0)
        answer_onset(hand, hop, seconds);
    follow(hand, hop, seconds);
}

void move_music_hand(MusicHand& hand)
{
    if (hand.drag_moves <= 0)
        return;
    --hand.drag_moves;
    hand.drag_row += hand.drag_dr;
    hand.drag_column += hand.drag_dc;
    drop_at(hand.drag_row, hand.drag_column);
}

MusicCues take_cues(MusicHand& hand)
{
    MusicCues cues = hand.cues;
    cues.heard = hand.seconds - hand.last_loud <= 1;
    cues.level = static_cast<float>(std::clamp((hand.level_db + 40) / 34, 0.0, 1.0));
    hand.cues = MusicCues{};
    return cues;
}
