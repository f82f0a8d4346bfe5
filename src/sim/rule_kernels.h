// The per-frame loops of the two rules and of the frozen frame, once per
// instruction set. The portable versions are the reference; the others must
// match them bit for bit. One set is chosen on first use and kept.
#pragma once

#include <cstdint>
#include <span>

// src and dst (and velocity) are whole grids with their zero border; pixels
// and pitch describe the 640 x 480 output as the rules receive it.
// Sparks, when asked for, draw from the process-wide random source.
using DiffuseKernel = void (*)(const std::int32_t* src, std::int32_t* dst, std::uint32_t parameter,
                               std::uint32_t mask, bool sparks, const std::uint32_t* palette,
                               std::uint32_t* pixels, std::int32_t pitch);
using WaveKernel = void (*)(const std::int32_t* src, std::int32_t* dst, std::int32_t* velocity,
                            std::int32_t retention, const std::uint32_t* palette, std::uint32_t* pixels,
                            std::int32_t pitch);
// columns and rows are already cut to the field.
using FrozenKernel = void (*)(const std::int32_t* cells, const std::uint32_t* palette, std::uint32_t* pixels,
                              std::int32_t pitch, int columns, int rows);

struct RuleKernels {
    const char* name;
    DiffuseKernel diffuse;
    WaveKernel wave;
    FrozenKernel frozen;
};

// The portable reference, also what runs where no vector set is built.
void diffuse_scalar(const std::int32_t* src, std::int32_t* dst, std::uint32_t parameter, std::uint32_t mask,
                    bool sparks, const std::uint32_t* palette, std::uint32_t* pixels, std::int32_t pitch);
void wave_scalar(const std::int32_t* src, std::int32_t* dst, std::int32_t* velocity, std::int32_t retention,
                 const std::uint32_t* palette, std::uint32_t* pixels, std::int32_t pitch);
void frozen_scalar(const std::int32_t* cells, const std::uint32_t* palette, std::uint32_t* pixels,
                   std::int32_t pitch, int columns, int rows);

extern const RuleKernels scalar_kernels;
#if defined(__x86_64__) || defined(__i386__)
extern const RuleKernels sse2_kernels;
extern const RuleKernels avx2_kernels;
extern const RuleKernels avx512_kernels;
extern const RuleKernels avx512vbmi_kernels;
// Each loop from whichever of the two AVX-512 sets is faster at it.
extern const RuleKernels avx512_chosen_kernels;
#endif
#if defined(__aarch64__)
extern const RuleKernels neon_kernels;  // every AArch64 processor has Advanced SIMD
#endif
#if defined(__wasm_simd128__)
extern const RuleKernels wasm_simd_kernels;  // the browser build needs SIMD to load at all
#endif

// Every set this processor can run, the portable one first and the fastest last.
std::span<const RuleKernels* const> runnable_kernels();

// The fastest runnable set.
const RuleKernels& rule_kernels();
