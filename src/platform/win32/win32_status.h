#pragma once

#include <windows.h>

#include "platform/status.h"

namespace dustrel::platform::win32 {

inline Status::Kind kindOfError(DWORD error) {
    switch (error) {
        case ERROR_SUCCESS:
            return Status::Ok;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_DIRECTORY:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
            return Status::NotFound;
        case ERROR_ACCESS_DENIED:
            return Status::AccessDenied;
        case ERROR_ALREADY_EXISTS:
        case ERROR_FILE_EXISTS:
            return Status::AlreadyExists;
        default:
            return Status::Failed;
    }
}

// The registry's functions answer their error code, the others leave it for GetLastError.
inline Status statusFromError(DWORD error) {
    return Status(kindOfError(error), error);
}

inline Status lastErrorStatus() {
    return statusFromError(GetLastError());
}

}  // namespace dustrel::platform::win32
