// The run: the program's entry, the two moves, and the closing notice.
#include "installer.h"
#include "notice.h"

#include <cstring>

namespace {

const char success_text[] = "ZOVIK successfully installed!";
const char unreadable_text[] = "ZOVIK installation failed: the current directory could not be read.";

// As large as wsprintfA may write.
char incomplete_text[1025];

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    DWORD length = GetCurrentDirectoryA(working_dir_read_limit, working_dir);
    if (length == 0 || length >= working_dir_read_limit) {
        // Without the directory every destination would be rooted wrongly.
        show_warning(unreadable_text);
        return 1;
    }
    memcpy(install_root, working_dir, length + 1);

    int headers = move_matching_files("*.h", PLATFORM_SEPARATOR "INCLUDE");
    int libraries = move_matching_files("*.lib", PLATFORM_SEPARATOR "LIB");

    if (headers == move_directory_unreadable || libraries == move_directory_unreadable) {
        show_warning(unreadable_text);
        return 1;
    }
    int not_moved = headers + libraries;
    if (not_moved > 0) {
        wsprintfA(incomplete_text, "ZOVIK installation incomplete: %d %s could not be moved.", not_moved,
                  not_moved == 1 ? "file" : "files");
        show_warning(incomplete_text);
        return 1;
    }
    show_notice(success_text);
    return 0;
}
