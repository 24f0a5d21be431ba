#pragma once
// Carets: TOvcCaret describes a look (shape, size, alignment in the cell,
// blink time, grey or a picture) and may serve several carets, living while
// one holds it; TOvcSingleCaret is the caret of one window, placed by
// character cell; TOvcCaretPair switches one caret between an insert look
// and an overtype look. The system caret exists only while a caret is linked.
#include <climits>
#include <cstdint>
#include <memory>

#include "platform/gfx/Bitmap.h"
#include "platform/ui/Controls.h"

enum TOvcCaretShape : uint8_t { csBlock, csHalfBlock, csVertLine, csHorzLine, csCustom, csBitmap };
ZELMOR_DECLARE_ENUM(TOvcCaretShape);
enum TOvcCaretAlign : uint8_t { caLeft, caTop, caRight, caBottom, caCenter };
ZELMOR_DECLARE_ENUM(TOvcCaretAlign);

class TOvcCaret : public TPersistent {
    ZELMOR_CLASS(TOvcCaret, TPersistent)
public:
    static void DescribeProperties(TPropertyTable& T);
    TOvcCaret();
    ~TOvcCaret() override;

    // One more holder; the last Deregister frees the look.
    void Register() { ++FRefCount; }
    void Deregister();
    int RefCount() const { return FRefCount; }
    void NotifyChange();

    TOvcCaretAlign Align() const { return FAlign; }
    void SetAlign(TOvcCaretAlign Value);
    TBitmap* Bitmap() const { return FBitmap.get(); }
    void SetBitmap(TBitmap* Value);  // copies the picture; nullptr is ignored
    int BitmapHotSpotX() const { return FBitmapX; }
    void SetBitmapX(int Value);
    int BitmapHotSpotY() const { return FBitmapY; }
    void SetBitmapY(int Value);
    uint16_t BlinkTime() const { return FBlinkTime; }
    void SetBlinkTime(uint16_t Value);
    int CaretHeight() const { return FCaretHeight; }
    void SetCaretHeight(int Value);  // 0 and below ignored
    int CaretWidth() const { return FCaretWidth; }
    void SetCaretWidth(int Value);
    bool IsGray() const { return FIsGray; }
    void SetIsGray(bool Value);
    TOvcCaretShape Shape() const { return FShape; }
    void SetShape(TOvcCaretShape Value);

    TNotifyEvent OnChange;

private:
    TOvcCaretAlign FAlign = caLeft;
    std::unique_ptr<TBitmap> FBitmap;
    int FBitmapX = 0, FBitmapY = 0;
    uint16_t FBlinkTime = 0;
    int FCaretHeight = 10, FCaretWidth = 2;
    bool FIsGray = false;
    TOvcCaretShape FShape = csVertLine;
    int FRefCount = 0;
};

class TOvcSingleCaret : public TPersistent {
    ZELMOR_CLASS(TOvcSingleCaret, TPersistent)
public:
    // The coordinate of a caret put out of sight.
    static constexpr int Hidden = INT_MAX;

    explicit TOvcSingleCaret(TWinControl* Owner);
    ~TOvcSingleCaret() override;

    TOvcCaret* CaretType() const { return FCaretType; }
    void SetCaretType(TOvcCaret* Value);
    int CellHeight() const { return FCellHeight; }
    void SetCellHeight(int Value);  // positive values only
    int CellWidth() const { return FCellWidth; }
    void SetCellWidth(int Value);
    bool Linked() const { return FLinked; }
    // Linking needs the owner's window; without it the caret stays unlinked.
    void SetLinked(bool Value);
    TPoint Pos() const { return FPos; }
    void SetPos(TPoint Value);  // a negative coordinate hides the caret
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    TPoint Offset() const { return TPoint(FOffsetX, FOffsetY); }

    void CaretTypeHasChanged(TObject* Sender);
    void MakeShape();
    // Fits the look to the cell and finds its offset in it.
    void Reinit();
    void ResetPos();

protected:
    void TakeLook(TOvcCaret* Value);
    TOvcCaret* FCaretType = nullptr;

private:
    int FCellHeight = 10;
    bool FLinked = false;
    TPoint FPos{Hidden, Hidden};
    bool FVisible = false;
    int FCellWidth = 10;
    UINT FSavedBlinkTime = 0;
    TWinControl* FOwner;
    int FOffsetX = 0, FOffsetY = 0;
};

class TOvcCaretPair : public TOvcSingleCaret {
    ZELMOR_CLASS(TOvcCaretPair, TOvcSingleCaret)
public:
    explicit TOvcCaretPair(TWinControl* Owner);
    ~TOvcCaretPair() override;

    bool InsMode() const { return FInsMode; }
    void SetInsMode(bool Value);
    TOvcCaret* InsCaretType() const { return FInsCaretType; }
    void SetInsCaretType(TOvcCaret* Value);
    TOvcCaret* OvrCaretType() const { return FOvrCaretType; }
    void SetOvrCaretType(TOvcCaret* Value);

private:
    bool FInsMode = true;
    TOvcCaret* FInsCaretType = nullptr;
    TOvcCaret* FOvrCaretType = nullptr;
};
