#pragma once
// The main window: the application state for the whole run, the five step
// buttons, the step menu and the grid menu of the record screens. It is the
// only form made at start; every screen of a step is made by the step
// machine with it as owner and freed at the next move.
#include "platform/ui/Forms.h"
#include "shell/StepMachine.h"

class TAppState;
class TDraw3D;
class TLabel;
class TMenuItem;
class TPopupMenu;
class TRichEdit;
class TfcShapeBtn;
class TwwIntl;

class TControlaForm : public TForm, public TPantallasPasos {
    ZELMOR_CLASS(TControlaForm, TForm)
public:
    explicit TControlaForm(TComponent* AOwner);
    ~TControlaForm() override;
    static void DescribeProperties(TPropertyTable& T);

    TwwIntl* wwIntl1 = nullptr;
    TPopupMenu* PopupMenu1 = nullptr;
    TMenuItem* Inserta = nullptr;
    TMenuItem* Suprime = nullptr;
    TMenuItem* Recupera = nullptr;
    TPopupMenu* PopupMenuControla = nullptr;
    TMenuItem* MIDatos = nullptr;
    TMenuItem* MISelecCurso = nullptr;
    TMenuItem* MIAlumnos = nullptr;
    TMenuItem* MIAsiCur = nullptr;
    TMenuItem* MITipos = nullptr;
    TMenuItem* MIColocar = nullptr;
    TMenuItem* MIExportar = nullptr;
    TMenuItem* Nombresdelasasignaturas1 = nullptr;
    TMenuItem* Profesores1 = nullptr;
    TMenuItem* Grupos1 = nullptr;
    TMenuItem* Aulas1 = nullptr;
    TMenuItem* ListadosAlumnos = nullptr;
    TMenuItem* Salir1 = nullptr;
    TDraw3D* Draw3D1 = nullptr;
    TLabel* LabDorvanel = nullptr;
    TLabel* LabVersion = nullptr;
    TRichEdit* RichEdit1 = nullptr;
    TfcShapeBtn* BAnterior = nullptr;
    TfcShapeBtn* BSiguiente = nullptr;
    TfcShapeBtn* BIrA = nullptr;
    TfcShapeBtn* BAyuda = nullptr;
    TfcShapeBtn* BSalir = nullptr;

    // The application state: program and data folder, step, selected
    // course, the grid menu's table and clipboard, the database.
    TAppState& Estado() const { return *FEstado; }

    // --- the step machine ---
    // The step's screen is forgotten only once its close has succeeded: a
    // close that raises or is refused leaves it the step's, open.
    bool CierraPaso() override;
    TTrasPaso AbrePaso() override;
    bool HayCarpetaDatos();
    bool HayCursoSeleccionado();
    // "MEMORIA INSUFICIENTE " and the tag (at most 58 characters), with the
    // exclamation icon; gives the box's answer and stops nothing.
    int MemInsuf(const AnsiString& Tag);
    // The screen of the current step, or null (the welcome layout, a step
    // whose screen this version lacks).
    TCustomForm* PantallaDelPaso() const { return FPantalla; }

    // --- handlers ---
    void FormCreate(TObject* Sender);
    void FormActivate(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void BSiguienteClick(TObject* Sender);
    void BAnteriorClick(TObject* Sender);
    void BIrAClick(TObject* Sender);
    void BAyudaClick(TObject* Sender);
    void Salir1Click(TObject* Sender);
    void MIDatosClick(TObject* Sender);
    void MISelecCursoClick(TObject* Sender);
    void MIAlumnosClick(TObject* Sender);
    void MIAsiCurClick(TObject* Sender);
    void MITiposClick(TObject* Sender);
    void MIColocarClick(TObject* Sender);
    void MIExportarClick(TObject* Sender);
    void MINomAsgClick(TObject* Sender);
    void MIProfesClick(TObject* Sender);
    void MIGruposClick(TObject* Sender);
    void MIAulasClick(TObject* Sender);
    void MIListadosClick(TObject* Sender);
    void InsertaClick(TObject* Sender);
    void SuprimeClick(TObject* Sender);
    void RecuperaClick(TObject* Sender);

private:
    void Mueve(TMovimiento Movimiento, int PasoMenu = 0);
    void PasaATira();
    // Each step's opener: the one place where its screen is made and shown.
    TTrasPaso AbreDatos();
    TTrasPaso AbreCursos();
    TTrasPaso AbreAlumnos();
    TTrasPaso AbreAsigCur();
    TTrasPaso AbreTipos();
    TTrasPaso AbreColocar();
    TTrasPaso AbreExportar();
    TTrasPaso AbreNomAsg();
    TTrasPaso AbreProfes();
    TTrasPaso AbreGrupos();
    TTrasPaso AbreAulas();
    TTrasPaso AbreListados();
    // Shows a modeless step screen and keeps the machine on its step.
    TTrasPaso MuestraPantalla(TCustomForm* Pantalla);

    TAppState* FEstado = nullptr;
    TCustomForm* FPantalla = nullptr;
    // A move is under way (a modal step's dialog is open): the buttons wait,
    // and a request to leave closes the dialog first.
    bool FMoviendo = false;
    bool FSalirPedido = false;
    bool FTira = false;
};

extern TControlaForm* ControlaForm;
