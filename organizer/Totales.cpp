#include "organizer/Totales.h"

#include <algorithm>
#include <numeric>

#include "organizer/FilasOrganizar.h"

namespace {

bool SeMuestra(const AnsiString& Asig, const TListasTipos& L, const TOpcionesTipos& O) {
    return O.MostrarComunes || !L.AsigComunesTodos.Contiene(Asig);
}

// Rows in the order of the N tag; equal numbers in record order.
template <class Fila>
std::vector<const Fila*> EnOrdenN(const std::vector<Fila>& Filas) {
    std::vector<const Fila*> r;
    for (const auto& f : Filas) r.push_back(&f);
    std::stable_sort(r.begin(), r.end(), [](const Fila* a, const Fila* b) { return a->N < b->N; });
    return r;
}

}  // namespace

std::optional<TRejilla> TotalesTipos(const std::vector<TFilaSubtipo>& Subtipos, const TListasTipos& L,
                                     const TOpcionesTipos& O) {
    if (Subtipos.empty()) return std::nullopt;
    TListaAsig asigs;
    std::vector<int> sumas;
    int total = 0;
    for (const auto& s : Subtipos) {
        total += s.NALUM;
        for (const auto& h : s.ASIG) {
            if (h.empty() || !SeMuestra(h, L, O)) continue;
            if (asigs.Anade(h)) sumas.push_back(0);
            sumas[static_cast<size_t>(asigs.Posicion(h))] += s.NALUM;
        }
    }
    TRejilla r{{"AsigDv", "Alum"}, {"Total", IntToStr(total)}};
    for (int i = 0; i < asigs.Cuenta(); ++i) r.push_back({asigs[i], IntToStr(sumas[static_cast<size_t>(i)])});
    return r;
}

int HorasAsignatura(const std::vector<TFilaAsignatura>& AsigCur, std::string_view Codigo) {
    for (const auto& a : AsigCur)
        if (a.ASIG == Codigo) return EnteroDeTabla(a.HORAS);
    return 0;
}

TTotalesGrupo TotalesGrupo(const std::vector<TFilaEnGrupo>& TipGrup, const std::optional<AnsiString>& Grupo,
                           const AnsiString& TNC, const std::vector<TFilaAsignatura>& AsigCur,
                           const TListasTipos& L, const TOpcionesTipos& O) {
    TTotalesGrupo t;
    t.Lineas.push_back({"Asig", "Alum", "Horas"});
    if (TipGrup.empty() || !Grupo) return t;
    t.HayGrupo = true;
    const AnsiString clave = TNC + *Grupo;

    std::vector<AnsiString> lineas;
    std::vector<int> alumnos, horas;
    std::vector<AnsiString> ternas;
    for (const TFilaEnGrupo* f : EnOrdenN(TipGrup)) {
        if (f->TNCG != clave) continue;
        t.Alumnos += f->NALUM;
        for (int i = 0; i < HuecosAsig; ++i) {
            const auto& asig = f->ASIG[static_cast<size_t>(i)];
            if (asig.empty() || !SeMuestra(asig, L, O)) continue;
            const AnsiString linea = CodigoEn4(asig) + "." + f->DIV[static_cast<size_t>(i)];
            const int h = HorasAsignatura(AsigCur, asig);
            auto it = std::find(lineas.begin(), lineas.end(), linea);
            if (it == lineas.end()) {
                lineas.push_back(linea);
                alumnos.push_back(f->NALUM);
                horas.push_back(h);
            } else {
                alumnos[static_cast<size_t>(it - lineas.begin())] += f->NALUM;
            }
            const AnsiString terna = linea + "." + f->CON[static_cast<size_t>(i)];
            if (std::find(ternas.begin(), ternas.end(), terna) == ternas.end()) {
                ternas.push_back(terna);
                t.Horas += h;
            }
        }
    }

    // Divisions taught under one connection code run at the same hours: the
    // group spends on them the hours of the longest, not their sum.
    std::vector<TFilaEnGrupo> copia = TipGrup;
    std::vector<TFilaConex> conex = CreaConexiones(copia);
    std::vector<const TFilaConex*> delGrupo;
    for (const auto& c : conex)
        if (c.GRUPO == *Grupo && c.TNC == TNC) delGrupo.push_back(&c);
    std::stable_sort(delGrupo.begin(), delGrupo.end(),
                     [](const TFilaConex* a, const TFilaConex* b) { return a->TNCCON < b->TNCCON; });
    for (size_t i = 0; i < delGrupo.size();) {
        size_t fin = i;
        while (fin < delGrupo.size() && delGrupo[fin]->CON == delGrupo[i]->CON) ++fin;
        std::vector<AnsiString> vistas;
        int suma = 0, mayor = 0;
        for (size_t k = i; k < fin; ++k) {
            const auto& ad = delGrupo[k]->ASIGDIV;
            if (std::find(vistas.begin(), vistas.end(), ad) != vistas.end()) continue;
            vistas.push_back(ad);
            const int h = HorasAsignatura(AsigCur, Trim(ad.substr(0, 4)));
            suma += h;
            mayor = std::max(mayor, h);
        }
        t.Horas += mayor - suma;
        i = fin;
    }

    t.Lineas.push_back({"Total", IntToStr(t.Alumnos), IntToStr(t.Horas)});
    for (size_t i = 0; i < lineas.size(); ++i)
        t.Lineas.push_back({lineas[i], IntToStr(alumnos[i]), IntToStr(horas[i])});
    return t;
}

std::vector<TFilaConex> CreaConexiones(std::vector<TFilaEnGrupo>& TipGrup) {
    std::vector<TFilaConex> r;
    for (auto& f : TipGrup)
        for (int i = 0; i < HuecosAsig; ++i) {
            const auto& asig = f.ASIG[static_cast<size_t>(i)];
            if (asig.empty()) continue;
            const AnsiString con = Trim(f.CON[static_cast<size_t>(i)]);
            const AnsiString div = Trim(f.DIV[static_cast<size_t>(i)]);
            if (!con.empty() || !div.empty()) {
                TFilaConex c;
                c.TNC = f.TNC;
                c.TNCCON = f.TNC + con;
                c.CON = con;
                c.GRUPO = f.GRUPO;
                c.ASIGDIV = CodigoEn4(asig) + "." + div;
                c.NALUM1 = c.NALUM2 = f.NALUM;
                r.push_back(c);
            }
            f.CON[static_cast<size_t>(i)] = con;
        }
    return r;
}
