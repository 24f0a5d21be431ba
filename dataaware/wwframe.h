#pragma once
// The looks an edit-like control of the library can take instead of the
// platform's 3D border: a flat frame of its own (TwwEditFrame, the control's
// Frame) that may differ while the control has the focus and may leave the
// control transparent while it has not, and flat or transparent drop-down
// buttons (TwwButtonEffects). Both are settings the control owns and streams;
// the routines here lay out, size, paint and invalidate a framed control, and
// the controls decide when to call them.
//
// A frame counts only while it is effective: enabled, owned by a control, and
// that control not inside a grid. In a grid cell every control paints and
// lays out as if it had no frame.
#include <cstdint>

#include "platform/classes/Component.h"
#include "platform/classes/Properties.h"
#include "platform/gfx/Graphics.h"
#include "platform/ui/Controls.h"

// The sides of a frame; the set's bits are the edge routine's side flags
// (left 1, top 2, right 4, bottom 8) and go to it unchanged.
enum TwwEditFrameEnabledType : uint8_t { efLeftBorder, efTopBorder, efRightBorder, efBottomBorder };
ZELMOR_DECLARE_ENUM(TwwEditFrameEnabledType);
using TwwEditFrameEnabledSet = TSet<TwwEditFrameEnabledType>;
// efsFrameBox and efsFrameSingle are one pixel wide ("mono").
enum TwwEditFocusStyle : uint8_t {
    efsFrameBox,
    efsFrameSunken,
    efsFrameRaised,
    efsFrameEtched,
    efsFrameBump,
    efsFrameSingle
};
ZELMOR_DECLARE_ENUM(TwwEditFocusStyle);

class TwwEditFrame : public TPersistent {
    ZELMOR_CLASS(TwwEditFrame, TPersistent)
public:
    // Owner: the control the frame belongs to (a windowed one, else none).
    explicit TwwEditFrame(TComponent* AOwner);
    static void DescribeProperties(TPropertyTable& T);

    bool Enabled() const { return FEnabled; }
    // Enabling a framed edit takes its border away (disabling does not give
    // it back) and, with AutoSize, fits its height to the frame.
    void SetEnabled(bool Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    int AutoSizeHeightAdjust() const { return FAutoSizeHeightAdjust; }
    void SetAutoSizeHeightAdjust(int Value) { FAutoSizeHeightAdjust = Value; }
    TwwEditFrameEnabledSet FocusBorders() const { return FFocusBorders; }
    void SetFocusBorders(TwwEditFrameEnabledSet Value);
    TwwEditFrameEnabledSet NonFocusBorders() const { return FNonFocusBorders; }
    void SetNonFocusBorders(TwwEditFrameEnabledSet Value);
    TwwEditFocusStyle FocusStyle() const { return FFocusStyle; }
    void SetFocusStyle(TwwEditFocusStyle Value) { FFocusStyle = Value; }
    TwwEditFocusStyle NonFocusStyle() const { return FNonFocusStyle; }
    void SetNonFocusStyle(TwwEditFocusStyle Value);
    int NonFocusTextOffsetX() const { return FNonFocusTextOffsetX; }
    void SetNonFocusTextOffsetX(int Value) { FNonFocusTextOffsetX = Value; }
    int NonFocusTextOffsetY() const { return FNonFocusTextOffsetY; }
    void SetNonFocusTextOffsetY(int Value) { FNonFocusTextOffsetY = Value; }
    // clNone: not set.
    TColor NonFocusTransparentFontColor() const { return FNonFocusTransparentFontColor; }
    void SetNonFocusTransparentFontColor(TColor Value) { FNonFocusTransparentFontColor = Value; }
    TColor NonFocusColor() const { return FNonFocusColor; }
    void SetNonFocusColor(TColor Value) { FNonFocusColor = Value; }
    TColor NonFocusFontColor() const { return FNonFocusFontColor; }
    void SetNonFocusFontColor(TColor Value) { FNonFocusFontColor = Value; }
    bool MouseEnterSameAsFocus() const { return FMouseEnterSameAsFocus; }
    void SetMouseEnterSameAsFocus(bool Value) { FMouseEnterSameAsFocus = Value; }

    TWinControl* Control() const { return FControl; }
    // Invalidating what lies under a transparent control erases it.
    bool TransparentClearsBackground() const { return FTransparentClearsBackground; }
    void SetTransparentClearsBackground(bool Value) { FTransparentClearsBackground = Value; }
    // The control's next window asks for WS_EX_TRANSPARENT. It follows
    // Transparent, and the edits clear it while they have the focus: a
    // transparent edit is opaque while it is typed into.
    bool UseTransparentStyle() const { return FUseTransparentStyle; }
    void SetUseTransparentStyle(bool Value) { FUseTransparentStyle = Value; }
    // Transparent, effective, and the control not being designed.
    bool IsTransparentFrame() const;
    // The focus came in: the window drops WS_EX_TRANSPARENT (and the next
    // window will not ask for it) and repaints opaque.
    void DropTransparentStyle();
    // The focus or the mouse went: the control takes a new window that asks
    // for WS_EX_TRANSPARENT again.
    void RestoreTransparentStyle();

    void Assign(TPersistent* Source) override;
    // Enabled and Transparent, and then (when Force, or when this frame is
    // now enabled) every other setting.
    void AssignFrom(TwwEditFrame* Source, bool Force);

    bool IsEffective() const;
    static bool IsMonoStyle(TwwEditFocusStyle Style);
    // R comes with the client area's right (and bottom) edge; Left and Top
    // become the text margins and Right moves in, by the focused settings.
    void GetEditMargins(TRect& R) const;
    // Where a control that paints its own text places it.
    virtual void GetNonFocusTextOffsets(int& X, int& Y, bool Focused) const;
    // The control's height from its font, the border and the frame.
    void AdjustHeight();
    // Repaints what lies under a transparent control after its text changed
    // or it lost the focus.
    void RefreshBackground(bool WholeClient, bool TextAreaOnly, bool Erase);
    void InvalidateFrameArea();
    // A transparent control cannot be seen through a parent that clips its
    // children: its window is made again, and the edit's window creation
    // takes the clipping away from the parent.
    void ApplyTransparency();
    // Draws the frame on the control's whole window (on DC, else on the
    // window's own context). True, and nothing drawn, when not effective.
    bool PaintFrame(bool Focused, bool AlwaysTransparent, HDC DC);

private:
    bool IsEdit() const;
    TWinControl* FControl = nullptr;
    bool FEnabled = false;
    bool FTransparent = false;
    int FAutoSizeHeightAdjust = 0;
    TwwEditFrameEnabledSet FFocusBorders{efLeftBorder, efTopBorder, efRightBorder, efBottomBorder};
    TwwEditFrameEnabledSet FNonFocusBorders{efBottomBorder};
    TwwEditFocusStyle FFocusStyle = efsFrameBox;
    TwwEditFocusStyle FNonFocusStyle = efsFrameBox;
    int FNonFocusTextOffsetX = 0;
    int FNonFocusTextOffsetY = 0;
    TColor FNonFocusTransparentFontColor = clNone;
    TColor FNonFocusColor = clNone;
    TColor FNonFocusFontColor = clNone;
    bool FMouseEnterSameAsFocus = false;
    bool FTransparentClearsBackground = false;
    bool FUseTransparentStyle = false;
};

// A drop-down control's button look: the button's own Flat and Transparent
// properties are set by name.
class TwwButtonEffects : public TPersistent {
    ZELMOR_CLASS(TwwButtonEffects, TPersistent)
public:
    TwwButtonEffects(TControl* Control, TControl* Button) : FControl(Control), FButton(Button) {}
    static void DescribeProperties(TPropertyTable& T);

    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    TControl* Control() const { return FControl; }
    TControl* Button() const { return FButton; }
    void SetButton(TControl* Value) { FButton = Value; }

    void Assign(TPersistent* Source) override;
    // A drop-down control re-applies its button's look here.
    virtual void Refresh() {}

private:
    TControl* FControl;
    TControl* FButton;
    bool FTransparent = false;
    bool FFlat = false;
};

// The control's parent has a window with WS_EX_TRANSPARENT.
bool ParentHasTransparentStyle(TControl* Control);
// The control's AutoSize; false when it has none.
bool GetAutoSizeProp(TObject* Control);
// Sets an ordinal property by name; nothing when there is none.
void SetOrdPropByName(TObject* Control, std::string_view PropName, int64_t Value);
// The control's Frame, else its EditFrame, else none.
TwwEditFrame* GetFrameProp(TObject* Control);
TwwButtonEffects* GetButtonEffectsProp(TObject* Control);
// The frame's sides for the focused or unfocused state round the control's window.
void DrawFrameEdges(TControl* Control, TwwEditFrame* Frame, HDC DC, bool Focused);
// The mouse came over the control: an unfocused control whose frame looks
// focused under the mouse draws that look round its window (Hot), or its own.
void DrawHoverFrameEdges(TWinControl* Control, TwwEditFrame* Frame, bool Hot);
// The mouse left an unfocused control whose frame looks focused under the
// mouse: the unfocused frame is drawn, and the control takes a new window
// (see-through again when its frame is transparent).
void FrameMouseLeft(TWinControl* Control, TwwEditFrame* Frame, bool Focused);
// A drop-down edit's button sits on a holder window at its right edge.
// The mouse left the holder of an unfocused edit with a transparent frame:
// what lies under the holder is drawn again, in the edit's parent (moved
// 2 pixels right and down for a bordered edit), or through every
// transparent window above.
void RefreshUnderButtonHolder(TWinControl* Editor, TControl* Holder);
// The holder of a transparent edit erases nothing; while its button is held
// down the parent paints under the holder at once, with Updating set so
// that the button keeps from painting meanwhile.
void PaintParentUnderButtonHolder(TWinControl* Editor, TControl* Holder, bool& Updating);
// Invalidates the control's area in its parent, and on up while the windows
// are transparent.
void InvalidateUnderControl(TControl* Control, bool Erase);
void InvalidateControlBackground(TControl* Control);
