#pragma once
// The button header: a horizontal bar of sections drawn as buttons, each
// with a caption, an optional image and a width the user can drag. Its
// sections are items of a library collection and stream as children of the
// header. The report view's header and footer stand on it.
#include <cstdint>
#include <memory>

#include "platform/classes/Alignment.h"
#include "platform/ui/ExtCtrls.h"
#include "reportview/OvcBase.h"

class TBitmap;
class TCustomImageList;

enum TOvcBHDrawingStyle : uint8_t { bhsDefault, bhsThin, bhsFlat, bhsEtched };
ZELMOR_DECLARE_ENUM(TOvcBHDrawingStyle);
enum TOvcButtonHeaderStyle : uint8_t { bhsNone, bhsRadio, bhsButton };
ZELMOR_DECLARE_ENUM(TOvcButtonHeaderStyle);

using TOvcTextAttrEvent = TEvent<void(TObject* Sender, TCanvas* Canvas, int32_t Index)>;

class TOvcButtonHeaderSection : public TOvcCollectible {
    ZELMOR_CLASS(TOvcButtonHeaderSection, TOvcCollectible)
public:
    static void DescribeProperties(TPropertyTable& T);
    explicit TOvcButtonHeaderSection(TComponent* AOwner);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool AllowResize() const { return FAllowResize; }
    void SetAllowResize(bool Value);
    const AnsiString& Caption() const { return FCaption; }
    void SetCaption(const AnsiString& Value);
    int32_t ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int32_t Value);
    int32_t Width() const { return FWidth; }
    void SetWidth(int32_t Value);
    // The rectangle of the last painting.
    TRect Rect;
    AnsiString GetDisplayText() const override;
    void Changed() override;
    void Assign(TPersistent* Source) override;

protected:
    AnsiString GetBaseName() const override;

private:
    TAlignment FAlignment = taLeftJustify;
    bool FAllowResize = true;
    AnsiString FCaption;
    int32_t FImageIndex = -1;
    int32_t FWidth = 75;
};

class TOvcButtonHeader : public TOvcCustomControl {
    ZELMOR_CLASS(TOvcButtonHeader, TOvcCustomControl)
public:
    static void DescribeProperties(TPropertyTable& T);
    explicit TOvcButtonHeader(TComponent* AOwner);
    ~TOvcButtonHeader() override;

    bool AllowResize() const { return FAllowResize; }
    void SetAllowResize(bool Value) { FAllowResize = Value; }
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    TOvcBHDrawingStyle DrawingStyle() const { return FDrawingStyle; }
    void SetDrawingStyle(TOvcBHDrawingStyle Value);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    int32_t ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int32_t Value);
    TOvcCollection* Sections() const { return FSections.get(); }
    void SetSections(TOvcCollection*) {}
    TOvcButtonHeaderStyle Style() const { return FStyle; }
    void SetStyle(TOvcButtonHeaderStyle Value);
    int32_t TextMargin() const { return FTextMargin; }
    void SetTextMargin(int32_t Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);

    TOvcButtonHeaderSection* GetSection(int Index) const;
    void SetSection(int Index, TOvcButtonHeaderSection* Value);
    int GetSectionCount() const { return FSections->Count(); }
    TOvcButtonHeaderSection* AddSection();
    // The last section reaches the client's right edge.
    int GetWidth(int Index) const;
    int GetResizeSection() const { return FResizing ? FResizeSection : -1; }
    bool Resizing() const { return FResizing; }
    // The rectangle of the section held down at the last painting.
    TRect DownRect;

    TOvcTextAttrEvent OnChangeTextAttr;
    TSectionEvent OnSized;
    TSectionEvent OnSizing;

    void Click() override;

protected:
    virtual void DoOnClick();
    virtual void DoOnChangeTextAttr(TCanvas* Canvas, int32_t Index);
    virtual void DoOnSized(int32_t Section, int32_t Width);
    virtual void DoOnSizing(int32_t Section, int32_t Width);
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMDialogChar(TMessage& Message) override;
    void CMDesignHitTest(TMessage& Message) override;
    void WMSetCursor(TMessage& Message) override;
    void WMNCHitTest(TMessage& Message) override;
    void WMEraseBkgnd(TMessage& Message) override;
    void CreateParams(TCreateParams& Params) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Paint() override;
    // Whether a border that may be dragged lies under X (the resize section set).
    bool DetectBorder(int X);
    // The section whose right border (from x = 2) lies beyond X, or -1.
    int SectionAt(int X) const;
    // Draws the sections onto Canvas (Width x Height).
    void PaintSections(TCanvas* Canvas, int Width, int Height);

    int FResizeSection = 0;
    int FPressedSection = -1;
    int32_t FItemIndex = 0;

private:
    bool FAllowResize = true;
    TBorderStyle FBorderStyle = bsNone;
    TOvcBHDrawingStyle FDrawingStyle = bhsDefault;
    TCustomImageList* FImages = nullptr;
    std::unique_ptr<TOvcCollection> FSections;
    TOvcButtonHeaderStyle FStyle = bhsRadio;
    int32_t FTextMargin = 0;
    bool FWordWrap = false;
    bool FResizing = false;
    TPoint FHitPoint;
    int FBorderOffset = 0;
    std::unique_ptr<TBitmap> FBitmap;
    bool FClicked = false;
};
