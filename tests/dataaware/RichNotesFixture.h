#pragma once
// The rich edit's tests: a table "notas" whose memo field TEXTO holds rich
// text in row 1 and plain text in row 2, shown on a form by a TwwDBRichEdit.
#include <vector>

#include "GridFixture.h"
#include "dataaware/Wwdatsrc.h"
#include "dataaware/Wwtable.h"
#include "dataaware/wwriched.h"
#include "platform/db/Fields.h"

inline const char* const RichNote = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard Hola {\\b mundo}\\par}";

class RichNotesFixture : public GridFixture {
protected:
    void SetUp() override {
        GridFixture::SetUp();
        CreateTable("notas", {{"N", ftFloat}, {"NOMBRE", ftString, 20}, {"TEXTO", ftMemo}}, {{"N", "N"}});
        AddRows("notas", {{{"N", "1"}, {"NOMBRE", "Ana"}, {"TEXTO", RichNote}},
                          {{"N", "2"}, {"NOMBRE", "Luis"}, {"TEXTO", "llano"}}});
        Frm = NewPlainForm("NotasForm", 400, 240);
        Shown = Frm;
        Table = NewComponent<TwwTable>(Frm);
        Table->SetDatabaseName("Zelmor");
        Table->SetTableName("notas");
        Table->SetIndexName("N");
        Source = NewComponent<TwwDataSource>(Frm);
        Source->SetDataSet(Table);
        Edit = NewComponent<TwwDBRichEdit>(Frm);
        Edit->SetBounds(8, 8, 380, 200);
        Edit->SetParent(Frm);
    }
    void TearDown() override {
        for (TForm* F : Others) F->Free();
        GridFixture::TearDown();
    }
    // Another form, freed when the test ends.
    TForm* OtherForm(const char* Name) { return Others.emplace_back(NewPlainForm(Name, 300, 200)); }
    void Bind(const char* Field, bool AutoDisplay = true) {
        Edit->SetAutoDisplay(AutoDisplay);
        Edit->SetDataSource(Source);
        Edit->SetDataField(Field);
        Table->Open();
        Frm->Show();
        Idle();
    }
    // What the table holds on disk for row N.
    AnsiString Stored(int N) {
        TwwTable* Other = NewWwTable("notas", "N");
        Other->Open();
        Other->First();
        while (!Other->Eof() && Other->FieldByName("N")->AsInteger() != N) Other->Next();
        AnsiString Text = Other->FieldByName("TEXTO")->AsString();
        Other->Close();
        return Text;
    }
    TForm* Frm = nullptr;
    TwwTable* Table = nullptr;
    TwwDataSource* Source = nullptr;
    TwwDBRichEdit* Edit = nullptr;
    std::vector<TForm*> Others;
};
