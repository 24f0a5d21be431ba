#include "Sample.h"

#include "Confirm.h"

ZELMOR_IMPLEMENT_COMPONENT(TSampleForm, TForm)

void TSampleForm::DescribeProperties(TPropertyTable& T) {
    T.Field("Header", &TSampleForm::Header);
    T.Field("EName", &TSampleForm::EName);
    T.Field("ESurname", &TSampleForm::ESurname);
    T.Field("BSave", &TSampleForm::BSave);
    T.Field("Status", &TSampleForm::Status);
    T.Handler("BSaveClick", &TSampleForm::BSaveClick);
}

void TSampleForm::BSaveClick(TObject*) {
    auto* D = NewComponent<TConfirmForm>(this);
    Answer = D->ShowModal();
    D->Free();
    if (Answer == mrOk) {
        ++Saved;
        Status->SetColor(clLime);
    }
}
