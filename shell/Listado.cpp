#include "shell/Listado.h"

#include <vector>

#include "platform/db/DataSet.h"
#include "platform/db/Fields.h"
#include "shell/SchoolTables.h"

AnsiString ListadoGrupo;
AnsiString ListadoAsig;
AnsiString ListadoDiv;
bool ListadoMostrarAsig = true;

namespace {
const std::vector<AnsiString>& CamposAsig() {
    static const std::vector<AnsiString> Campos = Numerados("ASIG", HuecosAsignatura);
    return Campos;
}
const std::vector<AnsiString>& CamposDiv() {
    static const std::vector<AnsiString> Campos = Numerados("DIV", HuecosAsignatura);
    return Campos;
}
}  // namespace

AnsiString TituloListado(const AnsiString& TNC) {
    AnsiString Titulo = "Listado de alumnos de " + TNC;
    if (!ListadoGrupo.empty()) Titulo += " del grupo " + ListadoGrupo;
    if (!ListadoAsig.empty()) {
        Titulo += " con la asignatura " + ListadoAsig;
        if (!ListadoDiv.empty()) Titulo += " divisi\xF3n " + ListadoDiv;
    }
    return Titulo;
}

AnsiString AsignaturasListado(TDataSet& Alumno) {
    AnsiString Texto;
    if (!ListadoMostrarAsig) return Texto;
    for (const AnsiString& Campo : CamposAsig()) {
        AnsiString Asig = Alumno.FieldByName(Campo)->AsString();
        if (Asig.empty()) continue;
        if (!Texto.empty()) Texto += ", ";
        Texto += Asig;
    }
    if (Texto.size() > AnchoAsignaturasListado) Texto.resize(AnchoAsignaturasListado);
    return Texto;
}

bool AlumnoEnListado(TDataSet& Alumno) {
    if (!ListadoGrupo.empty() && Alumno.FieldByName("GRUPO")->AsString() != ListadoGrupo) return false;
    if (ListadoAsig.empty()) return true;
    for (size_t i = 0; i < CamposAsig().size(); ++i) {
        if (Alumno.FieldByName(CamposAsig()[i])->AsString() != ListadoAsig) continue;
        if (ListadoDiv.empty() || Alumno.FieldByName(CamposDiv()[i])->AsString() == ListadoDiv) return true;
    }
    return false;
}
