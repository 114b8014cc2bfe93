// Working directory, directory creation and file removal on POSIX.
#include "posix_syscalls.h"
#include "win32.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>

DWORD WINAPI GetCurrentDirectoryA(DWORD limit, LPSTR buffer)
{
    // Read into a buffer of our own, so that a directory that does not fit
    // in the caller's leaves the caller's untouched and still tells its size.
    static char whole[PATH_MAX];
    if (posix_calls.getcwd(whole, sizeof whole) == nullptr) {
        set_last_error_from_errno(errno);
        return 0;
    }
    size_t length = strlen(whole);
    if (length + 1 > limit) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return static_cast<DWORD>(length + 1);
    }
    memcpy(buffer, whole, length + 1);
    return static_cast<DWORD>(length);
}

BOOL WINAPI SetCurrentDirectoryA(LPCSTR path)
{
    if (posix_calls.chdir(path) != 0) {
        set_last_error_from_errno(errno);
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES)
{
    if (posix_calls.mkdirat(AT_FDCWD, path, 0777) != 0) {
        set_last_error_from_errno(errno);
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI DeleteFileA(LPCSTR name)
{
    // unlink refuses a directory (EISDIR on Linux), as DeleteFileA does.
    if (posix_calls.unlinkat(AT_FDCWD, name, 0) != 0) {
        set_last_error_from_errno(errno);
        return FALSE;
    }
    return TRUE;
}
