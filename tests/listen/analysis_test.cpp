// Listening's ears on sounds made here: a click is one onset, heard within
// a frame; a steady tone and silence are none; the beat of a click track
// is its period; any rate and channel count will do.
#include <gtest/gtest.h>

#include <vector>

#include "listen/analysis.h"
#include "test_sounds.h"

namespace {

std::vector<Hop> hear_all(const std::vector<float>& samples, int rate, int channels)
{
    SoundAnalysis a;
    EXPECT_TRUE(start_analysis(a, rate, channels));
    std::vector<Hop> hops;
    analyse(a, samples.data(), static_cast<std::int64_t>(samples.size()) / channels,
            [](const Hop& h, void* to) { static_cast<std::vector<Hop>*>(to)->push_back(h); }, &hops);
    return hops;
}

std::vector<double> onset_times(const std::vector<Hop>& hops)
{
    std::vector<double> times;
    for (const Hop& h : hops)
        if (h.onset > 0)
            times.push_back(static_cast<double>(h.end) / h.rate);
    return times;
}

TEST(Analysis, EachClickIsOneOnsetHeardWithinAFrame)
{
    const std::vector<Hop> hops = hear_all(test_sounds::make("click", 16), test_sounds::rate, 2);
    const std::vector<double> onsets = onset_times(hops);
    ASSERT_EQ(onsets.size(), 31u);  // 0.5 s .. 15.5 s
    for (std::size_t i = 0; i < onsets.size(); ++i) {
        const double click = 0.5 * static_cast<double>(i + 1);
        EXPECT_GE(onsets[i], click) << i;
        EXPECT_LE(onsets[i], click + 1.0 / 60) << "click " << i << " heard late";
    }
    EXPECT_NEAR(hops.back().beat_period, 0.5, 0.02);
    EXPECT_LE(hops.back().next_beat, 0.5);
}

TEST(Analysis, ASteadyToneAndSilenceHaveNoOnset)
{
    for (const char* kind : {"tone", "silence"}) {
        const std::vector<Hop> hops = hear_all(test_sounds::make(kind, 5), test_sounds::rate, 2);
        EXPECT_EQ(hops.size(), 500u) << kind;
        EXPECT_TRUE(onset_times(hops).empty()) << kind;
    }
    const std::vector<Hop> tone = hear_all(test_sounds::make("tone", 1), test_sounds::rate, 2);
    EXPECT_NEAR(tone.back().loudness, -9.0, 0.5);   // a sine of 0.5: -6 dB peak, -9 dB mean square
    EXPECT_GT(tone.back().bands[1], tone.back().bands[3] + 30);  // 440 Hz lies in the second band
}

TEST(Analysis, AnyRateAndChannels)
{
    // The click track at half the rate, in one channel: the same onsets.
    const std::vector<float> stereo = test_sounds::make("click", 6);
    std::vector<float> mono;
    for (std::size_t i = 0; i + 3 < stereo.size(); i += 4)
        mono.push_back((stereo[i] + stereo[i + 1] + stereo[i + 2] + stereo[i + 3]) / 4);
    EXPECT_EQ(onset_times(hear_all(mono, test_sounds::rate / 2, 1)).size(), 11u);
    SoundAnalysis a;
    EXPECT_FALSE(start_analysis(a, 7999, 1));
    EXPECT_FALSE(start_analysis(a, 48000, 33));
}

}  // namespace
