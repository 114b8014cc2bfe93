// The process's command line, rebuilt from the arguments main received.
#include "posix_entry.h"
#include "win32.h"

#include <cstring>

namespace {

// As long as the longest Windows command line, with its NUL.
char command_line[32768];
// Where the arguments after the program's own begin in command_line.
size_t tail_offset;

bool has_white_space(const char *text)
{
    return strpbrk(text, " \t\n\v\f\r") != nullptr;
}

// Appends text to command_line at *length, as far as it fits.
void append(size_t *length, const char *text, size_t text_length)
{
    size_t room = sizeof command_line - 1 - *length;
    if (text_length > room)
        text_length = room;
    memcpy(command_line + *length, text, text_length);
    *length += text_length;
    command_line[*length] = '\0';
}

} // namespace

void keep_arguments(int count, char **values)
{
    size_t length = 0;
    command_line[0] = '\0';
    tail_offset = 0;
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            append(&length, " ", 1);
        if (i == 1)
            tail_offset = length;
        bool quoted = values[i][0] == '\0' || has_white_space(values[i]);
        if (quoted)
            append(&length, "\"", 1);
        append(&length, values[i], strlen(values[i]));
        if (quoted)
            append(&length, "\"", 1);
        if (i == 0)
            tail_offset = length; // no arguments: an empty tail
    }
}

LPSTR command_tail(void) { return command_line + tail_offset; }

LPSTR WINAPI GetCommandLineA(void) { return command_line; }
