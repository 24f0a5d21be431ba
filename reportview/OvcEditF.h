#pragma once
// The platform's single-line edit with the library's two services: the
// form's controller and an attached caption label.
#include "platform/ui/StdCtrls.h"
#include "reportview/OvcBase.h"

class TOvcCustomEdit : public TCustomEdit, public TOvcLabelled {
    ZELMOR_CLASS(TOvcCustomEdit, TCustomEdit)
public:
    explicit TOvcCustomEdit(TComponent* AOwner);
    ~TOvcCustomEdit() override;
    void BeforeDestruction() override;
    AnsiString About() const { return OvcVersion; }
    void SetAbout(const AnsiString&) {}

    TOvcController* Controller() const { return FController; }
    void SetController(TOvcController* Value);
    bool ControllerAssigned() const { return FController != nullptr; }
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

protected:
    // The edit's label does not size itself to its caption.
    bool LabelAutoSize() const override { return false; }
    void CreateWnd() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void WndProc(TMessage& Message) override;
    void CMVisibleChanged(TMessage& Message) override;

private:
    TOvcController* FController = nullptr;
};

class TOvcEdit : public TOvcCustomEdit {
    ZELMOR_CLASS(TOvcEdit, TOvcCustomEdit)
public:
    static void DescribeProperties(TPropertyTable& T);
    explicit TOvcEdit(TComponent* AOwner) : TOvcCustomEdit(AOwner) {}
};
