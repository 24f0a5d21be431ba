#include "organizer/TablasTipos.h"

#include <functional>
#include <unordered_map>

#include "organizer/FilasOrganizar.h"
#include "platform/db/DB.h"
#include "platform/db/DbfTable.h"
#include "platform/db/DbfWorkLock.h"
#include "platform/db/Fields.h"
#include "platform/db/Table.h"

void QuitaFiltro(TDataSet& Tabla) { Tabla.SetFiltered(false); }

namespace {

// How one field of a table is read into a row and written from it, and
// whether two rows hold the same in it.
template <class Fila>
struct TCampo {
    AnsiString Nombre;
    std::function<void(const TField&, Fila&)> Lee;
    std::function<void(TField&, const Fila&)> Escribe;
    std::function<bool(const Fila&, const Fila&)> Igual;
};

template <class Fila, class T>
std::function<bool(const Fila&, const Fila&)> MismoMiembro(T Fila::*M) {
    return [M](const Fila& A, const Fila& B) { return A.*M == B.*M; };
}

template <class Fila>
TCampo<Fila> Texto(const AnsiString& Nombre, AnsiString Fila::*M) {
    return {Nombre, [M](const TField& F, Fila& R) { R.*M = F.AsString(); },
            [M](TField& F, const Fila& R) { F.SetAsString(R.*M); }, MismoMiembro(M)};
}
template <class Fila>
TCampo<Fila> Entero(const AnsiString& Nombre, int Fila::*M) {
    return {Nombre, [M](const TField& F, Fila& R) { R.*M = EnteroDeTabla(F.AsFloat()); },
            [M](TField& F, const Fila& R) { F.SetAsInteger(R.*M); }, MismoMiembro(M)};
}
// A whole number that also remembers whether its record held none.
template <class Fila>
TCampo<Fila> EnteroOVacio(const AnsiString& Nombre, int Fila::*M, bool Fila::*Vacio) {
    return {Nombre,
            [M, Vacio](const TField& F, Fila& R) {
                R.*M = EnteroDeTabla(F.AsFloat());
                R.*Vacio = F.IsNull();
            },
            [M](TField& F, const Fila& R) { F.SetAsInteger(R.*M); },
            [M, Vacio](const Fila& A, const Fila& B) { return A.*M == B.*M && A.*Vacio == B.*Vacio; }};
}
template <class Fila>
TCampo<Fila> Real(const AnsiString& Nombre, double Fila::*M) {
    return {Nombre, [M](const TField& F, Fila& R) { R.*M = F.AsFloat(); },
            [M](TField& F, const Fila& R) { F.SetAsFloat(R.*M); }, MismoMiembro(M)};
}
template <class Fila>
TCampo<Fila> Logico(const AnsiString& Nombre, bool Fila::*M) {
    return {Nombre, [M](const TField& F, Fila& R) { R.*M = F.AsBoolean(); },
            [M](TField& F, const Fila& R) { F.SetAsBoolean(R.*M); }, MismoMiembro(M)};
}
template <class Fila, size_t K>
void Textos(std::vector<TCampo<Fila>>& C, const char* Prefijo, std::array<AnsiString, K> Fila::*M,
            int Desde = 1) {
    for (size_t i = 0; i < K; ++i) {
        AnsiString nombre = AnsiString(Prefijo) +
                            (Desde == 0 && i == 0 ? AnsiString() : IntToStr(static_cast<int>(i) + Desde));
        C.push_back({nombre, [M, i](const TField& F, Fila& R) { (R.*M)[i] = F.AsString(); },
                     [M, i](TField& F, const Fila& R) { F.SetAsString((R.*M)[i]); },
                     [M, i](const Fila& A, const Fila& B) { return (A.*M)[i] == (B.*M)[i]; }});
    }
}

const std::vector<TCampo<TFilaSubtipo>>& CamposSubtipo() {
    static const auto c = [] {
        using F = TFilaSubtipo;
        std::vector<TCampo<F>> v = {Entero("N", &F::N),
                                    Entero("NALUM", &F::NALUM),
                                    Texto("TNC", &F::TNC),
                                    Texto("OPCION", &F::OPCION),
                                    Logico("REPITE", &F::REPITE),
                                    Texto("ASIGS", &F::ASIGS),
                                    Texto("ASIGSCOL", &F::ASIGSCOL),
                                    Texto("ASIGSCU", &F::ASIGSCU),
                                    Texto("ASIGSCUCOL", &F::ASIGSCUCOL),
                                    Logico("SELEC", &F::SELEC)};
        Textos(v, "ASIG", &F::ASIG);
        return v;
    }();
    return c;
}

const std::vector<TCampo<TFilaEnGrupo>>& CamposTipGrup() {
    static const auto c = [] {
        using F = TFilaEnGrupo;
        std::vector<TCampo<F>> v = {Entero("N", &F::N),          Entero("NALUM", &F::NALUM),
                                    Texto("TNC", &F::TNC),       Texto("TNCG", &F::TNCG),
                                    Texto("GRUPO", &F::GRUPO),   Texto("OPCION", &F::OPCION),
                                    Logico("REPITE", &F::REPITE)};
        Textos(v, "ASIGSDCM", &F::ASIGSDCM, 0);
        Textos(v, "ASIG", &F::ASIG);
        Textos(v, "DIV", &F::DIV);
        Textos(v, "CON", &F::CON);
        return v;
    }();
    return c;
}

const std::vector<TCampo<TFilaAlumno>>& CamposAlumno() {
    static const auto c = [] {
        using F = TFilaAlumno;
        std::vector<TCampo<F>> v = {Texto("EXPED", &F::EXPED),   Texto("NOMBRE", &F::NOMBRE),
                                    Texto("GRUPO", &F::GRUPO),   Texto("TNC", &F::TNC),
                                    Texto("OPCION", &F::OPCION), Logico("REPITE", &F::REPITE),
                                    Logico("ANULAR", &F::ANULAR)};
        Textos(v, "ASIG", &F::ASIG);
        Textos(v, "DIV", &F::DIV);
        return v;
    }();
    return c;
}

// What the classification reads of a student.
const std::vector<TCampo<TFilaAlumno>>& CamposAsignaturasAlumno() {
    static const auto c = [] {
        using F = TFilaAlumno;
        std::vector<TCampo<F>> v = {Logico("ANULAR", &F::ANULAR)};
        Textos(v, "ASIG", &F::ASIG);
        return v;
    }();
    return c;
}

const std::vector<TCampo<TFilaAsignatura>>& CamposAsigCur() {
    static const auto c = [] {
        using F = TFilaAsignatura;
        return std::vector<TCampo<F>>{
            Texto("ASIG", &F::ASIG), Real("HORAS", &F::HORAS), Logico("CUENTA", &F::CUENTA),
            EnteroOVacio("CONTADOR", &F::CONTADOR, &F::CONTADORVacio), Entero("TIPO", &F::TIPO)};
    }();
    return c;
}

// The fields of the list that the data set has.
template <class Fila>
std::vector<std::pair<TField*, const TCampo<Fila>*>> Enlaza(TDataSet& Tabla,
                                                            const std::vector<TCampo<Fila>>& Campos) {
    std::vector<std::pair<TField*, const TCampo<Fila>*>> r;
    for (const auto& c : Campos)
        if (TField* f = Tabla.FindField(c.Nombre)) r.emplace_back(f, &c);
    return r;
}

template <class Fila>
std::vector<Fila> Lee(TDataSet& Tabla, const std::vector<TCampo<Fila>>& Campos) {
    const auto enlaces = Enlaza(Tabla, Campos);
    std::vector<Fila> filas;
    for (Tabla.First(); !Tabla.Eof(); Tabla.Next()) {
        // Read in its place: a row holds tens of texts.
        Fila& f = filas.emplace_back();
        for (const auto& [campo, c] : enlaces) c->Lee(*campo, f);
        f.Marca = Tabla.GetBookmark();
    }
    return filas;
}

template <class Fila>
void Escribe(TDataSet& Tabla, const std::vector<TCampo<Fila>>& Campos, const std::vector<Fila>& Antes,
             std::vector<Fila>& Despues) {
    const auto enlaces = Enlaza(Tabla, Campos);
    std::unordered_map<TMarcaFila, const Fila*> quedan, antes;
    for (const auto& d : Despues)
        if (!d.Marca.empty()) quedan.emplace(d.Marca, &d);
    for (const auto& a : Antes) {
        antes.emplace(a.Marca, &a);
        if (!quedan.count(a.Marca)) {
            Tabla.GotoBookmark(a.Marca);
            Tabla.Delete();
        }
    }
    // A row rewritten gets only the fields that changed (renumbering the
    // stored rows changes N alone); the record holds the others already.
    auto graba = [&](const Fila& f, const Fila* Era) {
        for (const auto& [campo, c] : enlaces)
            if (!Era || !c->Igual(*Era, f)) c->Escribe(*campo, f);
        Tabla.Post();
    };
    for (auto& d : Despues) {
        if (d.Marca.empty()) {
            Tabla.Append();
            graba(d, nullptr);
            d.Marca = Tabla.GetBookmark();
            continue;
        }
        auto a = antes.find(d.Marca);
        if (a != antes.end() && *a->second == d) continue;
        Tabla.GotoBookmark(d.Marca);
        Tabla.Edit();
        graba(d, a != antes.end() ? a->second : nullptr);
    }
}

}  // namespace

std::vector<TFilaSubtipo> LeeSubtipos(TDataSet& Tabla) { return Lee(Tabla, CamposSubtipo()); }
std::vector<TFilaEnGrupo> LeeTipGrup(TDataSet& Tabla) { return Lee(Tabla, CamposTipGrup()); }
std::vector<TFilaAlumno> LeeAlumnos(TDataSet& Tabla) { return Lee(Tabla, CamposAlumno()); }
std::vector<TFilaAlumno> LeeAsignaturasAlumnos(TDataSet& Tabla) {
    return Lee(Tabla, CamposAsignaturasAlumno());
}
std::vector<TFilaAsignatura> LeeAsigCur(TDataSet& Tabla) { return Lee(Tabla, CamposAsigCur()); }

void Sincroniza(TDataSet& Tabla, const std::vector<TFilaSubtipo>& Antes, std::vector<TFilaSubtipo>& Despues) {
    Escribe(Tabla, CamposSubtipo(), Antes, Despues);
}
void Sincroniza(TDataSet& Tabla, const std::vector<TFilaEnGrupo>& Antes, std::vector<TFilaEnGrupo>& Despues) {
    Escribe(Tabla, CamposTipGrup(), Antes, Despues);
}
void Sincroniza(TDataSet& Tabla, const std::vector<TFilaAlumno>& Antes, std::vector<TFilaAlumno>& Despues) {
    Escribe(Tabla, CamposAlumno(), Antes, Despues);
}
void Sincroniza(TDataSet& Tabla, const std::vector<TFilaAsignatura>& Antes,
                std::vector<TFilaAsignatura>& Despues) {
    Escribe(Tabla, CamposAsigCur(), Antes, Despues);
}

void AnadeConexiones(TDataSet& Tabla, const std::vector<TFilaConex>& Filas) {
    for (const auto& c : Filas) {
        Tabla.Append();
        Tabla.FieldByName("TNC")->SetAsString(c.TNC);
        Tabla.FieldByName("TNCCON")->SetAsString(c.TNCCON);
        Tabla.FieldByName("CON")->SetAsString(c.CON);
        Tabla.FieldByName("GRUPO")->SetAsString(c.GRUPO);
        Tabla.FieldByName("ASIGDIV")->SetAsString(c.ASIGDIV);
        Tabla.FieldByName("NALUM1")->SetAsInteger(c.NALUM1);
        Tabla.FieldByName("NALUM2")->SetAsInteger(c.NALUM2);
        Tabla.Post();
    }
}

int CuentaFilas(TDataSet& Tabla) { return Tabla.RecordCount(); }

int MayorN(const AnsiString& DatabaseName, const AnsiString& TableName) {
    // On the engine's table itself: the data set's fields would be made for
    // one value.
    auto table = TDbfTable::Open(NewTempTable(DatabaseName, TableName)->TablePath(), dbfReadOnly);
    TDbfCursor cursor(table);
    cursor.SetOrder(table->OrderForFields("N"));
    return cursor.Last() ? EnteroDeTabla(table->GetNumber(cursor.Record(), table->FieldIndex("N"))) : 0;
}

std::vector<std::shared_ptr<TDbfTable>> TomaParaEscribir(const AnsiString& DatabaseName,
                                                         const std::vector<AnsiString>& Tablas) {
    std::vector<std::shared_ptr<TDbfTable>> tomadas;
    for (const AnsiString& t : Tablas) {
        tomadas.push_back(TDbfTable::Open(NewTempTable(DatabaseName, t)->TablePath()));
        tomadas.back()->Reserve();
    }
    return tomadas;
}

const char* const TextoTrabajoOcupado =
    "Otro programa est\xE1 organizando los grupos o colocando a los alumnos "
    "de un curso en esta carpeta de datos.";

std::unique_ptr<TReservaTrabajo> TReservaTrabajo::Intenta(const AnsiString& DatabaseName) {
    std::unique_ptr<TReservaTrabajo> r(new TReservaTrabajo);
    for (const char* t : {"tipos2", "tipgrup2", "conex"}) {
        const std::string dbf = TDbfTable::Find(NewTempTable(DatabaseName, t)->TablePath());
        if (dbf.empty()) continue;
        std::unique_ptr<TDbfWorkLock> c = TDbfWorkLock::TryTake(dbf);
        if (!c) return nullptr;
        r->FReservas.push_back(std::move(c));
    }
    return r;
}

std::unique_ptr<TReservaTrabajo> TReservaTrabajo::Toma(const AnsiString& DatabaseName) {
    if (auto r = Intenta(DatabaseName)) return r;
    DatabaseError(AnsiString(TextoTrabajoOcupado) + " Podr\xE1 hacerse aqu\xED cuando termine all\xED.");
}

TReservaTrabajo::~TReservaTrabajo() = default;

bool TReservaTrabajo::Intacta() const {
    for (const auto& c : FReservas)
        if (!c->Intact()) return false;
    return true;
}
