#include "organizer/Clasificacion.h"

#include <algorithm>
#include <functional>
#include <numeric>

namespace {

// A text built piece by piece within a fixed room (see the header).
class TTextoConHueco {
public:
    explicit TTextoConHueco(int Hueco, AnsiString Inicio = {}) : FHueco(Hueco), FTexto(std::move(Inicio)) {
        if (static_cast<int>(FTexto.size()) > FHueco) FTexto.resize(static_cast<size_t>(FHueco));
    }
    // One piece after the other; after the first that does not fit, none.
    void Sigue(std::string_view Pieza) {
        if (FLleno) return;
        if (static_cast<int>(FTexto.size() + Pieza.size()) > FHueco) {
            FLleno = true;
            return;
        }
        FTexto += Pieza;
    }
    // A piece at a column (0-based), over blanks or whatever stood there.
    void Coloca(int Posicion, std::string_view Pieza) {
        if (Posicion < 0 || Posicion + static_cast<int>(Pieza.size()) > FHueco) return;
        size_t fin = static_cast<size_t>(Posicion) + Pieza.size();
        if (FTexto.size() < fin) FTexto.resize(fin, ' ');
        FTexto.replace(static_cast<size_t>(Posicion), Pieza.size(), Pieza);
    }
    AnsiString Texto() const { return TrimRight(FTexto); }

private:
    int FHueco;
    AnsiString FTexto;
    bool FLleno = false;
};

AnsiString PiezaOp(const AnsiString& Opcion) {
    return Opcion.empty() ? AnsiString("Op:  ") : "Op:" + Opcion + " ";
}
AnsiString PiezaRep(bool Repite) { return Repite ? "Rep:SI" : "Rep:NO"; }
AnsiString PiezaAsig(const AnsiString& Codigo) { return CodigoEn4(Codigo) + " "; }

AnsiString Celda(const AnsiString& Asig, const AnsiString& Div, const AnsiString& Con) {
    return CodigoEn4(Asig) + "." + (Div.empty() ? AnsiString(" ") : Div) + ":" +
           (Con.empty() ? AnsiString(" ") : Con) + " ";
}
AnsiString CeldaEnColumna(const AnsiString& Celda) { return Celda.substr(0, 9); }

bool Muestra(const AnsiString& Asig, const TListasTipos& L, const TOpcionesTipos& O) {
    return O.MostrarComunes || L.AsigOptativasTodos.Contiene(Asig);
}
int Columna(const AnsiString& Asig, const TListasTipos& L, const TOpcionesTipos& O) {
    return O.MostrarComunes ? L.AsigTodosAlumnos.Posicion(Asig) : L.AsigOptativasTodos.Posicion(Asig);
}

// Whether every one of the rows holds Codigo in a slot, exactly.
template <class Filas, class Huecos>
bool TodosTienen(const Filas& F, const AnsiString& Codigo, Huecos DeFila) {
    return std::all_of(F.begin(), F.end(),
                       [&](const auto& f) { return HuecoExacto(DeFila(f), Codigo) >= 0; });
}

void Reparte(const TListaAsig& Origen, TListaAsig& Comunes, TListaAsig& Otras,
             const std::function<bool(const AnsiString&)>& EsComun) {
    for (const auto& c : Origen.Codigos()) (EsComun(c) ? Comunes : Otras).Anade(c);
}

}  // namespace

void CuentaContadores(std::vector<TFilaAsignatura>& AsigCur, const std::vector<TFilaSubtipo>& Subtipos) {
    for (auto& a : AsigCur) {
        a.CONTADOR = 0;
        a.CONTADORVacio = false;
    }
    for (const auto& s : Subtipos)
        for (const auto& h : s.ASIG) {
            if (h.empty()) continue;
            auto fila = std::find_if(AsigCur.begin(), AsigCur.end(),
                                     [&](const TFilaAsignatura& a) { return a.ASIG == h; });
            if (fila != AsigCur.end()) ++fila->CONTADOR;
        }
}

TListasTipos CalculaListas(const std::vector<TFilaAlumno>& Alumnos, const std::vector<TFilaSubtipo>& Subtipos,
                           const std::vector<TFilaEnGrupo>& TipGrup,
                           const std::vector<TFilaAsignatura>& AsigCur) {
    TListasTipos L;
    for (const auto& t : TipGrup)
        for (const auto& c : t.CON)
            if (!c.empty()) L.Conexiones.Anade(c);
    L.Conexiones.Ordena();

    std::vector<size_t> orden(AsigCur.size());
    std::iota(orden.begin(), orden.end(), size_t{0});
    const bool conAlumnos = !Alumnos.empty();
    if (conAlumnos) {
        for (const auto& a : Alumnos)
            for (const auto& h : a.ASIG)
                if (!h.empty()) {
                    L.AsigTodosAlumnos.Anade(h);
                    if (!a.ANULAR) L.AsigAlumnos.Anade(h);
                }
        // The CONTADOR tag lists the largest counts first; equal counts stay
        // in record order.
        std::stable_sort(orden.begin(), orden.end(),
                         [&](size_t a, size_t b) { return AsigCur[a].CONTADOR > AsigCur[b].CONTADOR; });
        for (size_t i : orden) {
            const auto& a = AsigCur[i];
            if (a.CUENTA && a.CONTADOR != 0 && L.AsigTodosAlumnos.Contiene(a.ASIG)) {
                if (L.AsigCuenta.Anade(a.ASIG) && a.TIPO == 1) L.AsigCuentaOptativas.Anade(a.ASIG);
            }
        }
    } else {
        // Code order: the ASIG tag compares the stored bytes.
        std::stable_sort(orden.begin(), orden.end(),
                         [&](size_t a, size_t b) { return AsigCur[a].ASIG < AsigCur[b].ASIG; });
        for (size_t i : orden) {
            const auto& a = AsigCur[i];
            if (a.ASIG.empty()) continue;
            L.AsigTodosAlumnos.Anade(a.ASIG);
            L.AsigAlumnos.Anade(a.ASIG);
            if (a.CUENTA && L.AsigCuenta.Anade(a.ASIG)) L.AsigCuentaOptativas.Anade(a.ASIG);
        }
    }

    auto huecosAlumno = [](const TFilaAlumno& a) -> const THuecos& { return a.ASIG; };
    auto huecosSubtipo = [](const TFilaSubtipo& s) -> const THuecos& { return s.ASIG; };
    std::vector<const TFilaAlumno*> activos;
    for (const auto& a : Alumnos)
        if (!a.ANULAR) activos.push_back(&a);
    if (conAlumnos) {
        Reparte(L.AsigAlumnos, L.AsigComunes, L.AsigOptativas, [&](const AnsiString& c) {
            return TodosTienen(activos, c, [](const TFilaAlumno* a) -> const THuecos& { return a->ASIG; });
        });
        Reparte(L.AsigTodosAlumnos, L.AsigComunesTodos, L.AsigOptativasTodos,
                [&](const AnsiString& c) { return TodosTienen(Alumnos, c, huecosAlumno); });
    } else {
        auto esComun = [&](const AnsiString& c) { return TodosTienen(Subtipos, c, huecosSubtipo); };
        Reparte(L.AsigAlumnos, L.AsigComunes, L.AsigOptativas, esComun);
        Reparte(L.AsigTodosAlumnos, L.AsigComunesTodos, L.AsigOptativasTodos, esComun);
    }
    return L;
}

TTextosSubtipo TextosSubtipo(const TFilaSubtipo& S, const TListasTipos& L, const TOpcionesTipos& O) {
    const AnsiString op = PiezaOp(S.OPCION), rep = PiezaRep(S.REPITE);
    const AnsiString cabeza = "SubTp: " + op + rep + "--";
    const AnsiString cabezaTipo =
        (O.Opcion ? op : AnsiString(5, ' ')) + (O.Repite ? rep : AnsiString(6, ' ')) + "--";
    TTextoConHueco asigs(HuecoTextoSubtipo, cabeza), asigsCol(HuecoTextoSubtipo, cabeza);
    TTextoConHueco asigsCu(HuecoTextoSubtipo, cabezaTipo), asigsCuCol(HuecoTextoSubtipo, cabezaTipo);
    for (const auto& codigo : L.AsigTodosAlumnos.Codigos()) {
        if (HuecoExacto(S.ASIG, codigo) < 0 || !Muestra(codigo, L, O)) continue;
        const AnsiString pieza = PiezaAsig(codigo);
        const int k = Columna(codigo, L, O);
        asigs.Sigue(pieza);
        asigsCol.Coloca(20 + 5 * k, pieza);
        if (L.AsigCuenta.Contiene(codigo)) {
            asigsCu.Sigue(pieza);
            asigsCuCol.Coloca(13 + 5 * k, pieza);
        }
    }
    return {asigs.Texto(), asigsCol.Texto(), asigsCu.Texto(), asigsCuCol.Texto()};
}

std::array<AnsiString, 4> MemosTipGrup(const TFilaEnGrupo& F, const TListasTipos& L,
                                       const TOpcionesTipos& O) {
    const AnsiString prefijo = PiezaOp(F.OPCION) + PiezaRep(F.REPITE) + "--";
    TTextoConHueco lista(HuecoMemoLista, prefijo), columnas(HuecoMemoColumnas, prefijo);
    TTextoConHueco bloque(HuecoMemoColumnas, prefijo);
    TTextoConHueco sinConColumnas(HuecoMemoColumnas), sinConLista(HuecoMemoLista);
    for (const auto& codigo : L.AsigTodosAlumnos.Codigos()) {
        const int j = HuecoExacto(F.ASIG, codigo);
        if (j < 0) continue;
        const auto& con = F.CON[static_cast<size_t>(j)];
        const AnsiString celda = Celda(codigo, F.DIV[static_cast<size_t>(j)], con);
        if (!con.empty()) {
            const int c = L.Conexiones.Posicion(con);
            if (c >= 0) bloque.Coloca(13 + 9 * c, CeldaEnColumna(celda));
        }
        if (!Muestra(codigo, L, O)) continue;
        const int k = Columna(codigo, L, O);
        lista.Sigue(celda);
        columnas.Coloca(13 + 9 * k, CeldaEnColumna(celda));
        if (con.empty()) {
            sinConColumnas.Coloca(9 * k, CeldaEnColumna(celda));
            sinConLista.Sigue(celda);
        }
    }
    // The block keeps one column per connection code of the course, so the
    // part after it starts at the same place on every row.
    AnsiString cabezaBloque = bloque.Texto();
    const size_t ancho = static_cast<size_t>(std::min(12 + 9 * L.Conexiones.Cuenta(), HuecoMemoColumnas));
    if (cabezaBloque.size() < ancho) cabezaBloque.resize(ancho, ' ');
    cabezaBloque += " ";
    return {lista.Texto(), columnas.Texto(), TrimRight(cabezaBloque + sinConColumnas.Texto()),
            TrimRight(cabezaBloque + sinConLista.Texto())};
}
