// The floating-point guard on processors without an x87 unit: the C
// library's floating-point environment, kept in the one save area, and the
// box run under the default environment.
#include "fpu_guard.h"

#include <cfenv>
#include <cstring>

alignas(std::fenv_t) unsigned char fpu_save_area[fpu_save_area_size];

static_assert(sizeof(std::fenv_t) <= fpu_save_area_size, "the environment must fit the save area");

void save_fpu_state()
{
    std::fenv_t environment;
    std::fegetenv(&environment);
    memcpy(fpu_save_area, &environment, sizeof environment);
    std::fesetenv(FE_DFL_ENV);
}

void restore_fpu_state()
{
    std::fenv_t environment;
    memcpy(&environment, fpu_save_area, sizeof environment);
    std::fesetenv(&environment);
}
