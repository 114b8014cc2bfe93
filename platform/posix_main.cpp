// The entry of the program on POSIX: Windows enters at WinMain, so main
// records the command line, calls it, and returns its result as the exit
// status.
#include "posix_entry.h"
#include "win32.h"

int main(int argc, char **argv)
{
    keep_arguments(argc, argv);
    return WinMain(nullptr, nullptr, command_tail(), SW_SHOWDEFAULT);
}
