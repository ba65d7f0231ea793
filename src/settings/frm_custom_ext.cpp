#include "settings/frm_custom_ext.h"

#include "platform/program_info.h"
#include "settings/custom_entry.h"
#include "settings/dialog_style.h"
#include "settings/settings_store.h"

namespace dustrel::settings {

namespace {

using ui::Rect;

const ui::Font kAdviceFont{L"Verdana", 8.25, true};

std::wstring trimmed(const std::wstring& text) {
    const auto first = text.find_first_not_of(L" \t");
    if (first == std::wstring::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(L" \t");
    return text.substr(first, last - first + 1);
}

const wchar_t* refusalOf(CustomEntryFault fault) {
    switch (fault) {
        case CustomEntryFault::None:
            break;
        case CustomEntryFault::Missing:
            return L"Please Provide All Information";
        case CustomEntryFault::Characters:
            return L"Please Do Not Use These Characters: ? # * \\ / : < > | \"";
        case CustomEntryFault::TooLong:
            return L"The Extension Is Too Long";
    }
    return nullptr;
}

ui::Label& adviceLabel(ui::Form& form, ui::Container& parent) {
    auto& label = form.add<ui::Label>(
        parent, "Label3", Rect{120, 360, 4575, 615},
        L"Use Only Extension Name such as tmp, db, log. Do *NOT* add DOT in front of extension.");
    label.setFont(kAdviceFont);
    return label;
}

}  // namespace

FrmCustomExtControls::FrmCustomExtControls(ui::Form& f)
    : Frame1(titledFrame(f, "Frame1", Rect{120, 120, 4815, 2655}, L"Add Custom Extension")),
      txtExtType(f.add<ui::TextBox>(Frame1, "txtExtType", Rect{1680, 1200, 2895, 285})),
      cmdAdd(f.add<ui::Button>(Frame1, "cmdAdd", Rect{2400, 2160, 2175, 375}, L"Add")),
      txtCustom(f.add<ui::TextBox>(Frame1, "txtCustom", Rect{1680, 1560, 2895, 285})),
      Label3(adviceLabel(f, Frame1)),
      Label2(f.add<ui::Label>(Frame1, "Label2", Rect{240, 1200, 1305, 195}, L"Extension Type")),
      Label1(f.add<ui::Label>(Frame1, "Label1", Rect{240, 1560, 825, 195}, L"Extension")) {
    Label2.setLabelFor(txtExtType);
    Label1.setLabelFor(txtCustom);
    cmdAdd.setDefault(true);
}

FrmCustomExt::FrmCustomExt(ui::UiHost& host, const platform::Platform& platform,
                           std::wstring& customExtValue)
    : FormOf(host, "frmCustomExt"), platform_(platform), customExtValue_(customExtValue) {
    styleDialog(*this);
}

void FrmCustomExt::createControls() {
    FormOf::createControls();
    ui_->cmdAdd.onClick = [this] { cmdAdd_Click(); };
}

void FrmCustomExt::cmdAdd_Click() {
    auto& c = ui();
    const std::wstring name = trimmed(c.txtExtType.text());
    const std::wstring ext = trimmed(c.txtCustom.text());
    const CustomEntryFault fault = checkCustomEntry(name, ext);
    if (const wchar_t* refusal = refusalOf(fault)) {
        host().messageBox(refusal, platform::kProgramTitle,
                          {ui::MessageBoxButtons::Ok, ui::MessageBoxIcon::Stop});
        // The user goes on typing where something is missing.
        if (fault == CustomEntryFault::Missing) {
            (name.empty() ? c.txtExtType : c.txtCustom).setFocus();
        }
        return;
    }

    SettingsStore store(platform_.registry, platform_.locale);
    const std::wstring appName = platform::applicationName(platform_.system);
    const std::wstring key = store.EncodeSetting(L"Ext");
    const std::wstring stored = store.EncodeSetting(customExtValue_ + name + L"?" + ext + L"#");
    // The next Add appends to the list in memory, so it must stay the stored one. A refused write
    // leaves it as it was: reading the store again could give nothing (a key that cannot be read
    // either), and the next Add would then write its entry in place of all the others. After a
    // write it is what the store holds, less what scrambling dropped.
    if (platform::ok(store.WriteSetting(appName, L"CustomExt", key, stored))) {
        customExtValue_ =
            store.DecodeSetting(store.ReadSetting(appName, L"CustomExt", key, stored));
    }

    c.txtExtType.setText({});
    c.txtCustom.setText({});
    c.txtExtType.setFocus();
    host().messageBox(L"Please ReStart The Application To See The Custom Extension.",
                      platform::kProgramTitle,
                      {ui::MessageBoxButtons::Ok, ui::MessageBoxIcon::Information});
}

}  // namespace dustrel::settings
