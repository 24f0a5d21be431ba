#include "reportview/OvcEdPop.h"

#include <algorithm>

#include "platform/win/MessageQueue.h"

ZELMOR_IMPLEMENT_ENUM(TOvcPopupAnchor, "paLeft", "paRight")
ZELMOR_IMPLEMENT_CLASS(TOvcEdButton, TBitBtn)
ZELMOR_IMPLEMENT_CLASS(TOvcEdPopup, TOvcCustomEdit)

TPoint PlacePopup(TPoint Anchor, TSize PopupSize, int EditHeight, const TRect& WorkArea) {
    TPoint p = Anchor;
    if (p.y + PopupSize.cy >= WorkArea.Bottom) p.y -= PopupSize.cy + EditHeight;
    if (p.x + PopupSize.cx >= WorkArea.Right) p.x = WorkArea.Right - PopupSize.cx - 1;
    if (p.x <= WorkArea.Left) p.x = WorkArea.Left + 1;
    return p;
}

void TOvcEdButton::Click() {
    TBitBtn::Click();
    if (auto* edit = dynamic_cast<TOvcEdPopup*>(Parent())) edit->PopupOpen();
}

TOvcEdPopup::TOvcEdPopup(TComponent* AOwner)
    : TOvcCustomEdit(AOwner), FButton(new TOvcEdButton(this)), FGlyph(std::make_unique<TBitmap>()) {
    FButton->SetVisible(true);
    FButton->SetParent(this);
    FButton->SetCaption("");
    FButton->SetTabStop(false);
}

TOvcEdPopup::~TOvcEdPopup() = default;

int TOvcEdPopup::GetButtonWidth() const {
    if (!FShowButton) return 0;
    int w = GetSystemMetrics(SM_CXVSCROLL);
    if (FGlyph && FGlyph->Width() > 0) w = std::max(w, FGlyph->Width() + 4);
    return w;
}

TBitmap* TOvcEdPopup::GetButtonGlyph() {
    if (!FGlyph) FGlyph = std::make_unique<TBitmap>();
    return FGlyph.get();
}

void TOvcEdPopup::SetButtonGlyph(TBitmap* Value) {
    if (Value) FGlyph->Assign(Value);
    else FGlyph = std::make_unique<TBitmap>();
    GlyphChanged();
    FButton->SetGlyph(FGlyph.get());
    LayoutButton();
}

void TOvcEdPopup::SetShowButton(bool Value) {
    FShowButton = Value;
    LayoutButton();
}

void TOvcEdPopup::Loaded() {
    TOvcCustomEdit::Loaded();
    FButton->SetGlyph(FGlyph.get());
}

void TOvcEdPopup::CreateParams(TCreateParams& Params) {
    TOvcCustomEdit::CreateParams(Params);
    Params.Style |= WS_CLIPCHILDREN;
}

void TOvcEdPopup::CreateWnd() {
    TOvcCustomEdit::CreateWnd();
    LayoutButton();
    FButton->SetEnabled(GetButtonEnabled());
}

void TOvcEdPopup::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TOvcCustomEdit::SetBounds(ALeft, ATop, AWidth, AHeight);
    LayoutButton();
}

void TOvcEdPopup::LayoutButton() {
    if (!HandleAllocated() || !FButton) return;
    if (!FShowButton) {
        FButton->SetBounds(0, 0, 0, 0);
        return;
    }
    int w = GetButtonWidth();
    if (BorderStyle() == bsSingle) {
        bool flat = !Ctl3D();
        int h = ClientHeight() - (flat ? 2 : 0);
        FButton->SetBounds(Width() + (flat ? 3 : 0) - w - 4, flat ? 1 : 0, w, h);
    } else FButton->SetBounds(ClientWidth() - w, 0, w, ClientHeight());
}

void TOvcEdPopup::PopupOpen() {
    FPopupActive = true;
    if (HandleAllocated()) PostMessage(Handle(), OM_POPUPOPEN, 0, 0);
}

void TOvcEdPopup::PopupClose() {
    FPopupActive = false;
    if (HandleAllocated()) PostMessage(Handle(), OM_POPUPCLOSE, 0, 0);
}

void TOvcEdPopup::CMDialogKey(TMessage& Message) {
    if (!FPopupActive) {
        TOvcCustomEdit::CMDialogKey(Message);
        return;
    }
    WORD key = static_cast<WORD>(Message.WParam);
    if (key == VK_RETURN || key == VK_ESCAPE) {
        PopupClose();
        Message.Result = 1;
    }
}

void TOvcEdPopup::WndProc(TMessage& Message) {
    if (Message.Msg == OM_POPUPOPEN) {
        if (OnPopupOpen) OnPopupOpen(this);
        return;
    }
    if (Message.Msg == OM_POPUPCLOSE) {
        if (OnPopupClose) OnPopupClose(this);
        return;
    }
    TOvcCustomEdit::WndProc(Message);
}
