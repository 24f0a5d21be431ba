#pragma once
// The slider: a horizontal or vertical bar whose thumb selects a Position
// between Min and Max in multiples of Step, with tick marks. It draws through
// an off-screen bitmap and works with the mouse, the keys and the wheel; it
// can also be made as a borderless popup window.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "reportview/OvcBase.h"

// Scoped: the splitter's orientation has enumerators of the same names.
enum class TOvcSliderOrientation : uint8_t { soHorizontal, soVertical };
ZELMOR_DECLARE_ENUM(TOvcSliderOrientation);

// The geometry of a slider of length L (its client width or height), along
// the bar from the low end (left, or bottom).
struct TOvcSliderGeometry {
    // trunc(0.08 L) made odd and at least 7, but never longer than the bar.
    static int ThumbLength(int L);
    // The thumb's leading edge for Position: 0 .. L - T, never a division by
    // zero (a bar no longer than the thumb, or Max = Min, keeps it at 0).
    static int ThumbOffset(double Position, double Min, double Max, int L, int T);
    // The position of a thumb dragged to leading edge X (clamped to the bar).
    static double DragPosition(int X, double Min, double Max, double Step, int L, int T);
    // Where the tick marks go: every MinMarkSpacing pixels when the steps do
    // not fit, else one per step.
    static std::vector<int> Marks(double Min, double Max, double Step, int L, int T, int MinMarkSpacing);
};

class TOvcCustomSlider : public TOvcCustomControl {
    ZELMOR_CLASS(TOvcCustomSlider, TOvcCustomControl)
public:
    explicit TOvcCustomSlider(TComponent* AOwner);
    TOvcCustomSlider(TComponent* AOwner, bool AsPopup);
    ~TOvcCustomSlider() override;

    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    bool DrawMarks() const { return FDrawMarks; }
    void SetDrawMarks(bool Value);
    TColor MarkColor() const { return FMarkColor; }
    void SetMarkColor(TColor Value);
    int MinMarkSpacing() const { return FMinMarkSpacing; }
    void SetMinMarkSpacing(int Value);  // below 1 ignored
    TOvcSliderOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TOvcSliderOrientation Value);
    double Max() const { return FMax; }
    void SetRangeHi(double Value);  // EOvcException 30336 unless above Min (or loading)
    double Min() const { return FMin; }
    void SetRangeLo(double Value);
    double Position() const { return FPosition; }
    void SetPosition(double Value);
    double Step() const { return FStep; }
    void SetStep(double Value);  // 0 becomes 1
    bool IsPopup() const { return FPopup; }
    bool Dragging() const { return FDragging; }
    TRect ThumbRect() const { return FThumbRect; }

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    TNotifyEvent OnChange;

protected:
    virtual void DoOnChange();
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DoOnMouseWheel(TShiftState Shift, uint16_t Delta, uint16_t XPos, uint16_t YPos) override;
    void DoExit() override;
    void WMGetDlgCode(TMessage& Message) override;
    void WMSetFocus(TMessage& Message) override;
    void WMKillFocus(TMessage& Message) override;
    void CMCtl3DChanged(TMessage& Message) override;

private:
    int BarLength() const;
    void StepBy(int Direction);

    TBorderStyle FBorderStyle = bsSingle;
    bool FDrawMarks = true;
    TColor FMarkColor = clBtnText;
    int FMinMarkSpacing = 5;
    TOvcSliderOrientation FOrientation = TOvcSliderOrientation::soHorizontal;
    double FMax = 10, FMin = 0, FPosition = 0, FStep = 1;
    TRect FThumbRect;
    std::unique_ptr<TBitmap> FBitmap;
    int FDragOffset = 0;
    bool FDragging = false;
    bool FPopup = false;
};

class TOvcSlider : public TOvcCustomSlider {
    ZELMOR_CLASS(TOvcSlider, TOvcCustomSlider)
public:
    static void DescribeProperties(TPropertyTable& T);
    explicit TOvcSlider(TComponent* AOwner) : TOvcCustomSlider(AOwner) {}
};
