#pragma once
// The shape button: its face a filled shape (rounded rectangle, ellipse,
// triangle, arrow, diamond, rectangle, star, trapezoid, or a polygon given as
// point expressions) with a two-line bevel along the outline, and its window
// region that shape.
#include <cstdint>
#include <memory>
#include <vector>

#include "buttons/fcImgBtn.h"
#include "platform/rtl/StringList.h"

enum TfcButtonShape : uint8_t {
    bsRoundRect,
    bsEllipse,
    bsTriangle,
    bsArrow,
    bsDiamond,
    bsRect,
    bsStar,
    bsTrapezoid,
    bsCustom
};
ZELMOR_DECLARE_ENUM(TfcButtonShape);
enum TfcShapeOrientation : uint8_t { soLeft, soRight, soUp, soDown };
ZELMOR_DECLARE_ENUM(TfcShapeOrientation);

// Whether a grey drawn through our bitmap reaches the display unchanged, so
// a face can be drawn in Color itself; worked out once per process.
bool fcDisplayKeepsGrey();

class TfcCustomShapeBtn : public TfcCustomImageBtn {
    ZELMOR_CLASS(TfcCustomShapeBtn, TfcCustomImageBtn)
public:
    explicit TfcCustomShapeBtn(TComponent* AOwner);
    ~TfcCustomShapeBtn() override;

    // bsRect, the default the main window's step buttons keep, is a plain
    // rectangle: their RoundRectBias only tells a rounded shape how round to be.
    TfcButtonShape Shape() const { return FShape; }
    void SetShape(TfcButtonShape Value);
    // Quarter turns clockwise: soUp none, soRight one, soDown two, soLeft three.
    TfcShapeOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TfcShapeOrientation Value);
    int RoundRectBias() const { return FRoundRectBias; }
    void SetRoundRectBias(int Value);
    // One "x, y" line per point; WIDTH and HEIGHT stand for the size less one.
    TStringList* PointList() const { return FPointList.get(); }
    void SetPointList(TStringList* Value);

    virtual bool IsRoundShape() const { return FShape == bsRoundRect || FShape == bsEllipse; }
    // What lies outside the shape in a painted face: blue on a red button, else red.
    TColor MaskColor() const { return Color() == clRed ? clBlue : clRed; }
    TColor FaceColor() const;
    // The closed outline (first point again at the end) in the current
    // orientation; empty for the curved shapes and for fewer than three custom points.
    std::vector<TPoint> ShapePoints();
    // The two-line bevel along the outline, as the button shows it up or down.
    void PolygonBevel(TfcBitmap& Bitmap, const std::vector<TPoint>& Points, TColor Transparent, bool ADown);

    std::optional<TRegion> CreateRegion(bool FromPicture, bool ADown) override;
    bool StoresRegionData() const override { return false; }
    void PaintFace(TfcBitmap& Bitmap, bool MaskOnly, TfcShadeStyle Shade, bool ADown) override;
    bool CanUseRegion() const override { return true; }
    bool HasDistinctDownRegion() const override { return false; }
    // A square of the larger side.
    void SizeToContents() override;

protected:
    void AssignTo(TPersistent* Dest) override;

private:
    void Reshape();
    std::vector<TPoint> ParsePointList(int W, int H);
    TfcButtonShape FShape = bsRect;
    TfcShapeOrientation FOrientation = soUp;
    int FRoundRectBias = 25;
    std::unique_ptr<TStringList> FPointList;
};

class TfcShapeBtn : public TfcCustomShapeBtn {
    ZELMOR_CLASS(TfcShapeBtn, TfcCustomShapeBtn)
public:
    using TfcCustomShapeBtn::TfcCustomShapeBtn;
    static void DescribeProperties(TPropertyTable& T);
};
