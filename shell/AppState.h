#pragma once
// The application state the main window holds for the whole run: where the
// program and the open data folder are, the current step, the selected
// course, the grid table the menu works on, the line clipboard and the one
// database every data folder is opened as. Every routine of the school data
// reads and writes it here; the main window owns it.
#include "platform/classes/Component.h"

class TDatabase;
class TTable;

// The caption of the program's own message boxes.
inline constexpr const char* TituloAtencion = "Atenci\xF3n";
// A refusal or a warning: "Atención", an OK button, no icon.
void Aviso(const AnsiString& Texto);
// A question with OK and Cancel; only OK goes on.
bool Pregunta(const AnsiString& Texto);

// The program folder: the current folder with its trailing "\". Raises
// EInvalidOperation when it is longer than 259 characters with it.
AnsiString CarpetaProgramaActual();

class TAppState : public TComponent {
    ZELMOR_CLASS(TAppState, TComponent)

public:
    explicit TAppState(TComponent* AOwner);

    // The program folder (the current folder at start) and the open data
    // folder, each with a trailing "\" and at most 259 characters; an empty
    // CarpetaDatos means that no folder is open.
    AnsiString CarpetaPrograma;
    AnsiString CarpetaDatos;
    // The folder the captions name: the last folder that was accepted.
    AnsiString RutaDatos;
    int Paso = 0;
    // The selected course; an empty TNCSeleccionado means none. A new data
    // folder keeps it: the screens then show that key's rows there, if any.
    AnsiString Turno, Nivel, Curso, TNCSeleccionado;
    // The N a line inserted or brought back from the grid menu takes.
    int NLinea = 0;
    // Whether the grid menu offers "&Recuperar línea": off only after a
    // "&Suprimir línea" on an empty table, on again with the next line moved.
    bool RecuperaActivo = true;

    // Start of the run: the program folder is the current folder
    // (CarpetaProgramaActual, which may raise), no folder open, step 0.
    void Inicia();

    // The database component, named "Zelmor" once a folder is opened.
    TDatabase* Database() const { return FDatabase; }
    // Closes the database and opens it again on the folder (a Windows path,
    // with or without its trailing "\"). The clipboard table goes with it.
    void ApuntaBaseDatos(const AnsiString& Carpeta);

    // The table of the grid that last received the focus: the target of the
    // grid menu. It is forgotten when that table is freed with its screen.
    TTable* TablaActual() const { return FTablaActual; }
    void SetTablaActual(TTable* Value);
    // The line clipboard's table; null until a line is first moved into it.
    TTable* TablaDeposito() const { return FTablaDeposito; }
    TTable* CreaTablaDeposito();

    // True when a data folder is open (or step 1 is the one being opened);
    // otherwise says so in a message box and answers false.
    bool HayCarpetaDatos();
    // True when a course is selected; otherwise says so and answers false.
    bool HayCursoSeleccionado();
    // The message for exhausted memory, "MEMORIA INSUFICIENTE " and the tag
    // naming the place; gives the box's answer and stops nothing.
    int MemInsuf(const AnsiString& Tag);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TDatabase* FDatabase = nullptr;
    TTable* FTablaActual = nullptr;
    TTable* FTablaDeposito = nullptr;
};
