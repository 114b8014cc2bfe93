#include "ui_stand_in.h"

#include "win32.h"

std::string stand_in_command_line = "\"" PLATFORM_SEPARATOR "opt" PLATFORM_SEPARATOR "zovik-install\"";
std::vector<shown_box> shown_boxes;

LPSTR WINAPI GetCommandLineA(void) { return stand_in_command_line.data(); }

int WINAPI MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT style)
{
    shown_box box{text, caption, style, 0, 0, 0, 0};
#if defined(__x86_64__) || defined(__i386__)
    unsigned char environment[28];
    asm volatile("fnstenv %0" : "=m"(environment));
    box.x87_control = static_cast<unsigned short>(environment[0] | environment[1] << 8);
    box.x87_status = static_cast<unsigned short>(environment[4] | environment[5] << 8);
    box.x87_tag = static_cast<unsigned short>(environment[8] | environment[9] << 8);
    // fnstenv masks all exceptions; put the control word back as it was.
    asm volatile("fldenv %0" : : "m"(environment));
#endif
#if defined(__x86_64__)
    asm volatile("stmxcsr %0" : "=m"(box.mxcsr));
#endif
    shown_boxes.push_back(box);
    return IDOK;
}
