#pragma once

#ifndef DUSTREL_VENDOR_SITE
#define DUSTREL_VENDOR_SITE L"https://www.example.org/dustrel"
#endif

// Who the program is: every part of it that speaks to the user or the web needs it.
namespace dustrel::platform {

// The caption of every message box that names no other.
inline constexpr const wchar_t* kProgramTitle = L"Dustrel";
// Follows the title in the window captions.
inline constexpr const wchar_t* kVersionSuffix = L" v1.0";
inline constexpr const wchar_t* kVendorSite = DUSTREL_VENDOR_SITE;

}  // namespace dustrel::platform
