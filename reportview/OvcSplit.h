#pragma once
// The splitter of the record screens: two panes that hold controls, side by
// side or one above the other, and a bar between them that the user drags.
#include <cstdint>
#include <memory>

#include "reportview/OvcBase.h"

// A pane: a container whose bare area lets the mouse through to the
// splitter beneath. The splitter places it; forms store only its colour.
class TOvcSection : public TOvcCollectibleControl {
    ZELMOR_CLASS(TOvcSection, TOvcCollectibleControl)
public:
    static void DescribeProperties(TPropertyTable& T);
    explicit TOvcSection(TComponent* AOwner);
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

protected:
    AnsiString GetBaseName() const override { return "Section"; }
    void WMNCHitTest(TMessage& Message) override;
};

enum TSplitterOrientation : uint8_t { soVertical, soHorizontal };
ZELMOR_DECLARE_ENUM(TSplitterOrientation);

class TOvcSplitter : public TOvcCustomControlEx {
    ZELMOR_CLASS(TOvcSplitter, TOvcCustomControlEx)
public:
    static void DescribeProperties(TPropertyTable& T);
    explicit TOvcSplitter(TComponent* AOwner);
    ~TOvcSplitter() override;
    void BeforeDestruction() override;

    // Pane Index, or null.
    TOvcSection* GetSection(int Index) const;
    int SectionCount() const;
    void Center();

    bool AllowResize() const { return FAllowResize; }
    void SetAllowResize(bool Value) { FAllowResize = Value; }
    // On a resize the bar keeps its place as a fraction of the width (or height).
    bool AutoScale() const { return FAutoScale; }
    void SetAutoScale(bool Value) { FAutoScale = Value; }
    // The bar itself moves during a drag, instead of an inverted ghost bar.
    bool AutoUpdate() const { return FAutoUpdate; }
    void SetAutoUpdate(bool Value) { FAutoUpdate = Value; }
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    TColor ColorLeft() const { return FColorLeft; }
    void SetColorLeft(TColor Value);
    TColor ColorRight() const { return FColorRight; }
    void SetColorRight(TColor Value);
    TSplitterOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TSplitterOrientation Value);
    // The bar's offset from the left (vertical) or top (horizontal) edge.
    int Position() const { return FPosition; }
    void SetPosition(int Value);
    bool ShowHandle() const { return FShowHandle; }
    void SetShowHandle(bool Value);
    TColor SplitterColor() const { return FSplitterColor; }
    void SetSplitterColor(TColor Value);
    int SplitterSize() const { return FSplitterSize; }
    void SetSplitterSize(int Value);
    double Fraction() const { return FFraction; }

    void SetName(const AnsiString& NewName) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    TNotifyEvent OnOwnerDraw;

protected:
    virtual void DoOnOwnerDraw();
    virtual void DoOnResize();
    void CreateParams(TCreateParams& Params) override;
    // No controller is looked for: the splitter uses none, and a record
    // screen has none to find.
    void CreateWnd() override;
    void Loaded() override;
    void ReadState(TReader* Reader) override;
    void Paint() override;
    void Resize() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void WMEraseBkgnd(TMessage& Message) override;
    void WMSetCursor(TMessage& Message) override;
    void CMCtl3DChanged(TMessage& Message) override;
    void CMDesignHitTest(TMessage& Message) override;

private:
    int Extent() const;  // the client width (vertical) or height (horizontal)
    bool IsNested(const TOvcSection* Section) const;
    void SetPositionPrim(int Value);
    void SetSectionInfo();
    void InvertGhost();
    void DrawSplitter(int X, int Y);
    void Relayout();

    bool FAllowResize = true;
    bool FAutoScale = true;
    bool FAutoUpdate = false;
    TBorderStyle FBorderStyle = bsNone;
    TSplitterOrientation FOrientation = soVertical;
    int FPosition = 0;
    double FFraction = 0.5;
    TColor FColorLeft = clBtnFace;
    TColor FColorRight = clBtnFace;
    bool FShowHandle = false;
    TColor FSplitterColor = clWindowText;
    int FSplitterSize = 3;
    bool FFirstRead = true;
    std::unique_ptr<TOvcCollection> FSections;
    bool FResizing = false;
    bool FDragging = false;  // the bar was taken by a press near enough to it
    int FSizingX = -1;
    int FSizingY = -1;
};
