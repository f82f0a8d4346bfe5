// The integer mix formats Wine never offers (its engine mixes in float):
// their samples must come out in -1..1 with their signs, and a format the
// reader cannot walk must be refused. Run under Wine by wine_listen.sh.
#include <cstdio>

#include "platform/win32/mix_format.h"

#include <ksmedia.h>

namespace {

int failed = 0;

void check(bool ok, const char* what)
{
    failed += !ok;
    std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
}

WAVEFORMATEXTENSIBLE extensible(const GUID& sub, WORD bits, WORD channels)
{
    WAVEFORMATEXTENSIBLE f{};
    f.Format.wFormatTag = WAVE_FORMAT_EXTENSIBLE;
    f.Format.nChannels = channels;
    f.Format.nSamplesPerSec = 48000;
    f.Format.wBitsPerSample = bits;
    f.Format.nBlockAlign = static_cast<WORD>(bits / 8 * channels);
    f.Format.cbSize = sizeof f - sizeof f.Format;
    f.SubFormat = sub;
    return f;
}

}  // namespace

int main()
{
    const WAVEFORMATEXTENSIBLE int24 = extensible(KSDATAFORMAT_SUBTYPE_PCM, 24, 2);
    const MixLayout layout = read_mix_format(int24.Format);
    check(layout.encoding == SampleEncoding::int24 && layout.channels == 2 && layout.rate == 48000,
          "24-bit extensible PCM is read as such");
    const BYTE frames[] = {0x00, 0x00, 0x80, 0xFF, 0xFF, 0x7F, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00};
    float out[4] = {};
    to_floats(layout, frames, 2, out);
    check(out[0] == -1.0f && out[1] > 0.9999f && out[2] == -0.5f && out[3] == 0.0f,
          "24-bit samples keep their sign and scale");

    WAVEFORMATEX int16{};
    int16.wFormatTag = WAVE_FORMAT_PCM;
    int16.nChannels = 1;
    int16.nSamplesPerSec = 44100;
    int16.wBitsPerSample = 16;
    int16.nBlockAlign = 2;
    const BYTE low[] = {0x00, 0x80};
    to_floats(read_mix_format(int16), low, 1, out);
    check(out[0] == -1.0f, "the lowest 16-bit sample is -1");

    WAVEFORMATEXTENSIBLE loud_float = extensible(KSDATAFORMAT_SUBTYPE_IEEE_FLOAT, 32, 1);
    const float over = 1.5f;
    to_floats(read_mix_format(loud_float.Format), reinterpret_cast<const BYTE*>(&over), 1, out);
    check(out[0] == 1.0f, "a float mix beyond full scale is held to 1");

    WAVEFORMATEXTENSIBLE short_block = extensible(KSDATAFORMAT_SUBTYPE_PCM, 32, 2);
    short_block.Format.nBlockAlign = 4;
    check(read_mix_format(short_block.Format).encoding == SampleEncoding::unknown,
          "a block too short for its channels is refused");

    std::printf("%d failed\n", failed);
    return failed == 0 ? 0 : 1;
}
