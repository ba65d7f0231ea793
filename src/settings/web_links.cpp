#include "settings/web_links.h"

#include "platform/program_info.h"

namespace dustrel::settings {

namespace {

// Nothing is reported when the browser cannot be started: a link is a convenience.
void openPage(platform::Shell& shell, const wchar_t* path) {
    (void)shell.open(vendorAddress(path));
}

}  // namespace

std::wstring vendorAddress(const std::wstring& path) {
    return platform::kVendorSite + path;
}

void OpenHomePage(platform::Shell& shell) {
    openPage(shell, kHomePagePath);
}

void OpenHelpPage(platform::Shell& shell) {
    openPage(shell, kHelpPagePath);
}

void OpenContactPage(platform::Shell& shell) {
    openPage(shell, kContactPagePath);
}

void OpenDownloadPage(platform::Shell& shell) {
    openPage(shell, kDownloadPagePath);
}

void OpenThankYouPage(platform::Shell& shell) {
    openPage(shell, kThankYouPagePath);
}

}  // namespace dustrel::settings
