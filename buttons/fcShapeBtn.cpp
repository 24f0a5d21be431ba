#include "buttons/fcShapeBtn.h"

#include <cmath>

#include "buttons/fcExprEval.h"
#include "buttons/fcHelpers.h"
#include "platform/rtl/Strings.h"

ZELMOR_IMPLEMENT_ENUM(TfcButtonShape, "bsRoundRect", "bsEllipse", "bsTriangle", "bsArrow", "bsDiamond",
                      "bsRect", "bsStar", "bsTrapezoid", "bsCustom")
ZELMOR_IMPLEMENT_ENUM(TfcShapeOrientation, "soLeft", "soRight", "soUp", "soDown")
ZELMOR_IMPLEMENT_CLASS(TfcCustomShapeBtn, TfcCustomImageBtn)
ZELMOR_IMPLEMENT_COMPONENT(TfcShapeBtn, TfcCustomShapeBtn)

bool fcDisplayKeepsGrey() {
    static const bool Keeps = [] {
        TfcBitmap Grey;
        Grey.SetSize(1, 1);
        Grey.SetPixel(0, 0, fcMakePixel(192, 192, 192));
        TBitmap Screen(1, 1);
        Screen.Canvas()->Draw(0, 0, &Grey);
        uint32_t P = Screen.Surface().GetPixel(0, 0);
        return ((P >> 16) & 0xFF) <= 199 && ((P >> 8) & 0xFF) <= 199 && (P & 0xFF) <= 199;
    }();
    return Keeps;
}

TfcCustomShapeBtn::TfcCustomShapeBtn(TComponent* AOwner)
    : TfcCustomImageBtn(AOwner), FPointList(std::make_unique<TStringList>()) {
    UseHalftonePalette = false;
    FPointList->OnChange = [this](TObject*) { Reshape(); };
    SetColor(clBtnFace);
    SetShadeStyle(fbsHighlight);
}

TfcCustomShapeBtn::~TfcCustomShapeBtn() { FPointList->OnChange = nullptr; }

void TfcShapeBtn::DescribeProperties(TPropertyTable& T) {
    using B = TfcCustomShapeBtn;
    PublishBitBtn(T);
    T.Property("DitherColor", &B::DitherColor, &B::SetDitherColor).OfType(ColorTypeInfo());
    T.Property("Orientation", &B::Orientation, &B::SetOrientation).Default(soUp);
    T.Property("PointList", &B::PointList, &B::SetPointList);
    T.Property("RoundRectBias", &B::RoundRectBias, &B::SetRoundRectBias).Default(0);
    T.Property("Shape", &B::Shape, &B::SetShape).Default(bsRect);
}

// A new outline: the stored regions go and the window gets the new one.
void TfcCustomShapeBtn::Reshape() {
    FreeRegionData(RegionDataOf(false));
    FreeRegionData(RegionDataOf(true));
    RecreateWnd();
}

void TfcCustomShapeBtn::SetShape(TfcButtonShape Value) {
    if (FShape == Value) return;
    FShape = Value;
    Reshape();
    if (Parent() && fcIsClassNamed(Parent()->ClassInfo(), "TfcCustomButtonGroup"))
        fcInvalidateBounds(this, true);
}

void TfcCustomShapeBtn::SetOrientation(TfcShapeOrientation Value) {
    if (FOrientation == Value) return;
    FOrientation = Value;
    Reshape();
}

void TfcCustomShapeBtn::SetRoundRectBias(int Value) {
    if (FRoundRectBias == Value) return;
    FRoundRectBias = Value;
    Reshape();
}

void TfcCustomShapeBtn::SetPointList(TStringList* Value) { FPointList->Assign(Value); }

TColor TfcCustomShapeBtn::FaceColor() const {
    TfcPixel P = fcColorToPixel(Color());
    if (!fcDisplayKeepsGrey()) {
        // Displays that round greys away get channels just off a multiple of 8.
        for (uint8_t* C : {&P.Red, &P.Green, &P.Blue})
            if (*C != 0 && *C % 8 == 0) --*C;
    }
    return fcPixelToColor(P);
}

void TfcCustomShapeBtn::SizeToContents() {
    int Side = std::max(Width(), Height());
    SetBounds(Left(), Top(), Side, Side);
}

// --- the outline ---

std::vector<TPoint> TfcCustomShapeBtn::ParsePointList(int W, int H) {
    std::vector<TPoint> Points;
    if (FPointList->Count() < 3) return Points;
    try {
        for (int i = 0; i < FPointList->Count(); ++i) {
            AnsiString Line = UpperCase(FPointList->Strings(i));
            if (Line.find(',') == AnsiString::npos)
                throw EInvalidOperation(
                    "Invalid Custom Points Format.  X and Y Coordinates must be separated by "
                    "a comma and space.");
            Line = fcReplaceAll(Line, ",", ", ");
            Line = fcReplaceAll(Line, ",  ", ", ");
            Line = fcReplaceAll(Line, "WIDTH", IntToStr(W));
            Line = fcReplaceAll(Line, "HEIGHT", IntToStr(H));
            int Y = TfcEvaluator::Evaluate(fcGetField(Line, ", ", 1));
            int X = TfcEvaluator::Evaluate(fcGetField(Line, ", ", 0));
            Points.push_back(TPoint(X, Y));
        }
    } catch (...) {
        // From then on the button is a rectangle; the error goes on to the paint.
        FShape = bsRect;
        throw;
    }
    return Points;
}

std::vector<TPoint> TfcCustomShapeBtn::ShapePoints() {
    const int w = Width() - 1, h = Height() - 1;
    std::vector<TPoint> P;
    switch (FShape) {
    case bsTriangle: P = {{w / 2, 0}, {w, h}, {0, h}}; break;
    case bsArrow:
        P = {{0, h / 3},     {w / 2, 0}, {w, h / 3},    {w - w / 4, h / 3},
             {w - w / 4, h}, {w / 4, h}, {w / 4, h / 3}};
        break;
    case bsDiamond: P = {{w / 2, 0}, {w, h / 2}, {w / 2, h}, {0, h / 2}}; break;
    case bsRect: P = {{0, 0}, {w, 0}, {w, h}, {0, h}}; break;
    case bsStar: {
        const double A18 = 18 * M_PI / 180, A36 = 36 * M_PI / 180;
        int c = int(std::trunc(h / std::cos(A18)));
        int d = int(std::trunc(c / (2 * std::sin(A18) + 2)));
        int s = c - 2 * d;
        int e = int(std::trunc(std::cos(A18) * d));
        int g = int(std::trunc(std::tan(A18) * h));
        int m = w / 2;
        TPoint P1(m + s / 2, e);
        TPoint P3(P1.x + int(std::trunc(std::sin(A18) * s)), e + int(std::trunc(std::cos(A18) * s)));
        P = {{m, 0},     P1,
             {w, e},     P3,
             {m + g, h}, {m, h - int(std::trunc(std::sin(A36) * d))},
             {m - g, h}, {w - P3.x, P3.y},
             {0, e},     {w - P1.x, e}};
        break;
    }
    case bsTrapezoid: {
        int t = std::min(h / 2, (w / 2) / 2);
        P = {{t, 0}, {w - t, 0}, {w, h}, {0, h}};
        break;
    }
    case bsCustom: P = ParsePointList(w, h); break;
    default: break;
    }
    if (P.empty()) return P;
    P.push_back(P.front());
    int Turns = FOrientation == soRight ? 1 : FOrientation == soDown ? 2 : FOrientation == soLeft ? 3 : 0;
    // A button one pixel wide or high has no room to turn in: it keeps its points.
    if (w == 0 || h == 0) Turns = 0;
    for (int t = 0; t < Turns; ++t)
        for (TPoint& Q : P) Q = TPoint(w - (w * Q.y) / h, (h * Q.x) / w);
    return P;
}

void TfcCustomShapeBtn::PolygonBevel(TfcBitmap& Bitmap, const std::vector<TPoint>& Points, TColor Transparent,
                                     bool ADown) {
    if (IsRoundShape()) {
        fcBevelImage(Bitmap, Bitmap, Transparent, ADown);
        return;
    }
    if (Points.size() < 2) return;
    TRegion Area = TRegion::Polygon(Points, ALTERNATE);
    size_t Edges = Points.size() - 1;
    std::vector<TPoint> Normal(Edges);
    std::vector<bool> Inward(Edges);
    for (size_t i = 0; i < Edges; ++i) {
        TPoint A = Points[i], B = Points[i + 1];
        int dx = std::abs(B.x - A.x), dy = std::abs(B.y - A.y);
        TPoint M = fcMidpoint(A, B);
        bool Inside;
        TPoint N;
        if (dy < dx) {
            Inside = Area.Contains(M.x, M.y + 1);
            N = TPoint(0, Inside ? 1 : -1);
        } else {
            Inside = Area.Contains(M.x + 1, M.y);
            N = TPoint(Inside ? 1 : -1, 0);
        }
        if (dx == 0) N.y = Area.Contains(A.x, std::max(A.y, B.y) + 1) ? 1 : -1;
        else if (dy == 0) N.x = Area.Contains(std::max(A.x, B.x), A.y) ? 1 : -1;
        Normal[i] = N;
        Inward[i] = Inside;
    }
    TCanvas* C = Bitmap.Canvas();
    TfcShadeColors* S = ShadeColors();
    int f = Focused() || Default() ? 1 : 0;
    C->Pen()->SetWidth(1);
    C->Pen()->SetStyle(psSolid);
    // The edges whose inside lies below or right of them (the top and left
    // ones) come last in each pass, so where two lines meet at a corner the
    // same one wins whichever point the outline starts from: a shape looks
    // the same in every orientation that maps it onto itself.
    auto Lines = [&](int Step, TColor SameAsDown, TColor Otherwise) {
        for (bool Last : {false, true})
            for (size_t i = 0; i < Edges; ++i) {
                if (Inward[i] != Last) continue;
                C->Pen()->SetColor(Inward[i] == ADown ? SameAsDown : Otherwise);
                TPoint N = Normal[i];
                C->MoveTo(Points[i].x + N.x * Step, Points[i].y + N.y * Step);
                C->LineTo(Points[i + 1].x + N.x * Step, Points[i + 1].y + N.y * Step);
            }
    };
    Lines(f + 1, S->BtnShadow(), S->Btn3DLight());
    Lines(f, S->BtnBlack(), S->BtnHighlight());
    if (f) Lines(0, S->BtnFocus(), S->BtnFocus());
}

// --- painting ---

void TfcCustomShapeBtn::PaintFace(TfcBitmap& Bitmap, bool MaskOnly, TfcShadeStyle Shade, bool ADown) {
    bool Bevel = Shade != fbsFlat || (Enabled() && MouseInControl(-1, -1, false)) || ADown;
    Bitmap.SetSize(Width(), Height());
    if (Bitmap.Empty()) return;
    TCanvas* C = Bitmap.Canvas();
    TBrush Mask;
    Mask.SetColor(MaskColor());
    C->FillRect(TRect(0, 0, Width(), Height()), Mask);
    TColor Face = FaceColor();
    C->Brush()->SetColor(Face);
    C->Pen()->SetStyle(psSolid);
    C->Pen()->SetWidth(1);
    C->Pen()->SetColor(Bevel ? TColor(ColorToRGB(DitherColor())) : Face);
    if (ADown && DitherColor() != clNone && GroupIndex() != 0) {
        // A down group button shows a dithered face.
        fcDitherBrush(*C->Brush());
        C->SetBkColor(DitherColor());
        C->SetTextColor(Color());
    }
    if (IsRoundShape()) {
        C->Pen()->SetColor(Face);
        if (FShape == bsRoundRect)
            C->RoundRect(0, 0, Width() - 1, Height() - 1, FRoundRectBias, FRoundRectBias);
        else C->Ellipse(0, 0, Width() - 1, Height() - 1);
        if (Bevel && !MaskOnly) PolygonBevel(Bitmap, {}, MaskColor(), ADown);
    } else {
        std::vector<TPoint> Points = ShapePoints();
        if (!Points.empty()) {
            C->SetPolyFillMode(ALTERNATE);
            C->Polygon(Points);
            if (Bevel && !MaskOnly) PolygonBevel(Bitmap, Points, MaskColor(), ADown);
        }
    }
    C->Brush()->SetBitmap(nullptr);
    C->Brush()->SetColor(Face);
}

// --- the region ---

std::optional<TRegion> TfcCustomShapeBtn::CreateRegion(bool FromPicture, bool ADown) {
    if (RegionDataOf(ADown).Buffer || !FromPicture) return TfcCustomImageBtn::CreateRegion(false, ADown);
    TfcBitmap Mask;
    PaintFace(Mask, true, ShadeStyle(), ADown);
    std::optional<TRegion> R = fcRegionFromBitmap(Mask, TColor(ColorToRGB(MaskColor())));
    // A shape with no area (fewer than three points) shows nothing and lets
    // every click through, rather than a rectangle in the mask colour.
    if (!R) R = TRegion();
    SaveRegionData(R, ADown);
    return R;
}

void TfcCustomShapeBtn::AssignTo(TPersistent* Dest) {
    if (auto* D = dynamic_cast<TfcCustomShapeBtn*>(Dest)) {
        D->SetOrientation(FOrientation);
        D->SetPointList(FPointList.get());
        D->SetRoundRectBias(FRoundRectBias);
        D->SetShape(FShape);
    }
    TfcCustomImageBtn::AssignTo(Dest);
}
