#pragma once

namespace dustrel::platform {

// What a platform call that can fail reports. Callers decide on it (a call whose status is
// dropped does not compile); nothing in the seam throws.
enum class [[nodiscard]] Status{
    Ok, NotFound, AccessDenied, AlreadyExists, Failed,
};

inline bool ok(Status s) {
    return s == Status::Ok;
}

}  // namespace dustrel::platform
