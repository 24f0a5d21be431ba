#pragma once
// A small marker that shows a bitmap of the program's resources (its
// bottom-left pixel's colour transparent) and is dragged sideways with the
// mouse between two limits in a capture loop of its own, which pumps every
// other message meanwhile. The rich text ruler's indent markers are these.
#include <memory>

#include "platform/ui/Controls.h"

class TBitmap;

class TwwTrackIcon : public TGraphicControl {
    ZELMOR_CLASS(TwwTrackIcon, TGraphicControl)
public:
    explicit TwwTrackIcon(TComponent* AOwner);
    ~TwwTrackIcon() override;
    static void DescribeProperties(TPropertyTable& T);

    // Loads the bitmap resource of that name (found without regard to case)
    // and takes its size; an empty name keeps the bitmap and the size.
    AnsiString BitmapName() const { return FBitmapName; }
    void SetBitmapName(const AnsiString& Value);
    // The smallest and the largest Left a drag may give; 0: no limit (so 0
    // itself cannot be a lower limit).
    int MinValue() const { return FMinValue; }
    void SetMinValue(int Value) { FMinValue = Value; }
    int MaxValue() const { return FMaxValue; }
    void SetMaxValue(int Value) { FMaxValue = Value; }
    TBitmap* Bitmap() const { return FBitmap.get(); }

    // Fired when a drag that moved the marker ends.
    TNotifyEvent OnEndDrag;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    int Limit(int Value) const;
    void DragLoop(int X0, int Y0);
    std::unique_ptr<TBitmap> FBitmap;
    AnsiString FBitmapName;
    int FMinValue = 0, FMaxValue = 0;
};
