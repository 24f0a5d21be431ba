#pragma once
// The types screen on the sample school, opened as the staff open it: the
// main window, the sample data folder open, its first course selected,
// "&Ir a ...", "&5 - Organizar los grupos".
#include <map>
#include <string>
#include <vector>

#include "ScreensFixture.h"

class TAppState;
class TOvcDbReportView;
class TTiposForm;
class TwwDBGrid;

// A table's rows in record order: field name to text.
using TFilasTabla = std::vector<std::map<std::string, std::string>>;
TFilasTabla FilasDe(const AnsiString& Carpeta, const AnsiString& Tabla);

class TiposFixture : public ScreensFixture {
protected:
    using ScreensFixture::ScreensFixture;
    void SetUp() override;

    // The sample school as folder Nombre of the program folder, opened as the
    // data folder; its first course selected.
    void AbreCarpeta(const std::string& Nombre = "ejemplo");
    // "&Ir a ...", "&5 - ...": the types screen.
    TTiposForm* AbreTipos();
    // A click on line Linea of a view (from its first line on screen).
    void PulsaLinea(TOvcDbReportView* V, int Linea);
    // A double click there.
    void DobleClicLinea(TOvcDbReportView* V, int Linea);
    // A double click on a collapsed view's first line unfolds it; one on
    // the line under it (its first row) opens the view's editor, modal:
    // the script's next step gets it.
    void AbreEditor(TOvcDbReportView* V);
    // A click in a grid's cell of Campo on data row Fila (from 1), the
    // grid focused first.
    void PulsaCelda(TwwDBGrid* G, const char* Campo, int Fila);
    // The grid column of Campo.
    static int Columna(TwwDBGrid* G, const char* Campo);
    // "&Calcular Tipos", answering "Borrar tipos?" with Yes when asked.
    void CalculaTipos(TTiposForm* T);
    // The first line of a collapsed view whose group has students.
    static int LineaConAlumnos(TOvcDbReportView* V);
    // Every student of the first type with students into a group, by the
    // move dialog.
    void TipoAGrupo(TTiposForm* T, const char* Grupo);

    TControlaForm* F = nullptr;
    TAppState* Estado = nullptr;
    AnsiString Carpeta;  // "C:\ZELMOR\ejemplo"
};
