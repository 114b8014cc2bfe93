// libFuzzer target: the caption derived from arbitrary command lines. The
// caption always ends within its 33 characters, is never empty, and is
// either "Error" or a piece of the command line without a separator.
#include "notice.h"

#include "win32.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // A command line is a C string: it ends at the first NUL.
    std::string command_line(reinterpret_cast<const char *>(data), size);
    command_line.resize(strlen(command_line.c_str()));

    char caption[notice_caption_capacity];
    memset(caption, 0x5A, sizeof caption);
    derive_caption(command_line.c_str(), caption);

    size_t length = strnlen(caption, sizeof caption);
    if (length == sizeof caption || length == 0)
        abort();
    if (strcmp(caption, "Error") != 0) {
        if (command_line.find(caption) == std::string::npos)
            abort();
        if (strchr(caption, PLATFORM_SEPARATOR[0]) != nullptr)
            abort();
    }
    return 0;
}
