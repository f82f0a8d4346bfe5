// Sound coming in through SDL2's audio capture. What this computer plays is
// the monitor of its default output, which SDL lists among the capture
// devices when asked to (its PulseAudio driver, and PipeWire's PulseAudio
// server, name it "Monitor of " and the output's description); the
// microphone is the default capture device that is no monitor.
// Limitations:
//  - no file can be given to a desktop window: SoundInput::file is missing
//  - with no sound server the monitor is missing: only ALSA's capture
//    devices, if any, remain for the microphone
#include "platform/sound_input.h"
#include "platform/sdl/sound_input.h"

#include <string>

namespace {

struct SdlInput {
    bool audio = false;  // the audio subsystem is up
    SDL_AudioDeviceID device = 0;
    SDL_AudioSpec spec{};
    SoundInputCalls calls;
};

SdlInput input;

constexpr const char monitor_prefix[] = "Monitor of ";

bool is_monitor(const char* name) { return name && SDL_strncmp(name, monitor_prefix, sizeof monitor_prefix - 1) == 0; }

void heard(void*, Uint8* stream, int length)
{
    const int frame_bytes = static_cast<int>(sizeof(float)) * input.spec.channels;
    if (input.calls.block && frame_bytes > 0)
        input.calls.block(reinterpret_cast<const float*>(stream), length / frame_bytes, input.spec.channels,
                          input.spec.freq);
}

// The capture device to open: its name, or empty for none.
std::string device_for(SoundInput which)
{
    if (which == SoundInput::file)
        return {};
    const int count = SDL_GetNumAudioDevices(1);
    if (which == SoundInput::this_computer) {
        char* output = nullptr;
        SDL_AudioSpec spec;
        std::string wanted;
        if (SDL_GetDefaultAudioInfo(&output, &spec, 0) == 0 && output) {
            wanted = std::string(monitor_prefix) + output;
            SDL_free(output);
        }
        std::string any;
        for (int i = 0; i < count; ++i) {
            const char* name = SDL_GetAudioDeviceName(i, 1);
            if (name && wanted == name)
                return name;
            if (any.empty() && is_monitor(name))
                any = name;
        }
        return any;
    }
    char* fallback = nullptr;
    SDL_AudioSpec spec;
    if (SDL_GetDefaultAudioInfo(&fallback, &spec, 1) == 0 && fallback) {
        std::string name = fallback;
        SDL_free(fallback);
        if (!is_monitor(name.c_str()))
            return name;
    }
    for (int i = 0; i < count; ++i)
        if (const char* name = SDL_GetAudioDeviceName(i, 1); name && !is_monitor(name))
            return name;
    return {};
}

}  // namespace

bool open_sound_input(SoundInput which, const SoundInputCalls& calls, std::string& error)
{
    close_sound_input();
    error = "nothing to listen to";
    if (!input.audio) {
        SDL_SetHint(SDL_HINT_AUDIO_INCLUDE_MONITORS, "1");
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
            return false;
        input.audio = true;
    }
    const std::string name = device_for(which);
    if (name.empty())
        return false;
    SDL_AudioSpec want{};
    want.freq = 48000;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = 512;  // a hop or so: the sound reaches the field within a frame of it
    want.callback = heard;
    input.calls = calls;
    input.device = SDL_OpenAudioDevice(name.c_str(), 1, &want, &input.spec,
                                       SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE);
    if (input.device == 0)
        return false;
    SDL_PauseAudioDevice(input.device, 0);
    return true;
}

void close_sound_input()
{
    if (input.device != 0)
        SDL_CloseAudioDevice(input.device);  // waits for a block under way
    input.device = 0;
    input.calls = {};
}

void sdl_sound_event(const SDL_Event& event)
{
    if (event.type != SDL_AUDIODEVICEREMOVED || !event.adevice.iscapture || event.adevice.which != input.device ||
        input.device == 0)
        return;
    const SoundInputCalls calls = input.calls;
    close_sound_input();
    if (calls.ended)
        calls.ended("the sound input went away");
}

void sdl_sound_stop()
{
    close_sound_input();
    if (input.audio)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    input = SdlInput{};
}
