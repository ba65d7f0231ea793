// Every wait of a handler (a message box, a modal window, DoEvents, a pop-up menu, the shell's
// operation, the pauses between two files of a Delete) lets the user act meanwhile. For a few short
// scripts of a user's session, each run performs, at one wait, one action a user could take there:
// any shown, enabled control of a loaded window, a window's close box, the tray icon's entries, the
// end of the Windows session. Every (wait, action) pair gets a run of its own, under the
// sanitizers.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <initializer_list>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/frm_main.h"
#include "settings/web_links.h"
#include "support/fake_platform.h"
#include "support/test_host.h"

namespace dustrel::testing {
namespace {

constexpr const wchar_t* kApp = L"Dustrel";
constexpr const wchar_t* kLogFolder = L"C:\\Program Files\\Dustrel\\log files";

const std::vector<std::wstring> kFiles{L"C:\\Temp\\a.tmp",     L"C:\\Temp\\b.log",
                                       L"C:\\Temp\\In\\c.tmp", L"C:\\Docs\\d.bak",
                                       L"C:\\held.tmp",        L"C:\\keep.doc"};

struct Action {
    std::string name;
    std::function<void()> perform;
};

// A test host that tells the session the moment the program ends.
struct EndingHost final : TestHost {
    std::function<void()> onEnd;
    void endProgram() override {
        TestHost::endProgram();
        onEnd();
    }
};

// The whole program on fakes, with a user who acts at one chosen wait.
class Session {
public:
    Session() {
        host.onEnd = [this] {
            if (!registryWritesAtEnd_) {
                registryWritesAtEnd_ = fakes.registry.writes;
            }
        };
        settings::SettingsStore store(fakes.registry, fakes.locale);
        (void)store.WriteSetting(kApp, L"Register", store.EncodeSetting(L"LastUpdate"),
                                 store.EncodeSetting(L"01/01/2020"));  // the update question is due
        (void)store.WriteSetting(kApp, L"CustomExt", store.EncodeSetting(L"Ext"),
                                 store.EncodeSetting(L"Documents?doc#"));
        for (const std::wstring& path : kFiles) {
            fakes.files.addFile(path, "data");
        }
        fakes.files.lock(L"C:\\held.tmp");
        fakes.files.addFolder(L"C:\\Program Files\\Dustrel");  // where the logs go

        host.onMessageBox = [this](const MessageBoxCall&) {
            check(!host.ended(), "a message box after the end");
            wait();
        };
        host.onDoEvents = [this] { wait(); };
        host.onModal = [this](ui::Form& form) {
            check(!host.ended(), "a modal window after the end");
            wait();
            if (modalSteps && form.visible()) {
                modalSteps(form);
            }
        };
        host.onPopup = [this](const PopupCall&) {
            wait();
            return std::exchange(trayChoice_, nullptr);
        };
        fakes.shell.duringOperation = [this] { wait(); };
        fakes.files.duringDeletion = [this](const std::wstring& path, bool opened) {
            noteTicks();
            check(opened || everTicked_.count(path) != 0, "a file never ticked was deleted");
        };
        // Nothing is written after the end: the log of a Delete is complete at every wait.
        fakes.files.onChange = [this](const std::wstring&) {
            check(!registryWritesAtEnd_ || fakes.shell.working(),
                  "a file was written after the end");
        };
    }

    // Runs the script with the action `action` at wait `target` (none when negative).
    void run(const std::function<void(Session&)>& script, int target, std::size_t action) {
        target_ = target;
        action_ = action;
        try {
            script(*this);
        } catch (const std::exception& e) {
            failures.insert(std::string("escaped: ") + e.what());
        }
        check(std::ranges::count(fakes.shell.opened(),
                                 settings::vendorAddress(settings::kThankYouPagePath)) <= 1,
              "the thank-you page opened twice");
        check(registryWritesAtEnd_.value_or(fakes.registry.writes) == fakes.registry.writes,
              "the registry was written after the end");
        // Whenever the program ended, the logs hold exactly the files gone.
        std::set<std::wstring> gone, logged;
        for (const std::wstring& path : kFiles) {
            if (!fakes.files.exists(path)) {
                gone.insert(path);
            }
        }
        for (const std::wstring& path : fakes.files.allFiles()) {
            std::istringstream lines(path.starts_with(kLogFolder) ? *fakes.files.contents(path)
                                                                  : "");
            for (std::string line; std::getline(lines, line);) {
                if (line.starts_with("C:\\")) {
                    logged.insert(std::wstring(line.begin(), line.end() - 1));  // less its "\r"
                }
            }
        }
        check(logged == gone, "the logs do not hold exactly the files gone");
    }

    // The user's steps, each as a user takes it: only on a shown, enabled control.
    void start(const std::wstring& arguments = {}) {
        fakes.system.arguments = arguments;
        host.raise(main, [this] { main.load(); });
        if (!host.ended() && main.loaded() && main.windowState() != ui::WindowState::Minimized) {
            main.show();
        }
    }
    void click(ui::Form& form, std::initializer_list<std::string> names) {
        for (const std::string& name : names) {
            std::vector<Action> all;
            actionsOn(form, all);
            for (const Action& action : all) {
                if (action.name == form.name() + "." + name) {
                    action.perform();
                    break;
                }
            }
        }
    }

    // Everything the user could do now.
    std::vector<Action> actions() {
        std::vector<Action> all;
        for (ui::Form* form :
             std::initializer_list<ui::Form*>{&main, &main.frmSettings(), &main.frmCustomExt()}) {
            if (form->loaded() && form->visible()) {
                actionsOn(*form, all);
                all.push_back({form->name() + " close box", [form] { form->closeBox(); }});
            }
        }
        if (host.trayIconShown()) {
            auto& hook = main.frmSettings().ui().picHook;
            all.push_back(
                {"tray double click", [&hook] { hook.trayEvent(ui::TrayEvent::DoubleClick); }});
            for (const auto& item : main.trayMenu().items()) {
                all.push_back({"tray menu " + item->name(), [this, &hook, entry = item.get()] {
                                   trayChoice_ = entry;
                                   hook.trayEvent(ui::TrayEvent::RightClick);
                               }});
            }
        }
        all.push_back({"end of the session", [this] { host.endProgram(); }});
        return all;
    }

    int waits = 0;
    std::size_t actionsAtTarget = 0;
    std::set<std::string> failures;
    EndingHost host;
    FakePlatform fakes;
    app::AppContext context{fakes.platform(), {}};
    app::FrmMain main{host, context};
    std::function<void(ui::Form&)> modalSteps;

private:
    static bool shown(ui::Control& control) {
        ui::Form& form = control.form();
        for (ui::Container* parent = &control.parent(); parent != &form;) {
            auto* frame = dynamic_cast<ui::Control*>(parent);
            if (frame == nullptr || !frame->visible() ||
                (std::ranges::find(form.pages(), frame) != form.pages().end() &&
                 form.frontPage() != frame)) {
                return false;
            }
            parent = &frame->parent();
        }
        return control.visible();
    }

    void actionsOn(ui::Form& form, std::vector<Action>& all) {
        for (ui::Control* control : form.controls()) {
            if (!shown(*control) || !control->enabled()) {
                continue;
            }
            const std::string name =
                form.name() + "." + control->name() +
                (control->index() >= 0 ? std::to_string(control->index()) : "");
            const auto add = [&all](std::string label, std::function<void()> perform) {
                all.push_back({std::move(label), std::move(perform)});
            };
            switch (control->kind()) {
                case ui::ControlKind::Button:
                    add(name, [control] { static_cast<ui::Button*>(control)->click(); });
                    break;
                case ui::ControlKind::Label:
                    if (auto* label = static_cast<ui::Label*>(control); label->onClick) {
                        add(name, [label] { label->click(); });
                    }
                    break;
                case ui::ControlKind::CheckBox:
                    add(name, [control] { static_cast<ui::CheckBox*>(control)->userClick(); });
                    break;
                case ui::ControlKind::OptionButton:
                    add(name, [control] { static_cast<ui::OptionButton*>(control)->userClick(); });
                    break;
                case ui::ControlKind::ComboBox:
                    for (int i = 0; i < int(static_cast<ui::ComboBox*>(control)->items().size());
                         ++i) {
                        add(name + "=" + std::to_string(i),
                            [control, i] { static_cast<ui::ComboBox*>(control)->userSelect(i); });
                    }
                    break;
                case ui::ControlKind::TextBox:
                    add(name, [control] { static_cast<ui::TextBox*>(control)->userEdit(L"x"); });
                    break;
                case ui::ControlKind::ListView: {
                    auto* list = static_cast<ui::ListView*>(control);
                    for (std::size_t row = 0; row < list->rowCount(); ++row) {
                        add(name + "[" + std::to_string(row) + "]",
                            [list, row] { list->userToggle(row); });
                    }
                    add(name + " header", [list] { list->userColumnClick(0); });
                    break;
                }
                default:
                    break;
            }
        }
        for (const auto& menu : form.menus()) {
            for (const auto& item : menu->items()) {
                ui::MenuItem* entry = item.get();
                if (menu->visible() && entry->visible() && entry->enabled() &&
                    !entry->separator()) {
                    all.push_back({form.name() + "." + entry->name(), [entry] { entry->click(); }});
                }
            }
        }
    }

    void wait() {
        noteTicks();
        if (waits++ == target_) {
            std::vector<Action> all = actions();
            actionsAtTarget = all.size();
            if (action_ < all.size()) {
                all[action_].perform();
            }
        }
    }

    void noteTicks() {
        for (std::size_t i = 0; main.loaded() && i < main.ui().ListFiles.rowCount(); ++i) {
            if (main.ui().ListFiles.row(i).checked) {
                everTicked_.insert(main.ui().ListFiles.row(i).text);
            }
        }
    }

    void check(bool ok, const char* what) {
        if (!ok) {
            failures.insert(what);
        }
    }

    int target_ = -1;
    std::size_t action_ = 0;
    std::optional<int> registryWritesAtEnd_;
    std::set<std::wstring> everTicked_;
    ui::MenuItem* trayChoice_ = nullptr;
};

// Runs `script` once plainly, then once for every action at every wait; returns the count.
int explore(const char* name, const std::function<void(Session&)>& script) {
    Session plain;
    plain.run(script, -1, 0);
    EXPECT_TRUE(plain.failures.empty()) << name << ": " << *plain.failures.begin();
    int runs = 0;
    for (int target = 0; target < plain.waits; ++target) {
        for (std::size_t action = 0;; ++action) {
            Session session;
            session.run(script, target, action);
            if (action >= session.actionsAtTarget) {
                break;
            }
            ++runs;
            for (const std::string& failure : session.failures) {
                ADD_FAILURE() << name << ", wait " << target << ", action " << action << ": "
                              << failure;
            }
        }
    }
    std::printf("%s: %d waits, %d interleavings\n", name, plain.waits, runs);
    return runs;
}

void scan(Session& s) {
    s.host.answers = {ui::MessageBoxAnswer::No};
    s.start();
    s.click(s.main,
            {"ListDrive[0]", "cmdNext", "lstOptions[0]", "lstOptions[1]", "lstOptions[2]",
             "lstOptions[3]", "lstOptions[4]", "lstOptions[5]", "lstOptions[6]", "cmdNext1"});
}

TEST(ReentrancyTest, NoHandlerOutlivesTheProgramOrItsWindow) {
    int runs = explore("start-up", [](Session& s) { s.start(); });
    runs += explore("a second copy", [](Session& s) {
        s.fakes.system.otherInstanceRunning = true;
        s.start();
    });
    runs += explore("start-up into the tray", [](Session& s) {
        s.fakes.registry.set(settings::kRunKey, kApp, L"\"C:\\Dustrel.exe\" /STARTUP");
        s.start(L"/STARTUP");
    });
    runs += explore("a scan", scan);
    runs += explore("a delete with files that fail", [](Session& s) {
        scan(s);
        s.click(s.main, {"cmdCheck", "cmdDelete", "cmdExit2"});
    });
    runs += explore("the settings window", [](Session& s) {
        s.host.answers = {ui::MessageBoxAnswer::No};
        s.fakes.registry.refuseValueWrites();  // so that its handlers have messages to show
        s.modalSteps = [&s](ui::Form& form) {
            s.click(form, {"optRun", "cboLogFiles=2", "cmdLogFiles", "Command1"});
        };
        s.start();
        s.click(s.main, {"cmdSettings", "cmdExit0"});
    });
    runs += explore("the custom-extension window", [](Session& s) {
        s.host.answers = {ui::MessageBoxAnswer::No};
        // The first Add, with nothing typed yet, has a message.
        s.modalSteps = [&s](ui::Form& form) {
            s.click(form, {"cmdAdd", "txtCustom", "txtExtType", "cmdAdd"});
        };
        s.start();
        s.click(s.main, {"cmdAddCustomExt", "cmdExit0"});
    });
    std::printf("%d interleavings in all\n", runs);
    EXPECT_GT(runs, 300);
}

}  // namespace
}  // namespace dustrel::testing
