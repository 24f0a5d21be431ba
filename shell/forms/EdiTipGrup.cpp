#include "shell/forms/EdiTipGrup.h"

#include "dataaware/Wwdatsrc.h"
#include "dataaware/Wwdbgrid.h"
#include "dataaware/Wwtable.h"
#include "organizer/EditoresTipos.h"
#include "organizer/MotorTipos.h"
#include "platform/db/Fields.h"
#include "platform/gfx/Graphics.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdCtrls.h"
#include "reportview/OvcDbRpV.h"
#include "shell/forms/EdiTipos.h"
#include "shell/forms/Tipos.h"

ZELMOR_IMPLEMENT_COMPONENT(TEdiTipGrupForm2, TForm)

TEdiTipGrupForm2* EdiTipGrupForm2 = nullptr;

TEdiTipGrupForm2::~TEdiTipGrupForm2() {
    if (EdiTipGrupForm2 == this) EdiTipGrupForm2 = nullptr;
}

void TEdiTipGrupForm2::DescribeProperties(TPropertyTable& T) {
    using F = TEdiTipGrupForm2;
    T.Field("wwTableTipGrup", &F::wwTableTipGrup);
    T.Field("DSTipGrup", &F::DSTipGrup);
    T.Field("Panel1", &F::Panel1);
    T.Field("Label1", &F::Label1);
    T.Field("CBGrupos", &F::CBGrupos);
    T.Field("BCerrar", &F::BCerrar);
    T.Field("wwDBGridTipGrup", &F::wwDBGridTipGrup);
    T.Handler("FormActivate", &F::FormActivate);
    T.Handler("CBGruposChange", &F::CBGruposChange);
    T.Handler("wwDBGridTipGrupCalcCellColors", &F::wwDBGridTipGrupCalcCellColors);
    T.Handler("SpeedButton1Click", &F::SpeedButton1Click);
    T.Handler("FormClose", &F::FormClose);
}

void TEdiTipGrupForm2::Prepara(TTiposForm& Tipos) {
    FTipos = &Tipos;
    AnsiString grupo;
    if (Tipos.TTipGrup->Active() && !Tipos.TTipGrup->IsEmpty())
        grupo = Tipos.TTipGrup->FieldByName("GRUPO")->AsString();
    CBGrupos->Items()->Clear();
    int elegido = -1;
    // Group letters are compared exactly: "a" and "A" are two groups.
    for (const AnsiString& g : GruposTipGrup(Tipos.Motor().DatabaseName())) {
        if (g == grupo && g != ItemTodos) elegido = CBGrupos->Items()->Count();
        CBGrupos->Items()->Add(g);
    }
    wwTableTipGrup->Open();
    CBGrupos->SetItemIndex(elegido);
    FiltraGrupo(*wwTableTipGrup, grupo);
}

// Over the upper part of the types screen: its caption, its subtypes and its
// button bar, the part this editor does not edit.
void TEdiTipGrupForm2::FormActivate(TObject*) {
    if (!FTipos) return;
    const TTiposForm& t = *FTipos;
    SetBoundsRect(LugarEditorTipos(t.Top(), t.Height() - t.ClientHeight() + t.ODBRVTipos->Height() +
                                                t.PBotones->Height()));
}

void TEdiTipGrupForm2::CBGruposChange(TObject*) {
    const int i = CBGrupos->ItemIndex();
    if (i >= 0) FiltraGrupo(*wwTableTipGrup, CBGrupos->Items()->Strings(i));
}

void TEdiTipGrupForm2::wwDBGridTipGrupCalcCellColors(TObject*, TField* Field, TGridDrawState, bool, TFont*,
                                                     TBrush* ABrush) {
    if (Field && Field->FieldName().rfind("AS", 0) == 0) ABrush->SetColor(ColorAsignaturas);
}

void TEdiTipGrupForm2::SpeedButton1Click(TObject*) { Close(); }

void TEdiTipGrupForm2::FormClose(TObject*, TCloseAction&) { CierraEditor(*wwTableTipGrup); }
