#include "ui/ui_host.h"

#include <algorithm>

#include "platform/program_info.h"
#include "ui/form.h"
#include "ui/menu.h"

namespace dustrel::ui {

namespace {

// Enough of a what() to tell what went wrong, on a box that still fits the screen.
constexpr std::size_t kMaxFaultDetail = 400;

}  // namespace

std::wstring faultMessage(const std::exception_ptr& error) {
    std::wstring text = std::wstring(L"An unexpected error stopped ") + platform::kProgramTitle;
    std::string detail;
    if (error) {
        try {
            std::rethrow_exception(error);
        } catch (const std::exception& e) {
            detail = e.what() != nullptr ? e.what() : "";
        } catch (...) {
        }
    }
    if (detail.empty()) {
        return text + L".";
    }
    text += L": ";
    // The library's texts are ASCII; anything else in them would need a code page to be read.
    for (std::size_t i = 0; i < detail.size() && i < kMaxFaultDetail; ++i) {
        const auto byte = static_cast<unsigned char>(detail[i]);
        text += byte >= 0x20 && byte < 0x7F ? static_cast<wchar_t>(byte) : L'?';
    }
    return text;
}

MessageBoxAnswer UiHost::messageBox(const std::wstring& text, const std::wstring& caption,
                                    MessageBoxStyle style) {
    // Nothing is shown once the program has ended.
    const MessageBoxAnswer answer =
        stopped() ? MessageBoxAnswer::Cancel : showMessageBox(text, caption, style);
    resume();
    return answer;
}

void UiHost::showModal(Form& form) {
    if (!stopped()) {
        runModal(form);
    }
    // The dialog may have closed by unloading; the caller holds none of its controls.
    if (!frames_.empty()) {
        std::erase_if(frames_.back().forms,
                      [&form](const auto& entry) { return entry.first == &form; });
    }
    resume();
}

void UiHost::doEvents() {
    if (!stopped()) {
        processMessages();
    }
    resume();
}

void UiHost::popupMenu(Form& form, MenuItem& menu, MenuItem* defaultItem) {
    MenuItem* chosen = stopped() ? nullptr : trackPopupMenu(form, menu, defaultItem);
    resume();
    if (chosen != nullptr) {
        chosen->click();
    }
}

void UiHost::waitFor(const std::function<void()>& work) {
    work();
    resume();
}

void UiHost::raise(Form& form, const std::function<void()>& handler) {
    if (stopped() || !handler) {
        return;
    }
    frames_.emplace_back();
    barrier([&] {
        touched(form);
        handler();
    });
    frames_.pop_back();
    // A handler that raised this one directly would go on with controls the fault's exit took.
    if (faulted_ && !frames_.empty()) {
        throw HandlerAbandoned();
    }
}

void UiHost::touched(const Form& form) {
    if (frames_.empty() || !form.loaded()) {
        return;
    }
    auto& forms = frames_.back().forms;
    const auto it = std::find_if(forms.begin(), forms.end(),
                                 [&form](const auto& entry) { return entry.first == &form; });
    if (it == forms.end()) {
        forms.emplace_back(&form, form.loadCount());
    } else {
        // Loaded again since (a dialog reloads after closing): its new controls are the ones
        // held from now on.
        it->second = form.loadCount();
    }
}

void UiHost::fault(const std::exception_ptr& error) noexcept {
    if (faulted_) {
        return;
    }
    if (error) {
        try {
            std::rethrow_exception(error);
        } catch (const HandlerAbandoned&) {
            return;
        } catch (...) {
        }
    }
    faulted_ = true;
    try {
        (void)showMessageBox(faultMessage(error), platform::kProgramTitle,
                             {MessageBoxButtons::Ok, MessageBoxIcon::Stop});
    } catch (...) {
    }
    try {
        // The unload steps run outside the handler that failed: its forms are theirs to take.
        frames_.emplace_back();
        const struct Leave {
            std::vector<Frame>& frames;
            ~Leave() { frames.pop_back(); }
        } leave{frames_};
        if (programExit_) {
            programExit_();
        }
    } catch (...) {
    }
    try {
        if (!ended()) {
            endProgram();
        }
    } catch (...) {
    }
}

void UiHost::resume() const {
    if (ended()) {
        throw HandlerAbandoned();
    }
    if (frames_.empty()) {
        return;
    }
    for (const auto& [form, load] : frames_.back().forms) {
        if (!form->loaded() || form->loadCount() != load) {
            throw HandlerAbandoned();
        }
    }
}

}  // namespace dustrel::ui
