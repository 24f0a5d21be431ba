#include "shell/TableSwap.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <vector>

#include "platform/db/DbfFile.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/Paths.h"
#include "shell/SchoolTables.h"

namespace {

const char* const CarpetaAnteriores = "~anteriores";
const char* const MarcaCompleta = "~completa";
const char* const MarcaAnulada = "~anulada";

// The machine folders of one swap.
struct TLugares {
    std::string Datos, Nuevas, Anteriores;
    std::string En(const std::string& Carpeta, const std::string& Nombre) const {
        return Carpeta + "/" + Nombre;
    }
};

TLugares Lugares(const AnsiString& Carpeta) {
    std::string datos = MapPath(ExcludeTrailingBackslash(Carpeta));
    if (datos.empty()) throw EDatabaseError("No se encuentra la carpeta " + Carpeta + ".");
    return {datos, datos + "/" + CarpetaNuevas, datos + "/" + CarpetaAnteriores};
}

bool EsCarpeta(const std::string& Ruta) {
    std::error_code ec;
    return std::filesystem::is_directory(Ruta, ec);
}

std::vector<std::string> FicherosDeTablas(TDbfFileSystem& Fs, const std::string& Carpeta) {
    std::vector<std::string> v;
    for (const std::string& n : Fs.List(Carpeta))
        if (EsFicheroDeTablaEscolar(n)) v.push_back(n);
    std::sort(v.begin(), v.end());
    return v;
}

void EscribeMarca(TDbfFileSystem& Fs, const TLugares& L, const std::vector<std::string>& Nuevos) {
    std::string texto;
    for (const auto& n : Nuevos) texto += n + "\n";
    // Written whole beside it and renamed: a mark is there complete or not at all.
    const std::string aparte = L.En(L.Nuevas, std::string(MarcaCompleta) + ".new");
    Fs.Create(aparte)->Write(0, texto.data(), texto.size());
    Fs.Rename(aparte, L.En(L.Nuevas, MarcaCompleta));
}

std::vector<std::string> LeeMarca(TDbfFileSystem& Fs, const std::string& Ruta) {
    auto f = Fs.Open(Ruta, false);
    std::string texto(static_cast<size_t>(std::min<uint64_t>(f->Size(), 1 << 16)), '\0');
    texto.resize(f->Read(0, texto.data(), texto.size()));
    std::vector<std::string> nombres;
    size_t i = 0;
    while (i < texto.size()) {
        size_t fin = texto.find('\n', i);
        if (fin == std::string::npos) fin = texto.size();
        std::string n = texto.substr(i, fin - i);
        i = fin + 1;
        if (n.empty()) continue;
        // Only table files ever go in: anything else means the mark is not ours.
        if (!EsFicheroDeTablaEscolar(n))
            throw EDatabaseError("La marca " + FromUtf8(Ruta) +
                                 " est\xE1 da\xF1"
                                 "ada.");
        nombres.push_back(n);
    }
    return nombres;
}

void CreaCarpeta(const std::string& Ruta) {
    std::error_code ec;
    std::filesystem::create_directory(Ruta, ec);
    if (!EsCarpeta(Ruta)) throw EDatabaseError("No se puede crear la carpeta " + FromUtf8(Ruta) + ".");
}

void QuitaCarpeta(const std::string& Ruta) {
    std::error_code ec;
    std::filesystem::remove(Ruta, ec);
}

// Forward: the old files go aside, then the new ones come in. Starts from
// whatever point an earlier attempt reached: once a new file has come in,
// every old one is already aside. Answers the number of files moved.
int Avanza(TDbfFileSystem& Fs, const TLugares& L, const std::vector<std::string>& Nuevos) {
    int movidos = 0;
    CreaCarpeta(L.Anteriores);
    bool entrando = std::any_of(Nuevos.begin(), Nuevos.end(),
                                [&](const std::string& n) { return !Fs.Exists(L.En(L.Nuevas, n)); });
    if (!entrando) {
        for (const std::string& n : FicherosDeTablas(Fs, L.Datos)) {
            if (Fs.Exists(L.En(L.Anteriores, n)))
                throw EDatabaseError("Ya hay un " + FromUtf8(n) + " apartado en " + FromUtf8(L.Anteriores) +
                                     ".");
            Fs.Rename(L.En(L.Datos, n), L.En(L.Anteriores, n));
            ++movidos;
        }
    }
    for (const std::string& n : Nuevos) {
        if (!Fs.Exists(L.En(L.Nuevas, n))) continue;
        if (Fs.Exists(L.En(L.Datos, n)))
            throw EDatabaseError("El fichero " + FromUtf8(L.En(L.Datos, n)) + " no se ha podido apartar.");
        Fs.Rename(L.En(L.Nuevas, n), L.En(L.Datos, n));
        ++movidos;
    }
    return movidos;
}

// Backward: the new files that came in go back, then the old ones return.
int Retrocede(TDbfFileSystem& Fs, const TLugares& L, const std::vector<std::string>& Nuevos) {
    int movidos = 0;
    for (const std::string& n : Nuevos) {
        // A new file missing from its folder came in: the one of its name here is it.
        if (Fs.Exists(L.En(L.Nuevas, n)) || !Fs.Exists(L.En(L.Datos, n))) continue;
        Fs.Rename(L.En(L.Datos, n), L.En(L.Nuevas, n));
        ++movidos;
    }
    if (!EsCarpeta(L.Anteriores)) return movidos;
    for (const std::string& n : Fs.List(L.Anteriores)) {
        if (Fs.Exists(L.En(L.Datos, n)))
            throw EDatabaseError("El fichero " + FromUtf8(L.En(L.Datos, n)) +
                                 " ocupa el sitio de la tabla anterior.");
        Fs.Rename(L.En(L.Anteriores, n), L.En(L.Datos, n));
        ++movidos;
    }
    return movidos;
}

void BorraFicheros(TDbfFileSystem& Fs, const std::string& Carpeta, const std::set<std::string>& Salvo = {}) {
    for (const std::string& n : Fs.List(Carpeta))
        if (!Salvo.count(n)) Fs.Remove(Carpeta + "/" + n);
}

// After a forward swap: the old tables go first, the mark last, so that a
// stop in between finds the mark and goes on.
void LimpiaTrasAvanzar(TDbfFileSystem& Fs, const TLugares& L) {
    if (EsCarpeta(L.Anteriores)) BorraFicheros(Fs, L.Anteriores);
    QuitaCarpeta(L.Anteriores);
    BorraFicheros(Fs, L.Nuevas, {MarcaCompleta});
    Fs.Remove(L.En(L.Nuevas, MarcaCompleta));
    QuitaCarpeta(L.Nuevas);
}

// A new set that is not the folder's goes; so does the folder of the old
// files, empty by then (every old file is in its place).
void BorraNuevas(TDbfFileSystem& Fs, const TLugares& L) {
    QuitaCarpeta(L.Anteriores);
    BorraFicheros(Fs, L.Nuevas);
    QuitaCarpeta(L.Nuevas);
}

// After a backward swap: the mark first, so that the new files left behind
// are taken for an unfinished set and never put in place.
void LimpiaTrasRetroceder(TDbfFileSystem& Fs, const TLugares& L) {
    Fs.Remove(L.En(L.Nuevas, MarcaAnulada));
    Fs.Remove(L.En(L.Nuevas, MarcaCompleta));
    BorraNuevas(Fs, L);
}

}  // namespace

void ColocaTablasNuevas(const AnsiString& Carpeta, TDbfFileSystem& Fs) {
    const TLugares L = Lugares(Carpeta);
    std::vector<std::string> nuevos = FicherosDeTablas(Fs, L.Nuevas);
    for (const auto& t : TablasEscolares())
        if (std::find(nuevos.begin(), nuevos.end(), std::string(t.Nombre) + ".dbf") == nuevos.end())
            throw EDatabaseError("Falta la tabla nueva " + AnsiString(t.Nombre) + ".");
    auto fallo = [&](const std::exception& E, bool Repuestas) {
        return EDatabaseError("No se han podido colocar las tablas nuevas en " +
                              ExcludeTrailingBackslash(Carpeta) + " (" + AnsiString(E.what()) + "). " +
                              (Repuestas
                                   ? "La carpeta conserva sus tablas anteriores."
                                   : "La carpeta se pondr\xE1 en orden la pr\xF3xima vez que se abra."));
    };
    try {
        EscribeMarca(Fs, L, nuevos);
    } catch (const std::exception& E) {
        throw fallo(E, true);
    }
    try {
        Avanza(Fs, L, nuevos);
    } catch (const std::exception& E) {
        bool repuestas = false;
        try {
            try {
                Fs.Rename(L.En(L.Nuevas, MarcaCompleta), L.En(L.Nuevas, MarcaAnulada));
            } catch (const std::exception&) {
                // Going back is still right; cleaning up removes the mark first.
            }
            Retrocede(Fs, L, nuevos);
            LimpiaTrasRetroceder(Fs, L);
            repuestas = true;
        } catch (const std::exception&) {
        }
        throw fallo(E, repuestas);
    }
    try {
        LimpiaTrasAvanzar(Fs, L);
    } catch (const std::exception&) {
        // The new tables are in place; what is left aside goes at the next opening.
    }
}

TCambioPendiente ResuelveCambioPendiente(const AnsiString& Carpeta, TDbfFileSystem& Fs) {
    const TLugares L = Lugares(Carpeta);
    if (!EsCarpeta(L.Nuevas)) return TCambioPendiente::Ninguno;
    const bool completa = Fs.Exists(L.En(L.Nuevas, MarcaCompleta));
    const bool anulada = Fs.Exists(L.En(L.Nuevas, MarcaAnulada));
    if (!completa && !anulada) {
        BorraNuevas(Fs, L);
        return TCambioPendiente::Ninguno;
    }
    // Old files aside mean the user's folder was really half-changed.
    const bool apartadas = EsCarpeta(L.Anteriores) && !Fs.List(L.Anteriores).empty();
    // A failed swap is undone, whatever was reached: the user was told the
    // import failed. A complete new set is finished: the import had done its
    // whole work, and only the moves of its files were cut short.
    if (anulada) {
        std::vector<std::string> nuevos = LeeMarca(Fs, L.En(L.Nuevas, MarcaAnulada));
        int movidos = Retrocede(Fs, L, nuevos);
        LimpiaTrasRetroceder(Fs, L);
        return apartadas || movidos ? TCambioPendiente::Deshecho : TCambioPendiente::Ninguno;
    }
    std::vector<std::string> nuevos = LeeMarca(Fs, L.En(L.Nuevas, MarcaCompleta));
    int movidos = Avanza(Fs, L, nuevos);
    LimpiaTrasAvanzar(Fs, L);
    return apartadas || movidos ? TCambioPendiente::Terminado : TCambioPendiente::Ninguno;
}

void DescartaNuevasIncompletas(const AnsiString& Carpeta, TDbfFileSystem& Fs) {
    const TLugares L = Lugares(Carpeta);
    if (!EsCarpeta(L.Nuevas)) return;
    if (Fs.Exists(L.En(L.Nuevas, MarcaCompleta)) || Fs.Exists(L.En(L.Nuevas, MarcaAnulada))) return;
    BorraNuevas(Fs, L);
}
