#include "settings/dialog_style.h"

#include "platform/program_info.h"

namespace dustrel::settings {

void styleDialog(ui::Form& form) {
    form.setCaption(std::wstring(platform::kProgramTitle) + platform::kVersionSuffix);
    form.setIcon(ui::Image::AppIcon);
    form.setClientSize(5055, 2940);
    form.setCentered(true);
    form.setMinimizeBox(false);
    form.setClosesOnEscape(true);
    form.setFont(kDialogFont);
}

ui::Frame& titledFrame(ui::Form& form, std::string name, ui::Rect rect, std::wstring caption) {
    auto& frame = form.add<ui::Frame>(form, std::move(name), rect, std::move(caption));
    frame.setCaptionFont(kDialogTitleFont);
    return frame;
}

}  // namespace dustrel::settings
