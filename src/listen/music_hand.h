// The hand that answers music: each onset drops where the music says (the
// stereo balance leans the column, the band that rose picks the row, bass
// low and treble high; onsets strong for the song make storms of drops or
// a short drag), silence lets the field rest. It also hears when the music changes a lot, and says so as cues on
// a beat, for attract mode to time its own changes by.
#pragma once

#include <array>
#include <cstdint>

#include "listen/analysis.h"

struct MusicCues {
    bool heard = false;     // sound, not silence, within the last second
    float level = 0;        // loudness, 0 (quiet) .. 1 (loud), slowly followed
    bool palette = false;   // a big change in the sound, on a beat: time for another palette
    bool rule = false;      // a bigger one: time for the other rule
};

struct MusicHand {
    std::uint64_t state = 0;  // its own generator: the sparks' source draws as it would without it
    double peak = 0, peak_at = 0;  // the strongest onset of late, and when it was taken
    std::int32_t drag_moves = 0, drag_row = 0, drag_column = 0, drag_dr = 0, drag_dc = 0;
    std::array<double, sound_bands + 1> recent{}, usual{};  // the bands and loudness, over a second and over ten
    double level_db = -100;
    double seconds = 0;       // the end of the last hop heard
    double last_loud = -100;  // when a hop was last louder than silence
    double quiet_from = 0;    // when the silence before this sound began
    double last_palette = 0, last_rule = -100;  // a palette holds a while from the start
    bool palette_due = false, rule_due = false;
    double due_since = 0;
    MusicCues cues;  // gathered since they were last taken
};

void start_music_hand(MusicHand& hand, std::uint64_t seed);
// One hop heard: its onset answered at once.
void hear(MusicHand& hand, const Hop& hop);
// Once a frame: a drag under way moves on.
void move_music_hand(MusicHand& hand);
// The cues since the last call.
MusicCues take_cues(MusicHand& hand);
