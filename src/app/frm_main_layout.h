#pragma once

#include <array>

#include "ui/form.h"

namespace dustrel::app {

// Every control and menu of the main window, laid out as designed (twips). Built when the
// window loads; the order of construction is the tab order.
struct FrmMainControls {
    explicit FrmMainControls(ui::Form& form);

    // Left panel, visible with every page.
    ui::PictureBox& pic;
    ui::Button& cmdSettings;
    ui::Button& cmdAddCustomExt;
    // The exit-button array: index 0 here, 1 on the results page and 2 on the category page,
    // both below their page's bottom edge.
    std::array<ui::Button*, 3> cmdExit;

    // About page.
    ui::Frame& fraAbout;
    ui::Label& Label5;
    ui::Label& Label6;
    ui::Label& Label8;
    ui::Label& Label10;
    ui::Button& cmdOK;

    // Deleted-files page.
    ui::Frame& Frame1;
    ui::Label& Label3;
    ui::ListView& lstFilesDelete;
    ui::Label& Label19;
    ui::Button& cmdBack2;
    ui::Button& cmdExitReboot;
    ui::Button& cmdExit2;

    // Results page.
    ui::Frame& Frame3;
    ui::Label& Label1;
    ui::Label& Label11;
    ui::Label& lblExt;
    ui::Label& lblPath;
    ui::ProgressBar& PBar;
    ui::ListView& ListFiles;
    ui::Button& cmdCheck;
    ui::Button& cmdClear;
    ui::Button& cmdStopScan;
    ui::Button& cmdBack;
    ui::Button& cmdDelete;

    // Category page.
    ui::Frame& Frame4;
    ui::Label& Label2;
    ui::ListView& lstOptions;
    ui::Button& cmdCheckAll;
    ui::Button& cmdClearAll;
    ui::Button& cmdBack1;
    ui::Button& cmdNext1;

    // Drive page, in front at start.
    ui::Frame& Frame2;
    ui::Label& lblDriveCaption;
    ui::Label& Label16;
    ui::Label& Label17;
    ui::Label& Label18;
    ui::ListView& ListDrive;
    ui::Label& Label12;
    ui::Button& cmdNext;

    // Over the page area while a scan is being stopped.
    ui::PictureBox& picMessage;
    ui::Label& Label13;

    // Below the visible client area: never seen.
    ui::Button& cmdRecycle;

    // Menus.
    ui::MenuItem& mnuFile;
    ui::MenuItem& mnuSettings;
    ui::MenuItem& mnuFile1;
    ui::MenuItem& mnuExit;
    ui::MenuItem& mnuHelp;
    ui::MenuItem& mnuOnline;
    ui::MenuItem& mnuVisit;
    ui::MenuItem& mnuHelpSep1;
    ui::MenuItem& mnuUpdate;
    ui::MenuItem& mnuHelpSep2;
    ui::MenuItem& mnuAbout;
    ui::MenuItem& mnuPopUP;
    ui::MenuItem& mnuPop;
    ui::MenuItem& mnuExit1;
};

}  // namespace dustrel::app
