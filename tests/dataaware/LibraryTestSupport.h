#pragma once
// The data-aware library as the program runs it: an application object, the
// off-screen display and the library started (DefaultIntl in place) for the
// life of the object.
#include <memory>

#include "dataaware/DataAware.h"

class TLibraryScope {
public:
    TLibraryScope();
    ~TLibraryScope();
    TLibraryScope(const TLibraryScope&) = delete;
    TLibraryScope& operator=(const TLibraryScope&) = delete;
};

#include "db/DatasetFixture.h"

class TwwTable;

// The data-set machine with the library started, and a small school: the
// table "alum" (N, NOMBRE, ABREV, TNC, NOTA, ASIG, OBS memo; tags NOMBREI
// ignoring case, NOMAB on NOMBRE;ABREV, NOTAD descending, N, TNC) and the
// lookup table "asig" (CODIGO, NOMBRE, HORAS; tag CODIGO).
class DataAwareFixture : public DatasetFixture {
protected:
    void SetUp() override;
    void TearDown() override;
    void MakeSchool();
    // A library table owned by the form on "Zelmor".
    TwwTable* NewWwTable(const AnsiString& TableName, const AnsiString& IndexName = "");

private:
    std::unique_ptr<TLibraryScope> FLibrary;
};
