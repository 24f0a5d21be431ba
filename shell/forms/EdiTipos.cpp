#include "shell/forms/EdiTipos.h"

#include <algorithm>

#include "dataaware/Wwdatsrc.h"
#include "dataaware/Wwdbgrid.h"
#include "dataaware/Wwtable.h"
#include "organizer/EditoresTipos.h"
#include "organizer/MotorTipos.h"
#include "platform/db/Fields.h"
#include "platform/db/Table.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdCtrls.h"
#include "reportview/OvcDbRpV.h"
#include "shell/forms/Tipos.h"

ZELMOR_IMPLEMENT_COMPONENT(TEdiTiposForm2, TForm)

TEdiTiposForm2* EdiTiposForm2 = nullptr;

namespace {
// The editors leave a margin at the screen's left and right.
constexpr int IzquierdaEditor = 20, MargenEditor = 50;
}  // namespace

TRect LugarEditorTipos(int Top, int Height) {
    const int alto = std::min(std::max(Height, AltoMinimoEditor), Screen->Height());
    const int arriba = std::max(0, std::min(Top, Screen->Height() - alto));
    return TRect(IzquierdaEditor, arriba, IzquierdaEditor + Screen->Width() - MargenEditor, arriba + alto);
}

TEdiTiposForm2::~TEdiTiposForm2() {
    if (EdiTiposForm2 == this) EdiTiposForm2 = nullptr;
}

void TEdiTiposForm2::DescribeProperties(TPropertyTable& T) {
    using F = TEdiTiposForm2;
    T.Field("wwTableTipos", &F::wwTableTipos);
    T.Field("wwTableAsigcur", &F::wwTableAsigcur);
    T.Field("DSTipos", &F::DSTipos);
    T.Field("Panel1", &F::Panel1);
    T.Field("Label1", &F::Label1);
    T.Field("CBBloques", &F::CBBloques);
    T.Field("BCerrar", &F::BCerrar);
    T.Field("wwDBGridTipGrup", &F::wwDBGridTipGrup);
    T.Handler("FormActivate", &F::FormActivate);
    T.Handler("CBBloquesChange", &F::CBBloquesChange);
    T.Handler("wwTableTiposNewRecord", &F::wwTableTiposNewRecord);
    T.Handler("SpeedButton1Click", &F::SpeedButton1Click);
    T.Handler("FormClose", &F::FormClose);
    T.Handler("FormDestroy", &F::FormDestroy);
}

void TEdiTiposForm2::Prepara(TTiposForm& Tipos) {
    FTipos = &Tipos;
    const TMotorTipos& motor = Tipos.Motor();
    AnsiString bloque;
    if (Tipos.TTipos->Active() && !Tipos.TTipos->IsEmpty())
        bloque = Tipos.TTipos->FieldByName("ASIGS")->AsString();
    CBBloques->Items()->Clear();
    for (const AnsiString& b : BloquesTipos(motor.DatabaseName())) CBBloques->Items()->Add(b);
    wwTableTipos->Open();
    wwTableAsigcur->Open();
    CBBloques->SetItemIndex(CBBloques->Items()->IndexOf(bloque));
    FiltraBloque(*wwTableTipos, bloque);
    // The lookup dialog offers the subjects of the course alone.
    FilterEqual(*wwTableAsigcur, "TNC", motor.TNCSeleccionado());
    TomaBloque(bloque);
}

void TEdiTiposForm2::TomaBloque(const AnsiString& Otro) {
    FBloque = wwTableTipos->IsEmpty() ? Otro : wwTableTipos->FieldByName("ASIGS")->AsString();
}

// Over the lower part of the types screen: its button bar and its types in
// groups, the part this editor does not edit.
void TEdiTiposForm2::FormActivate(TObject*) {
    if (!FTipos) return;
    const TTiposForm& t = *FTipos;
    const int marco = t.Height() - t.ClientHeight();
    SetBoundsRect(LugarEditorTipos(t.Top() + marco + t.ODBRVTipos->Height(),
                                   t.PBotones->Height() + t.ODBRVTipGrup->Height()));
}

void TEdiTiposForm2::CBBloquesChange(TObject*) {
    const int i = CBBloques->ItemIndex();
    if (i < 0) return;
    const AnsiString item = CBBloques->Items()->Strings(i);
    FiltraBloque(*wwTableTipos, item);
    TomaBloque(item == ItemTodos ? AnsiString() : item);
}

void TEdiTiposForm2::wwTableTiposNewRecord(TDataSet* DataSet) {
    if (FTipos) NuevaFilaEditorTipos(*DataSet, FTipos->Motor(), FBloque);
}

void TEdiTiposForm2::SpeedButton1Click(TObject*) { Close(); }

void TEdiTiposForm2::FormClose(TObject*, TCloseAction&) { CierraEditor(*wwTableTipos); }

void TEdiTiposForm2::FormDestroy(TObject*) {
    wwTableTipos->Close();
    wwTableAsigcur->Close();
}
