#include "organizer/Traslados.h"

#include <algorithm>
#include <numeric>

#include "platform/sys/Dialogs.h"

namespace {

// Indexes of the rows in the order of the N tag; equal numbers in record order.
template <class Fila>
std::vector<size_t> OrdenN(const std::vector<Fila>& Filas) {
    std::vector<size_t> r(Filas.size());
    std::iota(r.begin(), r.end(), size_t{0});
    std::stable_sort(r.begin(), r.end(), [&](size_t a, size_t b) { return Filas[a].N < Filas[b].N; });
    return r;
}

// The first row in N order that Acepta takes; null when none.
template <class Fila, class Condicion>
Fila* PrimeraEnOrdenN(std::vector<Fila>& Filas, Condicion Acepta) {
    for (size_t i : OrdenN(Filas))
        if (Acepta(Filas[i])) return &Filas[i];
    return nullptr;
}
template <class Fila>
Fila* PorN(std::vector<Fila>& Filas, int N) {
    return PrimeraEnOrdenN(Filas, [N](const Fila& F) { return F.N == N; });
}
template <class Fila>
const Fila* PorN(const std::vector<Fila>& Filas, int N) {
    return PorN(const_cast<std::vector<Fila>&>(Filas), N);
}

// Whether Destino can take the students of Movida.
template <class Destino, class Movida>
bool Encaja(const Destino& D, const Movida& M, const std::vector<AnsiString>& AsigsMovidas) {
    return D.OPCION == M.OPCION && D.REPITE == M.REPITE && IncluyeAsignaturas(D.ASIG, AsigsMovidas);
}

// Cuantos students of a subtype into group Grupo.
void AlGrupo(TTrabajoTipos& T, const TFilaSubtipo& Subtipo, int Cuantos, const AnsiString& Grupo,
             TNumeradorFilas& Numerador) {
    const auto asigs = AsignaturasDe(Subtipo.ASIG);
    if (auto* f = PrimeraEnOrdenN(T.TipGrup, [&](const TFilaEnGrupo& F) {
            return F.GRUPO == Grupo && Encaja(F, Subtipo, asigs);
        })) {
        f->NALUM += Cuantos;
        return;
    }
    TFilaEnGrupo f;
    f.N = Numerador.Siguiente();
    f.NALUM = Cuantos;
    f.TNC = T.TNC;
    f.TNCG = T.TNC + Grupo;
    f.GRUPO = Grupo;
    f.OPCION = Subtipo.OPCION;
    f.REPITE = Subtipo.REPITE;
    f.ASIG = Subtipo.ASIG;
    T.TipGrup.push_back(std::move(f));
}

// Cuantos students of a type-in-group row (a copy: the row may be gone) back
// to the subtypes.
void ATipos(TTrabajoTipos& T, const TFilaEnGrupo& Fila, int Cuantos, const TListaAsig& AsigAlumnos,
            TNumeradorFilas& Numerador) {
    const auto asigs = AsignaturasDe(Fila.ASIG);
    if (auto* s = PrimeraEnOrdenN(T.Tipos, [&](const TFilaSubtipo& S) { return Encaja(S, Fila, asigs); })) {
        s->NALUM += Cuantos;
        return;
    }
    TFilaSubtipo s;
    s.N = Numerador.Siguiente();
    s.NALUM = Cuantos;
    s.TNC = T.TNC;
    s.OPCION = Fila.OPCION;
    s.REPITE = Fila.REPITE;
    // A slot is kept when it holds a subject of the list exactly as spelled
    // there, as the texts of the subtypes find it; "mat" is not the list's "MAT".
    const auto& lista = AsigAlumnos.Codigos();
    for (size_t i = 0; i < Fila.ASIG.size(); ++i)
        if (!Fila.ASIG[i].empty() && std::find(lista.begin(), lista.end(), Fila.ASIG[i]) != lista.end())
            s.ASIG[i] = Fila.ASIG[i];
    T.Tipos.push_back(std::move(s));
}

// Takes up to Numero students from the rows (in N order) that EsDelLote
// accepts and that have any, as many from each as it has, and hands each
// share to Destino.
template <class Fila, class Lote, class Reparto>
void TomaEnOrdenN(std::vector<Fila>& Filas, int Numero, Lote EsDelLote, Reparto Destino) {
    int resto = Numero;
    for (size_t i : OrdenN(Filas)) {
        if (resto <= 0) break;
        auto& f = Filas[i];
        if (!EsDelLote(f) || f.NALUM < 1) continue;
        const int t = std::min(f.NALUM, resto);
        f.NALUM -= t;
        resto -= t;
        const Fila movida = f;
        Destino(movida, t);
    }
}

bool NumeroValido(int Numero, int Ofrecido) { return Numero >= 1 && Numero <= Ofrecido; }

}  // namespace

TOfertaTraslado OfertaSubtipo(const TTrabajoTipos& T, int N) {
    TOfertaTraslado o;
    o.Titulo = "Trasladar SubTipo a Grupo";
    o.PideGrupo = true;
    if (const auto* s = PorN(T.Tipos, N)) {
        o.Encontrado = true;
        o.Numero = s->NALUM;
        o.Texto = s->ASIGS;
    }
    return o;
}

TOfertaTraslado OfertaTipo(const TTrabajoTipos& T, int N) {
    TOfertaTraslado o;
    o.Titulo = "Trasladar Tipo a Grupo";
    o.PideGrupo = true;
    if (const auto* s = PorN(T.Tipos, N)) {
        o.Encontrado = true;
        o.Texto = s->ASIGSCU;
        for (const auto& t : T.Tipos)
            if (t.ASIGSCU == s->ASIGSCU) o.Numero += t.NALUM;
    }
    return o;
}

TOfertaTraslado OfertaFila(const TTrabajoTipos& T, int N) {
    TOfertaTraslado o;
    o.Titulo = "Trasladar grupo->tipos";
    if (const auto* f = PorN(T.TipGrup, N)) {
        o.Encontrado = true;
        o.Numero = f->NALUM;
        o.Texto = f->ASIGSDCM[0];
    }
    return o;
}

TOfertaTraslado OfertaGrupo(const TTrabajoTipos& T, int N) {
    TOfertaTraslado o;
    o.Titulo = "Trasladar Grupo a Tipos";
    if (const auto* f = PorN(T.TipGrup, N)) {
        o.Encontrado = true;
        o.Texto = "Grupo: " + f->GRUPO;
        for (const auto& g : T.TipGrup)
            if (g.TNCG == f->TNCG) o.Numero += g.NALUM;
    }
    return o;
}

TRespuestaTraslado CompruebaTraslado(int Numero, int Ofrecido, bool PideGrupo, const AnsiString& Grupo,
                                     const std::function<bool()>& ConfirmaSinGrupo) {
    if (!NumeroValido(Numero, Ofrecido)) {
        ShowMessage("N\xFAmero de alumnos incorrecto");
        return TRespuestaTraslado::Corregir;
    }
    if (PideGrupo && Grupo.empty() && !ConfirmaSinGrupo()) return TRespuestaTraslado::Cancelar;
    return TRespuestaTraslado::Confirmar;
}

bool PreguntaSinGrupo() {
    return MessageBox("No se ha especificado grupo", "Atenci\xF3n", MB_OKCANCEL) == IDOK;
}

bool TrasladaSubtipoAGrupo(TTrabajoTipos& T, int N, int Numero, const AnsiString& Grupo,
                           TNumeradorFilas& Numerador) {
    auto* s = PorN(T.Tipos, N);
    if (!s || !NumeroValido(Numero, s->NALUM)) return false;
    s->NALUM -= Numero;
    const TFilaSubtipo movido = *s;
    AlGrupo(T, movido, Numero, Grupo, Numerador);
    return true;
}

bool TrasladaTipoAGrupo(TTrabajoTipos& T, int N, int Numero, const AnsiString& Grupo,
                        TNumeradorFilas& Numerador) {
    const auto oferta = OfertaTipo(T, N);
    if (!oferta.Encontrado || !NumeroValido(Numero, oferta.Numero)) return false;
    const AnsiString clave = oferta.Texto;
    TomaEnOrdenN(
        T.Tipos, Numero, [&](const TFilaSubtipo& s) { return s.ASIGSCU == clave; },
        [&](const TFilaSubtipo& s, int t) { AlGrupo(T, s, t, Grupo, Numerador); });
    return true;
}

bool TrasladaFilaATipos(TTrabajoTipos& T, int N, int Numero, const TListaAsig& AsigAlumnos,
                        TNumeradorFilas& Numerador) {
    auto* f = PorN(T.TipGrup, N);
    if (!f || !NumeroValido(Numero, f->NALUM)) return false;
    f->NALUM -= Numero;
    const TFilaEnGrupo movida = *f;
    if (f->NALUM < 1) T.TipGrup.erase(T.TipGrup.begin() + (f - T.TipGrup.data()));
    ATipos(T, movida, Numero, AsigAlumnos, Numerador);
    return true;
}

bool TrasladaGrupoATipos(TTrabajoTipos& T, int N, int Numero, const TListaAsig& AsigAlumnos,
                         TNumeradorFilas& Numerador) {
    const auto oferta = OfertaGrupo(T, N);
    if (!oferta.Encontrado || !NumeroValido(Numero, oferta.Numero)) return false;
    const AnsiString tncg = PorN(T.TipGrup, N)->TNCG;
    TomaEnOrdenN(
        T.TipGrup, Numero, [&](const TFilaEnGrupo& f) { return f.TNCG == tncg; },
        [&](const TFilaEnGrupo& f, int t) { ATipos(T, f, t, AsigAlumnos, Numerador); });
    std::erase_if(T.TipGrup, [](const TFilaEnGrupo& f) { return f.NALUM == 0; });
    return true;
}
