#pragma once

#include <cstdint>

namespace dustrel::ui {

// When a scan looks at the message queue, and when the Win32 view pushes a change to a window. Each
// push or look costs a fixed price whatever it carries (a paint, a list growing its scroll bar, a
// trip to the window system for an empty queue), and a scan makes thousands of changes and lists
// thousands of folders a second: so they are spaced out in time, often enough for the eye and for a
// click that should not wait.

// A scan looks at the queue between two folders, no more often than this: a click then waits
// at most this long plus the listing of one folder.
inline constexpr std::uint32_t kServiceEveryMs = 10;
// Captions, the bar, and rows that come into view: a dozen times a second.
inline constexpr std::uint32_t kRepaintEveryMs = 90;
// Rows appended below the part of a list in view only move its scroll bar.
inline constexpr std::uint32_t kUnseenRowsEveryMs = 3000;

// Whether something last done at `lastMs` is due again at `nowMs`, on a millisecond tick that
// wraps (GetTickCount's).
inline bool dueAgain(std::uint32_t lastMs, std::uint32_t nowMs, std::uint32_t everyMs) {
    return static_cast<std::uint32_t>(nowMs - lastMs) >= everyMs;
}

// When work inside a handler (a scan's folders, a Delete's files) looks at the queue between two
// of its steps: at the first, then no more often than kServiceEveryMs.
class ServicePace {
public:
    bool due(std::uint32_t nowMs) {
        if (started_ && !dueAgain(last_, nowMs, kServiceEveryMs)) {
            return false;
        }
        started_ = true;
        last_ = nowMs;
        return true;
    }

private:
    bool started_ = false;
    std::uint32_t last_ = 0;
};

// How long a change held back for a window may wait: rows appended to a list out of view wait
// longest; anything else, rows coming into view included, waits for the next repaint.
inline std::uint32_t holdFor(bool onlyRowsAppended, bool newRowsInView) {
    return onlyRowsAppended && !newRowsInView ? kUnseenRowsEveryMs : kRepaintEveryMs;
}

}  // namespace dustrel::ui
