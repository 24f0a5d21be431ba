#include "reportview/OvcRvCbx.h"

ZELMOR_IMPLEMENT_COMPONENT(TOvcViewComboBox, TOvcComboBox)

void TOvcViewComboBox::DescribeProperties(TPropertyTable& T) {
    using C = TOvcViewComboBox;
    T.Property("ReportView", &C::ReportView, &C::SetReportView);
}

TOvcViewComboBox::TOvcViewComboBox(TComponent* AOwner) : TOvcComboBox(AOwner) {
    SetOcbStyle(ocsDropDownList);
}

TOvcViewComboBox::~TOvcViewComboBox() = default;

void TOvcViewComboBox::BeforeDestruction() {
    SetReportView(nullptr);
    TOvcComboBox::BeforeDestruction();
}

void TOvcViewComboBox::SetReportView(TOvcCustomReportView* Value) {
    if (Value == FReportView) return;
    const bool loading = ComponentState().Contains(csLoading);
    if (!loading && !ComponentState().Contains(csDestroying)) ClearItems();
    if (FReportView) {
        FReportView->UnRegisterChangeNotification(this);
        FReportView->RemoveFreeNotification(this);
    }
    FReportView = Value;
    if (!FReportView) return;
    FReportView->FreeNotification(this);
    if (!loading) LoadList();
    FReportView->RegisterChangeNotification(this, [this](TOvcCustomReportView* Sender, TRvChangeEvent Event) {
        ChangeNotification(Sender, Event);
    });
}

void TOvcViewComboBox::LoadList() {
    ClearItems();
    if (!FReportView) return;
    for (int i = 0; i < FReportView->Views()->Count(); ++i) {
        const AnsiString& title = FReportView->GetView(i)->Title();
        if (!title.empty()) AddItem(title, nullptr);
    }
    SelectActiveTitle();
}

void TOvcViewComboBox::SelectActiveTitle() {
    TStrings* list = GetList();
    for (int i = 0; i < list->Count(); ++i)
        if (list->Get(i) == FReportView->ActiveTitle()) {
            SetListIndex(i);
            return;
        }
}

void TOvcViewComboBox::Loaded() {
    TOvcComboBox::Loaded();
    if (FReportView) LoadList();
}

void TOvcViewComboBox::CreateWnd() {
    TOvcComboBox::CreateWnd();
    if (FReportView) SelectActiveTitle();
}

void TOvcViewComboBox::SelectionChanged() {
    TOvcComboBox::SelectionChanged();
    if (ItemIndex() < 0 || !FReportView) return;
    FReportView->SetActiveViewByTitle(Text());
    FReportView->SetFocus();
}

void TOvcViewComboBox::ChangeNotification(TOvcCustomReportView* Sender, TRvChangeEvent Event) {
    switch (Event) {
    case rvViewCreate:
        for (int i = 0; i < Sender->Views()->Count(); ++i) {
            const AnsiString& title = Sender->GetView(i)->Title();
            bool listed = false;
            for (int k = 0; k < GetList()->Count() && !listed; ++k) listed = GetList()->Get(k) == title;
            if (!title.empty() && !listed) AddItem(title, nullptr);
        }
        break;
    case rvViewDestroy:
        for (int i = GetList()->Count() - 1; i >= 0; --i) {
            AnsiString title = GetList()->Get(i);
            if (Sender->ViewNameByTitle(title).empty()) RemoveItem(title);
        }
        break;
    case rvViewSelect:
        if (HandleAllocated()) SelectActiveTitle();
        break;
    case rvDestroying: SetReportView(nullptr); break;
    }
}

void TOvcViewComboBox::Notification(TComponent* AComponent, TOperation Operation) {
    TOvcComboBox::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FReportView) {
        SetListIndex(-1);
        ClearItems();
        FReportView = nullptr;
    }
}
