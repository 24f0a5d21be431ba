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

// A table's rows in record order: field name to text.
using TFilasTabla = std::vector<std::map<std::string, std::string>>;
TFilasTabla FilasDe(const AnsiString& Carpeta, const AnsiString& Tabla);

class TiposFixture : public ScreensFixture {
protected:
    void SetUp() override;

    // The sample school as folder Nombre of the program folder, opened as the
    // data folder; its first course selected.
    void AbreCarpeta(const std::string& Nombre = "ejemplo");
    // "&Ir a ...", "&5 - ...": the types screen.
    TTiposForm* AbreTipos();
    // A click on line Linea of a view (from its first line on screen).
    void PulsaLinea(TOvcDbReportView* V, int Linea);

    TControlaForm* F = nullptr;
    TAppState* Estado = nullptr;
    AnsiString Carpeta;  // "C:\ZELMOR\ejemplo"
};
