#pragma once

#include <string>

#include "platform/platform.h"
#include "ui/form.h"

namespace dustrel::settings {

// The custom-extension window's controls, laid out as designed (twips), in tab order.
struct FrmCustomExtControls {
    explicit FrmCustomExtControls(ui::Form& form);

    ui::Frame& Frame1;
    ui::TextBox& txtExtType;
    ui::Button& cmdAdd;
    ui::TextBox& txtCustom;
    ui::Label& Label3;
    ui::Label& Label2;
    ui::Label& Label1;
};

// Adds custom extensions to the stored list; they become categories at the next start.
class FrmCustomExt : public ui::FormOf<FrmCustomExtControls> {
public:
    // `customExtValue` is the program's decoded custom-extension list, kept in step with the
    // stored one.
    FrmCustomExt(ui::UiHost& host, const platform::Platform& platform,
                 std::wstring& customExtValue);

    void cmdAdd_Click();

protected:
    void createControls() override;

private:
    platform::Platform platform_;
    std::wstring& customExtValue_;
};

}  // namespace dustrel::settings
