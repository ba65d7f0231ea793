#pragma once

#include <string>

#include "platform/shell.h"

namespace dustrel::settings {

// The pages of the vendor's web site, each opened in the default browser.
inline constexpr const wchar_t* kHomePagePath = L"/";
inline constexpr const wchar_t* kHelpPagePath = L"/dustrel-help";
inline constexpr const wchar_t* kContactPagePath = L"/contact-dustrel.html";
inline constexpr const wchar_t* kDownloadPagePath = L"/download-dustrel.html";
inline constexpr const wchar_t* kThankYouPagePath = L"/thankyou-for-using-dustrel.php";

// The vendor's site followed by `path`.
std::wstring vendorAddress(const std::wstring& path);

void OpenHomePage(platform::Shell& shell);
void OpenHelpPage(platform::Shell& shell);
void OpenContactPage(platform::Shell& shell);
void OpenDownloadPage(platform::Shell& shell);
void OpenThankYouPage(platform::Shell& shell);

}  // namespace dustrel::settings
