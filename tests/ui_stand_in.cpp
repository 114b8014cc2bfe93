#include "ui_stand_in.h"
#include "x87_probe.h"

#include "win32.h"

std::string stand_in_command_line = "\"" PLATFORM_SEPARATOR "opt" PLATFORM_SEPARATOR "zovik-install\"";
std::vector<shown_box> shown_boxes;

LPSTR WINAPI GetCommandLineA(void) { return stand_in_command_line.data(); }

int WINAPI MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT style)
{
    fpu_environment during = read_fpu_environment();
    shown_boxes.push_back({text, caption, style, during.control, during.status, during.tag, during.mxcsr});
    return IDOK;
}
