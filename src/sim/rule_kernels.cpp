#include "sim/rule_kernels.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>

const RuleKernels scalar_kernels{"scalar", diffuse_scalar, wave_scalar, frozen_scalar};

namespace {

struct KernelList {
    const RuleKernels* items[6] = {};
    std::size_t count = 0;
    void add(const RuleKernels& k) { items[count++] = &k; }
};

// Asked once: the processor does not change under a running program, and the
// per-frame calls then cost one indirect call each.
KernelList detect()
{
    KernelList list;
    list.add(scalar_kernels);
#if defined(__x86_64__) || defined(__i386__)
    __builtin_cpu_init();
    if (__builtin_cpu_supports("sse2"))
        list.add(sse2_kernels);
    if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("popcnt"))
        list.add(avx2_kernels);
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
        __builtin_cpu_supports("avx512vl"))
        list.add(avx512_kernels);
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
        __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512vbmi")) {
        list.add(avx512vbmi_kernels);
        list.add(avx512_chosen_kernels);
    }
#endif
#if defined(__aarch64__)
    // Advanced SIMD is part of the AArch64 base architecture: nothing to ask.
    list.add(neon_kernels);
#endif
#if defined(__wasm_simd128__)
    list.add(wasm_simd_kernels);
#endif
    return list;
}

const KernelList& kernel_list()
{
    static const KernelList list = detect();
    return list;
}

}  // namespace

std::span<const RuleKernels* const> runnable_kernels()
{
    const KernelList& list = kernel_list();
    return {list.items, list.count};
}

// MODRA_KERNELS names a slower set to run instead, for measuring one set
// inside the whole program; a name that is not runnable here is ignored.
const RuleKernels& rule_kernels()
{
    static const RuleKernels& chosen = [] () -> const RuleKernels& {
        const auto sets = runnable_kernels();
        if (const char* name = std::getenv("MODRA_KERNELS"))
            for (const RuleKernels* k : sets)
                if (std::strcmp(k->name, name) == 0)
                    return *k;
        return *sets.back();
    }();
    return chosen;
}
