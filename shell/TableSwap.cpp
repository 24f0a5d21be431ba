#include "shell/TableSwap.h"

#include <algorithm>
#include <filesystem>
#include <map>
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
const char* const FicheroReserva = "~importando.enuso";

// The machine folders of one swap, and the file whose lock holds the folder.
struct TLugares {
    std::string Datos, Nuevas, Anteriores, Reserva;
    std::string En(const std::string& Carpeta, const std::string& Nombre) const {
        return Carpeta + "/" + Nombre;
    }
};

TLugares Lugares(const AnsiString& Carpeta) {
    std::string datos = MapPath(ExcludeTrailingBackslash(Carpeta));
    if (datos.empty()) throw EDatabaseError("No se encuentra la carpeta " + Carpeta + ".");
    return {datos, datos + "/" + CarpetaNuevas, datos + "/" + CarpetaAnteriores,
            datos + "/" + FicheroReserva};
}

// The folders this program holds, each with its lock and how many holders
// share it: a second lock of this program on the file would be refused as
// another program's is.
struct TReservaTomada {
    int Veces = 0;
    std::unique_ptr<TDbfFile> Fichero;
};
std::map<std::string, TReservaTomada>& Reservas() {
    static std::map<std::string, TReservaTomada> reservas;
    return reservas;
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
// stop in between finds the mark and goes on (only removing what is left).
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

// ResuelveCambioPendiente once the folder is held.
TCambioPendiente Resuelve(TDbfFileSystem& Fs, const TLugares& L) {
    if (!EsCarpeta(L.Nuevas)) return TCambioPendiente::Ninguno;
    const bool completa = Fs.Exists(L.En(L.Nuevas, MarcaCompleta));
    const bool anulada = Fs.Exists(L.En(L.Nuevas, MarcaAnulada));
    if (!completa && !anulada) {
        BorraNuevas(Fs, L);
        return TCambioPendiente::Ninguno;
    }
    // A failed swap is undone, whatever was reached: the user was told the
    // import failed. A complete new set is finished: the import had done its
    // whole work, and only the moves of its files were cut short.
    if (anulada) {
        // Old files aside mean the user's folder was really half-changed.
        const bool apartadas = EsCarpeta(L.Anteriores) && !Fs.List(L.Anteriores).empty();
        std::vector<std::string> nuevos = LeeMarca(Fs, L.En(L.Nuevas, MarcaAnulada));
        int movidos = Retrocede(Fs, L, nuevos);
        LimpiaTrasRetroceder(Fs, L);
        return apartadas || movidos ? TCambioPendiente::Deshecho : TCambioPendiente::Ninguno;
    }
    std::vector<std::string> nuevos = LeeMarca(Fs, L.En(L.Nuevas, MarcaCompleta));
    // With every new table in place, only the removal of what the swap set
    // aside was left: the import told the user it had ended, or a stop came
    // after its last move, and there is nothing to tell.
    const int movidos = Avanza(Fs, L, nuevos);
    try {
        LimpiaTrasAvanzar(Fs, L);
    } catch (const std::exception&) {
        // The folder is whole all the same; the next opening tries again.
    }
    return movidos ? TCambioPendiente::Terminado : TCambioPendiente::Ninguno;
}

bool EsDeImportacion(const std::string& Nombre) {
    return Nombre == CarpetaNuevas || Nombre == CarpetaAnteriores || Nombre == FicheroReserva;
}

}  // namespace

TReservaImportacion::TReservaImportacion(const AnsiString& Carpeta, TDbfFileSystem& Fs)
    : FRuta(Lugares(Carpeta).Reserva), FFs(Fs) {
    auto it = Reservas().find(FRuta);
    if (it != Reservas().end()) {
        ++it->second.Veces;
        return;
    }
    for (int intento = 0;; ++intento) {
        std::unique_ptr<TDbfFile> f = Fs.Create(FRuta);
        if (!f->Lock(0, dbfLockExclusive, false))
            throw EDatabaseError("Otro programa est\xE1 importando datos en la carpeta " +
                                 ExcludeTrailingBackslash(Carpeta) + ": espere a que termine.");
        // A holder that has just let go removed the file first: the lock of
        // a file no longer in the folder holds nothing, and its next holder
        // makes the file anew.
        if (!f->Replaced()) {
            Reservas()[FRuta] = {1, std::move(f)};
            return;
        }
        if (intento == 3)
            throw EDatabaseError("No se puede reservar la carpeta " + ExcludeTrailingBackslash(Carpeta) +
                                 " para importar: otros programas la est\xE1n usando.");
    }
}

TReservaImportacion::~TReservaImportacion() {
    auto it = Reservas().find(FRuta);
    if (it == Reservas().end() || --it->second.Veces > 0) return;
    try {
        // Before the lock goes: whoever takes it next on this file finds it gone.
        FFs.Remove(FRuta);
    } catch (const std::exception&) {
        // A lock file left behind holds nothing once its process lets go.
    }
    Reservas().erase(it);
}

AnsiString ColocaTablasNuevas(const AnsiString& Carpeta, TDbfFileSystem& Fs) {
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
    } catch (const std::exception& E) {
        // The new tables are in place; what is left aside goes at the next opening.
        return E.what();
    }
    return {};
}

TCambioPendiente ResuelveCambioPendiente(const AnsiString& Carpeta, TDbfFileSystem& Fs) {
    const TLugares L = Lugares(Carpeta);
    if (!EsCarpeta(L.Nuevas) && !Fs.Exists(L.Reserva)) return TCambioPendiente::Ninguno;
    TCambioPendiente cambio;
    {
        TReservaImportacion reserva(Carpeta, Fs);
        cambio = Resuelve(Fs, L);
    }
    // Empty now, it held nothing but an import into a new folder, killed
    // before its tables were in place: no data folder, and none to list.
    std::error_code ec;
    if (std::filesystem::is_empty(L.Datos, ec) && std::filesystem::remove(L.Datos, ec))
        return TCambioPendiente::Quitada;
    return cambio;
}

bool SoloImportacion(const AnsiString& Carpeta) {
    std::error_code ec;
    bool importacion = false;
    for (std::filesystem::directory_iterator it(MapPath(ExcludeTrailingBackslash(Carpeta)), ec), fin;
         !ec && it != fin; it.increment(ec)) {
        if (!EsDeImportacion(it->path().filename().string())) return false;
        importacion = true;
    }
    return importacion;
}

void DescartaNuevasIncompletas(const AnsiString& Carpeta, TDbfFileSystem& Fs) {
    const TLugares L = Lugares(Carpeta);
    if (!EsCarpeta(L.Nuevas)) return;
    if (Fs.Exists(L.En(L.Nuevas, MarcaCompleta)) || Fs.Exists(L.En(L.Nuevas, MarcaAnulada))) return;
    BorraNuevas(Fs, L);
}
