#include "organizer/OrgTablas.h"

#include <optional>

#include "organizer/MotorTipos.h"
#include "organizer/TablasTipos.h"
#include "platform/db/Fields.h"
#include "platform/db/Table.h"

namespace {

void LeeMaximos(TDataSet& Tabla, std::array<double, MaximosGrupo>& Maximos) {
    for (int g = 0; g < MaximosGrupo; ++g)
        Maximos[static_cast<size_t>(g)] = Tabla.FieldByName("NMAXAL" + IntToStr(g + 1))->AsFloat();
}

// The course's rows of a table, in the order of its TNC tag.
TTempTable AbreDelCurso(const AnsiString& Base, const AnsiString& Tabla, const AnsiString& TNC) {
    TTempTable t = OpenTempTable(Base, Tabla, "TNC");
    FilterEqual(*t, "TNC", TNC);
    return t;
}

// The organizer's rows and the types engine's rows of tipos and tipgrup name
// the same fields; the counts are floating-point in the one and whole in the
// other.
void Pon(double& A, int V) { A = V; }
void Pon(int& A, double V) { A = EnteroDeTabla(V); }

template <class De, class A>
void CopiaSubtipo(const De& D, A& R) {
    Pon(R.NALUM, D.NALUM);
    R.TNC = D.TNC;
    R.OPCION = D.OPCION;
    R.REPITE = D.REPITE;
    R.ASIG = D.ASIG;
}

template <class De, class A>
void CopiaEnGrupo(const De& D, A& R) {
    CopiaSubtipo(D, R);
    R.TNCG = D.TNCG;
    R.GRUPO = D.GRUPO;
    R.DIV = D.DIV;
    R.CON = D.CON;
}

// The new rows take the records of the course's rows, in their order (the
// first new row the first record along the TNC tag), and only those left
// over are appended or deleted: each run would otherwise leave the table
// its course's rows longer (a table is never packed), and their order along
// the tag is the same either way.
template <class Fila>
void EnRegistrosDelCurso(const std::vector<Fila>& Antes, std::vector<Fila>& Nuevas) {
    for (size_t i = 0; i < Antes.size() && i < Nuevas.size(); ++i) Nuevas[i].Marca = Antes[i].Marca;
}

}  // namespace

TDatosOrganizar LeeDatosOrganizar(TMotorTipos& Motor, const std::vector<int>* Seleccion) {
    const AnsiString& base = Motor.DatabaseName();
    TDatosOrganizar d;
    d.TNCSeleccionado = Motor.TNCSeleccionado();

    TTempTable nomasg = OpenTempTable(base, "nomasg", "ABREV");
    for (nomasg->First(); !nomasg->Eof(); nomasg->Next())
        d.NomAsg.push_back({nomasg->FieldByName("ABREV")->AsString()});

    TTempTable cursos = AbreDelCurso(base, "cursos", d.TNCSeleccionado);
    for (cursos->First(); !cursos->Eof(); cursos->Next()) {
        TFilaCursos c;
        c.ABREV = cursos->FieldByName("ABREV")->AsString();
        c.TNC = cursos->FieldByName("TNC")->AsString();
        c.NGRUP = cursos->FieldByName("NGRUP")->AsFloat();
        c.MAXALUM = cursos->FieldByName("MAXALUM")->AsFloat();
        LeeMaximos(*cursos, c.NMAXAL);
        d.Cursos.push_back(c);
    }

    TTempTable asigcur = AbreDelCurso(base, "asigcur", d.TNCSeleccionado);
    for (asigcur->First(); !asigcur->Eof(); asigcur->Next()) {
        TFilaAsigCur a;
        a.TNC = asigcur->FieldByName("TNC")->AsString();
        a.ASIG = asigcur->FieldByName("ASIG")->AsString();
        a.CUENTA = asigcur->FieldByName("CUENTA")->AsBoolean();
        a.NDIV = asigcur->FieldByName("NDIV")->AsFloat();
        a.MAXALUM = asigcur->FieldByName("MAXALUM")->AsFloat();
        a.NPROF = asigcur->FieldByName("NPROF")->AsFloat();
        a.BLOPT = asigcur->FieldByName("BLOPT")->AsFloat();
        a.NASALUM = asigcur->FieldByName("NASALUM")->AsFloat();
        a.TIPO = asigcur->FieldByName("TIPO")->AsFloat();
        LeeMaximos(*asigcur, a.NMAXAL);
        d.AsigCur.push_back(a);
    }

    for (const auto& f : LeeTipGrup(*OpenTempTable(base, "tipgrup2", "TNC"))) {
        TFilaTipGrup2 t;
        t.N = f.N;
        CopiaEnGrupo(f, t);
        d.TipGrup2.push_back(t);
    }
    TTempTable tipos2 = OpenTempTable(base, "tipos2", "TNC");
    auto subtipos = LeeSubtipos(*tipos2);
    if (Seleccion) TMotorTipos::MarcaSeleccion(*tipos2, subtipos, *Seleccion);
    for (const auto& f : subtipos) {
        TFilaTipos2 t;
        t.N = f.N;
        CopiaSubtipo(f, t);
        t.SELEC = f.SELEC;
        d.Tipos2.push_back(t);
    }

    d.AsigCuentaOptativas = Motor.Listas().AsigCuentaOptativas.Codigos();
    d.AsigOptativas = Motor.Listas().AsigOptativas.Codigos();
    return d;
}

void GrabaEnTablas(TMotorTipos& Motor, const TResultadoOrganizar& Resultado) {
    const AnsiString& base = Motor.DatabaseName();
    const AnsiString& tnc = Motor.TNCSeleccionado();
    TTempTable tipos = AbreDelCurso(base, "tipos", tnc);
    TTempTable tipgrup = AbreDelCurso(base, "tipgrup", tnc);

    // Every number is drawn before the first stored row goes.
    const std::vector<int> numeros = Motor.NuevosN(Resultado.Tipos.size() + Resultado.TipGrup.size());
    auto numero = numeros.begin();
    std::vector<TFilaSubtipo> nuevosTipos;
    for (const auto& r : Resultado.Tipos) {
        TFilaSubtipo s;
        CopiaSubtipo(r, s);
        s.N = *numero++;
        nuevosTipos.push_back(s);
    }
    std::vector<TFilaEnGrupo> nuevosTipGrup;
    for (const auto& r : Resultado.TipGrup) {
        TFilaEnGrupo g;
        CopiaEnGrupo(r, g);
        g.N = *numero++;
        nuevosTipGrup.push_back(g);
    }

    const auto antesTipos = LeeSubtipos(*tipos);
    const auto antesTipGrup = LeeTipGrup(*tipgrup);
    EnRegistrosDelCurso(antesTipos, nuevosTipos);
    EnRegistrosDelCurso(antesTipGrup, nuevosTipGrup);
    Sincroniza(*tipos, antesTipos, nuevosTipos);
    Sincroniza(*tipgrup, antesTipGrup, nuevosTipGrup);
}

TResumenOrganizar EjecutaOrganizar(TMotorTipos& Motor, const std::vector<int>& Seleccion,
                                   const TOpcionesOrganizar& Opciones, const TDialogoOrganizar& Dialogo,
                                   IVistaOrganizar* Vista, const std::function<void()>& AntesDeRecalcular) {
    // The marks and the load are a batch of their own, before the dialog:
    // each table is taken in once (tipos2 read once for both). Held for
    // reading: a write session (and the index written at its end) only when
    // a mark changes.
    TDatosOrganizar datos;
    {
        TTableHold carga(Motor.DatabaseName(), {}, {"tipos2", "nomasg", "cursos", "asigcur", "tipgrup2"});
        datos = LeeDatosOrganizar(Motor, &Seleccion);
        carga.End();
    }
    TOrganizador organizador(Vista);
    TResumenOrganizar resumen = organizador.EjecutaOrganizar(datos, Opciones, Dialogo);
    auto recalcula = [&](bool HuboEjecucion) {
        if (AntesDeRecalcular) AntesDeRecalcular();
        Motor.TrasOrganizador(HuboEjecucion);
    };
    if (!resumen.Filas) {
        recalcula(false);
        return resumen;
    }
    // The write-back and the refill are one batch on their tables: each is
    // taken in once and written in one session, whose index is written once
    // at the end; another program that writes one of them refuses the batch
    // before anything is written, and its readers wait for the batch and see
    // it whole. The batch touches no table it does not hold (a table read
    // meanwhile could make two batches wait for each other). asigcur is taken
    // for writing as well: the classification writes its counts.
    std::optional<TTableHold> lote;
    try {
        lote.emplace(Motor.DatabaseName(),
                     std::vector<AnsiString>{"tipos", "tipgrup", "tipos2", "tipgrup2", "conex", "asigcur"},
                     std::vector<AnsiString>{"alum"});
        GrabaEnTablas(Motor, *resumen.Filas);
    } catch (...) {
        recalcula(false);
        throw;
    }
    resumen.Escrito = true;
    recalcula(true);
    lote->End();
    return resumen;
}
