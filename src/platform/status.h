#pragma once

namespace dustrel::platform {

// What a platform call reports. Callers decide on it; nothing in the seam throws.
enum class Status {
    Ok,
    NotFound,
    AccessDenied,
    AlreadyExists,
    Failed,
};

inline bool ok(Status s) {
    return s == Status::Ok;
}

}  // namespace dustrel::platform
