// The floating-point guard on x86: the x87 image by fsave and frstor.
#include "fpu_guard.h"

alignas(16) unsigned char fpu_save_area[fpu_save_area_size];

void save_fpu_state()
{
    // fsave is the waiting form (fwait, then fnsave); it initialises the
    // unit once the image is stored.
    asm volatile("fsave %0" : "=m"(fpu_save_area) : : "memory");
    save_simd_control();
}

void restore_fpu_state()
{
    restore_simd_control();
    asm volatile("fwait\n\tfrstor %0" : : "m"(fpu_save_area) : "memory");
}
