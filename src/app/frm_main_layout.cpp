#include "app/frm_main_layout.h"

#include <string>

#include "platform/program_info.h"

namespace dustrel::app {

using platform::kVendorSite;

namespace {

using ui::Rect;

const ui::Font kDefaultFont{L"Verdana", 8.25, false};
const ui::Font kPageFont{L"Verdana", 9.75, false};
const ui::Font kNoticeFont{L"Verdana", 9.75, true};
const ui::Font kTitleFont{L"Verdana", 12, true};
const ui::Font kAboutFont{L"MS Sans Serif", 8.25, false};
const ui::Font kLinkFont{L"MS Sans Serif", 8.25, false, true};

// Every page shares one place in the window.
constexpr Rect kPageRect{2880, 120, 8530, 6375};

ui::Frame& page(ui::Form& form, std::string name) {
    auto& frame = form.add<ui::Frame>(form, std::move(name), kPageRect);
    frame.setBackColor(ui::kPageBlue);
    form.addPage(frame);
    return frame;
}

// White text on the page colour; `font` unset keeps the container's font.
ui::Label& pageLabel(ui::Form& form, ui::Container& parent, std::string name, Rect rect,
                     std::wstring caption, const ui::Font* font = &kPageFont) {
    auto& label = form.add<ui::Label>(parent, std::move(name), rect, std::move(caption));
    label.setForeColor(ui::kWhite);
    label.setTransparent(true);
    if (font != nullptr) {
        label.setFont(*font);
    }
    return label;
}

ui::Label& linkLabel(ui::Form& form, ui::Container& parent, std::string name, Rect rect,
                     std::wstring caption) {
    auto& label = pageLabel(form, parent, std::move(name), rect, std::move(caption), &kLinkFont);
    label.setMousePointer(ui::MousePointer::Hand);
    return label;
}

ui::Label& noticeLabel(ui::Form& form, ui::Container& parent, std::string name, Rect rect,
                       std::wstring caption) {
    auto& label = pageLabel(form, parent, std::move(name), rect, std::move(caption), &kNoticeFont);
    label.setForeColor(ui::kAmber);
    return label;
}

ui::Button& button(ui::Form& form, ui::Container& parent, std::string name, Rect rect,
                   std::wstring caption) {
    return form.add<ui::Button>(parent, std::move(name), rect, std::move(caption));
}

ui::Button& exitButton(ui::Form& form, ui::Container& parent, int index, Rect rect) {
    auto& exit = button(form, parent, "cmdExit", rect, L"&Exit");
    exit.setIndex(index);
    return exit;
}

ui::ListView& listView(ui::Form& form, ui::Container& parent, std::string name, Rect rect,
                       bool checkBoxes) {
    auto& list = form.add<ui::ListView>(parent, std::move(name), rect, checkBoxes);
    list.setFont(kDefaultFont);
    list.setBackColor(ui::kWhite);
    return list;
}

ui::PictureBox& sidePicture(ui::Form& form) {
    auto& picture = form.add<ui::PictureBox>(form, "pic", Rect{120, 120, 2655, 4305});
    picture.setImage(ui::Image::SidePanel);
    return picture;
}

ui::PictureBox& stopNotice(ui::Form& form) {
    auto& notice = form.add<ui::PictureBox>(form, "picMessage", Rect{4335, 3032, 5500, 550});
    notice.setBackColor(ui::kPageBlue);
    notice.setVisible(false);
    return notice;
}

ui::Button& hiddenButton(ui::Button& button) {
    button.setTabStop(false);
    return button;
}

}  // namespace

FrmMainControls::FrmMainControls(ui::Form& f)
    : pic(sidePicture(f)),
      cmdSettings(button(f, f, "cmdSettings", {120, 4560, 2655, 375}, L"&Settings")),
      cmdAddCustomExt(
          button(f, f, "cmdAddCustomExt", {120, 5055, 2655, 375}, L"&Add Custom Extension")),
      cmdExit{&exitButton(f, f, 0, {120, 5550, 2655, 375}), nullptr, nullptr},

      fraAbout(page(f, "fraAbout")),
      Label5(pageLabel(f, fraAbout, "Label5", {240, 240, 3045, 270}, L"Dustrel v1.0", &kTitleFont)),
      Label6(pageLabel(f, fraAbout, "Label6", {240, 720, 8010, 720},
                       L"Dustrel is an advanced computer optimization tool. It deletes unwanted "
                       L"temporary files from your PC, making it faster than ever before.")),
      Label8(linkLabel(f, fraAbout, "Label8", {4395, 2520, 3855, 255},
                       std::wstring(L"Visit us at ") + kVendorSite)),
      Label10(linkLabel(f, fraAbout, "Label10", {4395, 2880, 3855, 255}, L"Contact Us")),
      cmdOK(button(f, fraAbout, "cmdOK", {7080, 5760, 1215, 375}, L"&OK")),

      Frame1(page(f, "Frame1")),
      Label3(pageLabel(f, Frame1, "Label3", {240, 120, 4965, 240},
                       L"The following junk files were deleted successfully.")),
      lstFilesDelete(listView(f, Frame1, "lstFilesDelete", {240, 840, 8055, 4005}, false)),
      Label19(noticeLabel(f, Frame1, "Label19", {240, 4920, 8055, 600},
                          L"It is recommended to reboot the computer. Please click on the 'Exit "
                          L"With Reboot' button to reboot the system.")),
      cmdBack2(button(f, Frame1, "cmdBack2", {240, 5760, 1035, 375}, L"&Back")),
      cmdExitReboot(
          button(f, Frame1, "cmdExitReboot", {3960, 5760, 2115, 375}, L"E&xit With Reboot")),
      cmdExit2(button(f, Frame1, "cmdExit2", {6180, 5760, 2115, 375}, L"Exit &Without Reboot")),

      Frame3(page(f, "Frame3")),
      Label1(pageLabel(f, Frame3, "Label1", {240, 240, 5865, 240},
                       L"Select the files you would like to delete from the below list")),
      Label11(pageLabel(f, Frame3, "Label11", {240, 720, 1230, 195}, L"Searching for:", nullptr)),
      lblExt(pageLabel(f, Frame3, "lblExt", {1560, 720, 6735, 195}, L"", nullptr)),
      lblPath(pageLabel(f, Frame3, "lblPath", {240, 1080, 8055, 195}, L"", nullptr)),
      PBar(f.add<ui::ProgressBar>(Frame3, "PBar", Rect{240, 1680, 8055, 270})),
      ListFiles(listView(f, Frame3, "ListFiles", {240, 2040, 8055, 3045}, true)),
      cmdCheck(button(f, Frame3, "cmdCheck", {2400, 5160, 1215, 375}, L"Check &All")),
      cmdClear(button(f, Frame3, "cmdClear", {3720, 5160, 1215, 375}, L"Clear A&ll")),
      cmdStopScan(button(f, Frame3, "cmdStopScan", {5040, 5160, 1215, 375}, L"Stop Scan")),
      cmdBack(button(f, Frame3, "cmdBack", {240, 5760, 1215, 375}, L"&Back")),
      cmdDelete(button(f, Frame3, "cmdDelete", {7080, 5760, 1215, 375}, L"&Delete")),

      Frame4(page(f, "Frame4")),
      Label2(pageLabel(f, Frame4, "Label2", {120, 240, 8235, 600},
                       L"Select the kind of files you want to delete from your computer. You can "
                       L"also add more file types to existing list.")),
      lstOptions(listView(f, Frame4, "lstOptions", {240, 960, 8055, 3615}, true)),
      cmdCheckAll(button(f, Frame4, "cmdCheckAll", {3000, 4680, 1215, 375}, L"&Check All")),
      cmdClearAll(button(f, Frame4, "cmdClearAll", {4440, 4680, 1215, 375}, L"&UnCheck All")),
      cmdBack1(button(f, Frame4, "cmdBack1", {240, 5760, 1215, 375}, L"Bac&k")),
      cmdNext1(button(f, Frame4, "cmdNext1", {7080, 5760, 1215, 375}, L"Ne&xt")),

      Frame2(page(f, "Frame2")),
      lblDriveCaption(pageLabel(f, Frame2, "lblDriveCaption", {120, 240, 8235, 480},
                                L"Select the hard disk drive that you wish to check for deleting "
                                L"unwanted files from your computer.")),
      Label16(pageLabel(f, Frame2, "Label16", {120, 785, 8235, 480},
                        L"Dustrel removes the \"clutter\" and unwanted temporary files from your "
                        L"PC's hard disk. This creates more space on your hard disk.")),
      Label17(pageLabel(f, Frame2, "Label17", {120, 1330, 8235, 480},
                        L"Dustrel gives you the option to choose the hard disk drive that you "
                        L"wish to clean.")),
      Label18(pageLabel(f, Frame2, "Label18", {120, 1875, 8235, 480},
                        L"The hard disk drives on your PC are listed below. Select the hard disk "
                        L"that you wish to check for deleting unwanted files from your computer.")),
      ListDrive(listView(f, Frame2, "ListDrive", {120, 2640, 8235, 1875}, true)),
      Label12(pageLabel(f, Frame2, "Label12", {120, 4680, 8235, 495},
                        L"We recommend that you save and shut down all other programs while "
                        L"Dustrel is running.")),
      cmdNext(button(f, Frame2, "cmdNext", {7080, 5760, 1215, 375}, L"&Next")),

      picMessage(stopNotice(f)),
      Label13(noticeLabel(f, picMessage, "Label13", {30, 120, 5460, 240},
                          L"Please wait... Dustrel is stopping scan. ")),

      cmdRecycle(
          hiddenButton(button(f, f, "cmdRecycle", {1200, 8760, 1185, 375}, L"&Recycle Bin"))),

      mnuFile(f.addMenu("mnuFile", L"&File")),
      mnuSettings(mnuFile.add("mnuSettings", L"&Settings")),
      mnuFile1(mnuFile.addSeparator("mnuFile1")),
      mnuExit(mnuFile.add("mnuExit", L"&Exit")),
      mnuHelp(f.addMenu("mnuHelp", L"&Help")),
      mnuOnline(mnuHelp.add("mnuOnline", L"&Online Help")),
      mnuVisit(mnuHelp.add("mnuVisit", L"&Visit Us Online")),
      mnuHelpSep1(mnuHelp.addSeparator("mnuHelpSep1")),
      mnuUpdate(mnuHelp.add("mnuUpdate", L"Check for Software &Update")),
      mnuHelpSep2(mnuHelp.addSeparator("mnuHelpSep2")),
      mnuAbout(mnuHelp.add("mnuAbout", L"&About Software")),
      mnuPopUP(f.addMenu("mnuPopUP", L"PopUp")),
      mnuPop(mnuPopUP.add("mnuPop", L"Show")),
      mnuExit1(mnuPopUP.add("mnuExit1", L"Exit")) {
    cmdExit[1] = &hiddenButton(exitButton(f, Frame3, 1, {4920, 11850, 1035, 375}));
    cmdExit[2] = &hiddenButton(exitButton(f, Frame4, 2, {2295, 10080, 975, 375}));

    fraAbout.setFont(kAboutFont);

    for (const wchar_t* header : {L"Name", L"Type", L"Total Size", L"Free Size"}) {
        ListDrive.addColumn(header, 2000);
    }
    lstOptions.addColumn(L"Options", 6000);
    ListFiles.addColumn(L"Files Found", 8000);
    // A header click turns the order round, so the first click sorts A to Z.
    ListFiles.setSortOrder(ui::SortOrder::Descending);
    lstFilesDelete.addColumn(L"Files Deleted", 8000);

    // Enter goes on through the wizard; on the results page it presses nothing it is not on.
    cmdNext.setDefault(true);
    cmdNext1.setDefault(true);
    // Each list is named by the text above it, the results list not by the scan's labels.
    Label18.setLabelFor(ListDrive);
    Label2.setLabelFor(lstOptions);
    Label1.setLabelFor(ListFiles);
    Label3.setLabelFor(lstFilesDelete);

    cmdNext.setEnabled(false);
    cmdDelete.setEnabled(false);
    cmdStopScan.setEnabled(false);
    cmdRecycle.setEnabled(false);
    cmdRecycle.setVisible(false);

    for (ui::MenuItem* hidden :
         {&mnuSettings, &mnuFile1, &mnuHelpSep1, &mnuUpdate, &mnuHelpSep2, &mnuPopUP}) {
        hidden->setVisible(false);
    }
}

}  // namespace dustrel::app
