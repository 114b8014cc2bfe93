// The guard for processors without an x87 unit, built here too: the C
// library's floating-point environment works everywhere.
#include "fpu_guard.h"

#include <gtest/gtest.h>

#include <cfenv>

TEST(CfenvGuard, BoxRunsUnderTheDefaultEnvironmentAndTheCallersComesBack)
{
    std::fesetround(FE_UPWARD);
    std::feraiseexcept(FE_INEXACT);
    save_fpu_state();
    int rounding_during = std::fegetround();
    int flags_during = std::fetestexcept(FE_ALL_EXCEPT);
    restore_fpu_state();
    EXPECT_EQ(rounding_during, FE_TONEAREST);
    EXPECT_EQ(flags_during, 0);
    EXPECT_EQ(std::fegetround(), FE_UPWARD);
    EXPECT_NE(std::fetestexcept(FE_INEXACT), 0);
    std::fesetenv(FE_DFL_ENV);
}
