// The thread's last Win32 error, and the translation of errno into it.
#include "posix_syscalls.h"
#include "win32.h"

#include <cerrno>

namespace {

thread_local DWORD last_error = ERROR_SUCCESS;

} // namespace

DWORD WINAPI GetLastError(void) { return last_error; }

void WINAPI SetLastError(DWORD error) { last_error = error; }

void set_last_error_from_errno(int error)
{
    DWORD code;
    switch (error) {
    case 0: code = ERROR_SUCCESS; break;
    case ENOENT: code = ERROR_FILE_NOT_FOUND; break;
    case ENOTDIR: code = ERROR_PATH_NOT_FOUND; break;
    case EACCES:
    case EPERM: code = ERROR_ACCESS_DENIED; break;
    case EROFS: code = ERROR_WRITE_PROTECT; break;
    case EEXIST: code = ERROR_ALREADY_EXISTS; break;
    case EISDIR: code = ERROR_DIRECTORY; break;
    case ENOTEMPTY: code = ERROR_DIR_NOT_EMPTY; break;
    case ENAMETOOLONG: code = ERROR_FILENAME_EXCED_RANGE; break;
    case ELOOP: code = ERROR_CANT_RESOLVE_FILENAME; break;
    case ENOSPC:
    case EDQUOT: code = ERROR_DISK_FULL; break;
    case EMFILE:
    case ENFILE: code = ERROR_TOO_MANY_OPEN_FILES; break;
    case ENOMEM: code = ERROR_NOT_ENOUGH_MEMORY; break;
    case EBADF: code = ERROR_INVALID_HANDLE; break;
    case EINVAL: code = ERROR_INVALID_PARAMETER; break;
    case EBUSY:
    case ETXTBSY: code = ERROR_SHARING_VIOLATION; break;
    case EOPNOTSUPP: code = ERROR_NOT_SUPPORTED; break;
    default: code = ERROR_IO_DEVICE; break;
    }
    SetLastError(code);
}
