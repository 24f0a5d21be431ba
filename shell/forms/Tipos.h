#pragma once
// Step 5: the types screen. The subtypes of the selected course grouped into
// types, their totals and the connections above; the button bar; the types
// in groups with the totals of the focused group below, past a divider the
// user drags. Everything it does to the tables is the types engine's
// (organizer/MotorTipos.h): the screen closes its three tables before a
// routine that changes them, then opens them again and rebuilds its views
// collapsed to one line per group.
//
// It is modeless; the step machine makes it and frees it. Closing it, by
// whatever road (leaving the step, the main window's "&Salir", its own close
// box), merges the working copies back once; a later close changes nothing.
// When another program refuses the merge, the user is asked whether to drop
// the work; if not, the close is refused (the screen, and the step, stay)
// and the next close tries again.
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/ui/Forms.h"

class TAppState;
class TButton;
class TCheckBox;
class TDataSet;
class TDataSource;
class TLabel;
class TMotorTipos;
class TOvcController;
class TOvcDbReportView;
class TOvcSplitter;
class TOvcViewComboBox;
class TPanel;
class TStringGrid;
class TwwTable;
struct TOfertaTraslado;

class TTiposForm : public TForm {
    ZELMOR_CLASS(TTiposForm, TForm)
public:
    explicit TTiposForm(TComponent* AOwner);
    ~TTiposForm() override;
    static void DescribeProperties(TPropertyTable& T);

    TwwTable* TTipos = nullptr;
    TwwTable* TTipGrup = nullptr;
    TwwTable* TConex = nullptr;
    TDataSource* DSTipos = nullptr;
    TDataSource* DSTipGrup = nullptr;
    TDataSource* DSConex = nullptr;
    TOvcController* OvcController1 = nullptr;
    TOvcSplitter* OvcSplitter1 = nullptr;
    TOvcDbReportView* ODBRVTipos = nullptr;
    TOvcDbReportView* ODBRVTipGrup = nullptr;
    TOvcDbReportView* ODBRVConex = nullptr;
    TStringGrid* SGTipos = nullptr;
    TStringGrid* SGTipGrup = nullptr;
    TPanel* PBotones = nullptr;
    TButton* BCalcularTipos = nullptr;
    TButton* BTrasladarAbajo = nullptr;
    TButton* BTrasladarArriba = nullptr;
    TButton* BEditarTipos = nullptr;
    TButton* BEditarTipGrup = nullptr;
    TButton* BOrgAuto = nullptr;
    TLabel* LabVistasTipos = nullptr;
    TLabel* LabVistasGrupos = nullptr;
    TOvcViewComboBox* OvcViewComboBox1 = nullptr;
    TOvcViewComboBox* OvcViewComboBox2 = nullptr;
    TCheckBox* CBMostrarComunes = nullptr;
    TCheckBox* CBOpcion = nullptr;
    TCheckBox* CBRepite = nullptr;

    // The step machine's opening, once the screen is made: the working
    // copies of the state's course filled and classified under the wait
    // window, the views built collapsed.
    void Abre(const TAppState& Estado);

    // The engine of the screen's working copies: the organizer reads the
    // lists and the types in groups through it.
    TMotorTipos& Motor() const { return *FMotor; }
    // The organizer's dialog is shown from this screen: it cannot close now.
    bool Organizando() const { return FOrganizando; }

    // --- recomputations ---
    void TotalesTipos();
    void TotalesGrupo();

    // --- handlers ---
    void FormCreate(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void TTiposBeforePost(TDataSet* DataSet);
    void TTiposNewRecord(TDataSet* DataSet);
    void TTipGrupCalcFields(TDataSet* DataSet);
    void ODBRVTiposDblClick(TObject* Sender);
    void ODBRVTipGrupDblClick(TObject* Sender);
    void ODBRVTiposEnter(TObject* Sender);
    void ODBRVTipGrupEnter(TObject* Sender);
    void ODBRVTipGrupMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void ODBRVTipGrupKeyUp(TObject* Sender, WORD& Key, TShiftState Shift);
    void ODBRVTiposEnumerate(TObject* Sender, bool& Stop, void* UserData);
    void BRecontarClick(TObject* Sender);
    void BAbajoClick(TObject* Sender);
    void BArribaClick(TObject* Sender);
    void CBMostrarComunesClick(TObject* Sender);
    void BOrgAutoClick(TObject* Sender);

private:
    void CierraTablas();
    // Opens the three tables again and rebuilds their views; the types' and
    // the types-in-group's collapsed to one line per group, the
    // connections' too when PliegaConexiones (after the organizer; the
    // editors and moves only rebuild the connections' view).
    void Reconstruye(bool PliegaConexiones = false);
    bool PideTraslado(const std::optional<TOfertaTraslado>& Oferta, int& Numero, AnsiString& Grupo);
    void Traslada(const std::function<bool()>& Movimiento);
    void MuestraEspera();
    void QuitaEspera();
    // Makes the editor with the screen as owner, prepares it, shows it
    // modally and frees it; Global points to it meanwhile.
    template <class TEditor>
    void Edita(TEditor*& Global);

    const TAppState* FEstado = nullptr;
    std::unique_ptr<TMotorTipos> FMotor;
    std::vector<int> FSeleccion;
    bool FOrganizando = false;
    bool FEditando = false;
};

extern TTiposForm* TiposForm;
