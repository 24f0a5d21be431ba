#include "organizer/FilasTipos.h"

#include <algorithm>

std::vector<AnsiString> AsignaturasDe(const THuecos& Huecos) {
    std::vector<AnsiString> r;
    for (const auto& h : Huecos)
        if (!h.empty()) r.push_back(h);
    return r;
}

bool MismaAsignatura(std::string_view A, std::string_view B) { return AnsiSameText(A, B); }

bool IncluyeAsignaturas(const THuecos& Huecos, const std::vector<AnsiString>& Asignaturas) {
    for (const auto& a : Asignaturas) {
        bool esta = std::any_of(Huecos.begin(), Huecos.end(),
                                [&](const AnsiString& h) { return !h.empty() && MismaAsignatura(h, a); });
        if (!esta) return false;
    }
    return true;
}

AnsiString CodigoEn4(const AnsiString& Codigo) {
    return Codigo.size() >= 4 ? Codigo : Codigo + AnsiString(4 - Codigo.size(), ' ');
}

int HuecoExacto(const THuecos& Huecos, std::string_view Codigo) {
    for (int i = 0; i < HuecosAsig; ++i)
        if (Huecos[static_cast<size_t>(i)] == Codigo) return i;
    return -1;
}

bool TListaAsig::Anade(const AnsiString& Codigo) {
    if (FVistos.count(Codigo)) return false;
    FVistos.insert(Codigo);
    if (Contiene(Codigo)) return false;
    FCodigos.push_back(Codigo);
    return true;
}

int TListaAsig::Posicion(std::string_view Codigo) const {
    for (size_t i = 0; i < FCodigos.size(); ++i)
        if (MismaAsignatura(FCodigos[i], Codigo)) return static_cast<int>(i);
    return -1;
}

void TListaAsig::Ordena() {
    std::stable_sort(FCodigos.begin(), FCodigos.end(),
                     [](const AnsiString& a, const AnsiString& b) { return AnsiCompareText(a, b) < 0; });
}

void TNumeradorFilas::Observa(int N) {
    if (N >= FProximo) FProximo = N + 1;
}

int TNumeradorFilas::Siguiente(int Minimo) {
    if (FProximo < Minimo) FProximo = Minimo;
    return FProximo++;
}
