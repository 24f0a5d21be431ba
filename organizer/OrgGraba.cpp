// The write-back: the students of the run become counted rows, connections
// and divisions get canonical numbers, and the rows replace the course's
// rows of tipos and tipgrup.
#include <algorithm>

#include "organizer/Organizar.h"

void TOrganizador::AgrupaColocados() {
    for (auto& t : Memo.Tipos) Memo.IniciaFilaTipo(t);
    Memo.NumTipos = 0;
    for (int i = 0; i < NumAlumnos; ++i) {
        TPlazaAlumno& p = Alumnos[i];
        if (p.Fila < 0) continue;
        const TFilaTipo& fila = Memo.Filas[p.Fila];
        for (const auto& slot : fila.Slots) {
            if (slot.Asig.empty() || PosicionCuentaOptativa(slot.Asig) >= 0) continue;
            int libre = 0;
            while (libre < SlotsFila && p.Asigs[libre].Asig != -1) ++libre;
            if (libre == SlotsFila) break;
            const int s = Memo.BuscaAsignatura(fila.Curso, slot.Asig, -1);
            if (s < 0) continue;
            p.Asigs[libre].Asig = s;
            p.Asigs[libre].Div = slot.Div;
            p.Asigs[libre].Con = slot.Con;
        }
    }
    // Every student ends in exactly one row: merged ones are marked apart
    // rather than through their type number, which may not be found.
    std::vector<char> fusionado(NumAlumnos, 0);
    auto mismos = [](const TPlazaAlumno& a, const TPlazaAlumno& b) {
        if (a.Grupo != b.Grupo || a.Opcion != b.Opcion) return false;
        for (int k = 0; k < SlotsFila; ++k)
            if (a.Asigs[k].Asig != b.Asigs[k].Asig || a.Asigs[k].Div != b.Asigs[k].Div ||
                a.Asigs[k].Con != b.Asigs[k].Con)
                return false;
        return true;
    };
    for (int j = 0; j < NumAlumnos; ++j) {
        if (fusionado[j]) continue;
        for (int k = j + 1; k < NumAlumnos; ++k)
            if (!fusionado[k] && mismos(Alumnos[j], Alumnos[k])) {
                Alumnos[j].NAlum += Alumnos[k].NAlum;
                fusionado[k] = 1;
            }
    }
    for (int j = 0; j < NumAlumnos; ++j) {
        if (fusionado[j]) continue;
        const TPlazaAlumno& p = Alumnos[j];
        TFilaTipo& t = Memo.Tipos[Memo.NumTipos];
        t.Numero = Memo.NumTipos + 1;
        t.NAlum = p.NAlum;
        t.Curso = p.Curso >= 0 ? Memo.Cursos[p.Curso].Abrev : Memo.Cursos[0].Abrev;
        t.Grupo = p.Grupo;
        t.Opcion = p.Opcion;
        for (int k = 0; k < SlotsFila; ++k) {
            const TEleccionAsig& e = p.Asigs[k];
            if (e.Asig < 0) continue;
            t.Slots[k].Asig = Memo.Asignaturas[e.Asig].Asig;
            t.Slots[k].Div = e.Div < Memo.Asignaturas[e.Asig].NDiv ? e.Div : -1;
            t.Slots[k].Con = e.Con;
        }
        ++Memo.NumTipos;
    }
}

void TOrganizador::NumeraConexiones() {
    const int nAsig = Memo.NumAsignaturas;
    for (int s = 0; s < nAsig; ++s) {
        TEstadoAsig& e = EstAsig[s];
        std::fill(e.Marcas.begin(), e.Marcas.end(), -1);
        e.CodigosTrabajo = e.Codigos;
    }
    CodigosCambiados();
    NumeraComponentes(false);

    const int nTipos = CuentaTipos();
    const int usados = std::min(NumAsigs, SlotsFila);
    // subject index of every used slot of every type, looked up once
    std::vector<std::array<int, SlotsFila>> asig(nTipos);
    for (int p = 0; p < nTipos; ++p)
        for (int a = 0; a < usados; ++a) {
            const TSlotTipo& s = Memo.Tipos[p].Slots[a];
            asig[p][a] = s.Asig.empty() ? -1 : Memo.BuscaAsignatura(Memo.Tipos[p].Curso, s.Asig, -1);
        }
    for (int p = 0; p < nTipos; ++p)
        for (int a = 0; a < usados; ++a) Memo.Tipos[p].Slots[a].Con = -1;

    int top = 0;
    for (int p = 0; p < nTipos; ++p) {
        TFilaTipo& tipo = Memo.Tipos[p];
        if (tipo.Grupo < 0) continue;
        for (int a = 0; a < usados; ++a) {
            const int i = asig[p][a];
            if (i < 0) continue;
            const TEstadoAsig& e = EstAsig[i];
            if (!e.TieneCeldas() || tipo.Grupo >= e.Grupos || EstAsig[i].Curso < 0 ||
                Memo.Cursos[EstAsig[i].Curso].Abrev != tipo.Curso)
                continue;
            const int d = tipo.Slots[a].Div;
            const int r = d >= 0 ? d : e.Divisiones;
            if (r > e.Divisiones || e.Celdas[e.C(r, tipo.Grupo)] == 0) continue;
            tipo.Slots[a].Con = e.Marcas[e.C(r, tipo.Grupo)];
            top = std::max(top, tipo.Slots[a].Con);
        }
    }

    // A class that two or more rows hold, connected to nothing else, gets a
    // number of its own so that its rows stay together.
    for (int p = 0; p < nTipos; ++p) {
        TFilaTipo& tp = Memo.Tipos[p];
        if (tp.Grupo < 0) continue;
        for (int n = p + 1; n < nTipos; ++n) {
            TFilaTipo& tn = Memo.Tipos[n];
            if (tn.Curso != tp.Curso || tn.Grupo != tp.Grupo) continue;
            for (int a = 0; a < usados; ++a)
                for (int b = 0; b < usados; ++b) {
                    TSlotTipo& sa = tp.Slots[a];
                    TSlotTipo& sb = tn.Slots[b];
                    if (sa.Asig.empty() || sa.Asig != sb.Asig || sa.Div != sb.Div) continue;
                    if (sa.Con != -1 && sb.Con != -1) continue;
                    if (sa.Con >= 0) {
                        sb.Con = sa.Con;
                    } else {
                        ++top;
                        sa.Con = sb.Con = top;
                    }
                }
        }
    }

    // A division says nothing when no other row shares its connection in
    // another group or division, and no row of its group has the subject in
    // another connection: the whole group is then one class.
    for (int p = 0; p < nTipos; ++p) {
        TFilaTipo& tp = Memo.Tipos[p];
        if (tp.Grupo < 0) continue;
        for (int a = 0; a < usados; ++a) {
            TSlotTipo& sa = tp.Slots[a];
            if (sa.Asig.empty() || sa.Div == -1) continue;
            bool dice = false;
            for (int n = 0; n < nTipos && !dice; ++n) {
                if (n == p) continue;
                const TFilaTipo& tn = Memo.Tipos[n];
                for (int b = 0; b < usados && !dice; ++b) {
                    const TSlotTipo& sb = tn.Slots[b];
                    if (sb.Asig != sa.Asig || sb.Asig.empty()) continue;
                    if (sa.Con == sb.Con && sa.Con != -1 && sb.Div != -1 &&
                        (tn.Grupo != tp.Grupo || sb.Div != sa.Div))
                        dice = true;
                    else if (sa.Con != sb.Con && tn.Grupo == tp.Grupo) dice = true;
                }
            }
            if (!dice) sa.Div = -1;
        }
    }

    // Divisions of each subject numbered from 0 in their order, whatever
    // indexes the search used.
    for (int nombre = 0; nombre < Memo.NumNombres; ++nombre) {
        const AnsiString& codigo = Memo.Nombres[nombre];
        std::vector<int> usadas;
        for (int p = 0; p < nTipos; ++p)
            for (int a = 0; a < usados; ++a) {
                const TSlotTipo& s = Memo.Tipos[p].Slots[a];
                if (s.Div >= 0 && !s.Asig.empty() && AnsiSameText(s.Asig, codigo)) usadas.push_back(s.Div);
            }
        std::sort(usadas.begin(), usadas.end());
        usadas.erase(std::unique(usadas.begin(), usadas.end()), usadas.end());
        for (int p = 0; p < nTipos; ++p)
            for (int a = 0; a < usados; ++a) {
                TSlotTipo& s = Memo.Tipos[p].Slots[a];
                if (s.Div >= 0 && !s.Asig.empty() && AnsiSameText(s.Asig, codigo))
                    s.Div = static_cast<int>(std::lower_bound(usadas.begin(), usadas.end(), s.Div) -
                                             usadas.begin());
            }
    }

    for (int p = 0; p < nTipos; ++p)
        for (int a = 0; a < usados; ++a) {
            TSlotTipo& s = Memo.Tipos[p].Slots[a];
            if (s.Asig.empty()) s.Div = s.Con = -1;
        }
}

TResultadoOrganizar TOrganizador::GrabaResultado() {
    TResultadoOrganizar r;
    if (!ClavValidas) return r;
    AgrupaColocados();
    NumeraConexiones();
    LiberaClav();
    const TOpcionesOrganizar& op = OpcionesEnVigor;
    NumGrupo = op.Grupo;
    NumDivision = op.Division;
    NumConexion = op.Conexion;
    for (int p = 0; p < Memo.NumTipos; ++p) {
        const TFilaTipo& t = Memo.Tipos[p];
        TFilaTipos f;
        f.N = static_cast<double>(r.Tipos.size());
        f.NALUM = t.Grupo >= 0 ? 0 : t.NAlum;
        f.TNC = TNCSeleccionado;
        if (t.Opcion) f.OPCION = AnsiString(1, t.Opcion);
        for (int k = 0; k < SlotsFila; ++k) f.ASIG[k] = t.Slots[k].Asig;
        r.Tipos.push_back(f);
    }
    for (int p = 0; p < Memo.NumTipos; ++p) {
        const TFilaTipo& t = Memo.Tipos[p];
        if (t.Grupo < 0) continue;
        TFilaTipGrup f;
        f.N = static_cast<double>(r.TipGrup.size());
        f.NALUM = t.NAlum;
        f.TNC = TNCSeleccionado;
        f.GRUPO = EscribeNumero(NumGrupo, t.Grupo);
        f.TNCG = TNCSeleccionado + f.GRUPO;
        if (t.Opcion) f.OPCION = AnsiString(1, t.Opcion);
        for (int k = 0; k < SlotsFila; ++k) {
            f.ASIG[k] = t.Slots[k].Asig;
            f.DIV[k] = EscribeNumero(NumDivision, t.Slots[k].Div);
            f.CON[k] = EscribeNumero(NumConexion, t.Slots[k].Con);
        }
        r.TipGrup.push_back(f);
    }
    return r;
}
