#pragma once

#include "ui/design/control_design.h"
#include "ui/win32/windows_api.h"

#include <array>
#include <map>
#include <span>
#include <string>
#include <vector>

namespace velnor {

// The child window of one designed control. Frames hold nothing here: the
// controls designed inside a frame are the form's children too, placed from
// the frame's corner, so the form's keyboard navigation reaches them.
HWND CreateDesignedControl(HWND form, const design::ControlDesign& design, int id);

// The order to create a form's controls in: those that take the focus in
// their focus order (Win32's Tab order is the creation order), then the
// labels, then the frames beneath what they hold.
template <typename Control, std::size_t Count>
std::vector<int> CreationOrder(std::span<const design::ControlDesign> controls,
                               const std::array<Control, Count>& focusOrder) {
    std::vector<int> order(focusOrder.begin(), focusOrder.end());
    for (const design::ControlKind kind : {design::ControlKind::Label, design::ControlKind::Frame})
        for (std::size_t index = 0; index < controls.size(); ++index)
            if (controls[index].kind == kind)
                order.push_back(static_cast<int>(index));
    return order;
}

// Creates the form's controls in order, made[index] with the id idOf(index),
// each below the one before in the stacking order: Tab follows it, and frames
// lie beneath what they hold.
void CreateDesignedControls(HWND form, std::span<const design::ControlDesign> controls,
                            const std::vector<int>& order, int (*idOf)(int), std::span<HWND> made);

// The text a control shows.
std::wstring ControlText(HWND control);

// A designed control's box on the form, in pixels at dpi.
RECT DesignedRect(std::span<const design::ControlDesign> controls, int index, UINT dpi);

// A word-wrapped label's box, grown where its lines in font need a few pixels
// more than the designed box.
RECT WrappedTextRect(HWND label, HFONT font, RECT box);

// An auto-size label takes caption and size (its text's, on one line), and is
// on the screen before this returns.
void SetAutoSizeCaption(HWND form, HWND label, const std::wstring& caption, SIZE size);

// Solid brushes by colour, made once and kept for the form's life.
class SolidBrushes {
public:
    SolidBrushes() = default;
    SolidBrushes(const SolidBrushes&) = delete;
    SolidBrushes& operator=(const SolidBrushes&) = delete;
    ~SolidBrushes();
    HBRUSH For(COLORREF colour);

private:
    std::map<COLORREF, HBRUSH> brushes_;
};

COLORREF ColourRef(const design::Colour& colour);

// WM_CTLCOLORSTATIC for a label with designed colours: sets them on dc and
// gives the background's brush.
HBRUSH DesignedColours(HDC dc, const design::ControlDesign& design, SolidBrushes& brushes);

} // namespace velnor
