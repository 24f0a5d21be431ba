#include "organizer/Colocar.h"

#include <algorithm>

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

namespace {

// Which row each student takes. A student takes the first row, in record
// order, that covers it and has students left. When none has, the students
// already given a row may move to other rows that cover them, so that it
// gets a place: the subtypes count a student under a subtype whose subjects
// include its own, and the first rows that cover it may be the places of
// students still to come, who fit nowhere else. Nobody moves while the
// first free row serves.
class TReparto {
public:
    TReparto(const std::vector<TFilaAlumno>& Alumnos, const std::vector<TFilaEnGrupo>& TipGrup)
        : FCubren(Alumnos.size()), FLibres(TipGrup.size()), FOcupantes(TipGrup.size()),
          FFila(Alumnos.size(), -1), FVisto(TipGrup.size()) {
        for (size_t j = 0; j < TipGrup.size(); ++j) FLibres[j] = std::max(0, TipGrup[j].NALUM);
        for (size_t i = 0; i < Alumnos.size(); ++i) {
            const auto asigs = AsignaturasDe(Alumnos[i].ASIG);
            for (size_t j = 0; j < TipGrup.size(); ++j)
                if (FLibres[j] > 0 && IncluyeAsignaturas(TipGrup[j].ASIG, asigs)) FCubren[i].push_back(j);
        }
        for (size_t i = 0; i < Alumnos.size(); ++i) {
            for (size_t j : FCubren[i])
                if (FLibres[j] > 0) {
                    Pon(i, j);
                    break;
                }
            if (FFila[i] >= 0) continue;
            std::fill(FVisto.begin(), FVisto.end(), false);
            Recoloca(i);
        }
    }
    // The row of student I, -1 when it has none.
    int Fila(size_t I) const { return FFila[I]; }

private:
    void Pon(size_t I, size_t J) {
        if (FFila[I] >= 0) {
            auto& o = FOcupantes[static_cast<size_t>(FFila[I])];
            o.erase(std::find(o.begin(), o.end(), I));
            ++FLibres[static_cast<size_t>(FFila[I])];
        }
        FFila[I] = static_cast<int>(J);
        FOcupantes[J].push_back(I);
        --FLibres[J];
    }
    // A row for student I, moving others along rows not yet tried.
    bool Recoloca(size_t I) {
        for (size_t j : FCubren[I]) {
            if (FVisto[j]) continue;
            FVisto[j] = true;
            if (FLibres[j] > 0) {
                Pon(I, j);
                return true;
            }
            const auto ocupantes = FOcupantes[j];
            for (size_t k : ocupantes)
                if (Recoloca(k)) {
                    Pon(I, j);
                    return true;
                }
        }
        return false;
    }

    std::vector<std::vector<size_t>> FCubren;
    std::vector<int> FLibres;
    std::vector<std::vector<size_t>> FOcupantes;
    std::vector<int> FFila;
    std::vector<bool> FVisto;
};

} // namespace

TResultadoColocar ColocaAlumnos(std::vector<TFilaAlumno>& Alumnos, std::vector<TFilaEnGrupo>& TipGrup) {
    TResultadoColocar r;
    const TReparto reparto(Alumnos, TipGrup);
    for (size_t n = 0; n < Alumnos.size(); ++n) {
        auto& a = Alumnos[n];
        if (reparto.Fila(n) < 0) {
            r.NoColocados.push_back(a);
            continue;
        }
        TFilaEnGrupo* fila = &TipGrup[static_cast<size_t>(reparto.Fila(n))];
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
    auto tipgrup = OpenTempTable(DatabaseName, "tipgrup", "TNC");
    FilterEqual(*tipgrup, "TNC", TNC);
    auto filas = LeeTipGrup(*tipgrup);
    for (auto& f : filas) f.Marca.clear();
    NewTempTable(DatabaseName, "tipgrup2")->EmptyTable();
    Sincroniza(*OpenTempTable(DatabaseName, "tipgrup2"), {}, filas);
}

TResultadoColocar BColocarClick(const AnsiString& DatabaseName, const AnsiString& TNC) {
    auto tipgrup = OpenTempTable(DatabaseName, "tipgrup2");
    FilterEqual(*tipgrup, "TNC", TNC);
    auto alum = OpenTempTable(DatabaseName, "alum");
    FilterEqual(*alum, "TNC", TNC);
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
