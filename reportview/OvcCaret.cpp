#include "reportview/OvcCaret.h"

#include "platform/win/WindowManager.h"

ZELMOR_IMPLEMENT_ENUM(TOvcCaretShape, "csBlock", "csHalfBlock", "csVertLine", "csHorzLine", "csCustom",
                      "csBitmap")
ZELMOR_IMPLEMENT_ENUM(TOvcCaretAlign, "caLeft", "caTop", "caRight", "caBottom", "caCenter")
ZELMOR_IMPLEMENT_CLASS(TOvcCaret, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TOvcSingleCaret, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TOvcCaretPair, TOvcSingleCaret)

// --- TOvcCaret ---

TOvcCaret::TOvcCaret() : FBitmap(std::make_unique<TBitmap>()) {}
TOvcCaret::~TOvcCaret() = default;

void TOvcCaret::DescribeProperties(TPropertyTable& T) {
    using C = TOvcCaret;
    T.Property("Align", &C::Align, &C::SetAlign).NoDefault();
    T.Property("Bitmap", &C::Bitmap, &C::SetBitmap);
    T.Property("BitmapHotSpotX", &C::BitmapHotSpotX, &C::SetBitmapX).NoDefault();
    T.Property("BitmapHotSpotY", &C::BitmapHotSpotY, &C::SetBitmapY).NoDefault();
    T.Property("BlinkTime", &C::BlinkTime, &C::SetBlinkTime).NoDefault();
    T.Property("CaretHeight", &C::CaretHeight, &C::SetCaretHeight).NoDefault();
    T.Property("CaretWidth", &C::CaretWidth, &C::SetCaretWidth).NoDefault();
    T.Property("IsGray", &C::IsGray, &C::SetIsGray).NoDefault();
    T.Property("Shape", &C::Shape, &C::SetShape).NoDefault();
}

void TOvcCaret::Deregister() {
    // Looks are shared by count: the last holder frees it.
    if (FRefCount > 0 && --FRefCount == 0) delete this;
}

void TOvcCaret::NotifyChange() {
    if (OnChange) OnChange(this);
}

void TOvcCaret::SetAlign(TOvcCaretAlign Value) {
    if (Value == FAlign) return;
    FAlign = Value;
    NotifyChange();
}

void TOvcCaret::SetBitmap(TBitmap* Value) {
    if (!Value) return;
    FBitmap->Assign(Value);
    NotifyChange();
}

void TOvcCaret::SetBitmapX(int Value) {
    if (Value == FBitmapX) return;
    FBitmapX = Value;
    if (FShape == csBitmap) NotifyChange();
}

void TOvcCaret::SetBitmapY(int Value) {
    if (Value == FBitmapY) return;
    FBitmapY = Value;
    if (FShape == csBitmap) NotifyChange();
}

void TOvcCaret::SetBlinkTime(uint16_t Value) {
    if (Value == FBlinkTime) return;
    FBlinkTime = Value;
    NotifyChange();
}

void TOvcCaret::SetCaretHeight(int Value) {
    if (Value <= 0 || Value == FCaretHeight) return;
    FCaretHeight = Value;
    NotifyChange();
}

void TOvcCaret::SetCaretWidth(int Value) {
    if (Value <= 0 || Value == FCaretWidth) return;
    FCaretWidth = Value;
    NotifyChange();
}

void TOvcCaret::SetIsGray(bool Value) {
    if (Value == FIsGray) return;
    FIsGray = Value;
    NotifyChange();
}

void TOvcCaret::SetShape(TOvcCaretShape Value) {
    if (Value == FShape) return;
    FShape = Value;
    switch (Value) {
    case csBlock: FAlign = caLeft; break;
    case csHalfBlock: FAlign = caBottom; break;
    case csVertLine:
        FAlign = caLeft;
        FCaretWidth = 2;
        break;
    case csHorzLine:
        FAlign = caBottom;
        FCaretHeight = 2;
        break;
    case csBitmap:
        if (FBitmap->Height() > 0) FCaretHeight = FBitmap->Height();
        if (FBitmap->Width() > 0) FCaretWidth = FBitmap->Width();
        break;
    case csCustom: break;
    }
    NotifyChange();
}

// --- TOvcSingleCaret ---

TOvcSingleCaret::TOvcSingleCaret(TWinControl* Owner) : FOwner(Owner) {
    auto* look = new TOvcCaret;
    TakeLook(look);
}

TOvcSingleCaret::~TOvcSingleCaret() {
    SetLinked(false);
    if (FCaretType) {
        FCaretType->OnChange = nullptr;
        FCaretType->Deregister();
    }
}

void TOvcSingleCaret::TakeLook(TOvcCaret* Value) {
    if (Value) Value->Register();
    if (FCaretType) {
        FCaretType->OnChange = nullptr;
        FCaretType->Deregister();
    }
    FCaretType = Value;
    if (FCaretType) FCaretType->OnChange = [this](TObject* S) { CaretTypeHasChanged(S); };
}

void TOvcSingleCaret::SetCaretType(TOvcCaret* Value) {
    if (!Value || Value == FCaretType) return;
    TakeLook(Value);
    CaretTypeHasChanged(Value);
}

void TOvcSingleCaret::SetCellHeight(int Value) {
    if (Value <= 0 || Value == FCellHeight) return;
    FCellHeight = Value;
    CaretTypeHasChanged(this);
}

void TOvcSingleCaret::SetCellWidth(int Value) {
    if (Value <= 0 || Value == FCellWidth) return;
    FCellWidth = Value;
    CaretTypeHasChanged(this);
}

void TOvcSingleCaret::CaretTypeHasChanged(TObject*) {
    bool was = FLinked;
    SetLinked(false);
    Reinit();
    if (was) SetLinked(true);
}

void TOvcSingleCaret::Reinit() {
    if (!FCaretType) return;
    TOvcCaret& k = *FCaretType;
    // The look's own setters must not call back here while it is fitted.
    k.OnChange = nullptr;
    switch (k.Shape()) {
    case csBlock:
        k.SetCaretHeight(FCellHeight);
        k.SetCaretWidth(FCellWidth);
        break;
    case csHorzLine: k.SetCaretWidth(FCellWidth); break;
    case csHalfBlock:
        k.SetCaretHeight(FCellHeight / 2);
        k.SetCaretWidth(FCellWidth);
        break;
    case csVertLine: k.SetCaretHeight(FCellHeight); break;
    default: break;
    }
    k.OnChange = [this](TObject* S) { CaretTypeHasChanged(S); };
    int dh = FCellHeight - k.CaretHeight(), dw = FCellWidth - k.CaretWidth();
    int x = 0, y = 0;
    switch (k.Align()) {
    case caLeft: y = dh / 2; break;
    case caTop: x = dw / 2; break;
    case caRight:
        x = dw;
        y = dh / 2;
        break;
    case caBottom:
        x = dw / 2;
        y = dh;
        break;
    case caCenter:
        x = dw / 2;
        y = dh / 2;
        break;
    }
    if (k.Shape() == csBitmap) {
        x -= k.BitmapHotSpotX();
        y -= k.BitmapHotSpotY();
    }
    bool moved = x != FOffsetX || y != FOffsetY;
    FOffsetX = x;
    FOffsetY = y;
    if (moved && FLinked) ResetPos();
}

void TOvcSingleCaret::MakeShape() {
    HWND wnd = FOwner->Handle();
    const TOvcCaret& k = *FCaretType;
    if (k.Shape() == csBitmap && k.Bitmap()->Width() > 0) CreateCaret(wnd, k.Bitmap());
    else if (k.IsGray()) CreateGrayCaret(wnd, k.CaretWidth(), k.CaretHeight());
    else CreateCaret(wnd, k.CaretWidth(), k.CaretHeight());
    if (FVisible) ShowCaret(wnd);
}

void TOvcSingleCaret::SetLinked(bool Value) {
    if (Value == FLinked) return;
    if (Value) {
        if (!FOwner || !FOwner->HandleAllocated()) return;
        FSavedBlinkTime = GetCaretBlinkTime();
        MakeShape();
        FLinked = true;
        ResetPos();
        UINT blink = FCaretType->BlinkTime();
        if (blink != 0 && blink != FSavedBlinkTime) SetCaretBlinkTime(blink);
    } else {
        FLinked = false;
        SetCaretBlinkTime(FSavedBlinkTime);
        DestroyCaret();
    }
}

void TOvcSingleCaret::ResetPos() {
    if (!FLinked) return;
    // A hidden coordinate stays hidden: the offset is not added to it (nor could it be).
    int x = FPos.x == Hidden ? Hidden : FPos.x + FOffsetX;
    int y = FPos.y == Hidden ? Hidden : FPos.y + FOffsetY;
    SetCaretPos(x, y);
}

void TOvcSingleCaret::SetPos(TPoint Value) {
    if (Value.x < 0) Value.x = Hidden;
    if (Value.y < 0) Value.y = Hidden;
    if (Value == FPos) return;
    FPos = Value;
    ResetPos();
}

void TOvcSingleCaret::SetVisible(bool Value) {
    if (Value == FVisible) return;
    FVisible = Value;
    if (!FLinked) return;
    if (Value) ShowCaret(FOwner->Handle());
    else HideCaret(FOwner->Handle());
}

// --- TOvcCaretPair ---

TOvcCaretPair::TOvcCaretPair(TWinControl* Owner) : TOvcSingleCaret(Owner) {
    FInsCaretType = new TOvcCaret;
    FInsCaretType->Register();
    FOvrCaretType = new TOvcCaret;
    FOvrCaretType->SetShape(csBlock);
    FOvrCaretType->Register();
    SetCaretType(FInsCaretType);
}

TOvcCaretPair::~TOvcCaretPair() {
    SetLinked(false);
    FInsCaretType->Deregister();
    FOvrCaretType->Deregister();
}

void TOvcCaretPair::SetInsMode(bool Value) {
    if (Value == FInsMode) return;
    FInsMode = Value;
    SetCaretType(Value ? FInsCaretType : FOvrCaretType);
}

void TOvcCaretPair::SetInsCaretType(TOvcCaret* Value) {
    if (!Value || Value == FInsCaretType) return;
    Value->Register();
    TOvcCaret* old = FInsCaretType;
    FInsCaretType = Value;
    if (FInsMode) SetCaretType(Value);
    old->Deregister();
}

void TOvcCaretPair::SetOvrCaretType(TOvcCaret* Value) {
    if (!Value || Value == FOvrCaretType) return;
    Value->Register();
    TOvcCaret* old = FOvrCaretType;
    FOvrCaretType = Value;
    if (!FInsMode) SetCaretType(Value);
    old->Deregister();
}
