// Every wait of a handler (a message box, a modal window, DoEvents, a pop-up menu, the shell's
// operation, the pauses between two files of a Delete) lets the user act meanwhile. For a few short
// scripts of a user's session, each run performs, at one wait, one action a user could take there:
// any shown, enabled control of a loaded window, a window's close box, the tray icon's entries, the
// end of the Windows session. Every (wait, action) pair gets a run of its own, under the
// sanitizers.

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <set>
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
class EndingHost final : public TestHost {
public:
    std::function<void()> onEnd;
    void endProgram() override {
        TestHost::endProgram();
        if (onEnd) {
            onEnd();
        }
    }
};

// The whole program on fakes, with a user who acts at one chosen wait.
class Session {
public:
    Session() {
        host.onEnd = [this] { noteEnd(); };
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
            if (host.ended()) {
                fail("a message box after the end");
            }
            wait();
        };
        host.onDoEvents = [this] { wait(); };
        host.onModal = [this](ui::Form& form) {
            if (host.ended()) {
                fail("a modal window after the end");
            }
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
            if (!opened && everTicked_.count(path) == 0) {
                fail("a file never ticked was deleted");
            }
        };
        fakes.files.onChange = [this](const std::wstring& path) { fileChanged(path); };
    }

    // Runs the script with the action `action` at wait `target` (none when negative).
    void run(const std::function<void(Session&)>& script, int target, std::size_t action) {
        target_ = target;
        action_ = action;
        try {
            script(*this);
        } catch (const std::exception& e) {
            fail(std::string("escaped: ") + e.what());
        }
        const std::wstring thankYou = settings::vendorAddress(settings::kThankYouPagePath);
        if (std::count(fakes.shell.opened().begin(), fakes.shell.opened().end(), thankYou) > 1) {
            fail("the thank-you page opened twice");
        }
        if (endSeen_ && fakes.registry.writes != registryWritesAtEnd_) {
            fail("the registry was written after the end");
        }
        checkLog();
    }

    // The user's steps, each as a user takes it: only on a shown, enabled control.
    void start(const std::wstring& arguments = {}) {
        fakes.system.arguments = arguments;
        host.raise(main, [this] { main.load(); });
        if (!host.ended() && main.loaded() && main.windowState() != ui::WindowState::Minimized) {
            main.show();
        }
    }
    void click(ui::Form& form, const std::string& name) {
        for (const Action& action : actionsOn(form)) {
            if (action.name == form.name() + "." + name) {
                action.perform();
                return;
            }
        }
    }

    // Everything the user could do now.
    std::vector<Action> actions() {
        std::vector<Action> all;
        for (ui::Form* form : forms()) {
            if (form->loaded() && form->visible()) {
                auto own = actionsOn(*form);
                all.insert(all.end(), own.begin(), own.end());
                all.push_back({form->name() + " close box", [form] { form->closeBox(); }});
            }
        }
        if (host.trayIconShown()) {
            auto& hook = main.frmSettings().ui().picHook;
            all.push_back(
                {"tray double click", [&hook] { hook.trayEvent(ui::TrayEvent::DoubleClick); }});
            for (const auto& item : main.trayMenu().items()) {
                ui::MenuItem* entry = item.get();
                all.push_back({"tray menu " + entry->name(), [this, &hook, entry] {
                                   trayChoice_ = entry;
                                   hook.trayEvent(ui::TrayEvent::RightClick);
                               }});
            }
        }
        all.push_back({"end of the session", [this] { host.endProgram(); }});
        return all;
    }

    int waits() const { return waits_; }
    std::size_t actionsAtTarget() const { return actionsAtTarget_; }
    const std::set<std::string>& failures() const { return failures_; }

    EndingHost host;
    FakePlatform fakes;
    app::AppContext context{fakes.platform(), {}};
    app::FrmMain main{host, context};
    std::function<void(ui::Form&)> modalSteps;

private:
    std::vector<ui::Form*> forms() { return {&main, &main.frmSettings(), &main.frmCustomExt()}; }

    static bool shown(ui::Control& control) {
        if (!control.visible()) {
            return false;
        }
        ui::Form& form = control.form();
        const auto& pages = form.pages();
        for (ui::Container* parent = &control.parent(); parent != &form;) {
            auto* frame = dynamic_cast<ui::Control*>(parent);
            if (frame == nullptr || !frame->visible()) {
                return false;
            }
            if (std::find(pages.begin(), pages.end(), frame) != pages.end() &&
                form.frontPage() != frame) {
                return false;
            }
            parent = &frame->parent();
        }
        return true;
    }

    std::vector<Action> actionsOn(ui::Form& form) {
        std::vector<Action> all;
        const std::string prefix = form.name() + ".";
        for (ui::Control* control : form.controls()) {
            if (!shown(*control) || !control->enabled()) {
                continue;
            }
            const std::string name =
                prefix + control->name() +
                (control->index() >= 0 ? std::to_string(control->index()) : "");
            const auto add = [&](std::string label, std::function<void()> perform) {
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
            if (!menu->visible()) {
                continue;
            }
            for (const auto& item : menu->items()) {
                ui::MenuItem* entry = item.get();
                if (entry->visible() && entry->enabled() && !entry->separator()) {
                    all.push_back({prefix + entry->name(), [entry] { entry->click(); }});
                }
            }
        }
        return all;
    }

    void wait() {
        noteTicks();
        const int index = waits_++;
        if (index != target_) {
            return;
        }
        const std::vector<Action> all = actions();
        actionsAtTarget_ = all.size();
        if (action_ < all.size()) {
            all[action_].perform();
        }
    }

    void noteEnd() {
        if (!endSeen_) {
            endSeen_ = true;
            registryWritesAtEnd_ = fakes.registry.writes;
        }
    }

    void noteTicks() {
        if (!main.loaded()) {
            return;
        }
        const auto& list = main.ui().ListFiles;
        for (std::size_t i = 0; i < list.rowCount(); ++i) {
            if (list.row(i).checked) {
                everTicked_.insert(list.row(i).text);
            }
        }
    }

    // Whenever the program ended, the logs hold exactly the files gone.
    void checkLog() {
        std::set<std::wstring> gone;
        for (const std::wstring& path : kFiles) {
            if (!fakes.files.exists(path)) {
                gone.insert(path);
            }
        }
        std::set<std::wstring> logged;
        for (const std::wstring& path : fakes.files.allFiles()) {
            if (!path.starts_with(kLogFolder)) {
                continue;
            }
            const std::string text = *fakes.files.contents(path);
            for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos;
                 at = end + 2) {
                if (text.compare(at, 3, "C:\\") == 0) {
                    logged.insert(std::wstring(text.begin() + at, text.begin() + end));
                }
            }
        }
        if (logged != gone) {
            fail("the logs do not hold exactly the files gone");
        }
    }

    // Nothing is written after the end: the log of a Delete is complete at every wait.
    void fileChanged(const std::wstring&) {
        if (endSeen_ && !fakes.shell.working()) {
            fail("a file was written after the end");
        }
    }

    void fail(const std::string& what) { failures_.insert(what); }

    int target_ = -1;
    std::size_t action_ = 0;
    int waits_ = 0;
    std::size_t actionsAtTarget_ = 0;
    bool endSeen_ = false;
    std::set<std::wstring> everTicked_;
    int registryWritesAtEnd_ = 0;
    ui::MenuItem* trayChoice_ = nullptr;
    std::set<std::string> failures_;
};

// Runs `script` once plainly, then once for every action at every wait; returns the count.
int explore(const char* name, const std::function<void(Session&)>& script) {
    Session plain;
    plain.run(script, -1, 0);
    EXPECT_TRUE(plain.failures().empty()) << name << ": " << *plain.failures().begin();
    int runs = 0;
    for (int target = 0; target < plain.waits(); ++target) {
        for (std::size_t action = 0;; ++action) {
            Session session;
            session.run(script, target, action);
            if (action >= session.actionsAtTarget()) {
                break;
            }
            ++runs;
            for (const std::string& failure : session.failures()) {
                ADD_FAILURE() << name << ", wait " << target << ", action " << action << ": "
                              << failure;
            }
        }
    }
    std::printf("%s: %d waits, %d interleavings\n", name, plain.waits(), runs);
    return runs;
}

void scan(Session& s) {
    s.click(s.main, "ListDrive[0]");
    s.click(s.main, "cmdNext");
    for (std::size_t row = 0; row < 7; ++row) {
        s.click(s.main, "lstOptions[" + std::to_string(row) + "]");
    }
    s.click(s.main, "cmdNext1");
}

TEST(ReentrancyTest, NoHandlerOutlivesTheProgramOrItsWindow) {
    int runs = 0;
    runs += explore("start-up", [](Session& s) { s.start(); });
    runs += explore("a second copy", [](Session& s) {
        s.fakes.system.otherInstanceRunning = true;
        s.start();
    });
    runs += explore("start-up into the tray", [](Session& s) {
        s.fakes.registry.set(settings::kRunKey, kApp, L"\"C:\\Dustrel.exe\" /STARTUP");
        s.start(L"/STARTUP");
    });
    runs += explore("a scan", [](Session& s) {
        s.host.answers = {ui::MessageBoxAnswer::No};
        s.start();
        scan(s);
    });
    runs += explore("a delete with files that fail", [](Session& s) {
        s.host.answers = {ui::MessageBoxAnswer::No};
        s.start();
        scan(s);
        s.click(s.main, "cmdCheck");
        s.click(s.main, "cmdDelete");
        s.click(s.main, "cmdExit2");
    });
    runs += explore("the settings window", [](Session& s) {
        s.host.answers = {ui::MessageBoxAnswer::No};
        s.fakes.registry.refuseValueWrites();  // so that its handlers have messages to show
        s.modalSteps = [&s](ui::Form& form) {
            s.click(form, "optRun");
            s.click(form, "cboLogFiles=2");
            s.click(form, "cmdLogFiles");
            s.click(form, "Command1");
        };
        s.start();
        s.click(s.main, "cmdSettings");
        s.click(s.main, "cmdExit0");
    });
    runs += explore("the custom-extension window", [](Session& s) {
        s.host.answers = {ui::MessageBoxAnswer::No};
        s.modalSteps = [&s](ui::Form& form) {
            s.click(form, "cmdAdd");  // nothing typed yet: a message
            s.click(form, "txtCustom");
            s.click(form, "txtExtType");
            s.click(form, "cmdAdd");
        };
        s.start();
        s.click(s.main, "cmdAddCustomExt");
        s.click(s.main, "cmdExit0");
    });
    std::printf("%d interleavings in all\n", runs);
    EXPECT_GT(runs, 300);
}

}  // namespace
}  // namespace dustrel::testing
