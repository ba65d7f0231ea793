#pragma once

#include <string>
#include <string_view>

namespace dustrel::platform {

// UTF-8 bytes of a wide text, whether wchar_t holds UTF-16 (Windows) or UTF-32. A surrogate
// without its partner, which Windows allows in names, becomes U+FFFD.
std::string toUtf8(std::wstring_view text);

}  // namespace dustrel::platform
