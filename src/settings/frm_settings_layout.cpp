#include "settings/frm_settings_layout.h"

#include "settings/dialog_style.h"

namespace dustrel::settings {

namespace {

using ui::Rect;

const ui::Font kListFont{L"Verdana", 9.75, false};
constexpr ui::Color kTitleColor{4, 64, 115};

ui::PictureBox& hiddenPicture(ui::Form& form) {
    auto& picture = form.add<ui::PictureBox>(form, "picHook", Rect{2880, 3000, 1245, 525});
    picture.setVisible(false);
    picture.setTabStop(false);
    return picture;
}

ui::CheckBox& hiddenCheckBox(ui::Form& form) {
    auto& box = form.add<ui::CheckBox>(form, "chkSysTray", Rect{3000, 120, 1215, 375}, L"SysTray");
    box.setVisible(false);
    box.setTabStop(false);
    return box;
}

ui::Frame& settingsFrame(ui::Form& form) {
    auto& frame = titledFrame(form, "Frame1", Rect{120, 120, 4815, 2655}, L"Settings");
    frame.setForeColor(kTitleColor);
    return frame;
}

ui::ComboBox& logAgeList(ui::Form& form, ui::Container& parent) {
    auto& list = form.add<ui::ComboBox>(parent, "cboLogFiles", Rect{2160, 1440, 2415, 360});
    list.setFont(kListFont);
    return list;
}

}  // namespace

FrmSettingsControls::FrmSettingsControls(ui::Form& f)
    : picHook(hiddenPicture(f)),
      chkSysTray(hiddenCheckBox(f)),
      Frame1(settingsFrame(f)),
      cmdLogFiles(
          f.add<ui::Button>(Frame1, "cmdLogFiles", Rect{240, 2160, 1935, 375}, L"Open Log Folder")),
      fraSettings1(
          f.add<ui::Frame>(Frame1, "fraSettings1", Rect{240, 240, 4335, 975}, L"Start Up Options")),
      optDontRun(f.add<ui::OptionButton>(fraSettings1, "optDontRun", Rect{240, 550, 3615, 255},
                                         L"Do Not Run At Start Up")),
      optRun(f.add<ui::OptionButton>(fraSettings1, "optRun", Rect{240, 300, 1815, 255},
                                     L"Run At Start Up")),
      cboLogFiles(logAgeList(f, Frame1)),
      Label1(f.add<ui::Label>(Frame1, "Label1", Rect{480, 1560, 1560, 195}, L"Keep Log Files For")),
      Command1(f.add<ui::Button>(Frame1, "Command1", Rect{3000, 2160, 1575, 375}, L"Exit")) {
    // The window opens with "Do Not Run At Start Up" chosen; selecting it here raises nothing,
    // since no handler is attached yet.
    optDontRun.setValue(true);
    Label1.setLabelFor(cboLogFiles);
}

}  // namespace dustrel::settings
