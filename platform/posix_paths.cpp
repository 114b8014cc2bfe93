#include "posix_paths.h"

#include <cstring>

bool split_path(const char *path, char (&directory)[PATH_MAX], const char **base)
{
    const char *separator = strrchr(path, '/');
    if (separator == nullptr) {
        strcpy(directory, ".");
        *base = path;
        return true;
    }
    size_t length = static_cast<size_t>(separator - path);
    if (length + 1 > sizeof directory)
        return false;
    if (length == 0) {
        strcpy(directory, "/");
    } else {
        memcpy(directory, path, length);
        directory[length] = '\0';
    }
    *base = separator + 1;
    return true;
}
