#include "buttons/fcButton.h"

#include <algorithm>
#include <array>

#include "buttons/fcHelpers.h"
#include "platform/classes/Filer.h"
#include "platform/gfx/ImageList.h"
#include "platform/rtl/Streams.h"
#include "platform/ui/Forms.h"
#include "platform/win/StdWindows.h"

ZELMOR_IMPLEMENT_ENUM(TfcShadeStyle, "fbsNormal", "fbsRaised", "fbsHighlight", "fbsFlat")
ZELMOR_IMPLEMENT_ENUM(TfcButtonOption, "boFocusable", "boOverrideActionGlyph", "boToggleOnUp", "boFocusRect",
                      "boAutoBold")
ZELMOR_IMPLEMENT_CLASS(TfcOffsets, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TfcShadeColors, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TfcCustomBitBtn, TWinControl)

// --- the standard kinds ---

namespace {
struct TKindInfo {
    bool Default, Cancel;
    TModalResult Result;
    const char* Caption;
    const char* Resource;
};

const TKindInfo& KindInfo(TBitBtnKind Kind) {
    static const std::array<TKindInfo, 11> Kinds = {{
        {false, false, 0, "", ""},
        {true, false, mrOk, "OK", "WWOK"},
        {false, true, mrCancel, "Cancel", "WWCANCEL"},
        {false, false, 0, "&Help", "WWHELP"},
        {true, false, mrYes, "&Yes", "WWYES"},
        {false, true, mrNo, "&No", "WWNO"},
        {false, false, 0, "&Close", "WWCLOSE"},
        {false, false, mrAbort, "Abort", "WWABORT"},
        {false, false, mrRetry, "&Retry", "WWRETRY"},
        {false, false, mrIgnore, "&Ignore", "WWIGNORE"},
        {false, false, mrAll, "&All", "WWALL"},
    }};
    return Kinds[Kind];
}

// Loaded on first need and kept for the process.
std::array<std::unique_ptr<TBitmap>, 11>& KindGlyphCache() {
    static std::array<std::unique_ptr<TBitmap>, 11> Cache;
    return Cache;
}
}  // namespace

const TBitmap* fcKindGlyph(TBitBtnKind Kind) {
    if (Kind == bkCustom) return nullptr;
    auto& Entry = KindGlyphCache()[Kind];
    if (!Entry) {
        auto B = std::make_unique<TBitmap>();
        B->LoadFromResourceName(KindInfo(Kind).Resource);
        Entry = std::move(B);
    }
    return Entry.get();
}

AnsiString fcKindCaption(TBitBtnKind Kind) { return KindInfo(Kind).Caption; }

// --- layout ---

void fcPlaceGlyphAndText(TPoint Anchor, int Spacing, TButtonLayout Layout, TSize GlyphSize, TSize TextSize,
                         TRect& GlyphRect, TRect& TextRect) {
    if (GlyphSize.cx == 0 || GlyphSize.cy == 0) Spacing = (Spacing - 6) / 2;
    // Per layout and axis: bit 1 counts the glyph, bit 2 the text, bit 4
    // puts the element after the other one.
    struct TFlags {
        int TextX, TextY, GlyphX, GlyphY;
    };
    static const TFlags Table[4] = {{7, 2, 3, 1}, {3, 2, 7, 1}, {2, 7, 1, 3}, {2, 3, 1, 7}};
    const TFlags& F = Table[Layout];
    // Vertically the glyph counts one pixel more in the total.
    auto Place = [&](int Flags, int Center, int GlyphInTotal, int Text, int Other) {
        int Total =
            ((Flags & 3) == 3 ? Spacing : 0) + ((Flags & 1) ? GlyphInTotal : 0) + ((Flags & 2) ? Text : 0);
        int At = Center - Total / 2;
        if (Flags & 4) At += Other + Spacing;
        return At;
    };
    int TX = Place(F.TextX, Anchor.x, GlyphSize.cx, TextSize.cx, GlyphSize.cx);
    int TY = Place(F.TextY, Anchor.y, GlyphSize.cy + 1, TextSize.cy, GlyphSize.cy);
    int GX = Place(F.GlyphX, Anchor.x, GlyphSize.cx, TextSize.cx, TextSize.cx);
    int GY = Place(F.GlyphY, Anchor.y, GlyphSize.cy + 1, TextSize.cy, TextSize.cy);
    TextRect = TRect(TX, TY, TX + TextSize.cx, TY + TextSize.cy);
    GlyphRect = TRect(GX, GY, GX + GlyphSize.cx, GY + GlyphSize.cy);
}

// --- offsets ---

void TfcOffsets::DescribeProperties(TPropertyTable& T) {
    using O = TfcOffsets;
    T.Property("GlyphX", &O::GlyphX, &O::SetGlyphX).Default(0);
    T.Property("GlyphY", &O::GlyphY, &O::SetGlyphY).Default(0);
    T.Property("TextX", &O::TextX, &O::SetTextX).Default(0);
    T.Property("TextY", &O::TextY, &O::SetTextY).Default(0);
    T.Property("TextDownX", &O::TextDownX, &O::SetTextDownX).Default(1);
    T.Property("TextDownY", &O::TextDownY, &O::SetTextDownY).Default(1);
}

void TfcOffsets::Set(int& Field, int Value) {
    if (Field == Value) return;
    Field = Value;
    if (FOwner) FOwner->Invalidate();
}

void TfcOffsets::SetGlyphX(int Value) { Set(FGlyphX, Value); }
void TfcOffsets::SetGlyphY(int Value) { Set(FGlyphY, Value); }
void TfcOffsets::SetTextX(int Value) { Set(FTextX, Value); }
void TfcOffsets::SetTextY(int Value) { Set(FTextY, Value); }

void TfcOffsets::AssignTo(TPersistent* Dest) {
    auto* D = dynamic_cast<TfcOffsets*>(Dest);
    if (!D) {
        TPersistent::AssignTo(Dest);
        return;
    }
    D->SetGlyphX(FGlyphX);
    D->SetGlyphY(FGlyphY);
    D->SetTextX(FTextX);
    D->SetTextY(FTextY);
    D->FTextDownX = FTextDownX;
    D->FTextDownY = FTextDownY;
}

// --- shade colours ---

void TfcShadeColors::DescribeProperties(TPropertyTable& T) {
    using S = TfcShadeColors;
    T.Property("Btn3DLight", &S::Btn3DLight, &S::SetBtn3DLight).OfType(ColorTypeInfo()).Default(cl3DLight);
    T.Property("BtnBlack", &S::BtnBlack, &S::SetBtnBlack).OfType(ColorTypeInfo()).Default(clBlack);
    T.Property("BtnFocus", &S::BtnFocus, &S::SetBtnFocus).OfType(ColorTypeInfo()).Default(clBlack);
    T.Property("BtnHighlight", &S::BtnHighlight, &S::SetBtnHighlight)
        .OfType(ColorTypeInfo())
        .Default(clBtnHighlight);
    T.Property("BtnShadow", &S::BtnShadow, &S::SetBtnShadow).OfType(ColorTypeInfo()).Default(clBtnShadow);
    T.Property("Shadow", &S::Shadow, &S::SetShadow).OfType(ColorTypeInfo()).Default(clBlack);
}

void TfcShadeColors::Set(TColor& Field, TColor Value) {
    if (Field == Value) return;
    Field = Value;
    if (FOwner) FOwner->Invalidate();
}

void TfcShadeColors::AssignTo(TPersistent* Dest) {
    auto* D = dynamic_cast<TfcShadeColors*>(Dest);
    if (!D) {
        TPersistent::AssignTo(Dest);
        return;
    }
    D->SetBtnHighlight(FBtnHighlight);
    D->SetBtn3DLight(FBtn3DLight);
    D->SetBtnShadow(FBtnShadow);
    D->SetBtnBlack(FBtnBlack);
    D->SetBtnFocus(FBtnFocus);
    D->SetShadow(FShadow);
}

// --- the button ---

TfcCustomBitBtn::TfcCustomBitBtn(TComponent* AOwner) : TWinControl(AOwner) {
    FControlStyle = {csSetCaption, csOpaque, csReflector};
    FPaintCanvas = new TControlCanvas();
    FPaintCanvas->SetControl(this);
    SetColor(clBtnFace);
    FGlyph = std::make_unique<TBitmap>();
    FGlyph->OnChange = [this](TObject*) { GlyphChanged(); };
    SetBounds(FLeft, FTop, 75, 25);
    RecreateOffsets();
    FShadeColors = std::make_unique<TfcShadeColors>(this);
    SetTabStop(true);
    FTextOptions =
        std::make_unique<TfcCaptionText>([this] { return GetTextEnabled(); }, [this] { AdjustBounds(); },
                                         [this] { Invalidate(); }, Font(), FPaintCanvas);
    FTextOptions->SetAlignment(taCenter);
    FTextOptions->SetVAlignment(vaVCenter);
}

TfcCustomBitBtn::~TfcCustomBitBtn() {
    ClearRegion();
    FreeRegionData(FUpRegionData);
    FreeRegionData(FDownRegionData);
    delete FPaintCanvas;
}

void TfcCustomBitBtn::PublishBitBtn(TPropertyTable& T) {
    using B = TfcCustomBitBtn;
    T.Property("Kind", &B::Kind, &B::SetKind).Default(bkCustom);
    TControl::PublishStandard(T, {"Anchors",     "Constraints", "DragCursor",     "DragMode",  "Enabled",
                                  "Font",        "ParentFont",  "ParentShowHint", "PopupMenu", "ShowHint",
                                  "TabOrder",    "TabStop",     "Visible",        "OnClick",   "OnEnter",
                                  "OnExit",      "OnKeyDown",   "OnKeyPress",     "OnKeyUp",   "OnMouseDown",
                                  "OnMouseMove", "OnMouseUp"});
    T.Property("AllowAllUp", &B::AllowAllUp, &B::SetAllowAllUp).Default(false);
    T.Property("Cancel", &B::Cancel, &B::SetCancel).Default(false);
    T.Property("Caption", &TControl::Caption, &TControl::SetCaption).Stored(&B::StoresCaption);
    T.Property("Color", &TControl::Color, &TControl::SetColor).OfType(ColorTypeInfo()).Default(clWindow);
    T.Property("Default", &B::Default, &B::SetDefault).Default(false);
    T.Property("Down", &B::Down, &B::SetDown).Default(false);
    T.Property("Glyph", &B::Glyph, &B::SetGlyph).Stored(&B::StoresGlyph);
    T.Property("GroupIndex", &B::GroupIndex, &B::SetGroupIndex).Default(0);
    T.Property("Layout", &B::Layout, &B::SetLayout).Default(blGlyphLeft);
    T.Property("Margin", &B::Margin, &B::SetMargin).Default(-1);
    T.Property("ModalResult", &B::ModalResult, &B::SetModalResult).Default(0);
    T.Property("NumGlyphs", &B::NumGlyphs, &B::SetNumGlyphs).Default(1).Stored(&B::StoresGlyph);
    T.Property("Offsets", &B::Offsets, &B::SetOffsets);
    T.Property("Options", &B::Options, &B::SetOptions).Default(TfcButtonOptions{});
    T.Property("ShadeColors", &B::ShadeColors, &B::SetShadeColors);
    T.Property("ShadeStyle", &B::ShadeStyle, &B::SetShadeStyle);
    T.Property("SmoothFont", &B::SmoothFont, &B::SetSmoothFont).Default(false);
    T.Property("Spacing", &B::Spacing, &B::SetSpacing).Default(4);
    T.Property("Style", &B::Style, &B::SetStyle).Default(bsAutoDetect);
    T.Property("TextOptions", &B::TextOptions, &B::SetTextOptions);
    T.Event("OnMouseEnter", &B::OnMouseEnter);
    T.Event("OnMouseLeave", &B::OnMouseLeave);
    T.Event("OnSelChange", &B::OnSelChange);
}

TfcOffsets* TfcCustomBitBtn::CreateOffsets() { return new TfcOffsets(this); }

// --- properties ---

void TfcCustomBitBtn::SetAllowAllUp(bool Value) {
    if (FAllowAllUp == Value) return;
    FAllowAllUp = Value;
    UpdateExclusive();
}

void TfcCustomBitBtn::SetCancel(bool Value) { FCancel = Value; }

void TfcCustomBitBtn::SetDefault(bool Value) {
    FDefault = Value;
    if (!HandleAllocated()) return;
    // The buttons of the form work out again which one Enter presses.
    if (TCustomForm* Form = GetParentForm(this))
        Form->Perform(CM_FOCUSCHANGED, 0, PointerToLParam(static_cast<TControl*>(Form->ActiveControl())));
}

void TfcCustomBitBtn::SetDown(bool Value) {
    if (FGroupIndex == 0 && !IsLoading()) Value = false;
    if (Value == FDown) return;
    SetDownState(Value, true, true);
    if (FDown == Value) DoSelChange();
}

void TfcCustomBitBtn::SetGlyph(TBitmap* Value) { FGlyph->Assign(Value); }

void TfcCustomBitBtn::SetGroupIndex(int Value) {
    if (FGroupIndex == Value) return;
    FGroupIndex = Value;
    UpdateExclusive();
}

TBitBtnKind TfcCustomBitBtn::Kind() const {
    if (FKind != bkCustom) {
        const TKindInfo& K = KindInfo(FKind);
        if (FDefault != K.Default || FCancel != K.Cancel || FModalResult != K.Result) FKind = bkCustom;
    }
    return FKind;
}

void TfcCustomBitBtn::SetKind(TBitBtnKind Value) {
    if (Value == Kind()) return;
    if (Value == bkCustom) {
        FKind = Value;
        Invalidate();
        return;
    }
    const TKindInfo& K = KindInfo(Value);
    SetDefault(K.Default);
    SetCancel(K.Cancel);
    // A caption the form file gave already stays.
    if (!IsLoading() || Caption().empty()) SetCaption(K.Caption);
    SetModalResult(K.Result);
    FGlyph->Assign(const_cast<TBitmap*>(fcKindGlyph(Value)));
    SetNumGlyphs(2);
    FKind = Value;
    Invalidate();
}

void TfcCustomBitBtn::SetLayout(TButtonLayout Value) {
    if (FLayout == Value) return;
    FLayout = Value;
    Invalidate();
}

void TfcCustomBitBtn::SetMargin(int Value) {
    if (Value < -1 || FMargin == Value) return;
    FMargin = Value;
    Invalidate();
}

void TfcCustomBitBtn::SetModalResult(TModalResult Value) { FModalResult = Value; }

void TfcCustomBitBtn::SetNumGlyphs(int Value) {
    Value = std::clamp(Value, 1, 4);
    if (FNumGlyphs == Value) return;
    FNumGlyphs = Value;
    Invalidate();
}

void TfcCustomBitBtn::SetOffsets(TfcOffsets* Value) {
    if (Value && Value != FOffsets.get()) FOffsets->Assign(Value);
}

void TfcCustomBitBtn::ApplyAutoBold() {
    if (FGroupIndex <= 0 || !FOptions.Contains(boAutoBold)) return;
    TFontStyles Style = Font()->Style();
    if (FDown) Style.Include(fsBold);
    else Style.Exclude(fsBold);
    Font()->SetStyle(Style);
}

void TfcCustomBitBtn::SetOptions(TfcButtonOptions Value) {
    if (FOptions == Value) return;
    bool BoldChanged = FOptions.Contains(boAutoBold) != Value.Contains(boAutoBold);
    FOptions = Value;
    if (!Value.Contains(boFocusable)) SetTabStop(false);
    if (BoldChanged) ApplyAutoBold();
    Invalidate();
}

void TfcCustomBitBtn::SetShadeColors(TfcShadeColors* Value) {
    if (Value && Value != FShadeColors.get()) FShadeColors->Assign(Value);
}

void TfcCustomBitBtn::SetShadeStyle(TfcShadeStyle Value) {
    if (FShadeStyle == Value) return;
    FShadeStyle = Value;
    // A new window gets its region again.
    RecreateWnd();
    Invalidate();
}

void TfcCustomBitBtn::SetSmoothFont(bool Value) {
    if (FSmoothFont == Value) return;
    FSmoothFont = Value;
    Invalidate();
}

void TfcCustomBitBtn::SetSpacing(int Value) {
    if (FSpacing == Value) return;
    FSpacing = Value;
    Invalidate();
}

void TfcCustomBitBtn::SetStyle(TButtonStyle Value) {
    if (FStyle == Value) return;
    FStyle = Value;
    Invalidate();
}

void TfcCustomBitBtn::SetTextOptions(TfcCaptionText* Value) {
    if (Value && Value != FTextOptions.get()) FTextOptions->Assign(Value);
}

int TfcCustomBitBtn::GetGlyphWidth() const {
    return FNumGlyphs == 0 ? FGlyph->Width() : FGlyph->Width() / FNumGlyphs;
}

bool TfcCustomBitBtn::StoresGlyph() const { return Kind() == bkCustom; }

bool TfcCustomBitBtn::StoresCaption() const { return Caption() != fcKindCaption(Kind()); }

void TfcCustomBitBtn::GlyphChanged() { Invalidate(); }

// --- change links ---

void TfcCustomBitBtn::NotifyLinksChange() { FChangeLinks.Notify(this, &TfcChangeLink::Changed); }
void TfcCustomBitBtn::NotifyLinksDown() { FChangeLinks.Notify(this, &TfcChangeLink::WentDown); }
void TfcCustomBitBtn::NotifyLinksLoaded() { FChangeLinks.Notify(this, &TfcChangeLink::Loaded); }

void TfcCustomBitBtn::DoSelChange() {
    if (Assigned(OnSelChange)) OnSelChange(this);
    NotifyLinksChange();
}

// --- down state and groups ---

void TfcCustomBitBtn::SetDownState(bool ADown, bool Exclusive, bool Repaint) {
    if (ADown != FDown) {
        FDown = ADown;
        UpdateDownRegion();
        if (FDown) NotifyLinksDown();
        if (Exclusive) UpdateExclusive();
        if (Repaint) Invalidate();
    }
    ApplyAutoBold();
}

void TfcCustomBitBtn::UpdateExclusive() {
    if (FGroupIndex == 0 || !Parent()) return;
    TMessage M;
    M.Msg = CM_BUTTONPRESSED;
    M.WParam = WPARAM(FGroupIndex);
    M.LParam = PointerToLParam(this);
    Parent()->Broadcast(M);
}

void TfcCustomBitBtn::CMButtonPressed(TMessage& Message) {
    auto* Sender = LParamToPointer<TfcCustomBitBtn>(Message.LParam);
    if (int(Message.WParam) != FGroupIndex || !Sender || Sender == this || !Sender->Down()) return;
    SetDownState(false, false, true);
    DoSelChange();
}

// --- the mouse ---

bool TfcCustomBitBtn::MouseInControl(int X, int Y, bool TrackingRequired) {
    if (TrackingRequired && !Tracking) return false;
    if (TCustomForm* Form = GetParentForm(this)) {
        if (Form->HandleAllocated() && Form->Handle() != GetActiveWindow()) {
            bool Plain = Form->FormStyle() == fsNormal || Form->FormStyle() == fsStayOnTop;
            bool Outside = !Form->ParentWindow() || GetParent(Form->ParentWindow()) != GetActiveWindow();
            if (Plain && !Form->IsClassNamed("TActiveForm") && Outside) return false;
        }
    }
    if (!HandleAllocated() || !Parent() || !Parent()->HandleAllocated()) return false;
    TPoint P = X == -1 && Y == -1 ? fcGetCursorPos() : ClientToScreen(TPoint(X, Y));
    if (HasDistinctDownRegion()) {
        TPoint Local = ScreenToClient(P);
        std::optional<TRegion> R = CreateRegion(true, !FDown);
        TRegion Both = R ? *R : TRegion();
        if (FPrevRegion) Both = TRegion::Combine(Both, *FPrevRegion, RGN_OR);
        return Both.Contains(Local);
    }
    TPoint InParent = Parent()->ScreenToClient(P);
    return FindControl(ChildWindowFromPoint(Parent()->Handle(), InParent)) == this;
}

void TfcCustomBitBtn::WMLButtonDown(TMessage& Message) {
    SendCancelMode(this);
    MouseDown(mbLeft, KeysToShiftState(Message.Keys()), Message.XPos(), Message.YPos());
}

void TfcCustomBitBtn::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft) {
        Tracking = true;
        SetCaptureControl(this);
        PressDown();
    }
    TWinControl::MouseDown(Button, Shift, X, Y);
}

void TfcCustomBitBtn::PressDown() {
    DownAtPress = FDown;
    if (!(FOptions.Contains(boToggleOnUp) && FGroupIndex != 0)) {
        if (FOptions.Contains(boFocusable) && CanFocus()) SetFocus();
        SetDownState(true, false, false);
    }
    if (FDown != DownAtPress) PaintToWindow();
}

void TfcCustomBitBtn::MouseMove(TShiftState Shift, int X, int Y) {
    TWinControl::MouseMove(Shift, X, Y);
    if (FOptions.Contains(boToggleOnUp) || !Tracking || !Shift.Contains(ssLeft)) return;
    bool Inside = MouseInControl(X, Y, true);
    if ((Inside && !FDown) || (!Inside && FDown && !DownAtPress)) {
        SetDownState(Inside, false, false);
        PaintToWindow();
    }
}

void TfcCustomBitBtn::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TWinControl::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    bool Inside = (Parent() && fcIsClassNamed(Parent()->ClassInfo(), "TfcCustomOutlookBar")) ||
                  MouseInControl(X, Y, true);
    Release(Inside);
    SetCaptureControl(nullptr);
    if (MouseInControl(X, Y, true) || FOptions.Contains(boToggleOnUp)) Click();
    Tracking = false;
}

void TfcCustomBitBtn::Release(bool Inside) {
    if (FGroupIndex == 0) {
        SetDownState(false, false, false);
        PaintToWindow();
        return;
    }
    UpdateExclusive();
    if ((Inside || FOptions.Contains(boToggleOnUp)) && (!DownAtPress || FAllowAllUp)) {
        SetDownState(!DownAtPress, true, false);
        PaintToWindow();
        DoSelChange();
    }
}

void TfcCustomBitBtn::KeyDown(WORD& Key, TShiftState Shift) {
    TWinControl::KeyDown(Key, Shift);
    if (Key != VK_SPACE) return;
    // The whole press, release and click happen at key-down.
    PressDown();
    Release(true);
    Click();
}

// The window's own cancel handling lets the mouse go and forgets that the
// left button was down before we can look: our own record of the press says
// whether one is still going on, and it ends as a release where the mouse is.
void TfcCustomBitBtn::WMCancelMode(TMessage& Message) {
    TWinControl::WMCancelMode(Message);
    if (Tracking) Perform(WM_LBUTTONUP, 0, static_cast<LPARAM>(-1));
}

void TfcCustomBitBtn::Click() {
    ClickInProgress = true;
    struct TDone {
        TfcCustomBitBtn* Self;
        ~TDone() { Self->ClickInProgress = false; }
    } Done{this};
    switch (Kind()) {
    case bkHelp: {
        TControl* C = this;
        while (C && C->HelpContext() == 0) C = C->Parent();
        if (C && Application) {
            Application->HelpContext(C->HelpContext());
            Invalidate();
            return;
        }
        TWinControl::Click();
        break;
    }
    case bkClose:
        if (TCustomForm* Form = GetParentForm(this)) {
            Form->Close();
            Invalidate();
            return;
        }
        TWinControl::Click();
        break;
    default:
        if (TCustomForm* Form = GetParentForm(this)) Form->SetModalResult(FModalResult);
        TWinControl::Click();
        break;
    }
    Invalidate();
}

// --- keys of the dialog ---

void TfcCustomBitBtn::CMDialogKey(TMessage& Message) {
    WORD Key = Message.CharCode();
    if (((Key == VK_RETURN && IsDefaultActive) || (Key == VK_ESCAPE && FCancel)) &&
        KeyDataToShiftState(Message.KeyData()).Empty() && CanFocus()) {
        Click();
        Message.Result = 1;
        return;
    }
    TWinControl::CMDialogKey(Message);
}

void TfcCustomBitBtn::CMDialogChar(TMessage& Message) {
    WORD Key = Message.CharCode();
    if (((Key == VK_RETURN && IsDefaultActive) || (Key == VK_ESCAPE && FCancel)) &&
        KeyDataToShiftState(Message.KeyData()).Empty() && CanFocus()) {
        Click();
        Message.Result = 1;
        return;
    }
    if (IsAccel(Key, Caption()) && CanFocus()) {
        SetDown(!FDown);
        Click();
        Invalidate();
        Message.Result = 1;
        return;
    }
    TWinControl::CMDialogChar(Message);
}

void TfcCustomBitBtn::CMFocusChanged(TMessage& Message) {
    TControl* Sender = LParamToPointer<TControl>(Message.LParam);
    IsDefaultActive = dynamic_cast<TfcCustomBitBtn*>(Sender) ? Sender == this : FDefault;
    TWinControl::CMFocusChanged(Message);
}

void TfcCustomBitBtn::CMEnabledChanged(TMessage& Message) {
    TWinControl::CMEnabledChanged(Message);
    Invalidate();
}

void TfcCustomBitBtn::CMMouseEnter(TMessage& Message) {
    TWinControl::CMMouseEnter(Message);
    TControl* Entered = LParamToPointer<TControl>(Message.LParam);
    if (Entered && Entered != this) return;
    if (FShadeStyle == fbsFlat || FNumGlyphs == 4) Invalidate();
    if (Assigned(OnMouseEnter)) OnMouseEnter(this);
}

void TfcCustomBitBtn::CMMouseLeave(TMessage& Message) {
    TWinControl::CMMouseLeave(Message);
    TControl* Left = LParamToPointer<TControl>(Message.LParam);
    if (Left && Left != this) return;
    if (FShadeStyle == fbsFlat || FNumGlyphs == 4) Invalidate();
    if (Assigned(OnMouseLeave)) OnMouseLeave(this);
}

// --- the window ---

void TfcCustomBitBtn::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    EnsureStdWindowClasses();
    CreateSubClass(Params, "BUTTON");
    // Every paint of an owner-drawn button comes back as CN_DRAWITEM.
    Params.Style |= BS_OWNERDRAW;
}

void TfcCustomBitBtn::CreateWnd() {
    TWinControl::CreateWnd();
    IsDefaultActive = FDefault;
    ApplyRegion();
}

void TfcCustomBitBtn::DestroyWnd() {
    ClearRegion();
    TWinControl::DestroyWnd();
}

void TfcCustomBitBtn::Loaded() {
    TWinControl::Loaded();
    if (!FOptions.Contains(boFocusable)) SetTabStop(false);
    ApplyRegion();
    NotifyLinksLoaded();
}

void TfcCustomBitBtn::CNMeasureItem(TMessage& Message) {
    if (auto* M = LParamToPointer<TMeasureItemStruct>(Message.LParam)) {
        M->itemWidth = UINT(Width());
        M->itemHeight = UINT(Height());
    }
    Message.Result = 1;
}

void TfcCustomBitBtn::CNDrawItem(TMessage& Message) {
    if (auto* D = LParamToPointer<const TDrawItemStruct>(Message.LParam)) DrawItem(*D);
    Message.Result = 1;
}

void TfcCustomBitBtn::WMEraseBkgnd(TMessage& Message) { Message.Result = 1; }

// Creating the window sends no WM_SIZE: a button read from a form keeps the
// regions the form carried until its size first changes.
void TfcCustomBitBtn::WMSize(TMessage& Message) {
    TWinControl::WMSize(Message);
    // A new size makes the stored regions of both states stale.
    FreeRegionData(FUpRegionData);
    FreeRegionData(FDownRegionData);
    if (HandleAllocated()) {
        SetWindowRgn(FHandle, nullptr, true);
        FHasWindowRegion = false;
    }
    ApplyRegion();
    Invalidate();
    fcInvalidateBounds(this, true);
}

// --- painting ---

void TfcCustomBitBtn::DrawItem(const TDrawItemStruct& Item) {
    FPaintCanvas->SetHandle(Item.hDC);
    try {
        PaintButton();
    } catch (...) {
        FPaintCanvas->SetHandle(nullptr);
        throw;
    }
    FPaintCanvas->SetHandle(nullptr);
}

void TfcCustomBitBtn::PaintToWindow() {
    if (!HandleAllocated()) return;
    HDC DC = GetDC(FHandle);
    if (!DC) return;
    FPaintCanvas->SetHandle(DC);
    try {
        PaintButton();
    } catch (...) {
        FPaintCanvas->SetHandle(nullptr);
        ReleaseDC(FHandle, DC);
        throw;
    }
    FPaintCanvas->SetHandle(nullptr);
    ReleaseDC(FHandle, DC);
}

void TfcCustomBitBtn::PaintFace(TfcBitmap&, bool, TfcShadeStyle, bool) {}

void TfcCustomBitBtn::PaintButton() {
    TfcBitmap Face;
    Face.SetUseHalftonePalette(UseHalftonePalette);
    // A flat button shows the normal look while its click runs.
    TfcShadeStyle Shade = FShadeStyle == fbsFlat && ClickInProgress ? fbsNormal : FShadeStyle;
    PaintFace(Face, false, Shade, FDown);
    DrawContents(Face.Canvas());
    FPaintCanvas->Draw(0, 0, &Face);
    if (FSmoothFont) {
        FTextOptions->TargetCanvas = FPaintCanvas;
        DrawCaption(FPaintCanvas, TextRect);
    }
}

void TfcCustomBitBtn::DrawContents(TCanvas* Canvas) {
    TRect R = ClientRect();
    InflateRect(R, -2, -2);
    FTextOptions->TargetCanvas = Canvas;
    FTextOptions->OwnerFont = Font();
    FTextOptions->SetText(Caption());
    FTextOptions->LayoutRect = R;
    TRect Needed = FTextOptions->CalcRect(false);
    CalcLayout(Canvas, R, TSize{Needed.Width(), Needed.Height()}, GlyphRect, TextRect);
    TextRect.Left = std::max(TextRect.Left, 0);
    TextRect.Top = std::max(TextRect.Top, 0);
    TextRect.Right = std::min(TextRect.Right, ClientWidth());
    TextRect.Bottom = std::min(TextRect.Bottom, ClientHeight());
    if (!FGlyph->Empty()) DrawGlyph(Canvas, GlyphRect);
    DrawCaption(Canvas, TextRect);
    if (FOptions.Contains(boFocusRect) && FOptions.Contains(boFocusable) && Focused()) {
        TRect F;
        UnionRect(F, TextRect, GlyphRect);
        InflateRect(F, 2, 2);
        Canvas->Brush()->SetColor(clWhite);
        Canvas->Font()->SetColor(clBlack);
        Canvas->DrawFocusRect(F);
    }
}

void TfcCustomBitBtn::CalcLayout(TCanvas*, const TRect&, TSize TextSize, TRect& AGlyphRect,
                                 TRect& ATextRect) {
    int M = FMargin == -1 ? 4 : FMargin;
    TSize Glyph = FGlyph->Empty() ? TSize{} : TSize{GetGlyphWidth(), FGlyph->Height()};
    int Gap = !Caption().empty() && !FGlyph->Empty() ? FSpacing : 0;
    int W = TextSize.cx + Glyph.cx + Gap;
    TPoint Anchor;
    switch (FTextOptions->Alignment()) {
    case taLeftJustify: Anchor = TPoint(W / 2 + M, Height() / 2); break;
    case taRightJustify: Anchor = TPoint(Width() - M - W / 2, Height() / 2); break;
    default: Anchor = TPoint(Width() / 2, Height() / 2); break;
    }
    fcPlaceGlyphAndText(Anchor, Gap, FLayout, Glyph, TextSize, AGlyphRect, ATextRect);
    OffsetRect(ATextRect, FOffsets->TextX(), FOffsets->TextY());
    OffsetRect(AGlyphRect, FOffsets->GlyphX(), FOffsets->GlyphY());
    if (FDown) {
        OffsetRect(ATextRect, FOffsets->TextDownX(), FOffsets->TextDownY());
        OffsetRect(AGlyphRect, FOffsets->TextDownX(), FOffsets->TextDownY());
    }
}

void TfcCustomBitBtn::DrawCaption(TCanvas* Canvas, const TRect& R) {
    Canvas->Brush()->SetStyle(bsClear);
    FTextOptions->TargetCanvas = Canvas;
    FTextOptions->OwnerFont = Font();
    FTextOptions->LayoutRect = R;
    FTextOptions->Draw();
}

void TfcCustomBitBtn::DrawGlyph(TCanvas* Canvas, const TRect& R) {
    int Cell = 0;
    if (!Enabled() && FNumGlyphs >= 2) Cell = 1;
    else if (FDown && FNumGlyphs > 2) Cell = 2;
    else if (FNumGlyphs > 3 && MouseInControl(-1, -1, false)) Cell = 3;
    int GW = GetGlyphWidth(), GH = FGlyph->Height();
    if (GW <= 0 || GH <= 0) return;
    int X = R.Left, Y = R.Top;
    // The image list draws at even columns only; an odd column gets a
    // transparent column in front of the cell.
    bool Odd = (X & 1) != 0 && (Enabled() || FNumGlyphs > 1);
    int W = GW + (Odd ? 1 : 0);
    TImageList List(nullptr, W, GH);
    TBitmap Cellmap(W, GH);
    if (!Enabled() && FNumGlyphs <= 1) {
        fcMakeDisabledGlyph(*FGlyph, Cellmap);
        List.AddMasked(&Cellmap, Cellmap.TransparentColor());
        fcDrawImageListItem(List, 0, Canvas, true, ILD_NORMAL, Y, X);
        return;
    }
    TRect Source(Cell * GW, 0, Cell * GW + GW, GH);
    Cellmap.Canvas()->CopyRect(TRect(0, 0, GW, GH), FGlyph->Canvas(), Source);
    if (Odd) {
        TColor Key = Cellmap.TransparentColor();
        for (int y = 0; y < GH; ++y) Cellmap.Canvas()->SetPixel(0, y, Key);
        Cellmap.Canvas()->CopyRect(TRect(1, 0, 1 + GW, GH), FGlyph->Canvas(), Source);
    }
    List.AddMasked(&Cellmap, Cellmap.TransparentColor());
    fcDrawImageListItem(List, 0, Canvas, true, ILD_NORMAL, Y, X, true);
}

void TfcCustomBitBtn::DeriveShadeColors(TColor Color) {
    FShadeColors->SetBtnShadow(fcAdjustColor(Color, -50, true));
    FShadeColors->SetBtnBlack(fcAdjustColor(FShadeColors->BtnShadow(), -50, true));
    FShadeColors->SetBtn3DLight(fcAdjustColor(Color, 50, true));
    FShadeColors->SetBtnHighlight(fcAdjustColor(FShadeColors->Btn3DLight(), 50, true));
}

void TfcCustomBitBtn::AssignTo(TPersistent* Dest) {
    auto* D = dynamic_cast<TfcCustomBitBtn*>(Dest);
    if (!D) {
        TWinControl::AssignTo(Dest);
        return;
    }
    D->SetColor(Color());
    D->FOffsets->Assign(FOffsets.get());
    D->SetLayout(FLayout);
    D->SetMargin(FMargin);
    D->SetNumGlyphs(FNumGlyphs);
    D->SetOptions(FOptions);
    D->FShadeColors->Assign(FShadeColors.get());
    D->SetSpacing(FSpacing);
    D->SetTabStop(TabStop());
    D->FTextOptions->Assign(FTextOptions.get());
}

// --- regions ---

std::optional<TRegion> TfcCustomBitBtn::CreateRegion(bool, bool ADown) {
    const TfcRegionData& Data = RegionDataOf(ADown);
    if (!Data.Buffer) return std::nullopt;
    try {
        return TRegion::FromData(*Data.Buffer);
    } catch (const EInvalidOperation&) {
        // Bytes the platform makes no region of leave the button without one.
        return std::nullopt;
    }
}

void TfcCustomBitBtn::UpdateDownRegion() {
    if (HasDistinctDownRegion()) ApplyRegion();
}

void TfcCustomBitBtn::ClearRegion() {
    if (FHasWindowRegion) {
        if (!ComponentState().Contains(csDestroying) && HandleAllocated())
            SetWindowRgn(FHandle, nullptr, false);
        FHasWindowRegion = false;
    }
    FPrevRegion.reset();
}

void TfcCustomBitBtn::FreeRegionData(TfcRegionData& Data) { Data.Buffer.reset(); }

void TfcCustomBitBtn::ReadData(TStream& Stream, TfcRegionData& Data) {
    int32_t Size = Stream.ReadInt32();
    FreeRegionData(Data);
    Data.Size = Size;
    if (Size == 0) return;
    if (Size < 0 || Size > Stream.Size() - Stream.Position()) throw EReadError("Region data is truncated");
    std::vector<uint8_t> Bytes(static_cast<size_t>(Size));
    Stream.ReadBuffer(Bytes.data(), Size);
    Data.Buffer = std::move(Bytes);
}

void TfcCustomBitBtn::WriteData(TStream& Stream, TfcRegionData& Data) {
    if (!Data.Buffer) {
        Data.Size = 0;
        Stream.WriteInt32(0);
        return;
    }
    Data.Size = int32_t(Data.Buffer->size());
    Stream.WriteInt32(Data.Size);
    Stream.WriteBuffer(Data.Buffer->data(), Data.Size);
}

void TfcCustomBitBtn::ReadRegionData(TStream& Stream) { ReadData(Stream, FUpRegionData); }
void TfcCustomBitBtn::ReadDownRegionData(TStream& Stream) { ReadData(Stream, FDownRegionData); }
void TfcCustomBitBtn::WriteRegionData(TStream& Stream) { WriteData(Stream, FUpRegionData); }
void TfcCustomBitBtn::WriteDownRegionData(TStream& Stream) { WriteData(Stream, FDownRegionData); }

void TfcCustomBitBtn::SaveRegionData(const std::optional<TRegion>& Region, bool ADown) {
    TfcRegionData& Data = RegionDataOf(ADown);
    FreeRegionData(Data);
    if (!Region) {
        Data.Size = 0;
        return;
    }
    std::vector<uint8_t> Bytes = Region->Data();
    Data.Size = int32_t(Bytes.size());
    Data.Buffer = std::move(Bytes);
}

void TfcCustomBitBtn::DefineProperties(TFiler* Filer) {
    TWinControl::DefineProperties(Filer);
    bool Stores = StoresRegionData();
    Filer->DefineBinaryProperty(
        "RegionData", [this](TStream& S) { ReadRegionData(S); }, [this](TStream& S) { WriteRegionData(S); },
        Stores);
    Filer->DefineBinaryProperty(
        "DownRegionData", [this](TStream& S) { ReadDownRegionData(S); },
        [this](TStream& S) { WriteDownRegionData(S); }, Stores);
}

void TfcCustomBitBtn::ApplyRegion() {
    if (!HandleAllocated() || !CanUseRegion()) return;
    SetWindowRgn(FHandle, nullptr, false);
    FHasWindowRegion = false;
    std::optional<TRegion> R = CreateRegion(true, FDown);
    bool Distinct = HasDistinctDownRegion();
    if (FPrevRegion && R && Distinct) {
        // What the new outline uncovers or covers, up to the form.
        TRegion Changed = TRegion::Combine(*FPrevRegion, *R, RGN_XOR);
        TCustomForm* Form = GetParentForm(this);
        for (TControl* C = this; C && C->Parent() && C != static_cast<TControl*>(Form); C = C->Parent()) {
            Changed.Offset(C->Left(), C->Top());
            if (C->Parent()->HandleAllocated()) InvalidateRgn(C->Parent()->Handle(), &Changed, true);
        }
    }
    if (Distinct) FPrevRegion = R;
    SetWindowRgn(FHandle, R ? &*R : nullptr, false);
    FHasWindowRegion = R.has_value();
    if (Distinct && Parent() && Parent()->HandleAllocated())
        fcInvalidateOverlapping(Parent()->Handle(), FHandle);
}

void TfcCustomBitBtn::InvalidateOutsideRegion(bool Erase) {
    if (!Parent() || !Parent()->HandleAllocated()) return;
    std::optional<TRegion> R = CreateRegion(false, FDown);
    if (!R) return;
    TRegion Outside = TRegion::Combine(TRegion(ClientRect()), *R, RGN_DIFF);
    Outside.Offset(Left(), Top());
    InvalidateRgn(Parent()->Handle(), &Outside, Erase);
}
