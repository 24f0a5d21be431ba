#include "Alumnos.h"

ZELMOR_IMPLEMENT_COMPONENT(TAlumnosForm, TForm)

void TAlumnosForm::DescribeProperties(TPropertyTable& T) {
    T.Field("Header", &TAlumnosForm::Header);
    T.Field("EName", &TAlumnosForm::EName);
    T.Field("BSave", &TAlumnosForm::BSave);
    T.Handler("FormCreate", &TAlumnosForm::FormCreate);
    T.Handler("BSaveClick", &TAlumnosForm::BSaveClick);
}

void TAlumnosForm::FormCreate(TObject*) {
    Done.push_back(std::string("created with ") + (EName ? "EName" : "nothing"));
}

void TAlumnosForm::BSaveClick(TObject*) { Done.push_back("saved " + EName->Typed); }
