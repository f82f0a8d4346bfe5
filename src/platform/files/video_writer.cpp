// Video through FFmpeg's libraries (libavformat, libavcodec, libswresample).
// The pictures go to the encoder as 4:2:0 of our own making rather than
// through a scaler (video_picture.h).
#include "platform/files/video_writer.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <vector>

#include "platform/files/video_picture.h"

struct VideoWriter {
    std::FILE* file = nullptr;
    VideoSettings settings;
    AVFormatContext* format = nullptr;
    AVCodecContext* video = nullptr;
    AVCodecContext* audio = nullptr;
    AVStream* video_stream = nullptr;
    AVStream* audio_stream = nullptr;
    SwrContext* resampler = nullptr;
    AVAudioFifo* fifo = nullptr;
    AVFrame* picture = nullptr;
    AVFrame* sound = nullptr;
    AVPacket* packet = nullptr;
    std::int64_t frames = 0, sound_sent = 0;
    std::vector<std::uint8_t> converted;  // resampled sound, before the queue
    bool header = false;
};

namespace {

std::string said(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

int write_bytes(void* opaque, std::uint8_t* bytes, int size)
{
    auto* file = static_cast<std::FILE*>(opaque);
    return std::fwrite(bytes, 1, static_cast<std::size_t>(size), file) == static_cast<std::size_t>(size)
               ? size
               : AVERROR(errno ? errno : EIO);
}

std::int64_t seek_bytes(void* opaque, std::int64_t offset, int whence)
{
    auto* file = static_cast<std::FILE*>(opaque);
    if (whence == AVSEEK_SIZE) {
        const long at = std::ftell(file);
        if (at < 0 || std::fseek(file, 0, SEEK_END) != 0)
            return -1;
        const long size = std::ftell(file);
        std::fseek(file, at, SEEK_SET);
        return size;
    }
    return std::fseek(file, static_cast<long>(offset), whence & ~AVSEEK_FORCE) == 0 ? std::ftell(file) : -1;
}

void free_writer(VideoWriter* w)
{
    if (!w)
        return;
    avcodec_free_context(&w->video);
    avcodec_free_context(&w->audio);
    swr_free(&w->resampler);
    if (w->fifo)
        av_audio_fifo_free(w->fifo);
    av_frame_free(&w->picture);
    av_frame_free(&w->sound);
    av_packet_free(&w->packet);
    if (w->format) {
        if (w->format->pb) {
            av_freep(&w->format->pb->buffer);
            avio_context_free(&w->format->pb);
        }
        avformat_free_context(w->format);
    }
    delete w;
}

// Every packet the encoder has ready, into the file; `frame` null drains it.
bool encode(VideoWriter& w, AVCodecContext* codec, AVStream* stream, AVFrame* frame, std::string& error)
{
    int code = avcodec_send_frame(codec, frame);
    while (code >= 0) {
        code = avcodec_receive_packet(codec, w.packet);
        if (code == AVERROR(EAGAIN) || code == AVERROR_EOF)
            return true;
        if (code < 0)
            break;
        av_packet_rescale_ts(w.packet, codec->time_base, stream->time_base);
        w.packet->stream_index = stream->index;
        code = av_interleaved_write_frame(w.format, w.packet);
    }
    error = "cannot encode the video: " + said(code);
    return false;
}

const AVCodec* encoder_for(bool video, VideoFormat format)
{
    if (video)
        return format == VideoFormat::mp4 ? avcodec_find_encoder_by_name("libx264")
                                          : avcodec_find_encoder_by_name("libvpx-vp9");
    return format == VideoFormat::mp4 ? avcodec_find_encoder(AV_CODEC_ID_AAC) : avcodec_find_encoder_by_name("libopus");
}

bool open_video_stream(VideoWriter& w, std::string& error)
{
    const VideoSettings& s = w.settings;
    const AVCodec* codec = encoder_for(true, s.format);
    if (!codec) {
        error = s.format == VideoFormat::mp4 ? "this FFmpeg has no H.264 encoder (libx264)"
                                             : "this FFmpeg has no VP9 encoder (libvpx)";
        return false;
    }
    w.video_stream = avformat_new_stream(w.format, nullptr);
    w.video = avcodec_alloc_context3(codec);
    if (!w.video_stream || !w.video)
        return false;
    AVCodecContext& c = *w.video;
    c.width = s.width * s.scale;
    c.height = s.height * s.scale;
    c.time_base = {1, 60};
    c.framerate = {60, 1};
    c.pix_fmt = AV_PIX_FMT_YUV420P;
    c.gop_size = 120;  // a key frame every two seconds, to seek in a clip
    c.color_range = AVCOL_RANGE_MPEG;
    c.color_primaries = AVCOL_PRI_BT709;
    c.color_trc = AVCOL_TRC_BT709;
    c.colorspace = AVCOL_SPC_BT709;
    c.thread_count = s.live ? 1 : 0;
    const int quality = s.quality >= 0 ? s.quality : default_quality[static_cast<int>(s.format)];
    if (s.format == VideoFormat::mp4) {
        const char* preset = std::getenv("MODRA_X264_PRESET");
        av_opt_set(c.priv_data, "preset", preset ? preset : s.live ? "superfast" : "veryfast", 0);
        if (const char* tune = std::getenv("MODRA_X264_TUNE"))
            av_opt_set(c.priv_data, "tune", tune, 0);
        av_opt_set_int(c.priv_data, "crf", quality, 0);
    } else {
        c.bit_rate = 0;  // constant quality alone
        av_opt_set_int(c.priv_data, "crf", quality, 0);
        // VP9's slower settings are several times slower than real time here.
        av_opt_set(c.priv_data, "deadline", "realtime", 0);
        av_opt_set_int(c.priv_data, "cpu-used", 8, 0);
        av_opt_set_int(c.priv_data, "row-mt", 1, 0);
    }
    if (w.format->oformat->flags & AVFMT_GLOBALHEADER)
        c.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    int code = avcodec_open2(w.video, codec, nullptr);
    if (code >= 0)
        code = avcodec_parameters_from_context(w.video_stream->codecpar, w.video);
    if (code < 0) {
        error = "cannot start the video encoder: " + said(code);
        return false;
    }
    w.video_stream->time_base = c.time_base;
    w.video_stream->avg_frame_rate = c.framerate;
    w.picture = av_frame_alloc();
    if (!w.picture)
        return false;
    w.picture->format = c.pix_fmt;
    w.picture->width = c.width;
    w.picture->height = c.height;
    return av_frame_get_buffer(w.picture, 0) >= 0;
}

bool open_sound_stream(VideoWriter& w, std::string& error)
{
    const VideoSettings& s = w.settings;
    const AVCodec* codec = encoder_for(false, s.format);
    if (!codec) {
        error = s.format == VideoFormat::mp4 ? "this FFmpeg has no AAC encoder" : "this FFmpeg has no Opus encoder";
        return false;
    }
    w.audio_stream = avformat_new_stream(w.format, nullptr);
    w.audio = avcodec_alloc_context3(codec);
    if (!w.audio_stream || !w.audio)
        return false;
    AVCodecContext& c = *w.audio;
    c.sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_FLTP;
    // Opus takes 48 kHz alone; AAC the common rates, and 48 kHz otherwise.
    c.sample_rate = s.format == VideoFormat::webm || (s.sound_rate != 44100 && s.sound_rate != 48000) ? 48000
                                                                                                       : s.sound_rate;
    av_channel_layout_default(&c.ch_layout, s.sound_channels == 1 ? 1 : 2);
    c.bit_rate = s.sound_channels == 1 ? 96000 : 160000;
    c.time_base = {1, c.sample_rate};
    if (w.format->oformat->flags & AVFMT_GLOBALHEADER)
        c.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    int code = avcodec_open2(w.audio, codec, nullptr);
    if (code >= 0)
        code = avcodec_parameters_from_context(w.audio_stream->codecpar, w.audio);
    AVChannelLayout in;
    av_channel_layout_default(&in, s.sound_channels);
    if (code >= 0)
        code = swr_alloc_set_opts2(&w.resampler, &c.ch_layout, c.sample_fmt, c.sample_rate, &in, AV_SAMPLE_FMT_FLT,
                                   s.sound_rate, 0, nullptr);
    if (code >= 0)
        code = swr_init(w.resampler);
    av_channel_layout_uninit(&in);
    if (code < 0) {
        error = "cannot start the sound encoder: " + said(code);
        return false;
    }
    w.audio_stream->time_base = c.time_base;
    w.fifo = av_audio_fifo_alloc(c.sample_fmt, c.ch_layout.nb_channels, c.sample_rate);
    w.sound = av_frame_alloc();
    return w.fifo && w.sound;
}

bool send_sound(VideoWriter& w, bool last, std::string& error)
{
    AVCodecContext& c = *w.audio;
    const int size = c.frame_size > 0 ? c.frame_size : 1024;
    while (av_audio_fifo_size(w.fifo) >= size || (last && av_audio_fifo_size(w.fifo) > 0)) {
        const int n = std::min(size, av_audio_fifo_size(w.fifo));
        av_frame_unref(w.sound);
        w.sound->nb_samples = n;
        w.sound->format = c.sample_fmt;
        w.sound->sample_rate = c.sample_rate;
        if (av_channel_layout_copy(&w.sound->ch_layout, &c.ch_layout) < 0 || av_frame_get_buffer(w.sound, 0) < 0 ||
            av_audio_fifo_read(w.fifo, reinterpret_cast<void**>(w.sound->data), n) != n)
            return false;
        w.sound->pts = w.sound_sent;
        w.sound_sent += n;
        if (!encode(w, w.audio, w.audio_stream, w.sound, error))
            return false;
    }
    return true;
}

// What the resampler gives for `frames` more input frames (null: what it holds back), into the queue.
bool resample(VideoWriter& w, const float* samples, std::int64_t frames)
{
    AVCodecContext& c = *w.audio;
    const int out_frames = swr_get_out_samples(w.resampler, static_cast<int>(frames));
    if (out_frames < 0)
        return false;
    if (out_frames == 0)
        return true;
    const int bytes_per = av_get_bytes_per_sample(c.sample_fmt);
    const int planes = av_sample_fmt_is_planar(c.sample_fmt) ? c.ch_layout.nb_channels : 1;
    const int plane_bytes = out_frames * bytes_per * (planes == 1 ? c.ch_layout.nb_channels : 1);
    w.converted.resize(static_cast<std::size_t>(plane_bytes) * planes);
    std::uint8_t* out[AV_NUM_DATA_POINTERS] = {};
    for (int p = 0; p < planes; ++p)
        out[p] = w.converted.data() + static_cast<std::ptrdiff_t>(p) * plane_bytes;
    const auto* in = reinterpret_cast<const std::uint8_t*>(samples);
    const int got = swr_convert(w.resampler, out, out_frames, samples ? &in : nullptr, static_cast<int>(frames));
    return got >= 0 && av_audio_fifo_write(w.fifo, reinterpret_cast<void**>(out), got) == got;
}

}  // namespace

VideoWriterPtr open_video_writer(std::FILE* file, const VideoSettings& settings, std::string& error)
{
    // What goes wrong is said in our one line; the libraries' own chatter
    // (x264's statistics among it) would only bury it.
    av_log_set_level(AV_LOG_QUIET);
    VideoWriterPtr w(new VideoWriter, free_writer);
    w->file = file;
    w->settings = settings;
    w->settings.scale = std::clamp(settings.scale, 1, max_video_scale);
    const bool seekable = std::fseek(file, 0, SEEK_CUR) == 0;
    const char* name = settings.format == VideoFormat::mp4 ? "mp4" : "webm";
    if (avformat_alloc_output_context2(&w->format, nullptr, name, nullptr) < 0 || !w->format) {
        error = std::string("this FFmpeg cannot write ") + name;
        return {nullptr, free_writer};
    }
    constexpr int buffer_size = 1 << 16;
    auto* buffer = static_cast<unsigned char*>(av_malloc(buffer_size));
    w->format->pb = buffer ? avio_alloc_context(buffer, buffer_size, 1, file, nullptr, write_bytes,
                                                seekable ? seek_bytes : nullptr)
                           : nullptr;
    if (!w->format->pb) {
        av_free(buffer);
        error = "out of memory";
        return {nullptr, free_writer};
    }
    w->format->pb->seekable = seekable ? AVIO_SEEKABLE_NORMAL : 0;
    w->packet = av_packet_alloc();
    if (!w->packet || !open_video_stream(*w, error) ||
        (settings.sound_rate > 0 && settings.sound_channels > 0 && !open_sound_stream(*w, error))) {
        if (error.empty())
            error = "out of memory";
        return {nullptr, free_writer};
    }
    AVDictionary* options = nullptr;
    if (!seekable && settings.format == VideoFormat::mp4)
        av_dict_set(&options, "movflags", "frag_keyframe+empty_moov", 0);
    const int code = avformat_write_header(w->format, &options);
    av_dict_free(&options);
    if (code < 0) {
        error = "cannot write the video: " + said(code);
        return {nullptr, free_writer};
    }
    w->header = true;
    return w;
}

bool write_video_frame(VideoWriter& w, const std::uint8_t* indices, const std::uint32_t* palette, std::string& error)
{
    if (av_frame_make_writable(w.picture) < 0) {
        error = "out of memory";
        return false;
    }
    const AVFrame& p = *w.picture;
    fill_video_picture(indices, palette, w.settings.width, w.settings.height, w.settings.scale,
                       {p.data[0], p.linesize[0], 1}, {p.data[1], p.linesize[1], 1}, {p.data[2], p.linesize[2], 1});
    w.picture->pts = w.frames++;
    return encode(w, w.video, w.video_stream, w.picture, error);
}

bool write_video_sound(VideoWriter& w, const float* samples, std::int64_t frames, std::string& error)
{
    if (!w.audio || frames <= 0)
        return true;
    if (!resample(w, samples, frames)) {
        error = "cannot convert the sound";
        return false;
    }
    return send_sound(w, false, error);
}

bool close_video_writer(VideoWriter& w, std::string& error)
{
    if (w.audio) {
        if (!resample(w, nullptr, 0)) {
            error = "cannot convert the sound";
            return false;
        }
        if (!send_sound(w, true, error) || !encode(w, w.audio, w.audio_stream, nullptr, error))
            return false;
    }
    if (!encode(w, w.video, w.video_stream, nullptr, error))
        return false;
    const int code = av_write_trailer(w.format);
    if (code < 0) {
        error = "cannot finish the video: " + said(code);
        return false;
    }
    avio_flush(w.format->pb);
    if (w.format->pb->error < 0 || std::ferror(w.file)) {
        error = "cannot finish the video: " + said(w.format->pb->error < 0 ? w.format->pb->error : AVERROR(EIO));
        return false;
    }
    return true;
}
