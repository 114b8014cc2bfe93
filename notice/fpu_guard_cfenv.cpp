// The floating-point guard on processors without an x87 unit: the C
// library's floating-point environment, the box run under the default one.
#include "fpu_guard.h"

#include <cfenv>

unsigned char fpu_save_area[fpu_save_area_size];

namespace {

std::fenv_t environment_save_area;

} // namespace

void save_fpu_state()
{
    std::fegetenv(&environment_save_area);
    std::fesetenv(FE_DFL_ENV);
}

void restore_fpu_state() { std::fesetenv(&environment_save_area); }

void save_simd_control() {}

void restore_simd_control() {}
