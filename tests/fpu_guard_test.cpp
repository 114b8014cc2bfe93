// The floating-point guard: the caller's x87 registers, control word and
// MXCSR survive the notice, and the box runs with the unit initialised.
#include "fpu_guard.h"
#include "notice.h"
#include "x87_probe.h"
#ifndef _WIN32
#include "ui_stand_in.h"
#endif

#include <gtest/gtest.h>

#include <array>
#include <cstring>

namespace {

using x87_image = std::array<unsigned char, fpu_save_area_size>;

constexpr unsigned short caller_control = 0x0A72; // round up, 53 bits, three exceptions unmasked
constexpr unsigned caller_mxcsr = 0xFF80;         // round toward zero, flush to zero
// Exactly representable, so loading them rounds nothing.
const long double caller_values[3] = {1.5L, -2.25L, 0x1.123456789abcdefp+1000L};

// Puts the caller's state in place: a non-default control word and three
// values on the register stack. The compiler keeps no value of its own on
// the x87 stack across these calls.
__attribute__((noinline)) void load_caller_state()
{
    asm volatile("fninit\n\t"
                 "fldcw %0\n\t"
                 "fldt %1\n\t"
                 "fldt %2\n\t"
                 "fldt %3" ::"m"(caller_control),
                 "m"(caller_values[0]), "m"(caller_values[1]), "m"(caller_values[2]));
#if defined(__x86_64__)
    asm volatile("ldmxcsr %0" ::"m"(caller_mxcsr));
#endif
}

// The whole x87 state, left in place.
__attribute__((noinline)) x87_image snapshot()
{
    x87_image image;
    asm volatile("fnsave %0\n\tfrstor %0" : "+m"(image));
    return image;
}

// Pops the three values load_caller_state pushed and the default control
// state comes back, so that the rest of the test runs normally.
__attribute__((noinline)) std::array<long double, 3> pop_caller_state()
{
    std::array<long double, 3> values;
    asm volatile("fstpt %0\n\tfstpt %1\n\tfstpt %2\n\tfninit" : "=m"(values[0]), "=m"(values[1]), "=m"(values[2]));
#if defined(__x86_64__)
    unsigned default_mxcsr = 0x1F80;
    asm volatile("ldmxcsr %0" ::"m"(default_mxcsr));
#endif
    return values;
}

__attribute__((noinline)) unsigned read_mxcsr()
{
    unsigned value = 0;
#if defined(__x86_64__)
    asm volatile("stmxcsr %0" : "=m"(value));
#endif
    return value;
}

TEST(FpuGuard, SaveLeavesTheUnitInitialisedAndRestoreBringsTheCallerBack)
{
    load_caller_state();
    x87_image before = snapshot();
    save_fpu_state();
    fpu_environment during = read_fpu_environment();
    restore_fpu_state();
    x87_image after = snapshot();
    unsigned mxcsr_after = read_mxcsr();
    std::array<long double, 3> values = pop_caller_state();

    EXPECT_EQ(during.control, 0x037F); // masked, nearest, 64 bits
    EXPECT_EQ(during.status, 0);
    EXPECT_EQ(during.tag, 0xFFFF); // every register empty
#if defined(__x86_64__)
    EXPECT_EQ(during.mxcsr, 0x1F80u);
    EXPECT_EQ(mxcsr_after, caller_mxcsr);
#endif
    EXPECT_TRUE(before == after) << "the x87 image changed across save and restore";
    EXPECT_EQ(values[0], caller_values[2]);
    EXPECT_EQ(values[2], caller_values[0]);
    (void)mxcsr_after;
}

// Through the notice itself. On Windows the box is the real one (which
// returns at once where there is no display), so what the unit looked
// like during it is seen only through the stand-in elsewhere.
TEST(FpuGuard, CallerStateSurvivesTheNoticeAndTheBoxRunsInitialised)
{
#ifndef _WIN32
    shown_boxes.clear();
#endif
    load_caller_state();
    x87_image before = snapshot();
    show_notice("ZOVIK successfully installed!");
    x87_image after = snapshot();
    unsigned mxcsr_after = read_mxcsr();
    std::array<long double, 3> values = pop_caller_state();

    EXPECT_TRUE(before == after) << "the x87 image changed across the notice";
    EXPECT_EQ(before[0] | before[1] << 8, caller_control);
    EXPECT_EQ(values[0], caller_values[2]); // the last pushed is on top
    EXPECT_EQ(values[1], caller_values[1]);
    EXPECT_EQ(values[2], caller_values[0]);
#if defined(__x86_64__)
    EXPECT_EQ(mxcsr_after, caller_mxcsr);
#endif
    (void)mxcsr_after;
#ifndef _WIN32
    ASSERT_EQ(shown_boxes.size(), 1u);
    EXPECT_EQ(shown_boxes[0].x87_control, 0x037F); // masked, nearest, 64 bits
    EXPECT_EQ(shown_boxes[0].x87_status, 0);
    EXPECT_EQ(shown_boxes[0].x87_tag, 0xFFFF); // every register empty
#if defined(__x86_64__)
    EXPECT_EQ(shown_boxes[0].mxcsr, 0x1F80u);
#endif
#endif
}

TEST(FpuGuard, EveryNoticeUsesTheSameSaveAreaAndRestoresItsOwnCaller)
{
    for (int round = 0; round < 3; ++round) {
        load_caller_state();
        x87_image before = snapshot();
        show_warning("again");
        x87_image after = snapshot();
        pop_caller_state();
        EXPECT_TRUE(before == after) << "round " << round;
        EXPECT_EQ(memcmp(fpu_save_area, before.data(), 2), 0); // the control word, as saved
    }
}

} // namespace
