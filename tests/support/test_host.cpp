#include "support/test_host.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/utf8.h"

namespace dustrel::testing {

TestHost::~TestHost() {
    if (faulted() && !faultExpected) {
        ADD_FAILURE() << "a handler failed: "
                      << (messageBoxes.empty() ? "" : platform::toUtf8(messageBoxes.back().text));
    }
}

ui::MessageBoxAnswer TestHost::showMessageBox(const std::wstring& text, const std::wstring& caption,
                                              ui::MessageBoxStyle style) {
    using enum ui::MessageBoxAnswer;
    const bool yesNo = style.buttons == ui::MessageBoxButtons::YesNo;
    ui::MessageBoxAnswer answer = yesNo ? yesNoDefault : Ok;
    if (!answers.empty()) {
        answer = answers.front();
        answers.pop_front();
    }
    messageBoxes.push_back({text, caption, style});
    if (onMessageBox) {
        onMessageBox(messageBoxes.back());
    }
    // A script out of step with the boxes is a broken test, not a user's choice.
    if (yesNo ? answer != Yes && answer != No : answer != Ok) {
        throw std::logic_error("scripted answer does not fit the message box's buttons");
    }
    return answer;
}

void TestHost::runModal(ui::Form& form) {
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
    const struct Leave {
        bool& inside;
        ~Leave() { inside = false; }
    } leave{inDoEvents_};
    onDoEvents();
}

std::vector<std::wstring> TestHost::messageTexts() const {
    std::vector<std::wstring> texts;
    for (const auto& box : messageBoxes) {
        texts.push_back(box.text);
    }
    return texts;
}

}  // namespace dustrel::testing
