// No SSE control register to guard: the program's code on this processor
// does its arithmetic on the x87 unit alone.
#include "fpu_guard.h"

void save_simd_control() {}

void restore_simd_control() {}
