#pragma once

#include "app/app_context.h"
#include "app/frm_main_layout.h"
#include "ui/form.h"

namespace dustrel::app {

// The main window: a wizard of stacked pages beside a fixed left panel.
class FrmMain : public ui::FormOf<FrmMainControls> {
public:
    FrmMain(ui::UiHost& host, AppContext& context);

    // Brings a page to the front of the page stack, which shows it.
    void showPage(ui::Frame& page) { page.zOrder(ui::ZOrderPosition::Front); }

    void cmdExit_Click(int index);
    void mnuExit_Click();

protected:
    void createControls() override;
    void Form_Load() override;
    void Form_Unload(int& cancel) override;

private:
    AppContext& context_;
};

}  // namespace dustrel::app
