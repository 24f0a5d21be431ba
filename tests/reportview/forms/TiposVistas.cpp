#include "TiposVistas.h"

#include "organizer/MotorTipos.h"
#include "organizer/TablasTipos.h"
#include "platform/db/Fields.h"
#include "platform/ui/ExtCtrls.h"
#include "shell/SchoolTables.h"
#include "tests/organizer/TiposFilasPrueba.h"

ZELMOR_IMPLEMENT_COMPONENT(TTiposVistasForm, TForm)

void TTiposVistasForm::DescribeProperties(TPropertyTable& T) {
    using F = TTiposVistasForm;
    T.Field("TTipos", &F::TTipos);
    T.Field("TTipGrup", &F::TTipGrup);
    T.Field("TConex", &F::TConex);
    T.Field("OvcController1", &F::OvcController1);
    T.Field("ODBRVTipos", &F::ODBRVTipos);
    T.Field("ODBRVTipGrup", &F::ODBRVTipGrup);
    T.Field("ODBRVConex", &F::ODBRVConex);
    T.Field("OvcViewComboBox1", &F::OvcViewComboBox1);
    T.Field("OvcViewComboBox2", &F::OvcViewComboBox2);
    T.Handler("TTipGrupCalcFields", &F::TTipGrupCalcFields);
    T.Handler("ODBRVTiposEnumerate", &F::ODBRVTiposEnumerate);
}

void TTiposVistasForm::TTipGrupCalcFields(TDataSet* DataSet) {
    for (const char* suffix : {"", "1", "2", "3"})
        DataSet->FieldByName(AnsiString("ASIGSDC") + suffix)
            ->SetAsString(DataSet->FieldByName(AnsiString("ASIGSDCM") + suffix)->AsString());
}

void TTiposVistasForm::ODBRVTiposEnumerate(TObject*, bool&, void*) {
    TTipos->Edit();
    TTipos->FieldByName("SELEC")->SetAsBoolean(true);
    TTipos->Post();
}

void TTiposVistasForm::Rebuild(TTable* Table, TOvcDbReportView* View) {
    Table->Close();
    Table->Open();
    View->BeginUpdate();
    View->EndUpdate();
    View->ExpandAll(false);
}

void RegisterTiposVistas() {
    RegisterDBClasses();
    RegisterExtControls();
    RegisterClass(TTiposVistasForm::StaticClassInfo());
}

using namespace tipos_prueba;

// One course, DESO4, with twelve students over LEN, MAT, FRA or ALE, TEC or
// MUS; its subtypes counted by the types engine and two of them moved into
// groups A and B, which makes types in groups and connections.
void MakeTiposSchool() {
    CreaTablasNuevas("Zelmor");
    {
        auto t = OpenTempTable("Zelmor", "cursos");
        t->Append();
        for (auto [f, v] : {std::pair{"TURNO", "D"},
                            {"NIVEL", "ESO"},
                            {"CURSO", "4"},
                            {"TNC", "DESO4"},
                            {"ABREV", "4E"},
                            {"NGRUP", "2"}})
            t->FieldByName(f)->SetAsString(v);
        t->Post();
    }
    {
        auto t = OpenTempTable("Zelmor", "asigcur");
        for (const char* a : {"LEN", "MAT", "FRA", "ALE", "TEC", "MUS"}) {
            t->Append();
            for (auto [f, v] : {std::pair{"TNC", "DESO4"},
                                {"HORAS", "3"},
                                {"CUENTA", "T"},
                                {"NDIV", "2"},
                                {"MAXALUM", "30"},
                                {"NPROF", "1"},
                                {"BLOPT", "1"},
                                {"NASALUM", "1"}})
                t->FieldByName(f)->SetAsString(v);
            t->FieldByName("ASIG")->SetAsString(a);
            t->FieldByName("TIPO")->SetAsString(AnsiString(a) == "LEN" || AnsiString(a) == "MAT" ? "2" : "1");
            t->Post();
        }
    }
    std::vector<TFilaAlumno> students;
    const char* languages[] = {"FRA", "ALE"};
    const char* options[] = {"TEC", "MUS"};
    for (int i = 0; i < 12; ++i) {
        TFilaAlumno a =
            Alu(i % 4 == 3 ? "B" : "A", i == 5, {"LEN", "MAT", languages[i % 2], options[(i / 2) % 2]});
        a.NOMBRE = Format("Alumno %d", {i});
        students.push_back(a);
    }
    Sincroniza(*OpenTempTable("Zelmor", "alum"), {}, students);
    TMotorTipos motor("Zelmor", "DESO4");
    motor.Abre();
    motor.RecuentaTipos([] { return TBorrarTipos::Borrar; });
    std::vector<TFilaSubtipo> subtypes = LeeSubtipos(*OpenTempTable("Zelmor", "tipos2"));
    if (subtypes.size() < 3) throw Exception("The sample school has too few subtypes");
    motor.TrasladaSubtipoAGrupo(subtypes[0].N, subtypes[0].NALUM, "A");
    motor.TrasladaSubtipoAGrupo(subtypes[1].N, 1, "B");
}
