#include "ListadoPrueba.h"

#include "platform/db/Fields.h"

ZELMOR_IMPLEMENT_COMPONENT(TListadoPruebaForm, TForm)

void TListadoPruebaForm::DescribeProperties(TPropertyTable& T) {
    T.Field("TAlum", &TListadoPruebaForm::TAlum);
    T.Field("QR", &TListadoPruebaForm::QR);
    T.Field("QRBand1", &TListadoPruebaForm::QRBand1);
    T.Field("QRBand2", &TListadoPruebaForm::QRBand2);
    T.Field("LabelTitulo", &TListadoPruebaForm::LabelTitulo);
    T.Handler("TAlumCalcFields", &TListadoPruebaForm::TAlumCalcFields);
    T.Handler("QRBand2BeforePrint", &TListadoPruebaForm::QRBand2BeforePrint);
}

void TListadoPruebaForm::TAlumCalcFields(TDataSet* DataSet) {
    ++Calculated;
    AnsiString Asigs = DataSet->FieldByName("ASIG1")->AsString();
    AnsiString Second = DataSet->FieldByName("ASIG2")->AsString();
    if (!Second.empty()) Asigs += (Asigs.empty() ? "" : ", ") + Second;
    DataSet->FieldByName("ASIGS")->SetAsString(Asigs);
}

void TListadoPruebaForm::QRBand2BeforePrint(TReportBand*, bool& PrintBand) {
    Asked.push_back(TAlum->FieldByName("NOMBRE")->AsString());
    PrintBand = Grupo.empty() || TAlum->FieldByName("GRUPO")->AsString() == Grupo;
}

void RegisterReportTestForms() {
    RegisterUiClasses();
    RegisterDBClasses();
    RegisterReportClasses();
    RegisterClass(TListadoPruebaForm::StaticClassInfo());
}
