#include "TiposFixture.h"

#include <gtest/gtest.h>

#include "buttons/fcShapeBtn.h"
#include "dataaware/Wwdbgrid.h"
#include "dataaware/Wwtable.h"
#include "platform/db/Fields.h"
#include "platform/db/Table.h"
#include "reportview/OvcDbRpV.h"
#include "shell/AppState.h"
#include "shell/SchoolTables.h"
#include "shell/forms/Controla.h"
#include "shell/forms/Tipos.h"
#include "shell/forms/Trasladar.h"

TFilasTabla FilasDe(const AnsiString& Carpeta, const AnsiString& Tabla) {
    TFilasTabla filas;
    TTempTable t = OpenTempTable(Carpeta, Tabla);
    for (t->First(); !t->Eof(); t->Next()) {
        auto& fila = filas.emplace_back();
        for (int i = 0; i < t->FieldCount(); ++i)
            fila[t->Fields()->Fields(i)->FieldName()] = ToUtf8(t->Fields()->Fields(i)->AsString());
    }
    return filas;
}

void TiposFixture::SetUp() {
    ScreensFixture::SetUp();
    F = AbrePrincipal();
    Estado = &F->Estado();
}

void TiposFixture::AbreCarpeta(const std::string& Nombre) {
    PonEjemplo(Nombre);
    Carpeta = "C:\\ZELMOR\\" + Nombre;
    Estado->ApuntaBaseDatos(Carpeta + "\\");
    Estado->CarpetaDatos = Carpeta + "\\";
    Estado->RutaDatos = Carpeta + "\\";
    TTempTable cursos = OpenTempTable(Carpeta, "cursos");
    cursos->First();
    Estado->Turno = cursos->FieldByName("TURNO")->AsString();
    Estado->Nivel = cursos->FieldByName("NIVEL")->AsString();
    Estado->Curso = cursos->FieldByName("CURSO")->AsString();
    Estado->TNCSeleccionado = cursos->FieldByName("TNC")->AsString();
}

TTiposForm* TiposFixture::AbreTipos() {
    Pulsa(F->BIrA);
    Ui.Then([this] { Ui.Type("5"); });
    Ui.RunUntilIdle();
    return TiposForm;
}

namespace {
TPoint PuntoLinea(TOvcDbReportView* V, int Linea) {
    return TPoint(200, Linea * V->ListBox()->RowHeight() + V->ListBox()->RowHeight() / 2);
}
}  // namespace

void TiposFixture::PulsaLinea(TOvcDbReportView* V, int Linea) {
    Clock.Advance(1000);
    Ui.Click(V->ListBox(), PuntoLinea(V, Linea));
    Ui.RunUntilIdle();
}

void TiposFixture::DobleClicLinea(TOvcDbReportView* V, int Linea) {
    Clock.Advance(1000);
    Ui.DoubleClick(V->ListBox()->ClientToScreen(PuntoLinea(V, Linea)));
}

void TiposFixture::PulsaCelda(TwwDBGrid* G, const char* Campo, int Fila) {
    const int columna = Columna(G, Campo);
    // A column scrolled away is brought into view first.
    if (G->CellRect(columna, Fila).Width() <= 0) G->SetSelectedIndex(columna - G->IndicatorOffset());
    const TRect r = G->CellRect(columna, Fila);
    // The focus first (a click could land on a check box): a click in a
    // cell of a focused grid moves to it, and what is typed then replaces
    // the cell's text.
    G->SetFocus();
    Clock.Advance(1000);
    Ui.Click(G, TPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
}

int TiposFixture::Columna(TwwDBGrid* G, const char* Campo) {
    for (int i = 0; i < G->Selected()->Count(); ++i)
        if (G->Selected()->Strings(i).rfind(AnsiString(Campo) + "\t", 0) == 0)
            return i + G->IndicatorOffset();
    ADD_FAILURE() << "no column " << Campo;
    return 0;
}

void TiposFixture::AbreEditor(TOvcDbReportView* V) {
    DobleClicLinea(V, 0);
    Ui.RunUntilIdle();
    ASSERT_TRUE(V->Engine().GetIsGroup(0));
    ASSERT_FALSE(V->Engine().GetIsGroup(1));
    DobleClicLinea(V, 1);
}

void TiposFixture::CalculaTipos(TTiposForm* T) {
    if (!T->TTipos->IsEmpty() || !T->TTipGrup->IsEmpty()) Responde("Yes");
    Pulsa(T->BCalcularTipos);
    Ui.RunUntilIdle();
    ASSERT_EQ(Ui.StepsLeft(), 0u);
    ASSERT_FALSE(T->TTipos->IsEmpty());
}

int TiposFixture::LineaConAlumnos(TOvcDbReportView* V) {
    for (int l = 0; l < V->Engine().GetLines(); ++l)
        if (V->Engine().GetIsGroup(l) &&
            StrToIntDef(Trim(V->DoGetGroupString(1, V->Engine().GetGroupRef(l))), 0) > 0)
            return l;
    return 0;
}

void TiposFixture::TipoAGrupo(TTiposForm* T, const char* Grupo) {
    PulsaLinea(T->ODBRVTipos, LineaConAlumnos(T->ODBRVTipos));
    Pulsa(T->BTrasladarAbajo);
    Luego([this, Grupo](TCustomForm* D) {
        Ui.Click(static_cast<TTrasladarForm*>(D)->EdGrupo);
        Ui.Type(Grupo);
        Ui.Click(D, "BOK");
    });
    Ui.RunUntilIdle();
}
