// MXCSR, on processors whose compiled code does its arithmetic in SSE.
#include "fpu_guard.h"

namespace {

unsigned int mxcsr_save_area;

} // namespace

void save_simd_control()
{
    unsigned int default_mxcsr = 0x1F80; // all exceptions masked, round to nearest
    asm volatile("stmxcsr %0\n\tldmxcsr %1" : "=m"(mxcsr_save_area) : "m"(default_mxcsr) : "memory");
}

void restore_simd_control() { asm volatile("ldmxcsr %0" : : "m"(mxcsr_save_area) : "memory"); }
