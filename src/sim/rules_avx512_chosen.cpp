// What runs on an AVX-512 processor with VBMI: the VBMI diffusion loop on
// spark ticks, the plain AVX-512 loops for everything else. Measured on an
// Intel Xeon at 2.8 GHz (ten interleaved repetitions, microseconds a frame):
// calm diffusion 132 against VBMI's 197, the wave rule 193 against 211, the
// frozen frame 87 against 109, but spark ticks 145 against 184. On an AMD
// EPYC the VBMI loops are twice as fast while the cells are in the caches
// (calm diffusion 62 against 106), but the toy's frames start with them in
// memory, and from there they are slower (240 against 214; the real toy
// spends a tenth more of its time in them): they read four rows and write
// four at once, and the memory keeps up better with fewer streams. Both sets
// stay runnable, so the comparison with the portable loops covers them, and
// MODRA_KERNELS picks either whole.
#if defined(__x86_64__) || defined(__i386__)

#include "sim/rule_kernels.h"

namespace {

void diffuse_chosen(const std::int32_t* src, std::int32_t* dst, std::uint32_t parameter, std::uint32_t mask,
                    bool sparks, const std::uint32_t* palette, std::uint32_t* pixels, std::int32_t pitch)
{
    (sparks ? avx512vbmi_kernels : avx512_kernels).diffuse(src, dst, parameter, mask, sparks, palette, pixels, pitch);
}

void wave_chosen(const std::int32_t* src, std::int32_t* dst, std::int32_t* velocity, std::int32_t retention,
                 const std::uint32_t* palette, std::uint32_t* pixels, std::int32_t pitch)
{
    avx512_kernels.wave(src, dst, velocity, retention, palette, pixels, pitch);
}

void frozen_chosen(const std::int32_t* cells, const std::uint32_t* palette, std::uint32_t* pixels, std::int32_t pitch,
                   int columns, int rows)
{
    avx512_kernels.frozen(cells, palette, pixels, pitch, columns, rows);
}

}  // namespace

const RuleKernels avx512_chosen_kernels{"avx512+vbmi", diffuse_chosen, wave_chosen, frozen_chosen};

#endif
