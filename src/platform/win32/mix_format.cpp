#include "platform/win32/mix_format.h"

#include <algorithm>
#include <cstring>

#include <ksmedia.h>

namespace {

SampleEncoding encoding_of(bool is_float, WORD container_bits)
{
    if (is_float)
        return container_bits == 32 ? SampleEncoding::float32 : SampleEncoding::unknown;
    switch (container_bits) {
    case 16: return SampleEncoding::int16;
    case 24: return SampleEncoding::int24;
    case 32: return SampleEncoding::int32;
    default: return SampleEncoding::unknown;
    }
}

std::int32_t bytes_of(SampleEncoding encoding)
{
    switch (encoding) {
    case SampleEncoding::int16: return 2;
    case SampleEncoding::int24: return 3;
    case SampleEncoding::float32:
    case SampleEncoding::int32: return 4;
    case SampleEncoding::unknown: break;
    }
    return 0;
}

}  // namespace

MixLayout read_mix_format(const WAVEFORMATEX& format)
{
    bool is_float = format.wFormatTag == WAVE_FORMAT_IEEE_FLOAT;
    bool known = is_float || format.wFormatTag == WAVE_FORMAT_PCM;
    if (format.wFormatTag == WAVE_FORMAT_EXTENSIBLE && format.cbSize >= sizeof(WAVEFORMATEXTENSIBLE) - sizeof format) {
        const GUID& sub = reinterpret_cast<const WAVEFORMATEXTENSIBLE&>(format).SubFormat;
        is_float = IsEqualGUID(sub, KSDATAFORMAT_SUBTYPE_IEEE_FLOAT);
        known = is_float || IsEqualGUID(sub, KSDATAFORMAT_SUBTYPE_PCM);
    }
    MixLayout layout;
    if (!known || format.nChannels == 0 || format.nSamplesPerSec == 0)
        return layout;
    layout.encoding = encoding_of(is_float, format.wBitsPerSample);
    layout.channels = format.nChannels;
    layout.rate = static_cast<std::int32_t>(format.nSamplesPerSec);
    layout.frame_bytes = format.nBlockAlign;
    // A block too short for its samples would have the reader run past the packet.
    if (layout.frame_bytes < bytes_of(layout.encoding) * layout.channels)
        layout.encoding = SampleEncoding::unknown;
    return layout;
}

void to_floats(const MixLayout& layout, const BYTE* bytes, std::int32_t frames, float* out)
{
    const std::int32_t size = bytes_of(layout.encoding);
    for (std::int32_t f = 0; f < frames; ++f) {
        const BYTE* at = bytes + static_cast<std::ptrdiff_t>(f) * layout.frame_bytes;
        for (std::int32_t c = 0; c < layout.channels; ++c, at += size) {
            float v = 0.0f;
            switch (layout.encoding) {
            case SampleEncoding::float32:
                std::memcpy(&v, at, 4);
                // Loopback hears the mix before the output clips it.
                v = std::clamp(v, -1.0f, 1.0f);
                break;
            case SampleEncoding::int16: {
                std::int16_t s;
                std::memcpy(&s, at, 2);
                v = s / 32768.0f;
                break;
            }
            case SampleEncoding::int24: {
                // The top byte into the top of an int carries the sign down.
                const std::int32_t s = static_cast<std::int32_t>(static_cast<std::uint32_t>(at[0]) << 8 |
                                                                 static_cast<std::uint32_t>(at[1]) << 16 |
                                                                 static_cast<std::uint32_t>(at[2]) << 24) >> 8;
                v = s / 8388608.0f;
                break;
            }
            case SampleEncoding::int32: {
                std::int32_t s;
                std::memcpy(&s, at, 4);
                v = static_cast<float>(s / 2147483648.0);
                break;
            }
            case SampleEncoding::unknown: break;
            }
            *out++ = v;
        }
    }
}
