#include "support/test_host.h"

#include <stdexcept>

namespace dustrel::testing {

namespace {

bool isYesNo(ui::MessageBoxStyle style) {
    return style.buttons == ui::MessageBoxButtons::YesNo;
}

bool canAnswer(ui::MessageBoxStyle style, ui::MessageBoxAnswer answer) {
    return isYesNo(style)
               ? answer == ui::MessageBoxAnswer::Yes || answer == ui::MessageBoxAnswer::No
               : answer == ui::MessageBoxAnswer::Ok;
}

}  // namespace

ui::MessageBoxAnswer TestHost::showMessageBox(const std::wstring& text, const std::wstring& caption,
                                              ui::MessageBoxStyle style) {
    ui::MessageBoxAnswer answer = isYesNo(style) ? yesNoDefault : ui::MessageBoxAnswer::Ok;
    if (!answers.empty()) {
        answer = answers.front();
        answers.pop_front();
    }
    messageBoxes.push_back({text, caption, style, answer});
    if (onMessageBox) {
        onMessageBox(messageBoxes.back());
    }
    // A script out of step with the boxes is a broken test, not a user's choice.
    if (!canAnswer(style, answer)) {
        throw std::logic_error("scripted answer does not fit the message box's buttons");
    }
    return answer;
}

void TestHost::runModal(ui::Form& form) {
    modalForms.push_back(&form);
    form.show();
    if (onModal) {
        onModal(form);
    }
    if (form.loaded() && form.visible()) {
        form.hide();
    }
}

void TestHost::processMessages() {
    ++doEventsCount;
    if (inDoEvents_ || !onDoEvents) {
        return;
    }
    inDoEvents_ = true;
    try {
        onDoEvents();
    } catch (...) {
        inDoEvents_ = false;
        throw;
    }
    inDoEvents_ = false;
}

void TestHost::refresh(ui::Form& form) {
    refreshes.push_back(&form);
    if (onRefresh) {
        onRefresh(form);
    }
}

ui::MenuItem* TestHost::trackPopupMenu(ui::Form& form, ui::MenuItem& menu,
                                       ui::MenuItem* defaultItem) {
    popups.push_back({&form, &menu, defaultItem});
    return onPopup ? onPopup(popups.back()) : nullptr;
}

bool TestHost::addTrayIcon(ui::PictureBox& hook, const std::wstring& tip) {
    trayAdds.push_back({&hook, tip});
    trayShown_ = true;
    trayTip_ = tip;
    return true;
}

void TestHost::removeTrayIcon(ui::PictureBox& hook) {
    trayRemoves.push_back({&hook, {}});
    trayShown_ = false;
    trayTip_.clear();
}

std::vector<std::wstring> TestHost::messageTexts() const {
    std::vector<std::wstring> texts;
    texts.reserve(messageBoxes.size());
    for (const auto& box : messageBoxes) {
        texts.push_back(box.text);
    }
    return texts;
}

}  // namespace dustrel::testing
