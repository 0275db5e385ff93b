#pragma once

#include <cstdint>
#include <optional>

namespace velnor::design {

enum class ControlKind { Label, Frame, Button, CheckBox, TextBox, DriveList, DirectoryList };

struct Colour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const Colour&) const = default;
};

// In twips (1/1440 inch), from the top-left corner of the container.
struct TwipsBox {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The form itself, as a control's container.
inline constexpr int OnForm = -1;

// One control as designed; each toolkit builds its own widget from it.
struct ControlDesign {
    const char* name = ""; // the designed name, also the toolkit's object name
    ControlKind kind = ControlKind::Label;
    int container = OnForm;     // index of the frame that holds it
    const char* caption = "";   // UTF-8, exactly as shown
    TwipsBox place{};           // an auto-size label's size is that of its designed caption
    bool autoSize = false;      // a label that takes its text's size, on one line, at every change
    bool wordWrap = false;      // a label whose text wraps within its box
    bool ticked = false;        // a check box's initial value
    bool defaultButton = false; // Enter presses it
    bool cancelButton = false;  // Esc presses it
    std::optional<Colour> textColour{}; // the system's when empty
    std::optional<Colour> backColour{};
};

// A horizontal line drawn on the form; it takes no focus.
struct LineDesign {
    int fromX = 0; // twips
    int y = 0;
    int toX = 0;
    Colour colour{};
    int widthPixels = 1;
};

} // namespace velnor::design
