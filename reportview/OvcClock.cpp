#include "reportview/OvcClock.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "platform/gfx/Region.h"
#include "platform/rtl/Clock.h"
#include "reportview/OvcExcpt.h"

ZELMOR_IMPLEMENT_ENUM(TOvcClockMode, "cmClock", "cmTimer")
ZELMOR_IMPLEMENT_CLASS(TOvcHandOptions, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TOvcCustomClock, TOvcCustomControlEx)
ZELMOR_IMPLEMENT_COMPONENT(TOvcClock, TOvcCustomClock)

namespace {

// Halves go to the even neighbour, as the clock's drawing has always rounded.
int RoundEven(double Value) { return static_cast<int>(std::nearbyint(Value)); }

double Radians(int Degrees) { return Degrees * std::numbers::pi / 180.0; }

// The angle of a hand or mark at Value (0 to 59 around the face), in degrees.
int AngleOf(double Value) { return (RoundEven(Value * 6) + 90) % 360; }

}  // namespace

TDateTime OvcMSecsToDateTime(int64_t MSecs) {
    int64_t s = MSecs / 1000;
    int64_t days = s / 86400, r = s % 86400;
    return EncodeTime(static_cast<int>(r / 3600), static_cast<int>(r % 3600 / 60), static_cast<int>(r % 60),
                      0) +
           static_cast<double>(days);
}

// --- hand options ---

void TOvcHandOptions::DescribeProperties(TPropertyTable& T) {
    using H = TOvcHandOptions;
    T.Property("HourHandColor", &H::HourHandColor, &H::SetHourHandColor).OfType(ColorTypeInfo());
    T.Property("HourHandLength", &H::HourHandLength, &H::SetHourHandLength).NoDefault();
    T.Property("HourHandWidth", &H::HourHandWidth, &H::SetHourHandWidth).NoDefault();
    T.Property("MinuteHandColor", &H::MinuteHandColor, &H::SetMinuteHandColor).OfType(ColorTypeInfo());
    T.Property("MinuteHandLength", &H::MinuteHandLength, &H::SetMinuteHandLength).NoDefault();
    T.Property("MinuteHandWidth", &H::MinuteHandWidth, &H::SetMinuteHandWidth).NoDefault();
    T.Property("SecondHandColor", &H::SecondHandColor, &H::SetSecondHandColor).OfType(ColorTypeInfo());
    T.Property("SecondHandLength", &H::SecondHandLength, &H::SetSecondHandLength).NoDefault();
    T.Property("SecondHandWidth", &H::SecondHandWidth, &H::SetSecondHandWidth).NoDefault();
    T.Property("ShowSecondHand", &H::ShowSecondHand, &H::SetShowSecondHand).NoDefault();
    T.Property("SolidHands", &H::SolidHands, &H::SetSolidHands).NoDefault();
}

void TOvcHandOptions::Assign(TPersistent* Source) {
    auto* from = dynamic_cast<TOvcHandOptions*>(Source);
    if (!from) {
        TPersistent::Assign(Source);
        return;
    }
    FHourHandColor = from->FHourHandColor;
    FHourHandLength = from->FHourHandLength;
    FHourHandWidth = from->FHourHandWidth;
    FMinuteHandColor = from->FMinuteHandColor;
    FMinuteHandLength = from->FMinuteHandLength;
    FMinuteHandWidth = from->FMinuteHandWidth;
    FSecondHandColor = from->FSecondHandColor;
    FSecondHandLength = from->FSecondHandLength;
    FSecondHandWidth = from->FSecondHandWidth;
    FShowSecondHand = from->FShowSecondHand;
    FSolidHands = from->FSolidHands;
    if (OnChange) OnChange(this);
}

// --- the clock ---

TOvcCustomClock::TOvcCustomClock(TComponent* AOwner)
    : TOvcCustomControlEx(AOwner), FClockFace(std::make_unique<TBitmap>()),
      FHandOptions(std::make_unique<TOvcHandOptions>()), FPicture(std::make_unique<TBitmap>()) {
    FHandOptions->OnChange = [this](TObject*) { Invalidate(); };
    SetBounds(Left(), Top(), 150, 150);
}

TOvcCustomClock::~TOvcCustomClock() = default;

void TOvcCustomClock::BeforeDestruction() {
    StopTrigger();
    FActive = false;
    TOvcCustomControlEx::BeforeDestruction();
}

void TOvcCustomClock::StopTrigger() {
    if (FTrigger >= 0 && FPool) {
        UpdateElapsed();
        FPool->Remove(FTrigger);
    }
    FTrigger = -1;
    FPool = nullptr;
}

void TOvcCustomClock::SetActive(bool Value) {
    if (ComponentState().Contains(csLoading)) {
        FActive = Value;
        return;
    }
    if (Value == FActive) return;
    if (Value) {
        if (!Controller()) throw ENoControllerAssigned();
        if (FTrigger < 0) {
            FPool = Controller()->TimerPool();
            FTrigger = FPool->Add([this](TObject* S, int32_t H, uint32_t I, int32_t E) { Tick(S, H, I, E); },
                                  TickInterval);
        }
        FActive = true;
        FTime = FClockMode == cmTimer ? TDateTime(0) : Clock().Now();
    } else {
        StopTrigger();
        FActive = false;
    }
    Invalidate();
}

void TOvcCustomClock::SetController(TOvcController* Value) {
    if (Value == Controller()) return;
    // A running clock keeps its trigger in the pool of its controller.
    bool running = FActive && FTrigger >= 0;
    if (running) StopTrigger();
    TOvcCustomControlEx::SetController(Value);
    if (running && Value) {
        FPool = Value->TimerPool();
        FTrigger = FPool->Add([this](TObject* S, int32_t H, uint32_t I, int32_t E) { Tick(S, H, I, E); },
                              TickInterval);
    }
}

void TOvcCustomClock::Notification(TComponent* AComponent, TOperation Operation) {
    // The controller goes with its pool, and the trigger with it.
    if (Operation == opRemove && AComponent == Controller()) {
        FTrigger = -1;
        FPool = nullptr;
    }
    TOvcCustomControlEx::Notification(AComponent, Operation);
}

void TOvcCustomClock::Loaded() {
    TOvcCustomControlEx::Loaded();
    // A clock streamed active starts now.
    bool streamed = FActive;
    FActive = false;
    SetActive(streamed);
}

void TOvcCustomClock::Tick(TObject*, int32_t, uint32_t, int32_t ElapsedTime) {
    SetTime(FClockMode == cmTimer ? OvcMSecsToDateTime(ElapsedTime) : ClockModeTime(Clock().Now()));
}

TDateTime TOvcCustomClock::ClockModeTime(TDateTime Now) const {
    int hour = 0, minute = 0, second = 0, msec = 0;
    DecodeTime(Now, hour, minute, second, msec);
    int m = minute + FMinuteOffset;
    // The hours m runs past 0 to 59, one less when it is negative.
    int carry = m >= 0 ? m / 60 : (m - 59) / 60;
    minute = m - carry * 60;
    hour += FTimeOffset + carry;
    if (hour > 23) hour -= 24;
    if (hour < 0) hour += 24;
    return EncodeTime(hour, minute, second, msec);
}

void TOvcCustomClock::SetTime(TDateTime Value) {
    int oh = 0, om = 0, os = 0, oms = 0, h = 0, m = 0, s = 0, ms = 0;
    DecodeTime(FTime, oh, om, os, oms);
    DecodeTime(Value, h, m, s, ms);
    if (h == oh && m == om && s == os) return;
    FTime = Value;
    if (h != FLastHour) {
        FLastHour = h;
        if (OnHourChange) OnHourChange(this);
    }
    if (m != FLastMinute) {
        FLastMinute = m;
        if (OnMinuteChange) OnMinuteChange(this);
    }
    if (s != FLastSecond) {
        FLastSecond = s;
        if (OnSecondChange) OnSecondChange(this);
    }
    Invalidate();
}

void TOvcCustomClock::UpdateElapsed() {
    if (FTrigger < 0 || !FPool) return;
    int32_t ms = FPool->ElapsedTriggerTime(FTrigger);
    TDateTime t = OvcMSecsToDateTime(ms);
    int h = 0, m = 0, s = 0, x = 0;
    DecodeTime(t, h, m, s, x);
    FDays = static_cast<int32_t>(std::floor(t));
    FHours = h;
    FMinutes = m;
    FSeconds = s;
    FSecondsTotal = ms / 1000;
}

int32_t TOvcCustomClock::GetElapsedDays() {
    UpdateElapsed();
    return FDays;
}

int32_t TOvcCustomClock::GetElapsedHours() {
    UpdateElapsed();
    return FHours;
}

int32_t TOvcCustomClock::GetElapsedMinutes() {
    UpdateElapsed();
    return FMinutes;
}

int32_t TOvcCustomClock::GetElapsedSeconds() {
    UpdateElapsed();
    return FSeconds;
}

int32_t TOvcCustomClock::GetElapsedSecondsTotal() {
    UpdateElapsed();
    return FSecondsTotal;
}

void TOvcCustomClock::SetClockFace(TBitmap* Value) {
    if (Value) FClockFace->Assign(Value);
    else FClockFace = std::make_unique<TBitmap>();
    Invalidate();
}

void TOvcCustomClock::SetClockMode(TOvcClockMode Value) {
    if (Value == FClockMode) return;
    FClockMode = Value;
    Invalidate();
}

void TOvcCustomClock::SetDrawMarks(bool Value) {
    if (Value == FDrawMarks) return;
    FDrawMarks = Value;
    Invalidate();
}

void TOvcCustomClock::SetTimeOffset(int Value) {
    if (Value == FTimeOffset || std::abs(Value) > 12) return;
    FTimeOffset = Value;
    Invalidate();
}

void TOvcCustomClock::SetMinuteOffset(int Value) {
    if (Value == FMinuteOffset || std::abs(Value) > 60) return;
    FMinuteOffset = Value;
    Invalidate();
}

void TOvcCustomClock::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TOvcCustomControlEx::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (FPicture) FPicture->SetSize(std::max(Width(), 0), std::max(Height(), 0));
    Invalidate();
}

void TOvcCustomClock::WMEraseBkgnd(TMessage& Message) { Message.Result = 1; }

void TOvcCustomClock::WMGetDlgCode(TMessage& Message) { Message.Result = DLGC_STATIC; }

void TOvcCustomClock::Paint() {
    if (FPicture->Width() != Width() || FPicture->Height() != Height()) FPicture->SetSize(Width(), Height());
    PaintFace(FPicture->Canvas());
    Canvas()->Draw(0, 0, FPicture.get());
}

void TOvcCustomClock::PaintFace(TCanvas* C) {
    const TRect client(0, 0, Width(), Height());
    C->Brush()->SetColor(Color());
    C->FillRect(client);

    if (!FClockFace->Empty()) {
        TRect face = client;
        if (FDrawMarks) InflateRect(face, -3, -3);
        TRegion round = TRegion::Ellipse(face);
        int saved = C->SaveDC();
        C->SelectClipRgn(&round);
        C->StretchDraw(face, FClockFace.get());
        C->RestoreDC(saved);
    }

    const int hw = std::max(client.Width() / 2, 1), hh = std::max(client.Height() / 2, 1);
    if (FDrawMarks) {
        const TColor silver = RGB(192, 192, 192), grey = RGB(128, 128, 128), white = RGB(255, 255, 255);
        const TColor blue = RGB(0, 0, 255), black = RGB(0, 0, 0);
        for (int i = 0; i < 60; ++i) {
            const double a = Radians(AngleOf(i));
            const int x = RoundEven((1 - std::cos(a) * 0.98) * hw),
                      y = RoundEven((1 - std::sin(a) * 0.98) * hh);
            const bool hour = i % 5 == 0;
            // A bevelled dot: lit from the top left for minutes, a blue and black stud for hours.
            const TColor up = hour ? blue : grey, down = hour ? black : white;
            C->SetPixel(x, y, hour ? grey : silver);
            C->SetPixel(x, y - 1, up);
            C->SetPixel(x - 1, y, up);
            C->SetPixel(x - 1, y - 1, up);
            C->SetPixel(x, y + 1, down);
            C->SetPixel(x + 1, y, down);
            C->SetPixel(x + 1, y + 1, down);
            if (hour) {
                C->SetPixel(x - 1, y + 1, blue);
                C->SetPixel(x + 1, y - 1, black);
            }
        }
    }

    const int cx = hw, cy = hh, radius = std::min(cx, cy);
    int hour = 0, minute = 0, second = 0, msec = 0;
    DecodeTime(FTime, hour, minute, second, msec);
    const TOvcHandOptions& o = *FHandOptions;

    // The seven points of a hand pointing up, turned to its angle.
    auto hand = [&](double Value, uint8_t Percent, int HandWidth, TColor HandColor, int Hollow) {
        const int length = static_cast<int>(radius * Percent / 100.0);
        const int d = HandWidth >= 2 ? static_cast<int>(length * 0.25) : 0;
        const double turn = Radians(AngleOf(Value) - 90);
        const double sn = std::sin(turn), cs = std::cos(turn);
        auto place = [&](int Dx, int Dy) {
            int x = RoundEven(cs * Dx - sn * Dy), y = RoundEven(sn * Dx + cs * Dy);
            // A face wider than high (or higher than wide) stretches the shorter axis.
            if (cy < cx) x = RoundEven(x * double(cx) / cy);
            else y = RoundEven(y * double(cy) / cx);
            return TPoint(cx + x, cy + y);
        };
        const TPoint centre = place(0, 0), inner = place(0, -d), tip = place(0, -length),
                     left = place(-HandWidth, -d), right = place(HandWidth, -d);
        const std::array<TPoint, 7> points{centre, inner, tip, left, centre, right, tip};
        C->Pen()->SetColor(HandColor);
        C->Pen()->SetWidth(1);
        C->Pen()->SetStyle(psSolid);
        C->Brush()->SetColor(o.SolidHands() ? HandColor : Color());
        C->Polygon(points);
        if (!o.SolidHands()) {
            // Two of the four triangles lit, after where the hand points.
            enum { LowerLeft = 1, LowerRight = 2, UpperLeft = 4, UpperRight = 8 };
            C->Brush()->SetColor(clWhite);
            const std::array<std::array<TPoint, 3>, 4> triangles{
                {{centre, inner, left}, {centre, inner, right}, {inner, tip, left}, {inner, tip, right}}};
            for (int t = 0; t < 4; ++t)
                if (Hollow & (1 << t)) C->Polygon(triangles[size_t(t)]);
        }
        C->Brush()->SetColor(Color());
    };
    auto hourLit = [](int Hour) {
        switch (Hour % 12) {
        case 4:
        case 5: return 1 | 2;
        case 6:
        case 7:
        case 8:
        case 9: return 2 | 8;
        case 10:
        case 11: return 4 | 8;
        default: return 4 | 1;
        }
    };
    auto valueLit = [](int Value) {
        if (Value < 16) return 4 | 1;
        if (Value <= 25) return 1 | 2;
        if (Value <= 50) return 2 | 8;
        return 4 | 8;
    };
    hand(minute / 12 + hour * 5, o.HourHandLength(), o.HourHandWidth(), o.HourHandColor(), hourLit(hour));
    hand(minute, o.MinuteHandLength(), o.MinuteHandWidth(), o.MinuteHandColor(), valueLit(minute));
    if (o.ShowSecondHand())
        hand(second, o.SecondHandLength(), o.SecondHandWidth(), o.SecondHandColor(), valueLit(second));

    const int cap = RoundEven(radius * 0.04) + 1;
    C->Pen()->SetColor(clBlack);
    C->Brush()->SetColor(o.ShowSecondHand() ? o.SecondHandColor() : o.MinuteHandColor());
    C->Ellipse(cx - cap, cy - cap, cx + cap, cy + cap);
    C->Brush()->SetColor(Color());
}

void TOvcClock::DescribeProperties(TPropertyTable& T) {
    using K = TOvcCustomClock;
    TControl::PublishStandard(T, {"Align", "Color", "PopupMenu", "ShowHint", "Visible", "OnClick",
                                  "OnDblClick", "OnMouseDown", "OnMouseMove", "OnMouseUp"});
    T.Property("Active", &K::Active, &K::SetActive).NoDefault();
    T.PropertyOf<K>(
        "Controller", [](K& C) { return C.Controller(); },
        [](K& C, TOvcController* V) { C.SetController(V); });
    T.Property("ClockFace", &K::ClockFace, &K::SetClockFace);
    T.Property("ClockMode", &K::ClockMode, &K::SetClockMode).NoDefault();
    T.Property("DrawMarks", &K::DrawMarks, &K::SetDrawMarks).NoDefault();
    T.Property("HandOptions", &K::HandOptions, &K::SetHandOptions);
    T.PropertyOf<K>(
        "LabelInfo", [](K& C) { return C.LabelInfo(); }, [](K& C, TOvcLabelInfo* I) { C.SetLabelInfo(I); });
    T.Property("MinuteOffset", &K::MinuteOffset, &K::SetMinuteOffset).NoDefault();
    T.Property("TimeOffset", &K::TimeOffset, &K::SetTimeOffset).NoDefault();
    T.Event("OnHourChange", &K::OnHourChange);
    T.Event("OnMinuteChange", &K::OnMinuteChange);
    T.Event("OnSecondChange", &K::OnSecondChange);
}
