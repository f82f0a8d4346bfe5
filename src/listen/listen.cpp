#include "listen/listen.h"

#include <algorithm>
#include <atomic>

#include "hand/hand.h"
#include "keys/title_readout.h"
#include "listen/hop_queue.h"
#include "platform/sound_input.h"
#include "sim/cell_field.h"

namespace {

// By SoundInput.
constexpr const char* heard_from[] = {"listening to this computer", "listening to the microphone",
                                      "listening to a file"};

struct Listen {
    WindowHandle window = nullptr;
    std::int32_t step = 0;  // L's cycle: 0 off, 1 this computer, 2 the microphone
    bool live = false;      // an input runs
    const SoundClip* clip = nullptr;
    std::int64_t clip_heard = 0;  // frames of it analysed
    SoundAnalysis clip_analysis;
    MusicHand hand;
};

Listen state;

// Written by the input's thread only, read by the main thread through the queue.
HopQueue queue;
SoundAnalysis live_analysis;
std::atomic<std::int32_t> live_rate{0}, live_channels{0};
std::atomic<void (*)(const float*, std::int32_t, std::int32_t, std::int32_t)> tap{nullptr};

void to_queue(const Hop& hop, void*) { push_hop(queue, hop); }

void heard_block(const float* samples, std::int32_t frames, std::int32_t channels, std::int32_t rate)
{
    if (live_analysis.rate != rate || live_analysis.channels != channels) {
        if (!start_analysis(live_analysis, rate, channels))
            return;
        live_rate = rate;
        live_channels = channels;
    }
    analyse(live_analysis, samples, frames, to_queue, nullptr);
    if (const auto to = tap.load())
        to(samples, frames, channels, rate);
}

void heard_spectrum(const float* left, const float* right, std::int32_t bins, std::int32_t updates_per_second)
{
    if ((live_analysis.size != bins || live_analysis.hop != 1000 / updates_per_second || live_analysis.rate != 1000) &&
        !start_spectrum_analysis(live_analysis, bins, updates_per_second))
        return;
    analyse_spectrum(live_analysis, left, right, to_queue, nullptr);
}

void stop_input()
{
    if (!state.live)
        return;
    close_sound_input();
    state.live = false;
    clear_hops(queue);
    live_analysis = SoundAnalysis{};
    live_rate = live_channels = 0;
}

void input_ended(const char* why)
{
    stop_input();
    if (state.window) {
        show_status(state.window, listening_status, "");
        show_note(state.window, why);
    }
}

void to_hand(const Hop& hop, void*) { hear(state.hand, hop); }

// In place of whatever was heard; the title says what is, or why nothing.
void listen_to(WindowHandle window, SoundInput input)
{
    state.window = window;
    stop_input();
    std::string error;
    if (!open_sound_input(input, {heard_block, heard_spectrum, input_ended}, error)) {
        show_status(window, listening_status, "");
        show_note(window, error);
        return;
    }
    state.live = true;
    start_music_hand(state.hand, clock_seed());
    show_status(window, listening_status, heard_from[static_cast<std::int32_t>(input)]);
}

}  // namespace

void cycle_listening(WindowHandle window)
{
    if (state.step == 1) {
        state.step = 2;
        listen_to(window, SoundInput::microphone);
        return;
    }
    set_listening(window, state.step == 0);
}

void set_listening(WindowHandle window, bool on)
{
    if (on ? state.step == 1 && state.live : state.step == 0)
        return;
    state.step = on ? 1 : 0;
    if (on) {
        listen_to(window, SoundInput::this_computer);
        return;
    }
    state.window = window;
    stop_input();
    show_status(window, listening_status, "");
    show_note(window, "not listening");
}

bool listening() { return state.live || state.clip; }

void live_sound_format(std::int32_t& rate, std::int32_t& channels)
{
    rate = live_rate;
    channels = live_channels;
}

void tap_heard_sound(void (*to)(const float*, std::int32_t, std::int32_t, std::int32_t)) { tap = to; }

void listen_to_clip(const SoundClip& clip, std::uint64_t seed)
{
    state.clip = &clip;
    state.clip_heard = 0;
    start_analysis(state.clip_analysis, clip.rate, clip.channels);
    start_music_hand(state.hand, seed);
}

std::int64_t frames_of(const SoundClip& clip) { return (clip.frames() * 60 + clip.rate - 1) / clip.rate; }

MusicCues listen_before_frame()
{
    if (state.clip) {
        // The frame about to be made hears the sound up to its own time.
        const std::int64_t frame = cell_field.frame_count + 1;
        const std::int64_t until = std::min(state.clip->frames(), frame * state.clip->rate / 60);
        if (until > state.clip_heard) {
            analyse(state.clip_analysis, state.clip->samples.data() + state.clip_heard * state.clip->channels,
                    until - state.clip_heard, to_hand, nullptr);
            state.clip_heard = until;
        }
    } else if (state.live) {
        Hop hop;
        while (pop_hop(queue, hop))
            hear(state.hand, hop);
    } else {
        return {};
    }
    move_music_hand(state.hand);
    return take_cues(state.hand);
}

bool listen_message(WindowHandle window, std::uint32_t message, std::uintptr_t, std::intptr_t)
{
    if (message == wm_destroy && window == state.window) {
        stop_input();
        state = Listen{};
    }
    if (message == wm_dropfiles) {
        // A file stands last in L's cycle: the next L stops listening.
        state.step = 2;
        listen_to(window, SoundInput::file);
    }
    return false;
}
