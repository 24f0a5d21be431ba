// Field values through the data set and the file: each kind written, posted,
// read back by another table object; declared field lists; calculated and
// lookup fields; the texts of a field.
#include <gtest/gtest.h>

#include "DatasetFixture.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Strings.h"
#include "tests/support/OutsideTools.h"

namespace {
class FieldAccess : public DatasetFixture {
protected:
    void SetUp() override {
        DatasetFixture::SetUp();
        CreateTable("kinds", {{"STR", ftString, 5},
                              {"NUM", ftFloat},
                              {"SMALL", ftSmallint},
                              {"LOG", ftBoolean},
                              {"FEC", ftDate},
                              {"MEM", ftMemo}});
    }
    // Appends one row set by Step, then reads it back through a new table object.
    TTable* WriteAndReread(const std::function<void(TTable*)>& Step) {
        TTable* writer = NewTable("kinds");
        writer->Open();
        writer->Append();
        Step(writer);
        writer->Post();
        writer->Close();
        TTable* reader = NewTable("kinds");
        reader->Open();
        reader->Last();
        return reader;
    }
};

TEST_F(FieldAccess, ValuesRoundTripThroughTheFilePerKind) {
    struct TCase {
        const char* Field;
        std::function<void(TField*)> Set;
        AnsiString AsString;
        bool IsNull;
    };
    std::vector<TCase> cases = {
        {"STR", [](TField* f) { f->SetAsString("  ab  "); }, "  ab", false},  // trailing blanks are padding
        {"STR", [](TField* f) { f->SetAsString("abcdefgh"); }, "abcde", false},  // cut to the width
        {"STR", [](TField* f) { f->SetAsString(""); }, "", true},
        {"STR", [](TField* f) { f->SetAsString("\xE1\xF1o"); }, "\xE1\xF1o", false},  // Windows-1252 bytes
        {"NUM", [](TField* f) { f->SetAsFloat(2.5); }, "2,5", false},
        {"NUM", [](TField* f) { f->SetAsString("3,25"); }, "3,25", false},  // the regional separator
        {"NUM", [](TField* f) { f->SetAsString("-1"); }, "-1", false},
        {"NUM", [](TField*) {}, "", true},
        {"SMALL", [](TField* f) { f->SetAsInteger(-7); }, "-7", false},
        {"LOG", [](TField* f) { f->SetAsBoolean(true); }, "True", false},
        {"LOG", [](TField* f) { f->SetAsString("f"); }, "False", false},
        {"LOG", [](TField*) {}, "", true},
        {"FEC", [](TField* f) { f->SetAsDateTime(EncodeDate(2024, 3, 5)); }, "05/03/2024", false},
        {"FEC", [](TField* f) { f->SetAsString("7/1/2023"); }, "07/01/2023", false},
        {"MEM", [](TField* f) { f->SetAsString("linea 1\r\nlinea 2"); }, "linea 1\r\nlinea 2", false},
        {"MEM", [](TField*) {}, "", true},
    };
    for (const auto& c : cases) {
        TTable* reader = WriteAndReread([&](TTable* t) { c.Set(t->FieldByName(c.Field)); });
        TField* field = reader->FieldByName(c.Field);
        EXPECT_EQ(field->AsString(), c.AsString) << c.Field << " " << c.AsString;
        EXPECT_EQ(field->IsNull(), c.IsNull) << c.Field << " " << c.AsString;
        reader->Free();
    }
}

TEST_F(FieldAccess, EmptyNumbersAndLogicalsReadAsZeroAndFalse) {
    TTable* reader = WriteAndReread([](TTable*) {});
    EXPECT_EQ(reader->FieldByName("NUM")->AsFloat(), 0);
    EXPECT_EQ(reader->FieldByName("NUM")->AsInteger(), 0);
    EXPECT_EQ(reader->FieldByName("NUM")->DisplayText(), "");
    EXPECT_TRUE(reader->FieldByName("NUM")->Value().IsNull());
    EXPECT_FALSE(reader->FieldByName("LOG")->AsBoolean());
    EXPECT_EQ(reader->FieldByName("FEC")->AsDateTime(), 0);
    EXPECT_EQ(reader->FieldByName("MEM")->DisplayText(), "(Memo)");
}

TEST_F(FieldAccess, BadTextsAreRefusedAndChangeNothing) {
    TTable* table = NewTable("kinds");
    table->Open();
    table->Append();
    table->FieldByName("NUM")->SetAsFloat(4);
    EXPECT_THROW(table->FieldByName("NUM")->SetAsString("abc"), EConvertError);
    EXPECT_THROW(table->FieldByName("LOG")->SetAsString("quiza"), EConvertError);
    EXPECT_THROW(table->FieldByName("SMALL")->SetAsInteger(1234567), EDatabaseError);  // wider than the field
    EXPECT_EQ(table->FieldByName("NUM")->AsFloat(), 4);
    EXPECT_TRUE(table->FieldByName("SMALL")->IsNull());
}

TEST_F(FieldAccess, DefaultFieldsFollowTheFileAndTheTypeMap) {
    TTable* table = NewTable("kinds");
    table->Open();
    ASSERT_EQ(table->FieldCount(), 6);
    struct TExpect {
        const char* Name;
        const char* ClassName;
        TFieldType Type;
    };
    // Every N field reads as a float, whatever kind created it: a screen that
    // reads report fields by position relies on it.
    std::vector<TExpect> expected = {{"STR", "TStringField", ftString}, {"NUM", "TFloatField", ftFloat},
                                     {"SMALL", "TFloatField", ftFloat}, {"LOG", "TBooleanField", ftBoolean},
                                     {"FEC", "TDateField", ftDate},     {"MEM", "TMemoField", ftMemo}};
    for (int i = 0; i < 6; ++i) {
        TField* field = table->Fields()->Fields(i);
        EXPECT_EQ(field->FieldName(), expected[i].Name);
        EXPECT_EQ(field->ClassName(), expected[i].ClassName);
        EXPECT_EQ(field->DataType(), expected[i].Type);
        EXPECT_EQ(field->Owner(), table);
    }
    EXPECT_EQ(table->FieldByName("STR")->Size(), 5);
    EXPECT_TRUE(table->DefaultFields());
    table->Close();
    EXPECT_EQ(table->FieldCount(), 0);  // default fields go with the cursor
}

TEST_F(FieldAccess, DeclaredFieldsAreTheWholeListInTheirOwnOrder) {
    MakeStudents();
    TTable* table = NewTable("alumnos", "N");
    // Declared by the form before the table opens, in another order than the file.
    auto* tnc = NewComponent<TStringField>(Form);
    tnc->SetFieldName("TNC");
    tnc->SetSize(4);
    tnc->SetDataSet(table);
    auto* n = NewComponent<TFloatField>(Form);
    n->SetFieldName("N");
    n->SetDataSet(table);
    table->Open();
    EXPECT_FALSE(table->DefaultFields());
    ASSERT_EQ(table->FieldCount(), 2);
    EXPECT_EQ(table->Fields()->Fields(0), tnc);
    EXPECT_EQ(table->Fields()->Fields(1), n);
    EXPECT_EQ(table->FindField("NOMBRE"), nullptr);
    EXPECT_THROW(table->FieldByName("NOMBRE"), EDatabaseError);
    EXPECT_EQ(tnc->AsString(), "M1A");
    n->SetIndex(0);
    EXPECT_EQ(table->Fields()->Fields(0), n);
    table->Close();
    EXPECT_EQ(table->FieldCount(), 2);  // declared fields stay
}

TEST_F(FieldAccess, DeclaredFieldsThatDoNotFitTheFileAreRefused) {
    MakeStudents();
    TTable* table = NewTable("alumnos");
    auto* wrong = NewComponent<TFloatField>(Form);
    wrong->SetFieldName("NOMBRE");
    wrong->SetDataSet(table);
    EXPECT_THROW(table->Open(), EDatabaseError);
    EXPECT_FALSE(table->Active());
    wrong->SetFieldName("NOEXISTE");
    EXPECT_THROW(table->Open(), EDatabaseError);
}

TEST_F(FieldAccess, PositionalCopyIntoATableMadeFromTheDeclaredList) {
    // The line clipboard: a table made from a screen's declared fields (texts
    // keep their width, other kinds width 0) takes a row copied by position.
    MakeStudents();
    TTable* screen = NewTable("alumnos", "N");
    const std::vector<std::pair<const char*, TFieldType>> declared = {
        {"NOMBRE", ftString}, {"N", ftFloat}, {"ACTIVO", ftBoolean}, {"TNC", ftString}};
    for (const auto& [name, type] : declared) {
        TField* field = static_cast<TField*>(DefaultFieldClass(type)->Create(Form));
        field->SetFieldName(name);
        if (type == ftString) field->SetSize(name == AnsiString("TNC") ? 4 : 10);
        field->SetDataSet(screen);
    }
    screen->Open();
    TTable* deposito = NewTable("Deposito.dbf");
    for (int i = 0; i < screen->FieldCount(); ++i) {
        TField* field = screen->Fields()->Fields(i);
        deposito->FieldDefs()->Add(field->FieldName(), field->DataType(),
                                   field->DataType() == ftString ? field->Size() : 0);
    }
    deposito->CreateTable();
    deposito->Open();
    deposito->Append();
    for (int i = 0; i < screen->FieldCount(); ++i)
        deposito->Fields()->Fields(i)->SetValue(screen->Fields()->Fields(i)->Value());
    deposito->Post();
    ASSERT_EQ(deposito->FieldCount(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(deposito->Fields()->Fields(i)->FieldName(), screen->Fields()->Fields(i)->FieldName());
        EXPECT_EQ(deposito->Fields()->Fields(i)->DataType(), screen->Fields()->Fields(i)->DataType());
        EXPECT_EQ(deposito->Fields()->Fields(i)->DataSize(), screen->Fields()->Fields(i)->DataSize());
        EXPECT_EQ(deposito->Fields()->Fields(i)->AsString(), screen->Fields()->Fields(i)->AsString());
    }
}

TEST_F(FieldAccess, CalculatedFieldsLiveInTheRecordBuffer) {
    MakeStudents();
    TTable* table = NewTable("alumnos", "N");
    for (const char* name : {"N", "NOMBRE", "TNC"}) {
        TField* field = name == AnsiString("N") ? static_cast<TField*>(NewComponent<TFloatField>(Form))
                                                : static_cast<TField*>(NewComponent<TStringField>(Form));
        field->SetFieldName(name);
        if (field->DataType() == ftString) field->SetSize(10);
        field->SetDataSet(table);
    }
    auto* label = NewComponent<TStringField>(Form);
    label->SetFieldName("ETIQ");
    label->SetSize(100);
    label->SetFieldKind(fkCalculated);
    label->SetDataSet(table);
    int calls = 0;
    table->OnCalcFields = [&calls](TDataSet* DataSet) {
        ++calls;
        DataSet->FieldByName("ETIQ")->SetAsString(DataSet->FieldByName("TNC")->AsString() + ":" +
                                                  DataSet->FieldByName("NOMBRE")->AsString() +
                                                  AnsiString(120, '.'));
    };
    table->Open();
    EXPECT_EQ(label->AsString(), "M1A:Luis" + AnsiString(92, '.'));  // cut to its 100 characters
    EXPECT_TRUE(label->Calculated());
    EXPECT_FALSE(label->CanModify());
    table->Next();
    EXPECT_EQ(label->AsString().substr(0, 7), "M1B:Ana");
    // With AutoCalcFields, a change in edit mode recalculates at once.
    table->Edit();
    table->FieldByName("NOMBRE")->SetAsString("Anabel");
    EXPECT_EQ(label->AsString().substr(0, 10), "M1B:Anabel");
    table->Cancel();
    // Without, only reading the record again does.
    table->SetAutoCalcFields(false);
    table->Edit();
    table->FieldByName("NOMBRE")->SetAsString("Anita");
    EXPECT_EQ(label->AsString().substr(0, 7), "M1B:Ana");
    table->Post();
    EXPECT_EQ(label->AsString().substr(0, 9), "M1B:Anita");
    EXPECT_GT(calls, 0);
}

TEST_F(FieldAccess, LookupFieldsTakeTheOtherTablesValue) {
    MakeStudents();
    CreateTable("cursos", {{"TNC", ftString, 4}, {"NOMCUR", ftString, 20}}, {{"TNC", "TNC"}});
    AddRows("cursos", {{{"TNC", "M1A"}, {"NOMCUR", "Primero A"}}, {{"TNC", "M1B"}, {"NOMCUR", "Primero B"}}});
    TTable* cursos = NewTable("cursos", "TNC");
    cursos->Open();
    TTable* table = NewTable("alumnos", "N");
    for (const char* name : {"N", "TNC"}) {
        TField* field = name == AnsiString("N") ? static_cast<TField*>(NewComponent<TFloatField>(Form))
                                                : static_cast<TField*>(NewComponent<TStringField>(Form));
        field->SetFieldName(name);
        field->SetDataSet(table);
    }
    auto* course = NewComponent<TStringField>(Form);
    course->SetFieldName("CURSO");
    course->SetFieldKind(fkLookup);
    course->SetKeyFields("TNC");
    course->SetLookupDataSet(cursos);
    course->SetLookupKeyFields("TNC");
    course->SetLookupResultField("NOMCUR");
    course->SetDataSet(table);
    table->Open();
    EXPECT_EQ(Column(table, "CURSO"),
              (std::vector<AnsiString>{"Primero A", "Primero B", "Primero A", "Primero A", ""}));
    EXPECT_EQ(cursos->FieldByName("TNC")->AsString(), "M1A");  // the lookup does not move it
}

TEST_F(FieldAccess, ValidateSeesTheNewValueAndMayRefuseIt) {
    MakeStudents();
    TTable* table = NewTable("alumnos", "N");
    table->Open();
    TField* nota = table->FieldByName("NOTA");
    std::vector<std::string> log;
    nota->OnValidate = [&log](TField* Sender) {
        log.push_back("validate " + Sender->AsString());
        if (Sender->AsFloat() > 10) throw EDatabaseError("too high");
    };
    nota->OnChange = [&log](TField* Sender) { log.push_back("change " + Sender->AsString()); };
    table->Edit();
    nota->SetAsFloat(8);
    EXPECT_THROW(nota->SetAsFloat(12), EDatabaseError);
    EXPECT_EQ(nota->AsFloat(), 8);
    // A handler detached while its propagation runs is not called.
    TFieldNotifyEvent saved = nota->OnChange;
    nota->OnChange = nullptr;
    nota->SetAsFloat(9);
    nota->OnChange = saved;
    EXPECT_EQ(log, (std::vector<std::string>{"validate 8", "change 8", "validate 12", "validate 9"}));
}

TEST_F(FieldAccess, TextsFollowFormatsAndHandlers) {
    MakeStudents();
    TTable* table = NewTable("alumnos", "N");
    table->Open();
    auto* nota = static_cast<TFloatField*>(table->FieldByName("NOTA"));
    EXPECT_EQ(nota->DisplayText(), "7");
    nota->SetDisplayFormat("0.00");
    EXPECT_EQ(nota->DisplayText(), "7,00");
    EXPECT_EQ(nota->Text(), "7,00");  // no EditFormat: the display format serves
    nota->SetEditFormat("0");
    EXPECT_EQ(nota->Text(), "7");
    TField* nombre = table->FieldByName("NOMBRE");
    nombre->OnGetText = [](TField* Sender, AnsiString& Text, bool DisplayText) {
        Text = (DisplayText ? "[" : "<") + Sender->AsString() + (DisplayText ? "]" : ">");
    };
    EXPECT_EQ(nombre->DisplayText(), "[Luis]");
    EXPECT_EQ(nombre->Text(), "<Luis>");
    nombre->OnSetText = [](TField* Sender, const AnsiString& Text) { Sender->SetAsString(UpperCase(Text)); };
    table->Edit();
    nombre->SetText("luisito");
    EXPECT_EQ(nombre->AsString(), "LUISITO");
    EXPECT_EQ(nombre->DisplayLabel(), "NOMBRE");
    nombre->SetDisplayLabel("Nombre~completo");
    EXPECT_EQ(nombre->DisplayLabel(), "Nombre~completo");
    EXPECT_EQ(nota->Alignment(), taRightJustify);
    EXPECT_EQ(nombre->Alignment(), taLeftJustify);
    EXPECT_TRUE(nota->IsValidChar(','));
    EXPECT_FALSE(nota->IsValidChar('x'));
}

TEST_F(FieldAccess, MemoFieldsAsLinesAndStreams) {
    TTable* table = NewTable("kinds");
    table->Open();
    table->Append();
    auto* memo = static_cast<TBlobField*>(table->FieldByName("MEM"));
    TStringList lines;
    lines.Add("uno");
    lines.Add("dos");
    memo->Assign(&lines);
    table->Post();
    TStringList back;
    back.Assign(memo);
    EXPECT_EQ(back.Count(), 2);
    EXPECT_EQ(back[1], "dos");
    TMemoryStream stream;
    memo->SaveToStream(stream);
    EXPECT_EQ(stream.Size(), static_cast<int64_t>(memo->AsString().size()));
    std::unique_ptr<TStream> blob = table->CreateBlobStream(memo, bmRead);
    EXPECT_EQ(blob->ReadString(100), memo->AsString());
    EXPECT_THROW(table->CreateBlobStream(memo, bmWrite), EDatabaseError);
    EXPECT_TRUE(memo->IsBlob());
    EXPECT_EQ(memo->DisplayText(), "(MEMO)");
}

// A blob stream that writes puts its bytes into the record being edited: the
// post writes them to the memo file, where another dBase reader finds them,
// and a cancel drops them.
TEST_F(FieldAccess, MemoWrittenThroughABlobStreamIsPosted) {
    // Longer than a memo block, with the bytes of rich text and of Windows-1252.
    AnsiString rich = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard\\b Garc\xED"
                      "a\\b0\\par\r\n";
    while (rich.size() < 1500) rich += "m\xE1s texto {\\i en cursiva}\\par\r\n";
    rich += "}";
    TTable* table = NewTable("kinds");
    table->Open();
    table->Append();
    TField* memo = table->FieldByName("MEM");
    {
        std::unique_ptr<TStream> out = table->CreateBlobStream(memo, bmWrite);
        out->Write(rich.data(), 700);
        out->Write(rich.data() + 700, static_cast<int64_t>(rich.size() - 700));
    }
    EXPECT_EQ(memo->AsString(), rich);
    table->Post();
    // Read and write goes on from the value; plain write starts it anew.
    table->Edit();
    {
        std::unique_ptr<TStream> more = table->CreateBlobStream(memo, bmReadWrite);
        more->Seek(0, soEnd);
        more->Write("+", 1);
    }
    EXPECT_EQ(memo->AsString(), rich + "+");
    table->Cancel();
    table->Edit();
    table->CreateBlobStream(memo, bmWrite);
    EXPECT_TRUE(memo->IsNull());
    table->Cancel();
    table->Close();

    TTable* reader = NewTable("kinds");
    reader->Open();
    reader->Last();
    EXPECT_EQ(reader->FieldByName("MEM")->AsString(), rich);
    // Outside the edit state a blob stream only reads.
    EXPECT_THROW(reader->CreateBlobStream(reader->FieldByName("MEM"), bmReadWrite), EDatabaseError);
    reader->Close();

    const std::string python = PythonWith("dbfread");
    ZELMOR_NEED_TOOL(!python.empty(), "python3-dbfread");
    std::string out;
    const char* script = "import sys, dbfread\n"
                         "rows = list(dbfread.DBF(sys.argv[1], encoding='cp1252'))\n"
                         "sys.stdout.buffer.write(rows[-1]['MEM'].encode('cp1252'))\n";
    ASSERT_EQ(
        RunCommand(python + " -c " + ShellWord(script) + " " + ShellWord((Data / "kinds.dbf").string()), out),
        0)
        << out;
    EXPECT_EQ(out, rich);
}

TEST_F(FieldAccess, NativeDataAndParametersCarryTheSameValue) {
    MakeStudents();
    TTable* table = NewTable("alumnos", "N");
    table->Open();
    double nota = 0;
    ASSERT_TRUE(table->FieldByName("NOTA")->GetData(&nota));
    EXPECT_EQ(nota, 7);
    char text[11] = {};
    ASSERT_TRUE(table->FieldByName("NOMBRE")->GetData(text));
    EXPECT_STREQ(text, "Luis");
    table->Last();
    EXPECT_FALSE(table->FieldByName("NOTA")->GetData(&nota));  // null: nothing written
}
}  // namespace

// A float field says whole numbers at once; every text must be FloatToStr's.
TEST_F(FieldAccess, NumberTextsAreFloatToStrs) {
    const double values[] = {0,      -0.0,          1,          -1,    7,
                             10,     100000,        -123456789, 2.5,   -2.5,
                             0.0001, 0.25,          1e14,       -1e13, 99999999999999.0,
                             12.125, 999999999999.5};
    TTable* writer = NewTable("kinds");
    writer->Open();
    for (double v : values) {
        writer->Append();
        writer->FieldByName("NUM")->SetAsFloat(v);
        writer->Post();
    }
    size_t i = 0;
    for (writer->First(); !writer->Eof(); writer->Next(), ++i) {
        TField* num = writer->FieldByName("NUM");
        EXPECT_EQ(num->AsString(), FloatToStr(num->AsFloat())) << values[i];
    }
    EXPECT_EQ(i, std::size(values));
}

namespace {
// A field assigned from another takes its value; a null source clears it.
TEST_F(FieldAccess, AFieldAssignedFromAnotherTakesItsValue) {
    TTable* source = WriteAndReread([](TTable* t) {
        t->FieldByName("STR")->SetAsString("abc");
        t->FieldByName("NUM")->SetAsFloat(2.5);
    });
    TTable* target = NewTable("kinds");
    target->Open();
    target->Append();
    target->FieldByName("STR")->SetAsString("zz");
    target->FieldByName("SMALL")->SetAsInteger(4);
    target->FieldByName("STR")->Assign(source->FieldByName("STR"));
    target->FieldByName("NUM")->Assign(source->FieldByName("NUM"));
    target->FieldByName("SMALL")->Assign(source->FieldByName("SMALL"));
    EXPECT_EQ(target->FieldByName("STR")->AsString(), "abc");
    EXPECT_EQ(target->FieldByName("NUM")->AsString(), "2,5");
    EXPECT_TRUE(target->FieldByName("SMALL")->IsNull());
    target->Cancel();
}
}  // namespace
