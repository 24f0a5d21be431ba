#include "shell/forms/Seldat.h"

#include "gradient/TeeDraw3D.h"
#include "platform/sys/Paths.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/RichEdit.h"
#include "platform/ui/StdCtrls.h"
#include "shell/DataFolders.h"

ZELMOR_IMPLEMENT_COMPONENT(TSelecDatosForm, TForm)

TSelecDatosForm* SelecDatosForm = nullptr;

TSelecDatosForm::~TSelecDatosForm() {
    if (SelecDatosForm == this) SelecDatosForm = nullptr;
}

void TSelecDatosForm::DescribeProperties(TPropertyTable& T) {
    using F = TSelecDatosForm;
    T.Field("Draw3D1", &F::Draw3D1);
    T.Field("ListBox1", &F::ListBox1);
    T.Field("BOK", &F::BOK);
    T.Field("BitBtn1", &F::BitBtn1);
    T.Field("RichEdit1", &F::RichEdit1);
    T.Handler("FormCreate", &F::FormCreate);
    T.Handler("BOKClick", &F::BOKClick);
}

// The folders of the current folder, which is the program folder: the
// chosen name is joined to that.
void TSelecDatosForm::FormCreate(TObject*) {
    for (const AnsiString& carpeta : ListaCarpetasDatos(GetCurrentDir())) ListBox1->Items()->Add(carpeta);
}

void TSelecDatosForm::BOKClick(TObject*) { SetModalResult(mrOk); }
