#include "shell/AppState.h"

#include "platform/db/Database.h"
#include "platform/db/Table.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/Dialogs.h"
#include "platform/sys/Paths.h"
#include "shell/SchoolTables.h"

ZELMOR_IMPLEMENT_CLASS(TAppState, TComponent)

namespace {
// The tag of MemInsuf travels in a fixed buffer of the organizer.
constexpr size_t LargoEtiquetaMemoria = 58;
}  // namespace

TAppState::TAppState(TComponent* AOwner) : TComponent(AOwner) {
    FDatabase = NewComponent<TDatabase>(this);
    FDatabase->SetSessionName("Default");
}

AnsiString CarpetaProgramaActual() {
    // A drive root already ends in "\": one is enough there too.
    AnsiString programa = IncludeTrailingBackslash(GetCurrentDir());
    // Every data folder is named under it within the same 259 characters.
    if (programa.size() > static_cast<size_t>(MAX_PATH_LENGTH))
        throw EInvalidOperation("La carpeta del programa " + programa +
                                " es demasiado larga: con su \"\\\" final no puede pasar de " +
                                IntToStr(MAX_PATH_LENGTH) + " caracteres.");
    return programa;
}

void TAppState::Inicia() {
    CarpetaPrograma = CarpetaProgramaActual();
    CarpetaDatos.clear();
    Paso = 0;
}

void TAppState::ApuntaBaseDatos(const AnsiString& Carpeta) {
    FDatabase->Close();
    FDatabase->SetDatabaseName(NombreBaseDatos);
    FDatabase->SetDriverName("STANDARD");
    FDatabase->Params()->Clear();
    FDatabase->Params()->Add("Path=" + Carpeta);
    FDatabase->Open();
}

void TAppState::SetTablaActual(TTable* Value) {
    if (FTablaActual == Value) return;
    if (FTablaActual) FTablaActual->RemoveFreeNotification(this);
    FTablaActual = Value;
    if (FTablaActual) FTablaActual->FreeNotification(this);
}

TTable* TAppState::CreaTablaDeposito() {
    if (!FTablaDeposito) FTablaDeposito = NewComponent<TTable>(this);
    return FTablaDeposito;
}

void TAppState::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FTablaActual) FTablaActual = nullptr;
    if (AComponent == FTablaDeposito) FTablaDeposito = nullptr;
    if (AComponent == FDatabase) FDatabase = nullptr;
}

void Aviso(const AnsiString& Texto) { MessageBox(Texto, TituloAtencion, MB_OK); }

bool Pregunta(const AnsiString& Texto) { return MessageBox(Texto, TituloAtencion, MB_OKCANCEL) == IDOK; }

bool TAppState::HayCarpetaDatos() {
    if (Paso == 1 || !CarpetaDatos.empty()) return true;
    Aviso("Antes de continuar debe importar o seleccionar una carpeta de datos");
    return false;
}

bool TAppState::HayCursoSeleccionado() {
    if (!TNCSeleccionado.empty()) return true;
    Aviso("Antes de continuar debe seleccionar un Curso");
    return false;
}

int TAppState::MemInsuf(const AnsiString& Tag) {
    return MessageBox("MEMORIA INSUFICIENTE " + Tag.substr(0, LargoEtiquetaMemoria), TituloAtencion,
                      MB_OK | MB_ICONEXCLAMATION);
}
