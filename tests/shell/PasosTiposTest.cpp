// Steps 5 to 7 on the sample school by clicks and keys: the types screen,
// "&Calcular Tipos", a type moved into group "A" with the move dialog and
// the group moved back, a subject added to a subtype in the subtype editor
// through its lookup dialog, "&Org. Automática", "&Todos" and "&Salir" in
// the organizer's dialog, a connection typed in the type-in-group editor,
// "&Siguiente" to the placing dialog, "&Colocar", and on to step 7. The same
// operations are then done on a second copy of the school by calling the
// logic, and every table must come out the same. Pictures of the types
// screen and of the organizer's dialog are compared with the references
// kept here; those of the editors and the lookup dialog are saved.
#include <gtest/gtest.h>

#include <set>

#include "TiposFixture.h"
#include "buttons/fcImgBtn.h"
#include "buttons/fcLabel.h"
#include "buttons/fcShapeBtn.h"
#include "dataaware/Wwdbgrid.h"
#include "dataaware/Wwkeycb.h"
#include "dataaware/Wwtable.h"
#include "dataaware/wwidlg.h"
#include "organizer/Colocar.h"
#include "organizer/MotorTipos.h"
#include "organizer/OrgTablas.h"
#include "platform/db/Fields.h"
#include "platform/ui/Grids.h"
#include "platform/ui/Spin.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/Timers.h"
#include "reportview/OvcDbRpV.h"
#include "shell/AppState.h"
#include "shell/StepMachine.h"
#include "shell/forms/Colocar.h"
#include "shell/forms/Controla.h"
#include "shell/forms/EdiTipGrup.h"
#include "shell/forms/EdiTipos.h"
#include "shell/forms/Organizar.h"
#include "shell/forms/Tipos.h"
#include "shell/forms/Trasladar.h"
#include "tests/support/ReferencePicture.h"

namespace {

class PasosTipos : public TiposFixture {};

TEST_F(PasosTipos, FromTheTypesToTheStudentsWithGroupsByClicksAsTheLogicDoes) {
    AbreCarpeta("directo");
    const AnsiString directo = Carpeta;
    AbreCarpeta("ejemplo");
    OpcionesOrganizar = TOpcionesOrganizar{};
    const AnsiString tnc = Estado->TNCSeleccionado;

    TTiposForm* T = AbreTipos();
    ASSERT_NE(T, nullptr);
    const bool habiaTipos = !T->TTipos->IsEmpty() || !T->TTipGrup->IsEmpty();
    if (habiaTipos) Responde("Yes");  // "Borrar tipos?"
    Pulsa(T->BCalcularTipos);
    Ui.RunUntilIdle();
    ASSERT_FALSE(T->TTipos->IsEmpty());
    Guarda(T, "10-tipos");

    // The first type into group "A", all its students; the group back.
    PulsaLinea(T->ODBRVTipos, 0);
    const int nTipo = StrToInt(
        T->ODBRVTipos->GetFieldAsString(T->ODBRVTipos->GetGroupElement(T->ODBRVTipos->GetCurrentGroup()), 0));
    int ofrecido = 0;
    Pulsa(T->BTrasladarAbajo);
    Luego([&](TCustomForm* D) {
        auto* d = static_cast<TTrasladarForm*>(D);
        EXPECT_EQ(d->Caption(), "Trasladar Tipo a Grupo");
        EXPECT_TRUE(d->EdGrupo->Visible());
        ofrecido = d->SENumero->Value();
        Guarda(D, "11-trasladar");
        Ui.Click(d->EdGrupo);
        Ui.Type("A");
        Ui.Key(VK_RETURN);
    });
    Ui.RunUntilIdle();
    ASSERT_GT(ofrecido, 0);
    ASSERT_FALSE(T->TTipGrup->IsEmpty());
    PulsaLinea(T->ODBRVTipGrup, 0);
    const int nFila = StrToInt(T->ODBRVTipGrup->GetFieldAsString(
        T->ODBRVTipGrup->GetGroupElement(T->ODBRVTipGrup->GetCurrentGroup()), 0));
    EXPECT_EQ(T->SGTipGrup->Cells(0, 1), "Total") << "the focused group's totals";
    int ofrecidoGrupo = 0;
    Pulsa(T->BTrasladarArriba);
    Luego([&](TCustomForm* D) {
        auto* d = static_cast<TTrasladarForm*>(D);
        EXPECT_EQ(d->Caption(), "Trasladar Grupo a Tipos");
        EXPECT_FALSE(d->EdGrupo->Visible());
        ofrecidoGrupo = d->SENumero->Value();
        Ui.Click(D, "BOK");
    });
    Ui.RunUntilIdle();
    EXPECT_EQ(ofrecidoGrupo, ofrecido);
    EXPECT_TRUE(T->TTipGrup->IsEmpty()) << "the group's rows went back with all their students";
    T->ODBRVTipos->ExpandAll(false);
    Ui.RunUntilIdle();
    EXPECT_TRUE(MatchesReferencePicture(Ui.Picture(T), ZELMOR_SOURCE_DIR "/tests/shell/reference/tipos.png"));

    // The subtype editor, by double clicks on the first type (the first
    // unfolds it, the second opens its first subtype): a subject of the
    // course that the type's first subtype lacks, chosen in the lookup
    // dialog, goes into its first free slot.
    std::vector<std::string> asignaturas;
    for (const auto& f : FilasDe(Carpeta, "asigcur"))
        if (f.at("TNC") == ToUtf8(tnc)) asignaturas.push_back(f.at("ASIG"));
    int nSubtipo = 0;
    std::string hueco, asignatura;
    AbreEditor(T->ODBRVTipos);
    Luego([&](TCustomForm* D) {
        auto* e = dynamic_cast<TEdiTiposForm2*>(D);
        ASSERT_NE(e, nullptr);
        Guarda(e, "15-editor-subtipos");
        TDataSet* t = e->wwTableTipos;
        nSubtipo = t->FieldByName("N")->AsInteger();
        std::set<std::string> tiene;
        for (int k = 1; k <= 20; ++k) {
            const std::string campo = "ASIG" + std::to_string(k);
            const std::string v = ToUtf8(Trim(t->FieldByName(campo)->AsString()));
            if (v.empty() && hueco.empty()) hueco = campo;
            tiene.insert(v);
        }
        for (const auto& a : asignaturas)
            if (asignatura.empty() && !tiene.count(a)) asignatura = a;
        ASSERT_FALSE(hueco.empty());
        ASSERT_FALSE(asignatura.empty());
        // The cell's lookup dialog (Alt+Down), its search typed and left
        // to run after its pause, Enter.
        PulsaCelda(e->wwDBGridTipGrup, hueco.c_str(), 1);
        Ui.Key(VK_DOWN, {ssAlt});
    });
    TwwLookupDlg* busca = nullptr;
    Luego([&](TCustomForm* D) {
        busca = dynamic_cast<TwwLookupDlg*>(D);
        ASSERT_NE(busca, nullptr);
        EXPECT_EQ(busca->Caption(), "Lookup");
        Guarda(busca, "15-editor-subtipos-lookup");
        Ui.Type(asignatura);
    });
    Luego([&](TCustomForm*) { Clock.Advance(busca->wwIncrementalSearch1->DelayTimer()->Interval()); });
    Luego([&](TCustomForm*) {
        EXPECT_EQ(ToUtf8(busca->DataSet->FieldByName("ASIG")->AsString()), asignatura);
        Ui.Key(VK_RETURN);
    });
    Luego([&](TCustomForm* D) {
        auto* e = dynamic_cast<TEdiTiposForm2*>(D);
        ASSERT_NE(e, nullptr) << "the editor again";
        EXPECT_EQ(ToUtf8(e->wwTableTipos->FieldByName(hueco)->AsString()), asignatura);
        Pulsa(e->BCerrar);
    });
    Ui.RunUntilIdle();
    ASSERT_EQ(Ui.StepsLeft(), 0u);

    // The organizer: "&Todos", then "&Salir"; the result is written back.
    Pulsa(T->BOrgAuto);
    std::string finOrganizar;
    Luego([&](TCustomForm* D) {
        auto* o = dynamic_cast<TFormOrganizar*>(D);
        ASSERT_NE(o, nullptr);
        EXPECT_TRUE(o->BOrganizarTodos->Visible()) << "no type is in a group";
        EXPECT_EQ(o->Caption(),
                  "Generador de grupos   " + Estado->Turno + " " + Estado->Nivel + " " + Estado->Curso);
        EXPECT_TRUE(
            MatchesReferencePicture(Ui.Picture(o), ZELMOR_SOURCE_DIR "/tests/shell/reference/organizar.png"));
        Ui.Click(o->BOrganizarTodos);
    });
    Luego([&](TCustomForm* D) {
        auto* o = static_cast<TFormOrganizar*>(D);
        finOrganizar = ToUtf8(o->LabTextoGen->Caption());
        Guarda(o, "12-organizar");
        Ui.Click(o->BSalir);
    });
    Ui.RunUntilIdle();
    EXPECT_NE(finOrganizar.find("F I N"), std::string::npos) << finOrganizar;
    EXPECT_FALSE(T->TTipGrup->IsEmpty()) << "the organizer's groups are on the screen";
    Guarda(T, "13-tipos-organizados");

    // The type-in-group editor, by double clicks on the first group: its
    // first row's first connection.
    int nEnGrupo = 0;
    AbreEditor(T->ODBRVTipGrup);
    Luego([&](TCustomForm* D) {
        auto* e = dynamic_cast<TEdiTipGrupForm2*>(D);
        ASSERT_NE(e, nullptr);
        Guarda(e, "16-editor-tipos-en-grupos");
        nEnGrupo = e->wwTableTipGrup->FieldByName("N")->AsInteger();
        PulsaCelda(e->wwDBGridTipGrup, "CON1", 1);
        Ui.Type("9");
        Ui.Key(VK_RETURN);
        Pulsa(e->BCerrar);
    });
    Ui.RunUntilIdle();
    ASSERT_EQ(Ui.StepsLeft(), 0u);
    ASSERT_GT(nEnGrupo, 0);

    // "&Siguiente": the merge, the placing dialog, "&Colocar", step 7.
    Pulsa(F->BSiguiente);
    Luego([&](TCustomForm* D) {
        ASSERT_NE(dynamic_cast<TColocarForm*>(D), nullptr);
        EXPECT_EQ(D->Caption(), TituloColocar(Estado->Turno, Estado->Nivel, Estado->Curso));
        Guarda(D, "14-colocar");
        Ui.Click(D, "BColocar");
    });
    Responde();  // "Proceso terminado"
    Ui.RunUntilIdle();
    EXPECT_EQ(Estado->Paso, PasoAlumnosConGrupos);
    ASSERT_GE(Mensajes.size(), 1u);
    EXPECT_EQ(Mensajes[0].rfind("Proceso terminado", 0), 0u) << Mensajes[0];

    // The same by the logic, on the other copy.
    {
        TMotorTipos m(directo, tnc);
        m.Abre();
        m.RecuentaTipos([] { return TBorrarTipos::Borrar; });
        ASSERT_TRUE(m.TrasladaTipoAGrupo(nTipo, ofrecido, "A"));
        ASSERT_TRUE(m.TrasladaGrupoATipos(nFila, ofrecido));
        auto cambia = [&](const char* Tabla, int N, const std::string& Campo, const std::string& Valor) {
            TTempTable t = OpenTempTable(directo, Tabla, "N");
            ASSERT_TRUE(t->FindKey({TVarRec(N)})) << Tabla << " " << N;
            t->Edit();
            t->FieldByName(Campo)->SetAsString(Valor);
            t->Post();
        };
        cambia("tipos2", nSubtipo, hueco, asignatura);
        m.ClasificaTipos();
        const TResumenOrganizar r = EjecutaOrganizar(m, {}, TOpcionesOrganizar{}, [](ISesionOrganizar& S) {
            S.Organiza(TModoOrganizar::Todos, TOpcionesOrganizar{});
            return TOpcionesOrganizar{};
        });
        EXPECT_TRUE(r.Escrito);
        cambia("tipgrup2", nEnGrupo, "CON1", "9");
        m.ClasificaTipos();
        m.CreaConexiones();
        m.MezclaTrabajo();
        PreparaColocar(directo, tnc);
        ColocaAlumnosDelCurso(directo, tnc);
    }
    for (const char* tabla : {"tipos", "tipgrup", "tipos2", "tipgrup2", "conex", "alum", "asigcur"}) {
        SCOPED_TRACE(tabla);
        TFilasTabla pantalla = FilasDe(Carpeta, tabla), logica = FilasDe(directo, tabla);
        ASSERT_EQ(pantalla.size(), logica.size());
        // Step 7's screen numbers the course's students anew in name order;
        // the logic alone leaves their numbers.
        if (std::string(tabla) == "alum")
            for (size_t i = 0; i < pantalla.size(); ++i) pantalla[i].erase("N"), logica[i].erase("N");
        for (size_t i = 0; i < pantalla.size(); ++i) EXPECT_EQ(pantalla[i], logica[i]) << "row " << i;
    }
    // The students of the course have their groups.
    int conGrupo = 0;
    for (const auto& a : FilasDe(Carpeta, "alum"))
        if (a.at("TNC") == ToUtf8(tnc) && !a.at("GRUPO").empty()) ++conGrupo;
    EXPECT_GT(conGrupo, 0);
}

}  // namespace
