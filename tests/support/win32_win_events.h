#pragma once

#include <windows.h>

#include <algorithm>
#include <vector>

namespace dustrel::testing {

// The accessibility events of objects' state and names that this process raises while it lives.
// They come through the thread's message queue: pump it before looking.
class WinEvents {
public:
    struct Event {
        DWORD event;
        HWND hwnd;
        LONG object;
        LONG child;
        friend bool operator==(const Event&, const Event&) = default;
    };

    WinEvents()
        : hook_(SetWinEventHook(EVENT_OBJECT_REORDER, EVENT_OBJECT_NAMECHANGE, nullptr, onEvent,
                                GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT)) {
        current_ = this;
    }
    ~WinEvents() {
        UnhookWinEvent(hook_);
        current_ = nullptr;
    }
    WinEvents(const WinEvents&) = delete;
    WinEvents& operator=(const WinEvents&) = delete;

    // The changes of state, order and name told for a window's client object (not the
    // system's own events for its window, nor those of the focus and selection).
    std::vector<Event> ofClient(HWND hwnd) const {
        std::vector<Event> found;
        std::copy_if(seen.begin(), seen.end(), std::back_inserter(found), [&](const Event& e) {
            return e.hwnd == hwnd && e.object == OBJID_CLIENT &&
                   (e.event == EVENT_OBJECT_REORDER || e.event == EVENT_OBJECT_STATECHANGE ||
                    e.event == EVENT_OBJECT_NAMECHANGE);
        });
        return found;
    }

    std::vector<Event> seen;

private:
    static void CALLBACK onEvent(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG child,
                                 DWORD, DWORD) {
        if (current_ != nullptr) {
            current_->seen.push_back({event, hwnd, object, child});
        }
    }

    static inline WinEvents* current_ = nullptr;
    HWINEVENTHOOK hook_;
};

}  // namespace dustrel::testing
