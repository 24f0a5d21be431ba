#pragma once
// The organizer's dialog: the options and numbering of a run, its three run
// buttons, the progress of the run under way with its clock, "&Parar" and
// "&Salir". It is the organizer's view while it is shown: the run calls it
// back with its texts and lets it handle its messages at every refresh, so
// that the clock moves and "&Parar" acts while the search goes on.
//
// The run goes on inside the click of its button. A request to close the
// dialog while it runs (its close box, Alt+F4, the window manager) only
// sets the modal result, which the modal loop reads once the click has
// returned: the dialog closes after the run, never under it. Esc finds no
// cancel button here, and "&Salir" is hidden while a run goes on; pressed
// after "&Parar" it closes once the stopped run has returned.
#include "organizer/Organizar.h"
#include "platform/ui/Forms.h"

class TAppState;
class TCheckBox;
class TLabel;
class TOvcClock;
class TOvcController;
class TRadioGroup;
class TfcImageBtn;
class TfcLabel;

// The options of the runs: shown when a dialog opens, taken when it closes,
// kept until the program ends (never stored).
extern TOpcionesOrganizar OpcionesOrganizar;

class TFormOrganizar : public TForm, public IVistaOrganizar {
    ZELMOR_CLASS(TFormOrganizar, TForm)
public:
    using TForm::TForm;
    ~TFormOrganizar() override;
    static void DescribeProperties(TPropertyTable& T);

    TfcLabel* LabTextoGen = nullptr;
    TfcLabel* fcLabel2 = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* LabMemDisp = nullptr;
    TLabel* Label2 = nullptr;
    TLabel* Label3 = nullptr;
    TLabel* LabTotAlum = nullptr;
    TLabel* Label4 = nullptr;
    TLabel* LabActAlum = nullptr;
    TLabel* Label5 = nullptr;
    TLabel* LabSinColAlum = nullptr;
    TLabel* Label6 = nullptr;
    TfcImageBtn* BOrganizarTodos = nullptr;
    TfcImageBtn* BOrganizarNoCol = nullptr;
    TfcImageBtn* BOrganizarActual = nullptr;
    TfcImageBtn* BParar = nullptr;
    TfcImageBtn* BSalir = nullptr;
    TOvcController* OvcController1 = nullptr;
    TOvcClock* OvcClockTotal = nullptr;
    TCheckBox* CBOptimos = nullptr;
    TCheckBox* CBOpciones = nullptr;
    TRadioGroup* RGGru = nullptr;
    TRadioGroup* RGDiv = nullptr;
    TRadioGroup* RGCon = nullptr;

    // The dialog for one invocation of the organizer: shows the options
    // kept, offers "&Todos" only as the session says, runs modally and
    // answers the options it shows when it has closed.
    TOpcionesOrganizar Muestra(ISesionOrganizar& Sesion, const TAppState& Estado);
    bool Ejecutando() const { return FEjecutando; }
    // The options the check boxes and radio groups show now.
    TOpcionesOrganizar TomaOpciones() const;

    // --- the organizer's view ---
    void TextoGeneral(const AnsiString& Texto) override;
    void TotalAlumnos(const AnsiString& Texto) override;
    void AlumnoActual(const AnsiString& Texto) override;
    void SinColocar(const AnsiString& Texto) override;
    void Memoria(const AnsiString& Texto) override;
    void ProcesaMensajes() override;
    bool PararPedido() override { return FPararPedido; }
    void Pitido() override;

    // --- handlers ---
    void FormCreate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void BOrganizarTodosClick(TObject* Sender);
    void BPararClick(TObject* Sender);
    void BSalirClick(TObject* Sender);

private:
    void PonOpciones(const TOpcionesOrganizar& Opciones);
    void MuestraFin();

    ISesionOrganizar* FSesion = nullptr;
    bool FEjecutando = false;
    bool FPararPedido = false;
};

extern TFormOrganizar* FormOrganizar;
