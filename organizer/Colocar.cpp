#include "organizer/Colocar.h"

#include "organizer/TablasTipos.h"
#include "platform/db/Table.h"
#include "platform/ui/Dialogs.h"

namespace {

int HuecoDe(const THuecos& Huecos, const AnsiString& Codigo) {
    int j = HuecoExacto(Huecos, Codigo);
    if (j >= 0) return j;
    for (int i = 0; i < HuecosAsig; ++i)
        if (!Huecos[static_cast<size_t>(i)].empty() &&
            MismaAsignatura(Huecos[static_cast<size_t>(i)], Codigo))
            return i;
    return -1;
}

constexpr int NombresEnMensaje = 20;

} // namespace

TResultadoColocar ColocaAlumnos(std::vector<TFilaAlumno>& Alumnos, std::vector<TFilaEnGrupo>& TipGrup) {
    TResultadoColocar r;
    for (auto& a : Alumnos) {
        const auto asigs = AsignaturasDe(a.ASIG);
        TFilaEnGrupo* fila = nullptr;
        for (auto& f : TipGrup)
            if (f.NALUM > 0 && IncluyeAsignaturas(f.ASIG, asigs)) {
                fila = &f;
                break;
            }
        if (!fila) {
            r.NoColocados.push_back(a);
            continue;
        }
        --fila->NALUM;
        a.GRUPO = fila->GRUPO;
        for (int i = 0; i < HuecosAsig; ++i) {
            const auto& asig = a.ASIG[static_cast<size_t>(i)];
            if (asig.empty()) continue;
            const int j = HuecoDe(fila->ASIG, asig);
            if (j >= 0) a.DIV[static_cast<size_t>(i)] = fila->DIV[static_cast<size_t>(j)];
        }
        ++r.Colocados;
    }
    return r;
}

AnsiString MensajeColocar(const TResultadoColocar& R) {
    AnsiString m = "Proceso terminado";
    if (R.NoColocados.empty()) return m;
    const int n = static_cast<int>(R.NoColocados.size());
    m += n == 1 ? AnsiString("\n\nNo se ha podido colocar 1 alumno; conserva el grupo que ten\xED"
                             "a:")
                : "\n\nNo se han podido colocar " + IntToStr(n) +
                      " alumnos; conservan el grupo que ten\xED"
                      "an:";
    for (int i = 0; i < n && i < NombresEnMensaje; ++i) {
        const auto& a = R.NoColocados[static_cast<size_t>(i)];
        m += "\n" + a.EXPED + "  " + a.NOMBRE;
    }
    if (n > NombresEnMensaje) m += "\n...";
    return m;
}

AnsiString TituloColocar(const AnsiString& Turno, const AnsiString& Nivel, const AnsiString& Curso) {
    return "Colocar alumnos de " + Turno + " " + Nivel + " " + Curso + " en sus grupos";
}

void PreparaColocar(const AnsiString& DatabaseName, const AnsiString& TNC) {
    auto tipgrup = AbreTablaTipos(DatabaseName, "tipgrup", "TNC");
    Filtra(*tipgrup, "TNC", TNC);
    auto filas = LeeTipGrup(*tipgrup);
    for (auto& f : filas) f.Marca.clear();
    TablaTiposCerrada(DatabaseName, "tipgrup2")->EmptyTable();
    Sincroniza(*AbreTablaTipos(DatabaseName, "tipgrup2"), {}, filas);
}

TResultadoColocar BColocarClick(const AnsiString& DatabaseName, const AnsiString& TNC) {
    auto tipgrup = AbreTablaTipos(DatabaseName, "tipgrup2");
    Filtra(*tipgrup, "TNC", TNC);
    auto alum = AbreTablaTipos(DatabaseName, "alum");
    Filtra(*alum, "TNC", TNC);
    const auto filas = LeeTipGrup(*tipgrup);
    const auto alumnos = LeeAlumnos(*alum);
    auto filasDespues = filas;
    auto alumnosDespues = alumnos;
    auto r = ColocaAlumnos(alumnosDespues, filasDespues);
    Sincroniza(*alum, alumnos, alumnosDespues);
    Sincroniza(*tipgrup, filas, filasDespues);
    if (r.NoColocados.empty())
        ShowMessage(MensajeColocar(r));
    else
        MessageBox(MensajeColocar(r), "Atenci\xF3n", MB_OK);
    return r;
}
