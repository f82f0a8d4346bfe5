// Listening's ears: from any sound, hop by hop (a hundredth of a second),
// how loud it is, how its energy lies across four bands, where it turns
// left or right, its onsets (a sudden rise in energy: a drum hit, a plucked
// note) and its beat (the period between onsets, and when the next falls).
//
// Our own analysis rather than a library's: the ones that do onsets and
// beats well do not build for Windows and the browser from this system's
// packages, and one small analysis that is the same in every build keeps
// the toy answering a song the same way everywhere. A Hann-windowed FFT of
// the last two hops, spectral flux of its log magnitudes against an
// adaptive threshold for onsets, and the autocorrelation of that flux for
// the beat.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

inline constexpr int sound_bands = 4;  // 30-150 Hz, 150-600, 600-2500, 2500-10000

struct Hop {
    std::int64_t end = 0;      // where the hop ends in the sound, in samples of one channel
    std::int32_t rate = 0;     // samples a second
    float loudness = -100;     // dB of full scale, the mean square of the channels' mix
    std::array<float, sound_bands> bands{};  // dB of each band's energy
    float balance = 0;         // -1 all left .. 1 all right
    float onset = 0;           // 0 for none; else how far the rise stood above its threshold, 1 and up
    std::int32_t onset_band = 0;  // the band that rose most
    float beat_period = 0;     // seconds from beat to beat; 0 while not known
    float next_beat = 0;       // seconds from the hop's end to the next beat, when the period is known
};

struct SoundAnalysis {
    std::int32_t rate = 0, channels = 0;
    std::int32_t hop = 0, size = 0;  // samples a hop; of the window, a power of two of two hops or more
    std::int64_t samples = 0;        // of one channel, taken so far
    std::int32_t filled = 0;         // of the hop under way
    std::int64_t hops = 0;
    std::vector<float> window, shape;  // the last `size` mixed samples (a ring), and the Hann window
    std::vector<float> re, im, cosines, sines;
    std::vector<std::int32_t> reversed;
    std::vector<float> last_log;  // each bin's log magnitude a hop ago
    double power = 0;             // the hop's mixed energy so far
    double left = 0, right = 0;   // and each side's
    std::vector<float> flux;      // the recent hops' flux, newest last (a ring of `flux_kept`)
    std::int64_t last_onset = -1000;  // hop
    std::int64_t beat_anchor = -1;    // the hop of the last strong onset
    float period_hops = 0;
};

// Ready for a sound of `rate` samples a second (8000..384000) and
// `channels` channels (1..32); false for others.
bool start_analysis(SoundAnalysis& a, std::int32_t rate, std::int32_t channels);

// Takes `frames` interleaved frames and calls `on_hop` for each hop they
// complete, in order.
void analyse(SoundAnalysis& a, const float* samples, std::int64_t frames, void (*on_hop)(const Hop&, void*),
             void* context);

// A wallpaper host hands over a spectrum rather than sound: `bins`
// magnitudes a channel (0..1, low to high), `updates_per_second` times a
// second. False for shapes out of reason.
bool start_spectrum_analysis(SoundAnalysis& a, std::int32_t bins, std::int32_t updates_per_second);
// One spectrum, left then right (null for one channel): one hop.
void analyse_spectrum(SoundAnalysis& a, const float* left, const float* right, void (*on_hop)(const Hop&, void*),
                      void* context);
