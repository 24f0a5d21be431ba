// Loading the course into the memory model, grouping the student rows into
// types, and the checks that refuse a course that cannot be organized.
#include <algorithm>

#include "organizer/Organizar.h"

namespace {

AnsiString Clave(std::string_view Codigo) { return AnsiUpperCase(Codigo); }

char Letra(const AnsiString& Opcion) { return Opcion.empty() ? char(0) : Opcion[0]; }

// Rows a table row stands for: a count that is not 0 gives at least one.
int FilasDe(double NAlum) { return std::max(1, EnteroDeTabla(NAlum)); }

}  // namespace

int TOrganizador::PosicionCuentaOptativa(std::string_view Codigo) const {
    if (Codigo.empty()) return -1;
    auto it = PosCuentaOptativas.find(Clave(Codigo));
    return it == PosCuentaOptativas.end() ? -1 : it->second;
}

bool TOrganizador::EsOptativa(std::string_view Codigo) const {
    return PosOptativas.count(Clave(Codigo)) != 0;
}

bool TOrganizador::CargaDatos(const TDatosOrganizar& Datos) {
    const TOpcionesOrganizar& op = OpcionesEnVigor;
    NumGrupo = op.Grupo;
    NumDivision = op.Division;
    NumConexion = op.Conexion;
    TNCSeleccionado = Datos.TNCSeleccionado;
    FilasTipGrup = static_cast<int>(Datos.TipGrup2.size());
    AsigCuentaOptativas = Datos.AsigCuentaOptativas;
    PosCuentaOptativas.clear();
    PosOptativas.clear();
    for (size_t i = 0; i < Datos.AsigCuentaOptativas.size(); ++i)
        PosCuentaOptativas.emplace(Clave(Datos.AsigCuentaOptativas[i]), static_cast<int>(i));
    for (size_t i = 0; i < Datos.AsigOptativas.size(); ++i)
        PosOptativas.emplace(Clave(Datos.AsigOptativas[i]), static_cast<int>(i));

    AnsiString tag;
    if (!Memo.MemoFija(FalloMemoria, tag)) {
        Mensaje(TextoMemInsuf(tag));
        return false;
    }
    Memo.IniciaMemoFija();
    // A school bigger than the model is refused whole: cutting it would
    // organize part of a course and write it back as if it were all of it.
    auto refusa = [&](const char* Tag) {
        Mensaje(TextoMemInsuf(Tag));
        Memo.LiberaMemoFija();
        return false;
    };

    for (const auto& n : Datos.NomAsg) {
        if (Memo.NumNombres >= CapNombres) return refusa("EN MEMOFIJA 1");
        Memo.Nombres[Memo.NumNombres++] = Copy(n.ABREV, 1, 4);
    }

    for (const auto& c : Datos.Cursos) {
        if (c.TNC != TNCSeleccionado) continue;
        if (Memo.NumCursos >= CapCursos) return refusa("EN MEMOFIJA 2");
        TFilaCurso& f = Memo.Cursos[Memo.NumCursos++];
        f.Abrev = Copy(c.ABREV, 1, 4);
        f.NGrup = EnteroDeTabla(c.NGRUP);
        f.MaxAlum = EnteroDeTabla(c.MAXALUM);
        for (int g = 0; g < MaximosGrupo; ++g) f.NMaxAl[g] = EnteroDeTabla(c.NMAXAL[g]);
    }
    // A course key that stands on two course rows is a typing error of the
    // school; every figure of the run (groups, limits, the course the students
    // belong to) comes from the first of them, and so do the defaults of the
    // subjects, so that a subject never gets divisions for groups the run
    // does not have.
    const AnsiString abrev = Memo.NumCursos > 0 ? Memo.Cursos[0].Abrev : AnsiString();
    NGrupDefectos = Memo.NumCursos > 0 ? Memo.Cursos[0].NGrup : 0;
    for (auto& t : Memo.Tipos) t.Curso = abrev;
    for (auto& f : Memo.Filas) f.Curso = abrev;

    for (const auto& a : Datos.AsigCur) {
        if (a.TNC != TNCSeleccionado) continue;
        if (Memo.NumAsignaturas >= CapAsignaturas) return refusa("EN MEMOFIJA 3");
        TFilaAsigCurso& s = Memo.Asignaturas[Memo.NumAsignaturas++];
        s.Curso = abrev;
        s.Asig = Copy(a.ASIG, 1, 4);
        s.NDiv = EnteroDeTabla(a.NDIV);
        s.MaxAlum = EnteroDeTabla(a.MAXALUM);
        s.NProf = EnteroDeTabla(a.NPROF);
        s.BlOpt = EnteroDeTabla(a.BLOPT);
        s.NAsAlum = EnteroDeTabla(a.NASALUM);
        for (int g = 0; g < MaximosGrupo; ++g) s.NMaxAl[g] = EnteroDeTabla(a.NMAXAL[g]);
        if (!EsOptativa(s.Asig)) {
            if (s.NDiv < 1) s.NDiv = NGrupDefectos;
            if (s.MaxAlum < 1) s.MaxAlum = 1000;
            if (s.NProf < 1) s.NProf = NGrupDefectos;
        }
    }

    auto anade = [&](const TFilaTipo& Fila, int Copias) {
        if (Memo.NumFilas + Copias > CapTipos) return false;
        for (int k = 0; k < Copias; ++k) {
            TFilaTipo& f = Memo.Filas[Memo.NumFilas];
            f = Fila;
            f.Numero = Memo.NumFilas++;
        }
        return true;
    };

    for (const auto& r : Datos.TipGrup2) {
        if (r.TNC != TNCSeleccionado || EnteroDeTabla(r.NALUM) == 0) continue;
        TFilaTipo f;
        Memo.IniciaFilaTipo(f);
        f.NAlum = 1;
        f.Grupo = LeeNumero(NumGrupo, r.GRUPO);
        f.Opcion = Letra(r.OPCION);
        f.Repite = r.REPITE;
        for (int n = 0; n < SlotsFila; ++n) {
            f.Slots[n].Asig = Copy(r.ASIG[n], 1, 4);
            // Without a group that reads back, the row's divisions and
            // connections say nothing: it is a row still to place.
            f.Slots[n].Div = f.Grupo >= 0 ? LeeNumero(NumDivision, r.DIV[n]) : -1;
            f.Slots[n].Con = f.Grupo >= 0 ? LeeConexion(NumConexion, r.CON[n]) : -1;
        }
        if (!anade(f, FilasDe(r.NALUM))) return refusa("EN MEMOFIJA 41");
    }
    for (const auto& r : Datos.Tipos2) {
        if (r.TNC != TNCSeleccionado || EnteroDeTabla(r.NALUM) == 0) continue;
        TFilaTipo f;
        Memo.IniciaFilaTipo(f);
        f.NAlum = 1;
        f.Opcion = Letra(r.OPCION);
        f.Repite = r.REPITE;
        f.Selec = r.SELEC;
        for (int n = 0; n < SlotsFila; ++n) f.Slots[n].Asig = Copy(r.ASIG[n], 1, 4);
        if (!anade(f, FilasDe(r.NALUM))) return refusa("EN MEMOFIJA 41");
    }
    return true;
}

int TOrganizador::CuentaTipos() {
    int n = 0;
    for (int i = 0; i < CapTipos; ++i)
        if (Memo.Tipos[i].NAlum > 0) n = i + 1;
    Memo.NumTipos = n;
    return n;
}

int TOrganizador::CuentaFilas() {
    int n = 0;
    for (int i = 0; i < CapTipos; ++i)
        if (Memo.Filas[i].NAlum != 0) n = i + 1;
    Memo.NumFilas = n;
    return n;
}

TOrganizador::TPosiciones TOrganizador::PosicionesFila(const TFilaTipo& Fila) const {
    TPosiciones p;
    for (int k = 0; k < SlotsFila; ++k) p[k] = PosicionCuentaOptativa(Fila.Slots[k].Asig);
    return p;
}

// The row's counted subjects, taken as positions in the counted list, are
// the type's; with placement, each in the same division and connection.
bool TOrganizador::MismoTipoFila(const TFilaTipo& Fila, const TPosiciones& Pf, const TFilaTipo& Tipo,
                                 const TPosiciones& Pt, bool Colocacion) const {
    if (Fila.Curso != Tipo.Curso) return false;
    if (Colocacion && Fila.Grupo != Tipo.Grupo) return false;
    if (Fila.Opcion != Tipo.Opcion) return false;
    int nf = 0, nt = 0;
    for (int k = 0; k < SlotsFila; ++k) {
        nf += Pf[k] >= 0;
        nt += Pt[k] >= 0;
    }
    if (nf != nt) return false;
    for (int k = 0; k < SlotsFila; ++k) {
        if (Pf[k] < 0) continue;
        int j = 0;
        while (j < SlotsFila && Pt[j] != Pf[k]) ++j;
        if (j == SlotsFila) return false;
        if (Colocacion && (Tipo.Slots[j].Div != Fila.Slots[k].Div || Tipo.Slots[j].Con != Fila.Slots[k].Con))
            return false;
    }
    return true;
}

void TOrganizador::AgrupaTipos(bool Colocacion) {
    for (auto& t : Memo.Tipos) Memo.IniciaFilaTipo(t);
    Memo.NumTipos = 0;
    TipoDeFila.assign(CapTipos, -1);
    if (CuentaFilas() == 0) return;
    NumAsigs = 0;
    for (int i = 0; i < Memo.NumFilas; ++i)
        for (int k = 0; k < SlotsFila; ++k)
            if (!Memo.Filas[i].Slots[k].Asig.empty()) NumAsigs = std::max(NumAsigs, k + 1);
    std::vector<TPosiciones> posTipos;
    for (int i = 0; i < Memo.NumFilas; ++i) {
        const TFilaTipo& fila = Memo.Filas[i];
        const TPosiciones pf = PosicionesFila(fila);
        int t = 0;
        while (t < Memo.NumTipos && !MismoTipoFila(fila, pf, Memo.Tipos[t], posTipos[t], Colocacion)) ++t;
        if (t < Memo.NumTipos) {
            Memo.Tipos[t].NAlum += fila.NAlum;
        } else {
            TFilaTipo& nuevo = Memo.Tipos[Memo.NumTipos++];
            nuevo = fila;
            for (auto& s : nuevo.Slots) s = TSlotTipo{};
            int m = 0;
            for (int k = 0; k < SlotsFila; ++k)
                if (pf[k] >= 0) nuevo.Slots[m++] = fila.Slots[k];
            posTipos.push_back(PosicionesFila(nuevo));
        }
        TipoDeFila[i] = t;
    }
    for (int t = 0; t < Memo.NumTipos; ++t) Memo.Tipos[t].Numero = t + 1;
    EntradasTipos.clear();
}

void TOrganizador::PreparaEntradasTipos() {
    EntradasTipos.assign(Memo.NumTipos, {});
    for (int t = 0; t < Memo.NumTipos; ++t) {
        const TFilaTipo& tipo = Memo.Tipos[t];
        for (const auto& s : tipo.Slots) {
            if (s.Asig.empty()) continue;
            const int a = Memo.BuscaAsignatura(tipo.Curso, s.Asig, -1);
            if (a >= 0) EntradasTipos[t].push_back({a, s.Div, s.Con});
        }
    }
}

bool TOrganizador::MismoTipoAlumno(int Tipo, const TPlazaAlumno& Alumno) const {
    if (Memo.Tipos[Tipo].Opcion != Alumno.Opcion) return false;
    int na = 0;
    for (const auto& e : Alumno.Asigs)
        if (e.Asig >= 0) ++na;
    const auto& entradas = EntradasTipos[Tipo];
    if (static_cast<int>(entradas.size()) != na) return false;
    for (const auto& e : entradas) {
        int j = 0;
        while (j < SlotsPlaza && Alumno.Asigs[j].Asig != e[0]) ++j;
        if (j == SlotsPlaza || Alumno.Asigs[j].Div != e[1] || Alumno.Asigs[j].Con != e[2]) return false;
    }
    return true;
}

int TOrganizador::TipoDeAlumno(int Alumno) {
    if (static_cast<int>(EntradasTipos.size()) != Memo.NumTipos) PreparaEntradasTipos();
    for (int t = 0; t < Memo.NumTipos; ++t)
        if (MismoTipoAlumno(t, Alumnos[Alumno])) return t + 1;
    return -1;
}

bool TOrganizador::CompruebaDatos() {
    if (CuentaTipos() == 0) {
        Mensaje("Imposible generar. No hay tipos.");
        return false;
    }
    const int c = Memo.BuscaCurso(Memo.Cursos[0].Abrev, -1);
    if (c < 0) {
        Mensaje("Curso desconocido. Imposible generar.");
        return false;
    }
    if (Memo.Cursos[c].NGrup < 1) {
        Mensaje("El curso tiene cero grupos. Imposible generar.");
        return false;
    }
    // The course table holds thirty per-group maxima: a group beyond them
    // has no limit to keep.
    if (Memo.Cursos[c].NGrup > MaximosGrupo) {
        Mensaje("El curso tiene m\xE1s de 30 grupos. Imposible generar.");
        return false;
    }
    int vacios = 0;
    for (int i = 0; i < Memo.NumAsignaturas; ++i) {
        const TFilaAsigCurso& a = Memo.Asignaturas[i];
        if (!EsOptativa(a.Asig)) continue;
        // A negative figure is as unusable as an empty one.
        for (int v : {a.NDiv, a.MaxAlum, a.NProf, a.BlOpt, a.NAsAlum}) vacios += v < 1;
    }
    if (vacios != 0) {
        Mensaje("Para utilizar el organizador autom\xE1tico, "
                "deben rellenarse todas las columnas de las asignaturas optativas "
                "en ASIGNATURAS POR CURSO.");
        return false;
    }
    // A division is written back as one letter of a 62-letter alphabet.
    for (int i = 0; i < Memo.NumAsignaturas; ++i) {
        const TFilaAsigCurso& a = Memo.Asignaturas[i];
        if (a.NDiv > 62) {
            Mensaje("La asignatura " + a.Asig + " tiene m\xE1s de 62 divisiones. Imposible generar.");
            return false;
        }
    }
    return true;
}
