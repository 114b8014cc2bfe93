// Directory searches on POSIX: readdir filtered by fnmatch, without regard
// to letter case, as Windows file systems match names.
#include "posix_paths.h"
#include "posix_syscalls.h"
#include "win32.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <fnmatch.h>

namespace {

constexpr int search_capacity = 8;

struct search_slot {
    DIR *dir;
    char name_pattern[NAME_MAX + 1];
};

search_slot searches[search_capacity];

DWORD attributes_of(const struct stat &info)
{
    DWORD attributes;
    if (S_ISDIR(info.st_mode))
        attributes = FILE_ATTRIBUTE_DIRECTORY;
    else if (S_ISREG(info.st_mode))
        attributes = FILE_ATTRIBUTE_NORMAL;
    else
        attributes = FILE_ATTRIBUTE_DEVICE; // FIFO, socket, character or block device
    if ((info.st_mode & 0222) == 0 && attributes != FILE_ATTRIBUTE_DEVICE) {
        attributes |= FILE_ATTRIBUTE_READONLY;
        attributes &= ~FILE_ATTRIBUTE_NORMAL;
    }
    return attributes;
}

// Fills data for the entry name of dir. Returns false when the entry has
// gone since readdir delivered it.
bool describe(DIR *dir, const char *name, WIN32_FIND_DATAA *data)
{
    memset(data, 0, sizeof *data);
    memcpy(data->cFileName, name, strlen(name) + 1);
    struct stat info;
    if (posix_calls.fstatat(dirfd(dir), name, &info, 0) == 0) {
        data->dwFileAttributes = attributes_of(info);
    } else if (posix_calls.fstatat(dirfd(dir), name, &info, AT_SYMLINK_NOFOLLOW) == 0) {
        // A link whose target cannot be reached: a dangling link or a loop.
        data->dwFileAttributes = S_ISLNK(info.st_mode) ? FILE_ATTRIBUTE_REPARSE_POINT : attributes_of(info);
    } else if (errno == ENOENT) {
        return false;
    } else {
        // Unknown kind; let whoever uses the entry find out what it is.
        data->dwFileAttributes = FILE_ATTRIBUTE_NORMAL;
        return true;
    }
    data->nFileSizeHigh = static_cast<DWORD>(static_cast<unsigned long long>(info.st_size) >> 32);
    data->nFileSizeLow = static_cast<DWORD>(info.st_size);
    return true;
}

// Delivers the next matching entry of slot into data. Returns false at the
// end (ERROR_NO_MORE_FILES) or on a read error (its error).
bool next_match(search_slot *slot, WIN32_FIND_DATAA *data)
{
    for (;;) {
        errno = 0;
        struct dirent *entry = posix_calls.readdir(slot->dir);
        if (entry == nullptr) {
            if (errno != 0)
                set_last_error_from_errno(errno);
            else
                SetLastError(ERROR_NO_MORE_FILES);
            return false;
        }
        const char *name = entry->d_name;
        if (strcmp(name, ".") == 0 || strcmp(name, "..") == 0)
            continue;
        if (strlen(name) >= sizeof data->cFileName)
            continue; // cannot be named through this interface
        if (fnmatch(slot->name_pattern, name, FNM_CASEFOLD) != 0)
            continue;
        if (describe(slot->dir, name, data))
            return true;
    }
}

} // namespace

HANDLE WINAPI FindFirstFileA(LPCSTR pattern, LPWIN32_FIND_DATAA data)
{
    search_slot *slot = nullptr;
    for (search_slot &candidate : searches) {
        if (candidate.dir == nullptr) {
            slot = &candidate;
            break;
        }
    }
    if (slot == nullptr) {
        SetLastError(ERROR_TOO_MANY_OPEN_FILES);
        return INVALID_HANDLE_VALUE;
    }

    static char directory[PATH_MAX];
    const char *name_pattern;
    if (!split_path(pattern, directory, &name_pattern) || strlen(name_pattern) + 1 > sizeof slot->name_pattern) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return INVALID_HANDLE_VALUE;
    }
    memcpy(slot->name_pattern, name_pattern, strlen(name_pattern) + 1);

    slot->dir = posix_calls.opendir(directory);
    if (slot->dir == nullptr) {
        // A directory that is not there is no search without matches.
        if (errno == ENOENT)
            SetLastError(ERROR_PATH_NOT_FOUND);
        else
            set_last_error_from_errno(errno);
        return INVALID_HANDLE_VALUE;
    }
    if (!next_match(slot, data)) {
        DWORD error = GetLastError();
        posix_calls.closedir(slot->dir);
        slot->dir = nullptr;
        SetLastError(error == ERROR_NO_MORE_FILES ? ERROR_FILE_NOT_FOUND : error);
        return INVALID_HANDLE_VALUE;
    }
    return slot;
}

BOOL WINAPI FindNextFileA(HANDLE search, LPWIN32_FIND_DATAA data)
{
    search_slot *slot = static_cast<search_slot *>(search);
    if (search == INVALID_HANDLE_VALUE || slot == nullptr || slot->dir == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return next_match(slot, data) ? TRUE : FALSE;
}

BOOL WINAPI FindClose(HANDLE search)
{
    search_slot *slot = static_cast<search_slot *>(search);
    if (search == INVALID_HANDLE_VALUE || slot == nullptr || slot->dir == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    posix_calls.closedir(slot->dir);
    slot->dir = nullptr;
    return TRUE;
}
