#include "TiposFixture.h"

#include "buttons/fcShapeBtn.h"
#include "platform/db/Fields.h"
#include "platform/db/Table.h"
#include "reportview/OvcDbRpV.h"
#include "shell/AppState.h"
#include "shell/SchoolTables.h"
#include "shell/forms/Controla.h"
#include "shell/forms/Tipos.h"

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

void TiposFixture::PulsaLinea(TOvcDbReportView* V, int Linea) {
    Clock.Advance(1000);
    Ui.Click(V->ListBox(), TPoint(200, Linea * V->ListBox()->RowHeight() + V->ListBox()->RowHeight() / 2));
    Ui.RunUntilIdle();
}
