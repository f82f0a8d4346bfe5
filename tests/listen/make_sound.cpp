// Writes one of the test sounds (test_sounds.h) to a file, its format from
// the extension: .wav .flac .ogg .opus .mp3.
//   make_sound KIND SECONDS FILE
#include <sndfile.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "test_sounds.h"

namespace {

int format_for(const std::string& file)
{
    const auto ends = [&](const char* e) { return file.size() > std::strlen(e) && file.ends_with(e); };
    if (ends(".wav")) return SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    if (ends(".flac")) return SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    if (ends(".ogg")) return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    if (ends(".opus")) return SF_FORMAT_OGG | SF_FORMAT_OPUS;
    if (ends(".mp3")) return SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: make_sound click|silence|tone|alternate|dense SECONDS FILE\n");
        return 2;
    }
    const std::vector<float> samples = test_sounds::make(argv[1], std::atof(argv[2]));
    SF_INFO info{};
    info.samplerate = test_sounds::rate;
    info.channels = 2;
    info.format = format_for(argv[3]);
    SNDFILE* file = samples.empty() || info.format == 0 ? nullptr : sf_open(argv[3], SFM_WRITE, &info);
    if (!file) {
        std::fprintf(stderr, "make_sound: cannot make %s: %s\n", argv[3], sf_strerror(nullptr));
        return 2;
    }
    const auto frames = static_cast<sf_count_t>(samples.size() / 2);
    const bool ok = sf_writef_float(file, samples.data(), frames) == frames;
    sf_close(file);
    return ok ? 0 : 1;
}
