// Sound coming in through WASAPI in shared mode, on a thread of its own.
//
// Implemented:
//  - what this computer plays: a loopback stream on the default output
//    (render endpoint); the microphone: the default capture endpoint
//  - the engine's mix format as it is, 32-bit float or 16, 24 or 32-bit
//    integer PCM, turned into floats (mix_format.cpp); silent packets as
//    zeros
//  - COM on the input's own thread, in the multithreaded apartment, so the
//    main thread's apartment (or none) does not matter
//  - a device that goes away ends the thread; the main thread hears of it at
//    its next message peek (window.cpp), as the interface wants
//
// Limitations:
//  - the thread polls every few milliseconds rather than waiting on the
//    engine's event, which loopback streams before Windows 10 never signal
//  - the default device is the one of when listening began: a new default
//    is not followed
//  - while nothing plays, loopback hands over no packets at all, so the
//    listener hears nothing rather than silence
#include "platform/sound_input.h"
#include "platform/win32/sound_input.h"

#include <algorithm>
#include <atomic>
#include <vector>

#include "platform/win32/mix_format.h"

#include <audioclient.h>
#include <mmdeviceapi.h>

namespace {

// Twenty times the engine's usual period: room for a late poll.
constexpr REFERENCE_TIME buffer_duration = 2'000'000;  // 100 ns units: 200 ms
constexpr DWORD poll_ms = 5;

struct Stream {
    IMMDeviceEnumerator* devices = nullptr;
    IMMDevice* device = nullptr;
    IAudioClient* client = nullptr;
    IAudioCaptureClient* capture = nullptr;
    MixLayout layout;
};

// A Windows thread rather than a std::thread: one still running when the
// program ends is simply ended with it, where a std::thread would abort.
struct Listener {
    HANDLE thread = nullptr;
    HANDLE stop = nullptr;     // set by close_sound_input; the thread's polls wait on it
    HANDLE running = nullptr;  // set by the thread once its stream runs; it ends instead when none does
    SoundInput which = SoundInput::this_computer;
    SoundInputCalls calls;
    std::atomic<bool> stopped_by_itself{false};
};

Listener listener;

template <typename T> void release(T*& p)
{
    if (p)
        p->Release();
    p = nullptr;
}

void close_stream(Stream& s)
{
    if (s.client)
        s.client->Stop();
    release(s.capture);
    release(s.client);
    release(s.device);
    release(s.devices);
}

bool open_stream(SoundInput which, Stream& s)
{
    const bool loopback = which == SoundInput::this_computer;
    if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL, __uuidof(IMMDeviceEnumerator),
                                reinterpret_cast<void**>(&s.devices))) ||
        FAILED(s.devices->GetDefaultAudioEndpoint(loopback ? eRender : eCapture, eConsole, &s.device)) ||
        FAILED(s.device->Activate(__uuidof(IAudioClient), CLSCTX_ALL, nullptr,
                                  reinterpret_cast<void**>(&s.client))))
        return false;
    WAVEFORMATEX* mix = nullptr;
    if (FAILED(s.client->GetMixFormat(&mix)) || !mix)
        return false;
    s.layout = read_mix_format(*mix);
    const bool started = s.layout.encoding != SampleEncoding::unknown &&
                         SUCCEEDED(s.client->Initialize(AUDCLNT_SHAREMODE_SHARED,
                                                        loopback ? AUDCLNT_STREAMFLAGS_LOOPBACK : 0,
                                                        buffer_duration, 0, mix, nullptr)) &&
                         SUCCEEDED(s.client->GetService(__uuidof(IAudioCaptureClient),
                                                        reinterpret_cast<void**>(&s.capture))) &&
                         SUCCEEDED(s.client->Start());
    CoTaskMemFree(mix);
    return started;
}

// Every packet waiting, to calls.block; false when the stream failed.
bool hand_over(Stream& s, std::vector<float>& samples)
{
    // Wine's GetNextPacketSize never tells of a lost device; the padding
    // does, there as on Windows.
    UINT32 waiting = 0;
    if (FAILED(s.client->GetCurrentPadding(&waiting)))
        return false;
    for (;;) {
        if (FAILED(s.capture->GetNextPacketSize(&waiting)))
            return false;
        if (waiting == 0)
            return true;
        BYTE* data = nullptr;
        UINT32 frames = 0;
        DWORD flags = 0;
        const HRESULT got = s.capture->GetBuffer(&data, &frames, &flags, nullptr, nullptr);
        if (FAILED(got))
            return false;
        if (got == AUDCLNT_S_BUFFER_EMPTY)
            return true;
        const std::int32_t n = static_cast<std::int32_t>(frames);
        samples.resize(static_cast<std::size_t>(n) * s.layout.channels);
        if (flags & AUDCLNT_BUFFERFLAGS_SILENT)
            std::fill(samples.begin(), samples.end(), 0.0f);
        else
            to_floats(s.layout, data, n, samples.data());
        s.capture->ReleaseBuffer(frames);
        if (n > 0 && listener.calls.block)
            listener.calls.block(samples.data(), n, s.layout.channels, s.layout.rate);
    }
}

DWORD WINAPI listen(void*)
{
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    Stream s;
    if (com && open_stream(listener.which, s)) {
        SetEvent(listener.running);
        std::vector<float> samples;
        bool flowing = true;
        while (flowing && WaitForSingleObject(listener.stop, poll_ms) == WAIT_TIMEOUT)
            flowing = hand_over(s, samples);
        // AUDCLNT_E_DEVICE_INVALIDATED, mostly: the device was unplugged or disabled.
        if (!flowing)
            listener.stopped_by_itself = true;
    }
    close_stream(s);
    if (com)
        CoUninitialize();
    return 0;
}

}  // namespace

bool open_sound_input(SoundInput which, const SoundInputCalls& calls, std::string& error)
{
    close_sound_input();
    error = "nothing to listen to";
    if (which == SoundInput::file)  // only a page plays files it is given
        return false;
    if (!listener.stop)
        listener.stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!listener.running)
        listener.running = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!listener.stop || !listener.running)
        return false;
    ResetEvent(listener.stop);
    ResetEvent(listener.running);
    listener.which = which;
    listener.calls = calls;
    listener.thread = CreateThread(nullptr, 0, listen, nullptr, 0, nullptr);
    if (!listener.thread) {
        listener.calls = {};
        return false;
    }
    const HANDLE either[] = {listener.running, listener.thread};
    if (WaitForMultipleObjects(2, either, FALSE, INFINITE) != WAIT_OBJECT_0) {
        close_sound_input();
        return false;
    }
    return true;
}

void close_sound_input()
{
    if (listener.thread) {
        SetEvent(listener.stop);
        WaitForSingleObject(listener.thread, INFINITE);
        CloseHandle(listener.thread);
        listener.thread = nullptr;
    }
    listener.calls = {};
    listener.stopped_by_itself = false;
}

void pass_sound_input_end()
{
    if (!listener.stopped_by_itself)
        return;
    const SoundInputCalls calls = listener.calls;
    close_sound_input();
    if (calls.ended)
        calls.ended("the sound input went away");
}
