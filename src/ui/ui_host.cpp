#include "ui/ui_host.h"

#include <algorithm>

#include "ui/form.h"
#include "ui/menu.h"

namespace dustrel::ui {

MessageBoxAnswer UiHost::messageBox(const std::wstring& text, const std::wstring& caption,
                                    MessageBoxStyle style) {
    // Nothing is shown once the program has ended.
    const MessageBoxAnswer answer =
        ended() ? MessageBoxAnswer::Cancel : showMessageBox(text, caption, style);
    resume();
    return answer;
}

void UiHost::showModal(Form& form) {
    if (!ended()) {
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
    if (!ended()) {
        processMessages();
    }
    resume();
}

void UiHost::popupMenu(Form& form, MenuItem& menu, MenuItem* defaultItem) {
    MenuItem* chosen = ended() ? nullptr : trackPopupMenu(form, menu, defaultItem);
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
    if (ended() || !handler) {
        return;
    }
    frames_.emplace_back();
    touched(form);
    try {
        handler();
    } catch (const HandlerAbandoned&) {
        // The wait that threw left nothing for this handler to do.
    } catch (...) {
        frames_.pop_back();
        throw;
    }
    frames_.pop_back();
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
