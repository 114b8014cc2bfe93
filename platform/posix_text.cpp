// Text operations on POSIX: Win32's formatting and comparison, by the C
// library.
#include "win32.h"

#include <cstdarg>
#include <cstdio>
#include <strings.h>

int WINAPIV wsprintfA(LPSTR buffer, LPCSTR format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    int length = vsnprintf(buffer, 1025, format, arguments);
    va_end(arguments);
    return length > 1024 ? 1024 : length;
}

int WINAPI lstrcmpiA(LPCSTR first, LPCSTR second) { return strcasecmp(first, second); }
