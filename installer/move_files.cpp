// Moving the files that match a pattern into a subdirectory of the root.
#include "installer.h"

#include <cstring>

namespace {

// Appends text at the end of dest_path; false, with dest_path unchanged,
// when it does not fit.
bool append_to_dest(char *end, const char *text)
{
    size_t room = static_cast<size_t>(dest_path + dest_path_capacity - end);
    size_t length = strlen(text);
    if (length + 1 > room)
        return false;
    memcpy(end, text, length + 1);
    return true;
}

// Windows matches a pattern against the short 8.3 name of a file as well
// as its own, so "*.lib" also delivers "zovik.libx" (short name
// ZOVIK~1.LIB). A name is moved only when it ends, without regard to case,
// in the text that follows the pattern's leading '*'.
bool long_name_matches(const char *pattern, const char *name)
{
    const char *tail = pattern + 1;
    size_t name_length = strlen(name), tail_length = strlen(tail);
    return name_length >= tail_length && lstrcmpiA(name + name_length - tail_length, tail) == 0;
}

// Entries that are not files to move: directories and, where the platform
// reports them, devices, FIFOs and sockets.
bool is_file(const WIN32_FIND_DATAA &entry)
{
    return (entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
}

// Copies the entry to dest_path and deletes the source once the copy is
// safe. A source that cannot be deleted still counts as moved.
bool move_entry(const WIN32_FIND_DATAA &entry)
{
    if (!append_to_dest(dest_tail, entry.cFileName))
        return false;
    if (!CopyFileA(entry.cFileName, dest_path, FALSE))
        return false;
    DeleteFileA(entry.cFileName);
    return true;
}

} // namespace

int move_matching_files(const char *pattern, const char *subdirectory)
{
    dest_path[0] = '\0';
    if (!append_to_dest(dest_path, install_root) || !append_to_dest(dest_path + strlen(dest_path), subdirectory))
        return move_directory_unreadable;

    if (!SetCurrentDirectoryA(dest_path))
        CreateDirectoryA(dest_path, nullptr);
    // Bare names below are resolved in the working directory: without it
    // the enumeration would read another directory.
    if (!SetCurrentDirectoryA(working_dir))
        return move_directory_unreadable;

    char *end = dest_path + strlen(dest_path);
    if (!append_to_dest(end, PLATFORM_SEPARATOR))
        return move_directory_unreadable;
    dest_tail = end + strlen(PLATFORM_SEPARATOR);

    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA(pattern, &entry);
    if (search == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND ? 0 : move_directory_unreadable;

    int not_moved = 0;
    do {
        if (is_file(entry) && long_name_matches(pattern, entry.cFileName) && !move_entry(entry))
            ++not_moved;
    } while (FindNextFileA(search, &entry));
    bool read_to_end = GetLastError() == ERROR_NO_MORE_FILES;
    FindClose(search);
    return read_to_end ? not_moved : move_directory_unreadable;
}
