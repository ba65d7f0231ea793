#pragma once

#include <string>

namespace dustrel::platform {

// The argument text of a whole command line: what follows the program's name and the blanks
// after it, as it was written. The name ends at the first blank outside quotes.
std::wstring argumentsOf(const std::wstring& commandLine);

}  // namespace dustrel::platform
