// How the POSIX entry hands its arguments to GetCommandLineA.
#pragma once

#include "win32.h"

// Records the arguments main received as the process's command line.
void keep_arguments(int count, char **values);

// The command line after the program's name and one space, as WinMain
// receives it on Windows.
LPSTR command_tail(void);
