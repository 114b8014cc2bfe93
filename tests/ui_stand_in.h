// A stand-in for the user's side of the platform (GetCommandLineA and
// MessageBoxA): tests set the command line and read back every box shown,
// with the floating-point state the box ran under.
#pragma once

#include <string>
#include <vector>

struct shown_box {
    std::string text;
    std::string caption;
    unsigned style;
    // The x87 environment (control, status and tag words) and MXCSR while
    // the box was up; zero where the processor has none.
    unsigned short x87_control, x87_status, x87_tag;
    unsigned mxcsr;
};

extern std::string stand_in_command_line;
extern std::vector<shown_box> shown_boxes;
