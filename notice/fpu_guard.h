// The guard that keeps the caller's floating-point state intact across the
// notice box. The processor decides which of notice/fpu_guard_*.cpp and
// notice/simd_control_*.cpp the build uses.
#pragma once

// The x87 save image of 32-bit protected mode: control, status and tag
// words, instruction and operand pointers (28 bytes), then the eight 80-bit
// data registers. One area, shared by every call: not re-entrant.
constexpr int fpu_save_area_size = 108;
extern unsigned char fpu_save_area[fpu_save_area_size];

// Waits for pending floating-point exceptions, saves the whole state, and
// leaves the unit initialised: exceptions masked, round to nearest, full
// precision, empty register stack, clear status.
void save_fpu_state();

// Waits likewise, then reloads the state save_fpu_state saved.
void restore_fpu_state();

// On x86, the SSE control and status register (MXCSR) where the program's
// code uses it: saved and set to its default 0x1F80, and reloaded. Nothing
// where it does not. Called by the x87 guard only.
void save_simd_control();
void restore_simd_control();
