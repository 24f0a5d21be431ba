#include "FormTestSupport.h"

#include <fstream>
#include <iterator>

TTestForm::TTestForm() : FRoot(NewComponent<TFmRoot>(nullptr)) {
    RegisterFormTestClasses();
    FormLog().clear();
}

TTestForm::~TTestForm() { FRoot->Free(); }

TFmRoot* TTestForm::Form() const { return dynamic_cast<TFmRoot*>(FRoot); }

void TTestForm::Read(std::string_view Text, std::string_view Source) {
    ReadComponentFromText(FRoot, Text, Source);
}

AnsiString ReadFixture(std::string_view Name) {
    std::string path = std::string(ZELMOR_SOURCE_DIR) + "/tests/classes/fixtures/" + std::string(Name);
    std::ifstream in(path, std::ios::binary);
    if (!in) throw EFOpenError("Cannot open fixture " + path);
    return AnsiString(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

AnsiString ErrorOf(const std::function<void()>& Action) {
    try {
        Action();
    } catch (const Exception& e) {
        return e.ClassName() + AnsiString(": ") + e.Message();
    }
    return "no error";
}
