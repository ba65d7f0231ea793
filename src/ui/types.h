#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace dustrel::ui {

// Positions and sizes in twips, relative to the container.
struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    friend bool operator==(const Rect&, const Rect&) = default;
};

struct Color {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;

    friend bool operator==(const Color&, const Color&) = default;
};

inline constexpr Color kWhite{255, 255, 255};
inline constexpr Color kPageBlue{2, 51, 94};
inline constexpr Color kAmber{255, 199, 6};

struct Font {
    std::wstring name = L"Verdana";
    double points = 8.25;
    bool bold = false;
    bool underline = false;

    friend bool operator==(const Font&, const Font&) = default;
};

enum class MousePointer {
    Default,
    Hourglass,
    Hand,  // the link labels' custom pointer
};

// Images the program carries as resources.
enum class Image {
    None,
    AppIcon,
    SidePanel,
};

// Gives a property its new value. True when the value changed, and only then does the setter
// tell the view: every setter of the model goes through here.
template <class T, class U>
[[nodiscard]] bool changeValue(T& field, U&& value) {
    if (field == value) {
        return false;
    }
    field = std::forward<U>(value);
    return true;
}

// What changed, as a control or form tells its view.
enum class Prop {
    Caption,
    Enabled,
    Visible,
    Rect,
    Font,
    Colors,
    ZOrder,
    Value,      // check box, option button, progress bar
    Range,      // progress bar min and max
    Items,      // combo box list
    ListIndex,  // combo box selection
    Text,       // text box
    MousePointer,
    Columns,       // list view columns
    Rows,          // list view: any change of row order or count, redraw all
    RowsAppended,  // list view: rows added at the end
    Row,           // list view: one row changed (index given)
    Menus,         // form: menu bar or menu entry changed
    WindowState,
    Icon,
    Image,
    Focus,     // the control was asked to take the input focus
    Default,   // button: whether Enter presses it
    Checks,    // list view: the ticks of several rows changed (ListView::changedChecks)
    Announce,  // label: its text is news to whoever listens for it
    ToolTipText,
};

// What the user did to the notification-area icon.
enum class TrayEvent {
    // The left button released.
    Click,
    DoubleClick,
    // The right button released.
    RightClick,
};

}  // namespace dustrel::ui
