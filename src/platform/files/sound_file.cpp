// Sound files through libsndfile: WAV, FLAC, Ogg Vorbis, Opus, MP3 and the
// rest it knows.
#include "platform/sound_file.h"

#include <sndfile.h>

#include <filesystem>

namespace {

// A sound longer than this (three hours) is taken for a broken header.
constexpr std::int64_t longest_seconds = 3 * 60 * 60;

}  // namespace

bool read_sound_file(const std::string& path, SoundClip& clip, std::string& error)
{
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        error = "it is a folder";
        return false;
    }
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        error = sf_strerror(nullptr);
        return false;
    }
    bool ok = false;
    if (info.channels < 1 || info.channels > 32 || info.samplerate < 8000 || info.samplerate > 384000) {
        error = "not a sound of 1 to 32 channels at 8000 to 384000 samples a second";
    } else if (info.frames < 0 || info.frames > longest_seconds * info.samplerate) {
        error = "longer than three hours";
    } else {
        clip.rate = info.samplerate;
        clip.channels = info.channels;
        // Some formats know their length only roughly: read until the end.
        clip.samples.clear();
        std::vector<float> block(static_cast<std::size_t>(4096 * info.channels));
        for (;;) {
            const sf_count_t got = sf_readf_float(file, block.data(), 4096);
            if (got <= 0)
                break;
            clip.samples.insert(clip.samples.end(), block.begin(), block.begin() + got * info.channels);
            if (clip.frames() > longest_seconds * info.samplerate)
                break;
        }
        ok = sf_error(file) == SF_ERR_NO_ERROR;
        if (!ok)
            error = sf_strerror(file);
        else if (clip.samples.empty())
            ok = false, error = "it holds no sound";
    }
    sf_close(file);
    return ok;
}
