#include "dataaware/wwTrackIcon.h"

#include "platform/gfx/Bitmap.h"
#include "platform/ui/Forms.h"
#include "platform/win/MessageQueue.h"
#include "platform/win/WindowManager.h"

ZELMOR_IMPLEMENT_COMPONENT(TwwTrackIcon, TGraphicControl)

TwwTrackIcon::TwwTrackIcon(TComponent* AOwner)
    : TGraphicControl(AOwner), FBitmap(std::make_unique<TBitmap>()) {}

TwwTrackIcon::~TwwTrackIcon() = default;

void TwwTrackIcon::DescribeProperties(TPropertyTable& T) {
    using C = TwwTrackIcon;
    T.Property("BitmapName", &C::BitmapName, &C::SetBitmapName);
    T.Property("MinValue", &C::MinValue, &C::SetMinValue).NoDefault();
    T.Property("MaxValue", &C::MaxValue, &C::SetMaxValue).NoDefault();
    T.Event("OnEndDrag", &C::OnEndDrag);
}

void TwwTrackIcon::SetBitmapName(const AnsiString& Value) {
    if (Value == FBitmapName) return;
    FBitmapName = Value;
    if (!Value.empty()) {
        try {
            FBitmap->LoadFromResourceName(Value);
        } catch (const Exception&) {
            FBitmap = std::make_unique<TBitmap>();
        }
        SetBounds(Left(), Top(), FBitmap->Width(), FBitmap->Height());
    }
    Invalidate();
}

void TwwTrackIcon::Paint() {
    TCanvas* canvas = Canvas();
    canvas->Lock();
    struct TUnlock {
        TCanvas* C;
        ~TUnlock() { C->Unlock(); }
    } unlock{canvas};
    if (FBitmap->Width() == 0 || FBitmap->Height() == 0) return;
    const TRect r(0, 0, FBitmap->Width(), FBitmap->Height());
    canvas->Brush()->SetStyle(bsClear);
    // The bottom-left pixel names the colour the parent shows through.
    const TColor transparent = FBitmap->Canvas()->Pixel(0, Height() - 1);
    canvas->BrushCopy(r, FBitmap.get(), r, transparent);
}

int TwwTrackIcon::Limit(int Value) const {
    if (FMinValue != 0 && Value < FMinValue) return FMinValue;
    if (FMaxValue != 0 && Value > FMaxValue) return FMaxValue;
    return Value;
}

void TwwTrackIcon::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Shift.Contains(ssLeft)) DragLoop(X, Y);
}

void TwwTrackIcon::DragLoop(int X0, int Y0) {
    TCustomForm* form = GetParentForm(this);
    if (!form) return;
    HWND window = form->Handle();
    SetCapture(window);
    struct TRelease {
        HWND Window;
        ~TRelease() {
            if (GetCapture() == Window) ReleaseCapture();
        }
    } release{window};
    bool moved = false;
    while (GetCapture() == window) {
        TPoint screen;
        GetCursorPos(screen);
        const TPoint p = ScreenToClient(screen);
        TMsg msg;
        if (!GetMessage(msg, nullptr, 0, 0)) {
            // The application is asked to end: its own loop must see that too.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (msg.message == WM_MOUSEMOVE) {
            if (moved || p.x != X0 || p.y != Y0) {
                SetLeft(Limit(Left() + p.x - X0));
                moved = true;
            }
            continue;
        }
        if (msg.message == WM_LBUTTONUP) {
            if (moved && Assigned(OnEndDrag)) OnEndDrag(this);
            if (GetCapture() == window) ReleaseCapture();
        }
        TranslateMessage(msg);
        DispatchMessage(msg);
    }
}
