// SPDX-License-Identifier: MIT
// Compiler attributes under one name each, so that the model reads the same for every compiler
// and a compiler without the attribute simply goes without it.
#pragma once

// Asks for a function or lambda to be inlined even where the optimiser would not: the list
// builder's inner steps, which run once per entry.
#if defined(__GNUC__) || defined(__clang__)
#define SABROTA_ALWAYS_INLINE __attribute__((always_inline))
#else
#define SABROTA_ALWAYS_INLINE
#endif
