#include "organizer/Memofija.h"

#include <new>

AnsiString TextoMemInsuf(const AnsiString& Tag) { return "MEMORIA INSUFICIENTE " + Tag; }

namespace {

template <class T>
bool Reserva(std::vector<T>& V, size_t N, const char* Tag, const TFalloMemoria& Fallo, AnsiString& TagFallo) {
    try {
        if (Fallo && Fallo(Tag)) throw std::bad_alloc();
        V.assign(N, T{});
        return true;
    } catch (const std::bad_alloc&) {
        TagFallo = Tag;
        return false;
    }
}

}  // namespace

bool TMemoFija::MemoFija(const TFalloMemoria& Fallo, AnsiString& TagFallo) {
    const bool ok = Reserva(Nombres, CapNombres + ReservaExtra, "EN MEMOFIJA 1", Fallo, TagFallo) &&
                    Reserva(Cursos, CapCursos + ReservaExtra, "EN MEMOFIJA 2", Fallo, TagFallo) &&
                    Reserva(Asignaturas, CapAsignaturas + ReservaExtra, "EN MEMOFIJA 3", Fallo, TagFallo) &&
                    Reserva(Tipos, CapTipos + ReservaExtra, "EN MEMOFIJA 4", Fallo, TagFallo) &&
                    Reserva(Filas, CapTipos + ReservaExtra, "EN MEMOFIJA 41", Fallo, TagFallo);
    if (!ok) {
        LiberaMemoFija();
        return false;
    }
    IniciaMemoFija();
    return true;
}

void TMemoFija::IniciaFilaTipo(TFilaTipo& Fila) const {
    // Member by member, the row's texts emptied in place: the load and the
    // write-back of every run reset all the types and rows of the model.
    static const TFilaTipo vacia;
    Fila.Numero = vacia.Numero;
    Fila.NAlum = vacia.NAlum;
    Fila.Grupo = vacia.Grupo;
    Fila.Opcion = vacia.Opcion;
    Fila.Repite = vacia.Repite;
    Fila.Selec = vacia.Selec;
    for (auto& s : Fila.Slots) {
        s.Asig.clear();
        s.Div = vacia.Slots[0].Div;
        s.Con = vacia.Slots[0].Con;
    }
    if (Cursos.empty()) Fila.Curso.clear();
    else Fila.Curso = Cursos[0].Abrev;
}

void TMemoFija::IniciaMemoFija() {
    for (auto& n : Nombres) n.clear();
    for (auto& c : Cursos) {
        c = TFilaCurso{};
        c.NMaxAl.fill(1000);
    }
    for (auto& a : Asignaturas) {
        a = TFilaAsigCurso{};
        a.NMaxAl.fill(1000);
    }
    for (auto& t : Tipos) IniciaFilaTipo(t);
    for (auto& f : Filas) IniciaFilaTipo(f);
    NumNombres = NumCursos = NumAsignaturas = NumTipos = NumFilas = 0;
}

void TMemoFija::LiberaMemoFija() {
    std::vector<AnsiString>().swap(Nombres);
    std::vector<TFilaCurso>().swap(Cursos);
    std::vector<TFilaAsigCurso>().swap(Asignaturas);
    std::vector<TFilaTipo>().swap(Tipos);
    std::vector<TFilaTipo>().swap(Filas);
    NumNombres = NumCursos = NumAsignaturas = NumTipos = NumFilas = 0;
}

int TMemoFija::BuscaCurso(std::string_view Abrev, int Salta) const {
    for (int i = 0; i < NumCursos; ++i)
        if (i != Salta && Cursos[i].Abrev == Abrev) return i;
    return -1;
}

int TMemoFija::BuscaAsignatura(std::string_view Curso, std::string_view Asig, int Salta) const {
    for (int i = 0; i < NumAsignaturas; ++i)
        if (i != Salta && Asignaturas[i].Curso == Curso && AnsiSameText(Asignaturas[i].Asig, Asig)) return i;
    return -1;
}

const AnsiString& AlfabetoNumeracion(TNumeracion Numeracion) {
    static const AnsiString alfabetos[3] = {
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz1234567890",
        "1234567890abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ",
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ1234567890",
    };
    return alfabetos[static_cast<int>(Numeracion)];
}

AnsiString EscribeNumero(TNumeracion Numeracion, int Indice) {
    if (Indice < 0) return {};
    const AnsiString& a = AlfabetoNumeracion(Numeracion);
    const int base = static_cast<int>(a.size());
    AnsiString r;
    for (long long k = static_cast<long long>(Indice) + 1; k > 0; k /= base) {
        --k;
        r.insert(r.begin(), a[static_cast<size_t>(k % base)]);
    }
    return r;
}

int LeeNumero(TNumeracion Numeracion, std::string_view Texto) {
    if (Texto.empty()) return -1;
    const size_t p = AlfabetoNumeracion(Numeracion).find(Texto[0]);
    return p == AnsiString::npos ? -1 : static_cast<int>(p);
}

int LeeConexion(TNumeracion Numeracion, std::string_view Texto) {
    if (Texto.empty() || Texto.size() > 3) return Texto.empty() ? -1 : LeeNumero(Numeracion, Texto);
    const AnsiString& a = AlfabetoNumeracion(Numeracion);
    long long k = 0;
    for (char c : Texto) {
        const size_t p = a.find(c);
        if (p == AnsiString::npos) return -1;
        k = k * static_cast<long long>(a.size()) + static_cast<long long>(p) + 1;
    }
    return static_cast<int>(k - 1);
}
