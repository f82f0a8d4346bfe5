#include "listen/analysis.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double pi = 3.14159265358979323846;
constexpr float band_edges[sound_bands + 1] = {30, 150, 600, 2500, 10000};
constexpr int flux_kept = 512;       // hops of flux the beat is looked for in: about five seconds
constexpr int threshold_hops = 32;   // the recent flux an onset must stand out of
constexpr float flux_floor = 0.04f;  // what no onset is below, in mean log magnitude per bin
constexpr float quiet_db = -55;      // a hop quieter than this has no onset
constexpr int refractory_hops = 5;   // onsets at least 50 ms apart
constexpr int beat_every = 25;       // hops between looks for the beat

// In place, on size a power of two: the tables come from start_analysis.
void fft(SoundAnalysis& a)
{
    const std::int32_t n = a.size;
    for (std::int32_t i = 0; i < n; ++i)
        if (const std::int32_t j = a.reversed[static_cast<std::size_t>(i)]; j > i) {
            std::swap(a.re[static_cast<std::size_t>(i)], a.re[static_cast<std::size_t>(j)]);
            std::swap(a.im[static_cast<std::size_t>(i)], a.im[static_cast<std::size_t>(j)]);
        }
    for (std::int32_t half = 1; half < n; half *= 2) {
        const std::int32_t step = n / (2 * half);
        for (std::int32_t start = 0; start < n; start += 2 * half)
            for (std::int32_t k = 0; k < half; ++k) {
                const auto t = static_cast<std::size_t>(k * step);
                const auto p = static_cast<std::size_t>(start + k), q = p + static_cast<std::size_t>(half);
                const float wr = a.cosines[t], wi = -a.sines[t];
                const float xr = a.re[q] * wr - a.im[q] * wi, xi = a.re[q] * wi + a.im[q] * wr;
                a.re[q] = a.re[p] - xr;
                a.im[q] = a.im[p] - xi;
                a.re[p] += xr;
                a.im[p] += xi;
            }
    }
}

float decibels(double power) { return static_cast<float>(10 * std::log10(power + 1e-10)); }

float flux_at(const SoundAnalysis& a, std::int64_t hop) { return a.flux[static_cast<std::size_t>(hop % flux_kept)]; }

float threshold(const SoundAnalysis& a)
{
    std::array<float, threshold_hops> recent{};
    const int n = static_cast<int>(std::min<std::int64_t>(threshold_hops, a.hops));
    for (int i = 0; i < n; ++i)
        recent[static_cast<std::size_t>(i)] = flux_at(a, a.hops - 1 - i);
    std::nth_element(recent.begin(), recent.begin() + n / 2, recent.begin() + n);
    return 1.5f * recent[static_cast<std::size_t>(n / 2)] + flux_floor;
}

// The period whose flux best repeats itself, leaning towards two beats a
// second where two periods repeat about as well.
void find_beat(SoundAnalysis& a, double hops_per_second)
{
    const auto shortest = static_cast<int>(hops_per_second * 0.25), longest = static_cast<int>(hops_per_second);
    const int n = static_cast<int>(std::min<std::int64_t>(flux_kept, a.hops));
    if (n < 2 * longest)
        return;
    double mean = 0;
    for (int i = 0; i < n; ++i)
        mean += flux_at(a, a.hops - 1 - i);
    mean /= n;
    double best = 0;
    int best_lag = 0;
    for (int lag = shortest; lag <= longest; ++lag) {
        double sum = 0;
        for (int i = 0; i + lag < n; ++i)
            sum += (flux_at(a, a.hops - 1 - i) - mean) * (flux_at(a, a.hops - 1 - i - lag) - mean);
        const double octaves = std::log2(lag / (hops_per_second * 0.5));
        const double score = sum / (n - lag) * std::exp(-octaves * octaves);
        if (score > best) {
            best = score;
            best_lag = lag;
        }
    }
    a.period_hops = static_cast<float>(best_lag);
}

// The onset and the beat, from the hop's flux: the same whatever it was
// measured from.
void judge(SoundAnalysis& a, double flux, double hops_per_second, Hop& hop)
{
    // Nothing came before the first hop to rise from.
    const float rose = a.hops == 0 ? 0 : static_cast<float>(flux);
    const float bar = threshold(a);
    if (a.hops > 0 && rose > bar && hop.loudness > quiet_db && a.hops - a.last_onset >= refractory_hops) {
        hop.onset = rose / bar;
        a.last_onset = a.hops;
        if (hop.onset >= 1.5f || a.beat_anchor < 0)
            a.beat_anchor = a.hops;
    }
    a.flux[static_cast<std::size_t>(a.hops % flux_kept)] = rose;
    ++a.hops;

    if (a.hops % beat_every == 0)
        find_beat(a, hops_per_second);
    if (a.period_hops > 0 && a.beat_anchor >= 0) {
        const double since = static_cast<double>(a.hops - 1 - a.beat_anchor);
        const double ahead = a.period_hops - std::fmod(since, a.period_hops);
        hop.beat_period = static_cast<float>(a.period_hops / hops_per_second);
        hop.next_beat = static_cast<float>(ahead / hops_per_second);
    }
}


void finish_hop(SoundAnalysis& a, double power, Hop& hop)
{
    const std::int32_t n = a.size;
    for (std::int32_t i = 0; i < n; ++i) {
        const auto at = static_cast<std::size_t>((a.samples + i) % n);  // oldest first
        a.re[static_cast<std::size_t>(i)] = a.window[at] * a.shape[static_cast<std::size_t>(i)];
        a.im[static_cast<std::size_t>(i)] = 0;
    }
    fft(a);
    // A full-scale sine has magnitude 1 in its bin.
    const float scale = 4.0f / static_cast<float>(n);
    std::array<double, sound_bands> energy{}, rise{};
    std::array<int, sound_bands> bins{};
    int band = 0;
    for (std::int32_t k = 1; k < n / 2; ++k) {
        const double frequency = static_cast<double>(k) * a.rate / n;
        while (band < sound_bands && frequency >= band_edges[band + 1])
            ++band;
        if (band == sound_bands)
            break;
        const auto i = static_cast<std::size_t>(k);
        const float magnitude = std::sqrt(a.re[i] * a.re[i] + a.im[i] * a.im[i]) * scale;
        const float log_magnitude = std::log1p(1000 * magnitude);
        if (frequency >= band_edges[0]) {
            energy[static_cast<std::size_t>(band)] += static_cast<double>(magnitude) * magnitude;
            rise[static_cast<std::size_t>(band)] += std::max(0.0f, log_magnitude - a.last_log[i]);
            ++bins[static_cast<std::size_t>(band)];
        }
        a.last_log[i] = log_magnitude;
    }
    double flux = 0;
    int counted = 0;
    double steepest = -1;
    for (std::size_t b = 0; b < sound_bands; ++b) {
        hop.bands[b] = decibels(energy[b]);
        flux += rise[b];
        counted += bins[b];
        if (const double mean_rise = bins[b] > 0 ? rise[b] / bins[b] : 0; mean_rise > steepest) {
            steepest = mean_rise;
            hop.onset_band = static_cast<std::int32_t>(b);
        }
    }
    flux = counted > 0 ? flux / counted : 0;
    hop.loudness = decibels(power / a.hop);
    hop.balance = a.left + a.right > 0 ? static_cast<float>((a.right - a.left) / (a.left + a.right)) : 0;

    judge(a, flux, static_cast<double>(a.rate) / a.hop, hop);
}

}  // namespace

bool start_analysis(SoundAnalysis& a, std::int32_t rate, std::int32_t channels)
{
    if (rate < 8000 || rate > 384000 || channels < 1 || channels > 32)
        return false;
    a = SoundAnalysis{};
    a.rate = rate;
    a.channels = channels;
    a.hop = std::max(1, static_cast<std::int32_t>(std::lround(rate / 100.0)));
    a.size = 1;
    while (a.size < 2 * a.hop)
        a.size *= 2;
    const auto n = static_cast<std::size_t>(a.size);
    a.window.assign(n, 0);
    a.shape.resize(n);
    a.re.resize(n);
    a.im.resize(n);
    a.cosines.resize(n / 2);
    a.sines.resize(n / 2);
    a.reversed.resize(n);
    a.last_log.assign(n / 2, 0);
    a.flux.assign(flux_kept, 0);
    for (std::size_t i = 0; i < n; ++i) {
        a.shape[i] = static_cast<float>(0.5 - 0.5 * std::cos(2 * pi * static_cast<double>(i) / a.size));
        std::int32_t r = 0;
        for (std::int32_t bit = 1, j = static_cast<std::int32_t>(i); bit < a.size; bit *= 2, j >>= 1)
            r = (r << 1) | (j & 1);
        a.reversed[i] = r;
    }
    for (std::size_t i = 0; i < n / 2; ++i) {
        a.cosines[i] = static_cast<float>(std::cos(2 * pi * static_cast<double>(i) / a.size));
        a.sines[i] = static_cast<float>(std::sin(2 * pi * static_cast<double>(i) / a.size));
    }
    return true;
}

void analyse(SoundAnalysis& a, const float* samples, std::int64_t frames, void (*on_hop)(const Hop&, void*),
             void* context)
{
    for (std::int64_t f = 0; f < frames; ++f) {
        const float* frame = samples + f * a.channels;
        float mixed = 0;
        for (std::int32_t c = 0; c < a.channels; ++c)
            mixed += frame[c];
        mixed /= static_cast<float>(a.channels);
        if (!std::isfinite(mixed))
            mixed = 0;
        a.window[static_cast<std::size_t>(a.samples % a.size)] = mixed;
        ++a.samples;
        a.power += static_cast<double>(mixed) * mixed;
        if (a.channels >= 2 && std::isfinite(frame[0]) && std::isfinite(frame[1])) {
            a.left += static_cast<double>(frame[0]) * frame[0];
            a.right += static_cast<double>(frame[1]) * frame[1];
        }
        if (++a.filled < a.hop)
            continue;
        Hop hop;
        hop.end = a.samples;
        hop.rate = a.rate;
        finish_hop(a, a.power, hop);
        a.filled = 0;
        a.left = a.right = 0;
        a.power = 0;
        on_hop(hop, context);
    }
}

bool start_spectrum_analysis(SoundAnalysis& a, std::int32_t bins, std::int32_t updates_per_second)
{
    if (bins < sound_bands || bins > 4096 || updates_per_second < 10 || updates_per_second > 1000)
        return false;
    a = SoundAnalysis{};
    a.rate = 1000;  // hops' ends in milliseconds
    a.hop = 1000 / updates_per_second;
    a.size = bins;
    a.last_log.assign(static_cast<std::size_t>(bins), 0);
    a.flux.assign(flux_kept, 0);
    return true;
}

void analyse_spectrum(SoundAnalysis& a, const float* left, const float* right, void (*on_hop)(const Hop&, void*),
                      void* context)
{
    // The bins run low to high: their first eighth taken for the bass,
    // then a quarter, three eighths and a quarter, as the bands' octaves lie.
    constexpr double band_ends[sound_bands] = {0.125, 0.375, 0.75, 1.0};
    std::array<double, sound_bands> energy{}, rise{};
    std::array<int, sound_bands> bins{};
    double power = 0, left_power = 0, right_power = 0;
    std::size_t band = 0;
    for (std::int32_t k = 0; k < a.size; ++k) {
        while (band + 1 < sound_bands && k >= band_ends[band] * a.size)
            ++band;
        const float l = std::isfinite(left[k]) ? std::max(0.0f, left[k]) : 0.0f;
        const float r = right && std::isfinite(right[k]) ? std::max(0.0f, right[k]) : l;
        const float magnitude = (l + r) / 2;
        const float log_magnitude = std::log1p(10 * magnitude);
        energy[band] += static_cast<double>(magnitude) * magnitude;
        rise[band] += std::max(0.0f, log_magnitude - a.last_log[static_cast<std::size_t>(k)]);
        ++bins[band];
        a.last_log[static_cast<std::size_t>(k)] = log_magnitude;
        power += static_cast<double>(magnitude) * magnitude;
        left_power += static_cast<double>(l) * l;
        right_power += static_cast<double>(r) * r;
    }
    Hop hop;
    hop.rate = a.rate;
    hop.end = (a.hops + 1) * a.hop;
    double flux = 0, steepest = -1;
    for (std::size_t b = 0; b < sound_bands; ++b) {
        hop.bands[b] = decibels(energy[b]);
        flux += rise[b];
        if (const double mean_rise = bins[b] > 0 ? rise[b] / bins[b] : 0; mean_rise > steepest) {
            steepest = mean_rise;
            hop.onset_band = static_cast<std::int32_t>(b);
        }
    }
    hop.loudness = decibels(power / a.size);
    hop.balance = left_power + right_power > 0 ? static_cast<float>((right_power - left_power) / (left_power + right_power)) : 0;
    judge(a, flux / a.size, 1000.0 / a.hop, hop);
    on_hop(hop, context);
}
