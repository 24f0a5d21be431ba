#pragma once
// A windowless label whose caption has the button captions' effects: styles,
// rotation, shadow, extrusion, word wrap. It can size itself to its caption,
// be transparent over its parent, and hand the focus to another control
// through its accelerator.
#include <memory>

#include "buttons/fcText.h"
#include "platform/ui/Controls.h"

class TfcCustomLabel : public TGraphicControl {
    ZELMOR_CLASS(TfcCustomLabel, TGraphicControl)
public:
    explicit TfcCustomLabel(TComponent* AOwner);
    ~TfcCustomLabel() override;

    bool AutoSize() const { return FAutoSize; }
    virtual void SetAutoSize(bool Value);
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* Value);
    TfcCaptionText* TextOptions() const { return FTextOptions.get(); }
    void SetTextOptions(TfcCaptionText* Value) { FTextOptions->Assign(Value); }
    // Transparent: the background is not filled and the parent shows behind the text.
    bool Transparent() const { return !FControlStyle.Contains(csOpaque); }
    void SetTransparent(bool Value);
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

    virtual void DoMouseEnter();
    virtual void DoMouseLeave();
    virtual bool GetTextEnabled() const { return Enabled(); }
    // With AutoSize, the label takes the size of its caption (a right-aligned
    // one keeps its right edge); not while the form is read.
    virtual void AdjustBounds();

protected:
    void Paint() override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CMTextChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    void CMDialogChar(TMessage& Message) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;

private:
    bool FAutoSize = true;
    TWinControl* FFocusControl = nullptr;
    std::unique_ptr<TfcCaptionText> FTextOptions;
};

class TfcLabel : public TfcCustomLabel {
    ZELMOR_CLASS(TfcLabel, TfcCustomLabel)
public:
    using TfcCustomLabel::TfcCustomLabel;
    static void DescribeProperties(TPropertyTable& T);
};
