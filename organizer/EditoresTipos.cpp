#include "organizer/EditoresTipos.h"

#include "organizer/MotorTipos.h"
#include "organizer/TablasTipos.h"
#include "platform/db/Fields.h"
#include "platform/db/Table.h"

namespace {

std::vector<AnsiString> Items(const AnsiString& DatabaseName, const AnsiString& Tabla,
                              const AnsiString& Campo, bool SinMayusculas) {
    std::vector<AnsiString> r = {ItemTodos};
    auto t = OpenTempTable(DatabaseName, Tabla);
    TField* f = t->FieldByName(Campo);
    for (t->First(); !t->Eof(); t->Next()) {
        const AnsiString v = f->AsString();
        bool esta = false;
        for (const auto& x : r) esta = esta || (SinMayusculas ? AnsiSameText(x, v) : x == v);
        if (!esta) r.push_back(v);
    }
    return r;
}

void FiltraItem(TDataSet& Tabla, const AnsiString& Campo, const AnsiString& Item) {
    if (Item == ItemTodos) QuitaFiltro(Tabla);
    else FilterEqual(Tabla, Campo, Item);
    Tabla.First();
}

}  // namespace

std::vector<AnsiString> BloquesTipos(const AnsiString& DatabaseName) {
    return Items(DatabaseName, "tipos2", "ASIGS", true);
}

std::vector<AnsiString> GruposTipGrup(const AnsiString& DatabaseName) {
    return Items(DatabaseName, "tipgrup2", "GRUPO", false);
}

void FiltraBloque(TDataSet& Tipos, const AnsiString& Item) { FiltraItem(Tipos, "ASIGS", Item); }
void FiltraGrupo(TDataSet& TipGrup, const AnsiString& Item) { FiltraItem(TipGrup, "GRUPO", Item); }

void NuevaFilaEditorTipos(TDataSet& Tipos, TMotorTipos& Motor, const AnsiString& Bloque) {
    Tipos.FieldByName("TNC")->SetAsString(Motor.TNCSeleccionado());
    Tipos.FieldByName("ASIGS")->SetAsString(Bloque);
    Tipos.FieldByName("N")->SetAsInteger(Motor.NuevoN());
}

void CierraEditor(TDataSet& Tabla) {
    // Only a row being edited or inserted holds a change; asking for edit
    // mode on an empty view would insert a row and store it.
    if (Tabla.Active() && (Tabla.State() == dsEdit || Tabla.State() == dsInsert)) Tabla.CheckBrowseMode();
}
