// Kept videos on Windows: Media Foundation's sink writer into a hidden
// temporary file in the folder, named once whole as the kept animations
// are (kept_files.h).
//
// Implemented:
//  - MP4 of H.264, High profile (Main before Windows 8, whose encoder has
//    no High), at 60 frames a second: frame n starts at n * 10,000,000 / 60
//    in Media Foundation's 100 ns units, exactly, and lasts until the next
//  - the pictures made here as NV12 (video_picture.h), BT.709 in the
//    limited range, and the media types say so
//  - a software encoder in its quality mode; one that does not take the
//    mode keeps the output type's mean bit rate, 6 Mbit/s at 1280 x 960 and
//    in proportion at other sizes. Hardware encoders are not asked for:
//    some ignore the quality mode, and some are known to write broken
//    video in it
//  - AAC sound (pcm_sound.h), kept within three frames of the picture:
//    where it stops coming (a loopback stream sends nothing while nothing
//    plays) silence fills in, and what comes early waits. The MP4 sink
//    interleaves the two streams, and waiting for the one behind it would
//    hold back the other's writes on the one thread that makes both
//  - Media Foundation found when first wanted (media_foundation.h): with no
//    H.264 encoder, or no Media Foundation, video is not offered, and the
//    reason goes to the title
//  - Media Foundation started for each file and shut down with it; COM in
//    the multithreaded apartment on the thread that brings the frames and
//    sound, as for the GIF
//
// Limitations:
//  - MP4 only: Media Foundation writes no WebM
//  - the quality is the encoder's own 0..100, not x264's scale; the
//    fallback bit rate holds whatever the picture does, so busy fire at
//    that rate shows blocks where the quality mode would not
//  - a computer too slow for a software encoder at 1280 x 960, sixty frames
//    a second, ends its videos early: the encoder fell behind
//  - the sound is placed by the order it comes in, not by when it was
//    heard: sound after a silence can start up to three frames early
#include "platform/video_file.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/files/video_picture.h"
#include "platform/win32/kept_files.h"
#include "platform/win32/media_foundation.h"
#include "platform/win32/pcm_sound.h"

#include <codecapi.h>
#include <versionhelpers.h>

using namespace kept_files;

struct VideoFile {
    std::string folder;  // as given, for the messages
    std::wstring temp;
    VideoSettings settings;
    const MediaFoundation* mf = nullptr;
    bool started = false;  // Media Foundation, to be shut down
    IMFByteStream* bytes = nullptr;
    IMFSinkWriter* writer = nullptr;
    DWORD video_stream = 0, sound_stream = 0;
    bool sound = false;
    PcmSound pcm;
    std::vector<std::int16_t> waiting;  // converted, not yet written
    std::int64_t sound_written = 0;     // frames
    std::vector<float> silence;
    std::int64_t frames = 0;
};

namespace {

constexpr LONGLONG second = 10'000'000;  // in Media Foundation's 100 ns units
constexpr std::int64_t sound_slack = 3;  // frames of the picture's, either way

LONGLONG frame_time(std::int64_t frame) { return frame * second / 60; }
LONGLONG sound_time(const PcmSound& pcm, std::int64_t frame) { return frame * second / pcm.rate; }
std::int64_t sound_frames(const PcmSound& pcm, LONGLONG time) { return time * pcm.rate / second; }

// Each sets nothing once something has failed: a run of them is checked once.
void set(HRESULT& hr, IMFAttributes* to, REFGUID key, UINT32 value)
{
    if (SUCCEEDED(hr))
        hr = to->SetUINT32(key, value);
}
void set_pair(HRESULT& hr, IMFAttributes* to, REFGUID key, UINT32 high, UINT32 low)
{
    if (SUCCEEDED(hr))
        hr = to->SetUINT64(key, (UINT64{high} << 32) | low);
}
void set_guid(HRESULT& hr, IMFAttributes* to, REFGUID key, REFGUID value)
{
    if (SUCCEEDED(hr))
        hr = to->SetGUID(key, value);
}

// What the encoder makes (`encoded`) or is given.
HRESULT video_type(const VideoFile& v, bool encoded, IMFMediaType*& type)
{
    const VideoSettings& s = v.settings;
    const auto width = static_cast<UINT32>(s.width * s.scale), height = static_cast<UINT32>(s.height * s.scale);
    HRESULT hr = v.mf->create_media_type(&type);
    set_guid(hr, type, MF_MT_MAJOR_TYPE, MFMediaType_Video);
    set_guid(hr, type, MF_MT_SUBTYPE, encoded ? MFVideoFormat_H264 : MFVideoFormat_NV12);
    set_pair(hr, type, MF_MT_FRAME_SIZE, width, height);
    set_pair(hr, type, MF_MT_FRAME_RATE, 60, 1);
    set_pair(hr, type, MF_MT_PIXEL_ASPECT_RATIO, 1, 1);
    set(hr, type, MF_MT_INTERLACE_MODE, MFVideoInterlace_Progressive);
    set(hr, type, MF_MT_VIDEO_PRIMARIES, MFVideoPrimaries_BT709);
    set(hr, type, MF_MT_TRANSFER_FUNCTION, MFVideoTransFunc_709);
    set(hr, type, MF_MT_YUV_MATRIX, MFVideoTransferMatrix_BT709);
    set(hr, type, MF_MT_VIDEO_NOMINAL_RANGE, MFNominalRange_16_235);
    if (encoded) {
        const UINT64 pixels = UINT64{width} * height;
        set(hr, type, MF_MT_AVG_BITRATE, static_cast<UINT32>(6'000'000 * pixels / (1280 * 960)));
        set(hr, type, MF_MT_MPEG2_PROFILE, IsWindows8OrGreater() ? eAVEncH264VProfile_High : eAVEncH264VProfile_Main);
    } else {
        set(hr, type, MF_MT_DEFAULT_STRIDE, width);
        set(hr, type, MF_MT_ALL_SAMPLES_INDEPENDENT, TRUE);
    }
    return hr;
}

// The encoder's settings, each through its codec interface. 0..100, higher
// better: x264's scale mapped across where one is asked for; otherwise
// enough that the palette's hard edges, scaled up, stay hard.
HRESULT encoder_settings(const VideoFile& v, IMFAttributes*& settings)
{
    const VideoSettings& s = v.settings;
    const auto quality = static_cast<UINT32>(s.quality >= 0 ? std::clamp(100 - s.quality * 100 / 51, 0, 100) : 80);
    HRESULT hr = v.mf->create_attributes(&settings, 4);
    set(hr, settings, CODECAPI_AVEncCommonRateControlMode, eAVEncCommonRateControlMode_Quality);
    set(hr, settings, CODECAPI_AVEncCommonQuality, quality);
    set(hr, settings, CODECAPI_AVEncMPVGOPSize, 120);  // a key frame every two seconds, to seek in a clip
    if (s.live)
        set(hr, settings, CODECAPI_AVEncCommonQualityVsSpeed, 33);  // the fastest third
    return hr;
}

HRESULT sound_type(const VideoFile& v, bool encoded, IMFMediaType*& type)
{
    const PcmSound& pcm = v.pcm;
    const auto rate = static_cast<UINT32>(pcm.rate), channels = static_cast<UINT32>(pcm.channels);
    HRESULT hr = v.mf->create_media_type(&type);
    set_guid(hr, type, MF_MT_MAJOR_TYPE, MFMediaType_Audio);
    set_guid(hr, type, MF_MT_SUBTYPE, encoded ? MFAudioFormat_AAC : MFAudioFormat_PCM);
    set(hr, type, MF_MT_AUDIO_BITS_PER_SAMPLE, 16);
    set(hr, type, MF_MT_AUDIO_SAMPLES_PER_SECOND, rate);
    set(hr, type, MF_MT_AUDIO_NUM_CHANNELS, channels);
    if (encoded) {
        set(hr, type, MF_MT_AUDIO_AVG_BYTES_PER_SECOND, channels == 1 ? 12000 : 20000);  // 96 and 160 kbit/s
    } else {
        set(hr, type, MF_MT_AUDIO_BLOCK_ALIGNMENT, 2 * channels);
        set(hr, type, MF_MT_AUDIO_AVG_BYTES_PER_SECOND, 2 * channels * rate);
        set(hr, type, MF_MT_ALL_SAMPLES_INDEPENDENT, TRUE);
    }
    return hr;
}

bool add_streams(VideoFile& v, std::string& error)
{
    IMFMediaType* out = nullptr;
    IMFMediaType* in = nullptr;
    IMFAttributes* settings = nullptr;
    HRESULT hr = video_type(v, true, out);
    if (SUCCEEDED(hr))
        hr = v.writer->AddStream(out, &v.video_stream);
    if (SUCCEEDED(hr))
        hr = video_type(v, false, in);
    if (SUCCEEDED(hr))
        hr = encoder_settings(v, settings);
    // An encoder that refuses the settings is given none, and keeps to the
    // output type's bit rate.
    if (SUCCEEDED(hr) && FAILED(v.writer->SetInputMediaType(v.video_stream, in, settings)))
        hr = v.writer->SetInputMediaType(v.video_stream, in, nullptr);
    release(settings);
    release(in);
    release(out);
    if (FAILED(hr)) {
        error = "no video encoder starts: " + describe(static_cast<DWORD>(hr));
        return false;
    }
    if (!v.sound)
        return true;
    hr = sound_type(v, true, out);
    if (SUCCEEDED(hr))
        hr = v.writer->AddStream(out, &v.sound_stream);
    if (SUCCEEDED(hr))
        hr = sound_type(v, false, in);
    if (SUCCEEDED(hr))
        hr = v.writer->SetInputMediaType(v.sound_stream, in, nullptr);
    release(in);
    release(out);
    if (FAILED(hr))
        error = "no sound encoder starts: " + describe(static_cast<DWORD>(hr));
    return SUCCEEDED(hr);
}

bool start_writer(VideoFile& v, std::string& error)
{
    const MediaFoundation& mf = *v.mf;
    HRESULT hr = mf.startup(MF_VERSION, MFSTARTUP_FULL);
    v.started = SUCCEEDED(hr);
    IMFAttributes* options = nullptr;
    if (SUCCEEDED(hr))
        hr = mf.create_attributes(&options, 1);
    // The file is given as a stream, whose name says nothing of what it holds.
    set_guid(hr, options, MF_TRANSCODE_CONTAINERTYPE, MFTranscodeContainerType_MPEG4);
    // The claimed file opened as it is: Windows will not make a file anew
    // over a hidden one, as opening the path for the sink writer would.
    if (SUCCEEDED(hr))
        hr = mf.create_file(MF_ACCESSMODE_READWRITE, MF_OPENMODE_FAIL_IF_NOT_EXIST, MF_FILEFLAGS_NONE, v.temp.c_str(),
                            &v.bytes);
    if (SUCCEEDED(hr))
        hr = mf.create_sink_writer(nullptr, v.bytes, options, &v.writer);
    release(options);
    if (FAILED(hr)) {
        error = describe(static_cast<DWORD>(hr));
        return false;
    }
    if (!add_streams(v, error))
        return false;
    hr = v.writer->BeginWriting();
    if (FAILED(hr))
        error = describe(static_cast<DWORD>(hr));
    return SUCCEEDED(hr);
}

// `bytes` bytes written by `fill` into one sample of the stream, from one
// time to the other.
template <class Fill>
HRESULT write_sample(VideoFile& v, DWORD stream, DWORD bytes, LONGLONG from, LONGLONG to, Fill fill)
{
    IMFMediaBuffer* buffer = nullptr;
    IMFSample* sample = nullptr;
    BYTE* data = nullptr;
    HRESULT hr = v.mf->create_memory_buffer(bytes, &buffer);
    if (SUCCEEDED(hr))
        hr = buffer->Lock(&data, nullptr, nullptr);
    if (SUCCEEDED(hr)) {
        fill(data);
        buffer->Unlock();
        hr = buffer->SetCurrentLength(bytes);
    }
    if (SUCCEEDED(hr))
        hr = v.mf->create_sample(&sample);
    if (SUCCEEDED(hr))
        hr = sample->AddBuffer(buffer);
    if (SUCCEEDED(hr))
        hr = sample->SetSampleTime(from);
    if (SUCCEEDED(hr))
        hr = sample->SetSampleDuration(to - from);
    if (SUCCEEDED(hr))
        hr = v.writer->WriteSample(stream, sample);
    release(sample);
    release(buffer);
    return hr;
}

// The sound waiting, up to its frame `end`.
HRESULT write_sound(VideoFile& v, std::int64_t end)
{
    const std::int64_t frames = std::min(v.pcm.made, end) - v.sound_written;
    if (frames <= 0)
        return S_OK;
    const auto samples = static_cast<std::size_t>(frames * v.pcm.channels);
    const auto bytes = static_cast<DWORD>(samples * sizeof v.waiting[0]);
    const HRESULT hr = write_sample(v, v.sound_stream, bytes, sound_time(v.pcm, v.sound_written),
                                    sound_time(v.pcm, v.sound_written + frames),
                                    [&](BYTE* data) { std::memcpy(data, v.waiting.data(), bytes); });
    if (SUCCEEDED(hr)) {
        v.waiting.erase(v.waiting.begin(), v.waiting.begin() + static_cast<std::ptrdiff_t>(samples));
        v.sound_written += frames;
    }
    return hr;
}

// Silence where the sound stops short of `time`.
void fill_silence(VideoFile& v, LONGLONG time)
{
    const std::int64_t missing = sound_frames(v.pcm, time) - v.pcm.made;
    if (missing <= 0)
        return;
    // Through the resampling like any sound, which holds one frame back.
    const std::int64_t frames = missing * v.pcm.in_rate / v.pcm.rate + (v.pcm.in_rate != v.pcm.rate);
    v.silence.assign(static_cast<std::size_t>(frames * v.pcm.in_channels), 0.0f);
    convert_sound(v.pcm, v.silence.data(), frames, v.waiting);
}

HRESULT keep_sound_in_step(VideoFile& v)
{
    fill_silence(v, frame_time(v.frames - sound_slack));
    return write_sound(v, sound_frames(v.pcm, frame_time(v.frames + sound_slack)));
}

HRESULT write_picture(VideoFile& v, const std::uint8_t* indices, const std::uint32_t* palette)
{
    const VideoSettings& s = v.settings;
    const std::ptrdiff_t width = s.width * s.scale, height = s.height * s.scale;
    const auto bytes = static_cast<DWORD>(width * height * 3 / 2);
    const HRESULT hr = write_sample(v, v.video_stream, bytes, frame_time(v.frames), frame_time(v.frames + 1),
                                    [&](BYTE* y) {
                                        BYTE* chroma = y + width * height;
                                        fill_video_picture(indices, palette, s.width, s.height, s.scale,
                                                           {y, width, 1}, {chroma, width, 2}, {chroma + 1, width, 2});
                                    });
    if (SUCCEEDED(hr))
        ++v.frames;
    return hr;
}

// Releases the writer, then closes the file.
void close_all(VideoFile& v)
{
    release(v.writer);
    if (v.bytes)
        v.bytes->Close();
    release(v.bytes);
}

}  // namespace

bool video_offered(std::string& why)
{
    static const std::string reason = [] {
        const MediaFoundation* mf = media_foundation();
        std::string ignored;
        if (!mf)
            return "this system has no Media Foundation";
        return com_ready(ignored) && has_h264_encoder(*mf) ? "" : "this system has no H.264 encoder";
    }();
    why = reason;
    return reason.empty();
}

const char* video_extension(VideoFormat format) { return format == VideoFormat::mp4 ? "mp4" : "webm"; }

VideoFile* begin_video(const std::string& folder, const VideoSettings& settings, std::string& error)
{
    if (!video_offered(error))
        return nullptr;
    if (settings.format != VideoFormat::mp4) {
        error = "this build records MP4 only";
        return nullptr;
    }
    auto* v = new VideoFile;
    v->folder = folder;
    v->settings = settings;
    v->settings.scale = std::clamp(settings.scale, 1, max_video_scale);
    v->mf = media_foundation();
    v->sound = settings.sound_rate > 0 && settings.sound_channels > 0;
    if (v->sound)
        v->pcm = pcm_sound(settings.sound_rate, settings.sound_channels);
    if (com_ready(error) && claim_hidden_temp(to_wide(folder), L"modra-video", v->temp, error) &&
        start_writer(*v, error))
        return v;
    abandon_video(v);
    error = "cannot record in " + folder + ": " + error;
    return nullptr;
}

bool add_video_frame(VideoFile* v, const std::uint8_t* indices, const std::uint32_t* palette, std::string& error)
{
    static thread_local ThreadCom com;
    HRESULT hr = write_picture(*v, indices, palette);
    if (SUCCEEDED(hr) && v->sound)
        hr = keep_sound_in_step(*v);
    if (FAILED(hr))
        error = "cannot encode the video: " + describe(static_cast<DWORD>(hr));
    return SUCCEEDED(hr);
}

bool add_video_sound(VideoFile* v, const float* samples, std::int64_t frames, std::string& error)
{
    static thread_local ThreadCom com;
    if (!v->sound)
        return true;
    convert_sound(v->pcm, samples, frames, v->waiting);
    const HRESULT hr = keep_sound_in_step(*v);
    if (FAILED(hr))
        error = "cannot encode the sound: " + describe(static_cast<DWORD>(hr));
    return SUCCEEDED(hr);
}

bool finish_video(VideoFile* v, const std::string& stem, std::string& path, std::string& error)
{
    // The sound lasts at least as long as the picture, and is never an
    // empty stream.
    HRESULT hr = S_OK;
    if (v->sound) {
        fill_silence(*v, frame_time(v->frames));
        hr = write_sound(*v, v->pcm.made);
    }
    if (SUCCEEDED(hr))
        hr = v->writer->Finalize();
    close_all(*v);
    const bool ok = name_recording(hr, v->temp, v->folder, stem, L"mp4", path, error);
    abandon_video(v);
    return ok;
}

void abandon_video(VideoFile* v)
{
    if (!v)
        return;
    close_all(*v);
    if (!v->temp.empty())
        DeleteFileW(v->temp.c_str());
    if (v->started)
        v->mf->shutdown();
    delete v;
}
