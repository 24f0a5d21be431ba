#include "shell/RecordRules.h"

#include <algorithm>
#include <set>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/db/Table.h"
#include "platform/rtl/Strings.h"
#include "shell/AppState.h"
#include "shell/SchoolTables.h"

void RenumeraN(TTable& Tabla, const AnsiString& Campo) {
    TControlsDisabled parado(&Tabla);
    Tabla.SetIndexFieldNames(Campo);
    TField* n = Tabla.FieldByName("N");
    int numero = 0;
    for (Tabla.First(); !Tabla.Eof(); Tabla.Next()) {
        Tabla.Edit();
        n->SetAsInteger(++numero);
        Tabla.Post();
    }
    Tabla.SetIndexFieldNames("N");
    Tabla.First();
}

namespace {

// The grid table the menu may work on: none once its screen is gone.
TTable* TablaDelMenu(TAppState& Estado) {
    TTable* t = Estado.TablaActual();
    return t && t->Active() ? t : nullptr;
}

int NDeLaFila(TDataSet& Tabla) {
    TField* n = Tabla.FindField("N");
    return n && !Tabla.IsEmpty() ? n->AsInteger() : 0;
}

void CopiaPorPosicion(TDataSet& De, TDataSet& A) {
    int campos = std::min(De.FieldCount(), A.FieldCount());
    for (int i = 0; i < campos; ++i) A.Fields()->Fields(i)->SetValue(De.Fields()->Fields(i)->Value());
}

}  // namespace

void InsertaLinea(TAppState& Estado) {
    TTable* t = TablaDelMenu(Estado);
    if (!t) return;
    Estado.NLinea = NDeLaFila(*t);
    t->Insert();
}

void AbreDeposito(TAppState& Estado) {
    TTable* actual = Estado.TablaActual();
    TTable* deposito = Estado.CreaTablaDeposito();
    deposito->Close();
    deposito->SetDatabaseName(actual->DatabaseName());
    deposito->SetTableType(ttDefault);
    deposito->SetTableName("Deposito.dbf");
    // The fields of the screen's list, in its order (not the file's): the
    // line comes back by position into a grid of the same list.
    deposito->FieldDefs()->Clear();
    for (int i = 0; i < actual->FieldCount(); ++i) {
        TField* f = actual->Fields()->Fields(i);
        deposito->FieldDefs()->Add(f->FieldName(), f->DataType(), f->DataType() == ftString ? f->Size() : 0);
    }
    deposito->IndexDefs()->Clear();
    deposito->CreateTable();
    deposito->Open();
}

bool DepositoDistinto(TAppState& Estado) {
    TTable* actual = Estado.TablaActual();
    TTable* deposito = Estado.TablaDeposito();
    if (!actual || !deposito || !deposito->Active()) return true;
    if (actual->FieldCount() != deposito->FieldCount()) return true;
    for (int i = 0; i < actual->FieldCount(); ++i) {
        TField* a = actual->Fields()->Fields(i);
        TField* d = deposito->Fields()->Fields(i);
        if (a->DataType() != d->DataType() || a->DataSize() != d->DataSize()) return true;
    }
    return false;
}

void SuprimeLinea(TAppState& Estado) {
    TTable* t = TablaDelMenu(Estado);
    if (!t) return;
    if (t->IsEmpty()) {
        Estado.RecuperaActivo = false;
        return;
    }
    AbreDeposito(Estado);
    TTable* deposito = Estado.TablaDeposito();
    TControlsDisabled parado(t);
    deposito->Append();
    CopiaPorPosicion(*t, *deposito);
    deposito->Post();
    t->Delete();
    Estado.RecuperaActivo = true;
}

void RecuperaLinea(TAppState& Estado) {
    TTable* t = TablaDelMenu(Estado);
    TTable* deposito = Estado.TablaDeposito();
    // No line moved yet, or the clipboard went with the folder it lived in.
    if (!t || !deposito || !deposito->Active() || deposito->IsEmpty() || DepositoDistinto(Estado)) return;
    Estado.NLinea = NDeLaFila(*t);
    deposito->First();
    deposito->Edit();
    if (TField* n = deposito->FindField("N")) n->SetAsInteger(Estado.NLinea);
    t->Insert();
    CopiaPorPosicion(*deposito, *t);
    t->Post();
    // The clipboard keeps its line as it was moved: the N is the new row's.
    deposito->Cancel();
    t->Refresh();
}

void PonClaveCurso(TDataSet& Cursos) {
    Cursos.FieldByName("TNC")->SetAsString(ClaveCurso(Cursos.FieldByName("TURNO")->AsString(),
                                                      Cursos.FieldByName("NIVEL")->AsString(),
                                                      Cursos.FieldByName("CURSO")->AsString()));
}

void SeleccionaCurso(TAppState& Estado, TDataSet& Cursos) {
    bool fila = Cursos.Active() && !Cursos.IsEmpty();
    auto texto = [&](const char* campo) {
        return fila ? Cursos.FieldByName(campo)->AsString() : AnsiString();
    };
    Estado.Turno = texto("TURNO");
    Estado.Nivel = texto("NIVEL");
    Estado.Curso = texto("CURSO");
    Estado.TNCSeleccionado = texto("TNC");
}

namespace {

// Runs Cambia on every student the table shows, each changed row posted
// before the next; the table ends on its first row.
template <class F>
void CadaAlumno(TDataSet& Alumnos, F Cambia) {
    TControlsDisabled parado(&Alumnos);
    for (Alumnos.First(); !Alumnos.Eof(); Alumnos.Next()) {
        Alumnos.Edit();
        if (Cambia(Alumnos)) Alumnos.Post();
        else Alumnos.Cancel();
    }
    Alumnos.First();
}

}  // namespace

void LimpiaGruposYDivisiones(TDataSet& Alumnos) {
    CadaAlumno(Alumnos, [](TDataSet& a) {
        a.FieldByName("GRUPO")->SetAsString("");
        for (const auto& d : Numerados("DIV", HuecosAsignatura)) a.FieldByName(d)->SetAsString("");
        return true;
    });
}

void LimpiaAnular(TDataSet& Alumnos) {
    CadaAlumno(Alumnos, [](TDataSet& a) {
        a.FieldByName("ANULAR")->SetAsBoolean(false);
        return true;
    });
}

void InvierteAnular(TDataSet& Alumnos) {
    CadaAlumno(Alumnos, [](TDataSet& a) {
        TField* f = a.FieldByName("ANULAR");
        f->SetAsBoolean(!f->AsBoolean());
        return true;
    });
}

void AnulaConAsignatura(TDataSet& Alumnos, const AnsiString& Asig) {
    if (Asig.empty()) return;
    CadaAlumno(Alumnos, [&](TDataSet& a) {
        for (const auto& hueco : Numerados("ASIG", HuecosAsignatura)) {
            if (a.FieldByName(hueco)->AsString() != Asig) continue;
            a.FieldByName("ANULAR")->SetAsBoolean(true);
            return true;
        }
        return false;
    });
}

namespace {

// A list of subject codes that answers "is it there" without regard to case.
class TListaAsignaturas {
public:
    bool Contiene(const AnsiString& Codigo) const { return FClaves.count(AnsiUpperCase(Codigo)) != 0; }
    void Anade(const AnsiString& Codigo) {
        if (FClaves.insert(AnsiUpperCase(Codigo)).second) FCodigos.push_back(Codigo);
    }
    const std::vector<AnsiString>& Codigos() const { return FCodigos; }

private:
    std::vector<AnsiString> FCodigos;
    std::unordered_set<AnsiString> FClaves;
};

std::vector<AnsiString> AsignaturasDe(TDataSet& Alumno) {
    std::vector<AnsiString> v;
    for (const auto& hueco : Numerados("ASIG", HuecosAsignatura)) {
        AnsiString a = Alumno.FieldByName(hueco)->AsString();
        if (!a.empty()) v.push_back(a);
    }
    return v;
}

}  // namespace

int ClasificaAsignaturas(const AnsiString& DatabaseName, const AnsiString& TNC) {
    TTempTable asigcur = NewTempTable(DatabaseName, "asigcur");
    FiltraPorCurso(*asigcur, TNC);
    asigcur->SetIndexName("N");
    asigcur->Open();
    asigcur->Last();
    int ultimoN = asigcur->IsEmpty() ? 0 : asigcur->FieldByName("N")->AsInteger();

    // The subjects the course's students take, and those every one of them
    // takes; students marked ANULAR stay out of both.
    TListaAsignaturas tomadas, comunes;
    {
        TTempTable alum = NewTempTable(DatabaseName, "alum");
        FiltraPorCurso(*alum, TNC);
        alum->Open();
        if (alum->IsEmpty()) {
            for (asigcur->First(); !asigcur->Eof(); asigcur->Next())
                tomadas.Anade(asigcur->FieldByName("ASIG")->AsString());
        } else {
            std::vector<AnsiString> comun;
            bool primero = true;
            for (alum->First(); !alum->Eof(); alum->Next()) {
                if (alum->FieldByName("ANULAR")->AsBoolean()) continue;
                std::vector<AnsiString> suyas = AsignaturasDe(*alum);
                for (const auto& a : suyas) tomadas.Anade(a);
                if (primero) {
                    comun = suyas;
                    primero = false;
                    continue;
                }
                std::erase_if(comun, [&](const AnsiString& c) {
                    return std::find(suyas.begin(), suyas.end(), c) == suyas.end();
                });
            }
            for (const auto& c : comun) comunes.Anade(c);
        }
    }

    // A row for every subject taken that the course lacks.
    asigcur->SetIndexName("ASIG");
    std::set<AnsiString> presentes;
    for (asigcur->First(); !asigcur->Eof(); asigcur->Next())
        presentes.insert(asigcur->FieldByName("ASIG")->AsString());
    int siguiente = ultimoN;
    for (const auto& a : tomadas.Codigos()) {
        if (presentes.count(a)) continue;
        asigcur->Append();
        asigcur->FieldByName("TNC")->SetAsString(TNC);
        asigcur->FieldByName("ASIG")->SetAsString(a);
        asigcur->FieldByName("HORAS")->SetAsFloat(0);
        asigcur->FieldByName("CUENTA")->SetAsBoolean(true);
        asigcur->FieldByName("MOSTRAR")->SetAsBoolean(true);
        asigcur->FieldByName("TIPO")->SetAsInteger(TipoOptativa);
        asigcur->FieldByName("N")->SetAsInteger(++siguiente);
        asigcur->Post();
    }

    // Classes in code order; only the optional subjects are numbered.
    int numero = 0;
    for (asigcur->First(); !asigcur->Eof(); asigcur->Next()) {
        AnsiString a = asigcur->FieldByName("ASIG")->AsString();
        asigcur->Edit();
        if (comunes.Contiene(a)) {
            asigcur->FieldByName("TIPO")->SetAsInteger(TipoComun);
        } else if (tomadas.Contiene(a)) {
            asigcur->FieldByName("TIPO")->SetAsInteger(TipoOptativa);
            asigcur->FieldByName("N")->SetAsInteger(++numero);
        } else {
            asigcur->FieldByName("TIPO")->SetAsInteger(TipoNoUsada);
        }
        asigcur->Post();
    }
    return siguiente;
}

void FiltraPorClase(TDataSet& Tabla, const AnsiString& TNC, int Tipo) {
    FiltraPorCurso(Tabla, TNC);
    Tabla.SetFilter(FiltroCurso(TNC) + " and TIPO=" + IntToStr(Tipo));
}

void PropagaEnBloque(TDataSet& Optativas, TField& Cambiado) {
    int bloque = Optativas.FieldByName("BLOPT")->AsInteger();
    if (bloque == 0) return;
    TVariant valor =
        Cambiado.DataType() == ftBoolean ? TVariant(Cambiado.AsBoolean()) : TVariant(Cambiado.AsInteger());
    TControlsDisabled parado(&Optativas);
    // Detached while the block follows, or every post would start it again.
    TFieldNotifyEvent manejador = Cambiado.OnChange;
    Cambiado.OnChange = {};
    try {
        // The changed row is stored first: a row still being inserted has
        // no place in the table that a bookmark could name, and the walk
        // below would post it on its way anyhow.
        Optativas.CheckBrowseMode();
        TBookmark fila = Optativas.GetBookmark();
        TField* blopt = Optativas.FieldByName("BLOPT");
        for (Optativas.First(); !Optativas.Eof(); Optativas.Next()) {
            if (blopt->AsInteger() != bloque) continue;
            Optativas.Edit();
            Cambiado.SetValue(valor);
            Optativas.Post();
        }
        Optativas.GotoBookmark(fila);
    } catch (...) {
        Cambiado.OnChange = manejador;
        throw;
    }
    Cambiado.OnChange = manejador;
}

int AcotaGrupos(int NGrup) { return std::clamp(NGrup, 0, 30); }

bool GruposDelCurso(const AnsiString& DatabaseName, const AnsiString& TNC, int& NGrup) {
    TTempTable cursos = OpenTempTable(DatabaseName, "cursos", "TNC");
    if (!cursos->FindKey({TVarRec(TNC)})) return false;
    NGrup = cursos->FieldByName("NGRUP")->AsInteger();
    return true;
}

void FijaCifrasAlCerrar(TDataSet& Comunes, TDataSet& NoUsadas, int NGrup) {
    // A negative or oversized count typed in the courses screen must not
    // turn into negative or impossible figures.
    int grupos = AcotaGrupos(NGrup);
    for (TDataSet* t : {&Comunes, &NoUsadas}) {
        TControlsDisabled parado(t);
        for (t->First(); !t->Eof(); t->Next()) {
            t->Edit();
            t->FieldByName("NDIV")->SetAsInteger(grupos);
            t->FieldByName("MAXALUM")->SetAsInteger(0);
            t->FieldByName("NPROF")->SetAsInteger(grupos);
            t->Post();
        }
    }
}

void RehaceGrupos(const AnsiString& DatabaseName) {
    struct TCurso {
        AnsiString Abrev, Turno, Nivel, Curso;
    };
    // The first course of each key, as a key search on the TNC tag finds it.
    std::unordered_map<AnsiString, TCurso> cursos;
    {
        TTempTable t = OpenTempTable(DatabaseName, "cursos");
        for (t->First(); !t->Eof(); t->Next())
            cursos.emplace(t->FieldByName("TNC")->AsString(),
                           TCurso{t->FieldByName("ABREV")->AsString(), t->FieldByName("TURNO")->AsString(),
                                  t->FieldByName("NIVEL")->AsString(), t->FieldByName("CURSO")->AsString()});
    }
    TTempTable tipgrup = OpenTempTable(DatabaseName, "tipgrup", "TNCG");
    TTempTable grupos = OpenTempTable(DatabaseName, "grupos");
    grupos->EmptyTable();
    std::unordered_set<AnsiString> hechos;
    int n = 0;
    for (tipgrup->First(); !tipgrup->Eof(); tipgrup->Next()) {
        AnsiString tncg = tipgrup->FieldByName("TNCG")->AsString();
        if (hechos.count(tncg)) continue;
        auto c = cursos.find(tipgrup->FieldByName("TNC")->AsString());
        if (c == cursos.end()) continue;
        AnsiString grupo = tipgrup->FieldByName("GRUPO")->AsString();
        grupos->Append();
        grupos->FieldByName("N")->SetAsInteger(++n);
        grupos->FieldByName("ABREV")->SetAsString(c->second.Abrev + grupo);
        grupos->FieldByName("TURNO")->SetAsString(c->second.Turno);
        grupos->FieldByName("NIVEL")->SetAsString(c->second.Nivel);
        grupos->FieldByName("CURSO")->SetAsString(c->second.Curso);
        grupos->FieldByName("GRUPO")->SetAsString(grupo);
        grupos->FieldByName("TNC")->SetAsString(tipgrup->FieldByName("TNC")->AsString());
        grupos->FieldByName("TNCG")->SetAsString(tncg);
        grupos->Post();
        hechos.insert(grupos->FieldByName("TNCG")->AsString());
    }
}
