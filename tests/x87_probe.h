// Reading the x87 unit's environment and MXCSR in tests, leaving both as
// they were.
#pragma once

struct fpu_environment {
    unsigned short control, status, tag;
    unsigned mxcsr; // zero where the processor has none the program uses
};

inline fpu_environment read_fpu_environment()
{
    fpu_environment result{0, 0, 0, 0};
#if defined(__x86_64__) || defined(__i386__)
    unsigned char environment[28];
    asm volatile("fnstenv %0" : "=m"(environment));
    result.control = static_cast<unsigned short>(environment[0] | environment[1] << 8);
    result.status = static_cast<unsigned short>(environment[4] | environment[5] << 8);
    result.tag = static_cast<unsigned short>(environment[8] | environment[9] << 8);
    // fnstenv masks every exception: load the environment back as it was.
    asm volatile("fldenv %0" : : "m"(environment));
#endif
#if defined(__x86_64__)
    asm volatile("stmxcsr %0" : "=m"(result.mxcsr));
#endif
    return result;
}
