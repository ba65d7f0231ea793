#pragma once

#include <cstdint>

namespace dustrel::platform {

// What a platform call that can fail reports: the kind of answer, which is what callers decide
// on, and the system's own error code behind it (the Win32 error, registry status or shell
// answer as the system gave it), which is what a message that names the error shows. The code
// is 0 for Ok. Where an implementation refuses by itself, it gives the code the system has for
// that reason (ERROR_INVALID_NAME for a name Win32 cannot take); a status made outside the
// platform from a kind alone carries 0. A call whose status is dropped does not compile; nothing
// in the seam throws.
//
// A status reads as its kind: `status == Status::NotFound`, `switch (status)` and `return
// Status::Ok;` work on kinds, whatever code a status carries.
class [[nodiscard]] Status {
public:
    enum class Kind { Ok, NotFound, AccessDenied, AlreadyExists, Failed };
    static constexpr Kind Ok = Kind::Ok;
    static constexpr Kind NotFound = Kind::NotFound;
    static constexpr Kind AccessDenied = Kind::AccessDenied;
    static constexpr Kind AlreadyExists = Kind::AlreadyExists;
    static constexpr Kind Failed = Kind::Failed;

    constexpr Status(Kind kind, std::uint32_t code = 0) : kind_(kind), code_(code) {}

    constexpr operator Kind() const { return kind_; }
    constexpr Kind kind() const { return kind_; }
    constexpr std::uint32_t code() const { return code_; }

private:
    Kind kind_;
    std::uint32_t code_;
};

constexpr bool ok(Status s) {
    return s.kind() == Status::Ok;
}

}  // namespace dustrel::platform
