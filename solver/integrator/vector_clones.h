// Hot loops compiled several times where the tool chain can: for processors
// with AVX-512, with AVX2 and for the baseline instruction set, the loader
// choosing the version that the processor runs. All versions perform the same
// IEEE operations in the same order (the build contracts no multiply-add), so
// they give the same bits; the wider ones only do several at a time.
#pragma once

#if !defined(KX_NO_VECTOR_CLONES) && defined(__x86_64__) && defined(__linux__) && defined(__has_attribute)
#if __has_attribute(target_clones)
#define KX_VECTOR_CLONES __attribute__((target_clones("avx512f", "avx2", "default")))
#endif
#endif
#ifndef KX_VECTOR_CLONES
#define KX_VECTOR_CLONES
#endif
