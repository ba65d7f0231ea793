#include <gtest/gtest.h>

#include "native/app_fixture.h"
#include "settings/custom_entry.h"
#include "settings/frm_custom_ext.h"

namespace dustrel::testing {
namespace {

const wchar_t* const kRestart = L"Please ReStart The Application To See The Custom Extension.";

class FrmCustomExtTest : public AppTest {
protected:
    void SetUp() override { start(); }
    settings::FrmCustomExtControls& ext() { return form.frmCustomExt().ui(); }
    void add(const std::wstring& name, const std::wstring& extension) {
        ext().txtExtType.setText(name);
        ext().txtCustom.setText(extension);
        ext().cmdAdd.click();
    }
};

TEST_F(FrmCustomExtTest, EntriesAreStoredInOrderForTheNextStart) {
    host.onModal = [&](ui::Form& dialog) {
        EXPECT_EQ(&dialog, &form.frmCustomExt());
        add(L"  Temp Data ", L" tmp2");
        EXPECT_EQ(storedScrambled(L"CustomExt", L"Ext"), L"Temp Data?tmp2#");
        EXPECT_EQ(ext().txtExtType.text(), L"");
        EXPECT_EQ(ext().txtCustom.text(), L"");
        EXPECT_EQ(form.frmCustomExt().focusedControl(), &ext().txtExtType);
        add(L"Backups", L"bk1");
        add(L"Backups", L"bk1");
    };
    form.ui().cmdAddCustomExt.click();

    const std::wstring stored = L"Temp Data?tmp2#Backups?bk1#Backups?bk1#";
    EXPECT_EQ(storedScrambled(L"CustomExt", L"Ext"), stored);
    EXPECT_EQ(context.state.CustomExtValue, stored);
    EXPECT_EQ(host.messageTexts(), std::vector<std::wstring>(3, kRestart));
    // The running program's list is unchanged; start-up reads the stored list.
    EXPECT_EQ(form.ui().lstOptions.rowCount(), 6u);

    // The list is what was written, even when it cannot be read back; a refused write keeps it
    // as it was, even when the store cannot be read either.
    fakes.registry.refuseReadsUnder(L"Software\\Dustrel");
    add(L"C", L"z");
    EXPECT_EQ(context.state.CustomExtValue, stored + L"C?z#");
    fakes.registry.refuseWritesUnder(L"Software\\Dustrel");
    add(L"B", L"y");
    EXPECT_EQ(context.state.CustomExtValue, stored + L"C?z#");
    EXPECT_EQ(host.messageTexts(), std::vector<std::wstring>(5, kRestart));
}

// What the window refuses, start-up passes over in a stored list: nothing that would make the
// extension's pattern match more than files of that extension.
TEST_F(FrmCustomExtTest, RefusesEmptyFieldsAndWhatWouldBreakTheListOrThePattern) {
    struct Case {
        std::wstring name;
        std::wstring extension;
        const wchar_t* message;
    };
    const wchar_t* missing = L"Please Provide All Information";
    const wchar_t* characters = L"Please Do Not Use These Characters: ? # * \\ / : < > | \"";
    std::vector<Case> cases = {{L"", L"tmp", missing},
                               {L" \t ", L"tmp", missing},
                               {L"Name", L"   ", missing},
                               {L"a?b", L"tmp", characters},
                               {L"a#b", L"tmp", characters},
                               {L"Name", std::wstring(255, L'e'), L"The Extension Is Too Long"}};
    for (const wchar_t* bad : {L"?", L"#", L"*", L"\\", L"/", L":", L"<", L">", L"|", L"\"",
                               L"t\tmp", L"t\x01", L"\x1f"}) {
        cases.push_back({L"Name", bad, characters});
    }
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name + L" / " + k.extension);
        host.messageBoxes.clear();
        add(k.name, k.extension);
        EXPECT_EQ(host.messageTexts(), std::vector<std::wstring>{k.message});
        EXPECT_EQ(ext().txtExtType.text(), k.name);
        EXPECT_EQ(ext().txtCustom.text(), k.extension);
        EXPECT_NE(settings::checkCustomEntry(k.name, k.extension),
                  settings::CustomEntryFault::None);
    }
    EXPECT_EQ(storedScrambled(L"CustomExt", L"Ext"), L"");
    EXPECT_EQ(context.state.CustomExtValue, L"");

    // Names may hold what only an extension must not; an extension may fill a name by itself.
    const std::wstring longest(254, L'e');
    add(L"C:/* <files>.", L"tmp 2");
    add(L"Long", longest);
    add(L"Archives", L"tar.gz");
    EXPECT_EQ(storedScrambled(L"CustomExt", L"Ext"),
              L"C:/* <files>.?tmp 2#Long?" + longest + L"#Archives?tar.gz#");
}

}  // namespace
}  // namespace dustrel::testing
