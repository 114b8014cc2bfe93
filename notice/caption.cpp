// The notice's caption, taken from the command line.
#include "notice.h"
#include "win32.h"

#include <cstdlib>
#include <cstring>

void derive_caption(const char *command_line, char (&caption)[notice_caption_capacity])
{
    // strtol's end pointer: after leading digits (with the white space and
    // sign before them), or the whole command line when it has none.
    char *source;
    strtol(command_line, &source, 10);

    const char *last_separator = strrchr(source, PLATFORM_SEPARATOR[0]);
    const char *text = last_separator ? last_separator + 1 : source;

    int length = 0;
    while (length < notice_caption_capacity - 1 && text[length] != '\0') {
        caption[length] = text[length];
        ++length;
    }
    caption[length] = '\0';

    if (length > 0 && caption[length - 1] == ' ')
        caption[--length] = '\0';
    if (length > 0 && caption[length - 1] == '"')
        caption[--length] = '\0';
    if (length == 0)
        strcpy(caption, "Error");
}
