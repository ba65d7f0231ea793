#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "ui/form.h"
#include "ui/ui_host.h"

namespace dustrel::testing {

struct MessageBoxCall {
    std::wstring text;
    std::wstring caption;
    ui::MessageBoxStyle style;
};

struct PopupCall {
    ui::MenuItem* menu = nullptr;
    ui::MenuItem* defaultItem = nullptr;
};

struct TrayCall {
    ui::PictureBox* hook = nullptr;
};

// A UiHost without windows. It records what the program asks of it, answers message boxes
// from a script, and lets a test act where the real host would pump messages.
class TestHost : public ui::UiHost {
public:
    // A fault fails the test that met it, unless the test says it expects one.
    ~TestHost() override;
    bool faultExpected = false;

    // --- message boxes ---
    std::vector<MessageBoxCall> messageBoxes;
    // Answers for the next boxes, in order. A box with nothing scripted gets Ok, or
    // yesNoDefault for a Yes/No box. An answer the box cannot give throws std::logic_error.
    std::deque<ui::MessageBoxAnswer> answers;
    ui::MessageBoxAnswer yesNoDefault = ui::MessageBoxAnswer::Yes;
    // Runs as each box is shown, so that a test can look at what had happened by then.
    std::function<void(const MessageBoxCall&)> onMessageBox;

    // --- modal forms: shown, handed to onModal, then hidden if still visible ---
    std::function<void(ui::Form&)> onModal;

    // --- DoEvents: counted; onDoEvents runs on each call, though not inside itself ---
    std::function<void()> onDoEvents;
    int doEventsCount = 0;

    // --- repaints: onRefresh runs on each ---
    std::function<void(ui::Form&)> onRefresh;

    // --- pop-up menus: onPopup may name the entry the user picks; it is then clicked ---
    std::vector<PopupCall> popups;
    std::function<ui::MenuItem*(const PopupCall&)> onPopup;

    // --- notification area ---
    std::vector<TrayCall> trayAdds;
    std::vector<TrayCall> trayRemoves;
    bool trayIconShown() const { return trayShown_; }
    const std::wstring& trayTip() const { return trayTip_; }

    int endProgramCalls = 0;

    void refresh(ui::Form& form) override {
        if (onRefresh) {
            onRefresh(form);
        }
    }
    bool addTrayIcon(ui::PictureBox& hook, const std::wstring& tip) override {
        trayAdds.push_back({&hook});
        trayShown_ = true;
        trayTip_ = tip;
        return true;
    }
    void removeTrayIcon(ui::PictureBox& hook) override {
        trayRemoves.push_back({&hook});
        trayShown_ = false;
        trayTip_.clear();
    }
    double twipsPerPixelX() override { return 15; }
    void formLoaded(ui::Form&) override {}
    void formUnloading(ui::Form&) override {}
    void endProgram() override { ++endProgramCalls; }

    // The texts of the message boxes shown so far, in order.
    std::vector<std::wstring> messageTexts() const;
    bool ended() const override { return endProgramCalls > 0; }

protected:
    ui::MessageBoxAnswer showMessageBox(const std::wstring& text, const std::wstring& caption,
                                        ui::MessageBoxStyle style) override;
    void runModal(ui::Form& form) override;
    void processMessages() override;
    ui::MenuItem* trackPopupMenu(ui::Form&, ui::MenuItem& menu,
                                 ui::MenuItem* defaultItem) override {
        popups.push_back({&menu, defaultItem});
        return onPopup ? onPopup(popups.back()) : nullptr;
    }

private:
    bool inDoEvents_ = false;
    bool trayShown_ = false;
    std::wstring trayTip_;
};

}  // namespace dustrel::testing
