#pragma once

// The encoder's inner loops are plain min-plus over small arrays (internal). On x86-64 a function
// marked TESS_VECTOR_CLONES also gets an AVX2 copy, picked at load time where the processor has
// it: the baseline instruction set has no 32-bit minimum, so the vectoriser gains little there.
#if defined(__x86_64__) && defined(__ELF__) && defined(__has_attribute)
#if __has_attribute(target_clones)
#define TESS_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#endif
#endif
#ifndef TESS_VECTOR_CLONES
#define TESS_VECTOR_CLONES
#endif
