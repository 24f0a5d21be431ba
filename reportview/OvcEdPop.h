#pragma once
// The edit with a small push button inside its right edge that opens a
// popup window (the number edit's calculator).
#include <memory>

#include "platform/gfx/Bitmap.h"
#include "platform/ui/Buttons.h"
#include "reportview/OvcEditF.h"

// Scoped: the popup menus' alignment has enumerators of the same names.
enum class TOvcPopupAnchor : uint8_t { paLeft, paRight };
ZELMOR_DECLARE_ENUM(TOvcPopupAnchor);
using TOvcPopupEvent = TEvent<void(TObject* Sender)>;

constexpr UINT OM_POPUPCLOSE = 0x464;
constexpr UINT OM_POPUPOPEN = 0x465;

// Where a popup of PopupSize opens for an edit whose anchor point (in screen
// coordinates) is Anchor: below the edit, or above it (moved up by its own
// and the edit's height) when it would reach the work area's bottom; pulled
// left when it would reach the right edge; never left of the left edge.
TPoint PlacePopup(TPoint Anchor, TSize PopupSize, int EditHeight, const TRect& WorkArea);

class TOvcEdButton : public TBitBtn {
    ZELMOR_CLASS(TOvcEdButton, TBitBtn)
public:
    explicit TOvcEdButton(TComponent* AOwner) : TBitBtn(AOwner) {}
    void Click() override;
};

class TOvcEdPopup : public TOvcCustomEdit {
    ZELMOR_CLASS(TOvcEdPopup, TOvcCustomEdit)
public:
    explicit TOvcEdPopup(TComponent* AOwner);
    ~TOvcEdPopup() override;

    int GetButtonWidth() const;
    TBitmap* GetButtonGlyph();
    void SetButtonGlyph(TBitmap* Value);
    bool ShowButton() const { return FShowButton; }
    void SetShowButton(bool Value);
    TOvcPopupAnchor PopupAnchor() const { return FPopupAnchor; }
    void SetPopupAnchor(TOvcPopupAnchor Value) { FPopupAnchor = Value; }
    bool PopupActive() const { return FPopupActive; }
    TOvcEdButton* Button() const { return FButton; }
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    virtual void PopupOpen();
    virtual void PopupClose();

    TOvcPopupEvent OnPopupClose;
    TOvcPopupEvent OnPopupOpen;

protected:
    virtual bool GetButtonEnabled() const { return !ReadOnly(); }
    virtual void GlyphChanged() {}
    void Loaded() override;
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void CMDialogKey(TMessage& Message) override;
    void WndProc(TMessage& Message) override;
    void LayoutButton();

    TOvcEdButton* FButton;
    std::unique_ptr<TBitmap> FGlyph;
    bool FPopupActive = false;
    TOvcPopupAnchor FPopupAnchor = TOvcPopupAnchor::paLeft;
    bool FShowButton = true;
};
