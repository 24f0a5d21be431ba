// The filter dialog's criteria at work: the records a table keeps for a
// table of criteria (through the record callback, the filter expression or
// both), the expression and the statement lines they make, read as text,
// with values that try to break out of their quotes, and the statement data
// set that cannot reopen on this engine.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "GridFixture.h"
#include "dataaware/Wwdatsrc.h"
#include "dataaware/Wwfltdum.h"
#include "dataaware/Wwfltvw.h"
#include "dataaware/Wwquery.h"
#include "dataaware/Wwtable.h"
#include "dataaware/wwdbdatetimepicker.h"
#include "dataaware/wwdbedit.h"
#include "dataaware/wwfltdlg.h"
#include "platform/db/Fields.h"

void PrintTo(const TwwFieldInfo& I, std::ostream* Out) {
    *Out << I.FieldName << "/" << I.DisplayName << " " << int(I.MatchType) << " '" << I.FilterValue << "' ["
         << I.MinValue << ".." << I.MaxValue << "]" << (I.CaseSensitive ? " case" : "")
         << (I.NonMatching ? " not" : "");
}

namespace {

TwwFieldInfo Value(const char* Field, const char* Text, TwwFilterMatchType Match = fdMatchStart,
                   bool Case = false, bool Not = false) {
    TwwFieldInfo I;
    I.FieldName = Field;
    I.DisplayName = Field;
    I.MatchType = Match;
    I.FilterValue = Text;
    I.CaseSensitive = Case;
    I.NonMatching = Not;
    return I;
}

TwwFieldInfo Range(const char* Field, const char* Min, const char* Max) {
    TwwFieldInfo I;
    I.FieldName = Field;
    I.DisplayName = Field;
    I.MatchType = fdMatchRange;
    I.MinValue = Min;
    I.MaxValue = Max;
    return I;
}

class FilterDialogTest : public GridFixture {
protected:
    void SetUp() override {
        GridFixture::SetUp();
        CreateTable("notas",
                    {{"N", ftFloat},
                     {"NOMBRE", ftString, 20},
                     {"NOTA", ftFloat},
                     {"FECHA", ftDate},
                     {"HORA", ftFloat},
                     {"OBS", ftMemo}},
                    {{"N", "N"}, {"NOMBRE", "NOMBRE"}});
        // HORA: the time of day as a fraction of it.
        AddRows("notas",
                {{{"N", "1"},
                  {"NOMBRE", "Ana"},
                  {"NOTA", "2,00005"},
                  {"FECHA", "15/03/2024"},
                  {"HORA", "0,5"},
                  {"OBS", "Primera nota"}},
                 {{"N", "2"},
                  {"NOMBRE", "O'Brien"},
                  {"NOTA", "2,0002"},
                  {"FECHA", "15/03/2024"},
                  {"HORA", "0,9999"}},
                 {{"N", "3"},
                  {"NOMBRE", "anabel"},
                  {"NOTA", "1,5"},
                  {"FECHA", "16/03/2024"},
                  {"HORA", "0"},
                  {"OBS", "Tercera"}},
                 {{"N", "4"}, {"NOMBRE", "Luis"}, {"NOTA", "5"}, {"FECHA", "14/03/2024"}, {"HORA", "0,25"}},
                 {{"N", "5"},
                  {"NOMBRE", "Pe\"dro"},
                  {"NOTA", "3"},
                  {"FECHA", "15/03/2024"},
                  {"HORA", "0"},
                  {"OBS", "Quinta"}}});
        Table = NewWwTable("notas", "N");
        // The table's fields, and CUANDO, the date-time the date and the hour make.
        Table->FieldDefs()->Update();
        for (int I = 0; I < Table->FieldDefs()->Count(); ++I) {
            TFieldDef* Def = Table->FieldDefs()->Items(I);
            auto* F = static_cast<TField*>(DefaultFieldClass(Def->DataType())->Create(Form));
            F->SetFieldName(Def->Name());
            if (Def->DataType() == ftString) F->SetSize(Def->Size());
            F->SetDataSet(Table);
        }
        auto* When = NewComponent<TDateTimeField>(Form);
        When->SetFieldName("CUANDO");
        When->SetFieldKind(fkCalculated);
        When->SetDataSet(Table);
        Table->OnCalcFields = [](TDataSet* D) {
            D->FieldByName("CUANDO")->SetAsDateTime(D->FieldByName("FECHA")->AsDateTime() +
                                                    D->FieldByName("HORA")->AsFloat());
        };
        Source = NewComponent<TwwDataSource>(Form);
        Source->SetDataSet(Table);
        Dialog = NewComponent<TwwFilterDialog>(Form);
        Dialog->SetDataSource(Source);
        Table->Open();
    }
    // The N of the records the table shows now.
    std::set<int> Kept() {
        std::set<int> Ns;
        for (Table->First(); !Table->Eof(); Table->Next()) Ns.insert(Table->FieldByName("N")->AsInteger());
        return Ns;
    }
    std::vector<std::string> FilterLines() {
        TStringList Lines;
        EXPECT_TRUE(Dialog->BuildFilterLines(Table, &Lines));
        std::vector<std::string> V;
        for (int I = 0; I < Lines.Count(); ++I) V.push_back(Lines.Strings(I));
        return V;
    }

    TwwTable* Table = nullptr;
    TwwDataSource* Source = nullptr;
    TwwFilterDialog* Dialog = nullptr;
};

struct TCriteriaCase {
    const char* What;
    std::vector<TwwFieldInfo> Criteria;
    std::set<int> Kept;
};

}  // namespace

// The record callback keeps the records every criterion accepts.
TEST_F(FilterDialogTest, TheCallbackKeepsTheRecordsOfTheCriteria) {
    const TCriteriaCase Cases[] = {
        {"start, any case", {Value("NOMBRE", "an")}, {1, 3}},
        {"start, case-sensitive", {Value("NOMBRE", "an", fdMatchStart, true)}, {3}},
        {"an OR list", {Value("NOMBRE", "ana or luis", fdMatchExact)}, {1, 4}},
        {"an AND list, anywhere", {Value("NOMBRE", "a and b", fdMatchAny)}, {3}},
        {"a value with a quote", {Value("NOMBRE", "o'brien", fdMatchExact)}, {2}},
        {"a value with a double quote", {Value("NOMBRE", "Pe\"dro", fdMatchExact, true)}, {5}},
        // NOTA keeps four decimals: 2,00005 is stored as 2 and 2,0002 as it is.
        {"a float range to 2", {Range("NOTA", "1", "2")}, {1, 3}},
        {"the float epsilon: 2 is within 0,0001 of 1,99995, 2,0002 is not",
         {Range("NOTA", "1", "1,99995")},
         {1, 3}},
        {"the float epsilon at the start", {Range("NOTA", "2,00005", "9")}, {1, 2, 4, 5}},
        {"a whole-day end bound", {Range("CUANDO", "15/03/2024", "15/03/2024")}, {1, 2, 5}},
        {"an end bound with a time", {Range("CUANDO", "15/03/2024", "15/03/2024 12:00:00")}, {1, 5}},
        {"a memo of null", {Value("OBS", "null", fdMatchExact)}, {2, 4}},
        {"a memo of not null", {Value("OBS", "not null", fdMatchExact)}, {1, 3, 5}},
        {"an OR list with the null word", {Value("OBS", "null or tercera", fdMatchExact)}, {2, 3, 4}},
        {"negated", {Value("NOMBRE", "an", fdMatchStart, false, true)}, {2, 4, 5}},
        {"a negated range is not negated",
         {[] {
             TwwFieldInfo R = Range("N", "2", "3");
             R.NonMatching = true;
             return R;
         }()},
         {2, 3}},
        {"two criteria", {Value("NOMBRE", "an"), Range("NOTA", "0", "1,9")}, {3}},
        {"an integer exact", {Value("N", "4", fdMatchExact)}, {4}},
    };
    for (const TCriteriaCase& C : Cases) {
        SCOPED_TRACE(C.What);
        Dialog->ApplyCriteria(C.Criteria);
        EXPECT_TRUE(Dialog->CallbackInstalled());
        EXPECT_EQ(Kept(), C.Kept);
    }
    // No criteria: the filter is off and every record is back.
    Dialog->ApplyCriteria({});
    EXPECT_EQ(Kept(), (std::set<int>{1, 2, 3, 4, 5}));
}

// The callback keeps what it found of each criterion only while the field
// lives: a table of default fields closed and opened again makes new fields,
// and the kept criteria find those.
TEST_F(FilterDialogTest, TheCallbackFindsTheFieldsOfAReopenedTable) {
    TwwTable* Plain = NewWwTable("notas", "N");
    auto* PlainSource = NewComponent<TwwDataSource>(Form);
    PlainSource->SetDataSet(Plain);
    auto* D = NewComponent<TwwFilterDialog>(Form);
    D->SetDataSource(PlainSource);
    D->SetOnFilterPropertyOptions({});
    Plain->Open();
    auto KeptOf = [&] {
        std::set<int> Ns;
        for (Plain->First(); !Plain->Eof(); Plain->Next()) Ns.insert(Plain->FieldByName("N")->AsInteger());
        return Ns;
    };
    D->ApplyCriteria({Range("NOTA", "1", "2"), Value("NOMBRE", "an")});
    EXPECT_EQ(KeptOf(), (std::set<int>{1, 3}));
    Plain->Close();
    Plain->Open();
    ASSERT_TRUE(D->CallbackInstalled());
    EXPECT_EQ(KeptOf(), (std::set<int>{1, 3}));
}

// OnAcceptFilterRecord decides first; leaving DefaultFiltering on lets the criteria judge.
TEST_F(FilterDialogTest, TheAcceptEventDecidesFirst) {
    Dialog->OnAcceptFilterRecord = [](TObject*, TDataSet* D, bool& Accept, bool& Default) {
        if (D->FieldByName("N")->AsInteger() == 4) Accept = true, Default = false;
    };
    Dialog->ApplyCriteria({Value("NOMBRE", "an")});
    EXPECT_EQ(Kept(), (std::set<int>{1, 3, 4}));
}

// The filter expression: quotes doubled in values and bounds, OR and AND
// pieces, the null word, and no connector left beside a criterion that the
// expression cannot say (a match anywhere without LIKE, a memo).
TEST_F(FilterDialogTest, TheFilterExpressionAsText) {
    struct TCase {
        const char* What;
        std::vector<TwwFieldInfo> Criteria;
        std::vector<std::string> Lines;
    };
    const TCase Cases[] = {
        {"a quote in a value",
         {Value("NOMBRE", "O'Brien", fdMatchExact, true)},
         {"", "([NOMBRE]='O''Brien')"}},
        {"an OR list with the null word",
         {Value("NOMBRE", "ana or null", fdMatchExact, true)},
         {"([NOMBRE]='ana' or [NOMBRE] is NULL)"}},
        {"a start match and a number",
         {Value("NOMBRE", "An", fdMatchStart, true), Value("N", "3", fdMatchExact)},
         {"([NOMBRE]='An*')", " and", "([N]=3)"}},
        {"quotes in range bounds",
         {Range("NOMBRE", "O'A", "O'B")},
         {"([NOMBRE] >= 'O''A')", " and", "([NOMBRE] <= 'O''Bzzzzzzzzzzzzzzzzz')"}},
        {"a match anywhere first, then a start match",
         {Value("NOMBRE", "na", fdMatchAny, true), Value("NOMBRE", "A", fdMatchStart, true)},
         {"([NOMBRE]='A*')"}},
        {"a memo between two conditions",
         {Value("N", "1", fdMatchExact), Value("OBS", "x"), Value("N", "2", fdMatchExact, false, true)},
         {"([N]=1)", "  and not", "([N]=2)"}},
        {"a number that is no number",
         {Value("N", "1) or (1=1", fdMatchExact)},
         {"([N]='1)' or [N]='(1=1')"}},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.What);
        Dialog->FieldInfo() = C.Criteria;
        std::vector<std::string> Lines = FilterLines();
        // Lines with nothing but a connector to come are not written.
        std::vector<std::string> Expected;
        for (const std::string& L : C.Lines)
            if (!L.empty()) Expected.push_back(L);
        EXPECT_EQ(Lines, Expected);
    }
}

// With the expression alone or with both, the engine's filter keeps the records.
TEST_F(FilterDialogTest, TheExpressionAndBothFilterTheTable) {
    struct TCase {
        TwwDatasetFilterType Kind;
        std::vector<TwwFieldInfo> Criteria;
        std::set<int> Kept;
    };
    const TCase Cases[] = {
        {fdUseFilterProp, {Value("NOMBRE", "O'Brien or Luis", fdMatchExact, true)}, {2, 4}},
        {fdUseFilterProp, {Range("NOMBRE", "O'A", "O'C")}, {2}},
        {fdUseFilterProp, {Value("NOMBRE", "Pe\"dro", fdMatchExact, true)}, {5}},
        // The expression keeps the start match; the callback adds the match anywhere.
        {fdUseBothFilterTypes,
         {Value("NOMBRE", "bel", fdMatchAny), Value("NOMBRE", "an", fdMatchStart, true)},
         {3}},
    };
    for (const TCase& C : Cases) {
        Dialog->FilterPropertyOptions()->SetDatasetFilterType(C.Kind);
        Dialog->ApplyCriteria(C.Criteria);
        EXPECT_EQ(Kept(), C.Kept) << Table->Filter();
        EXPECT_EQ(Dialog->CallbackInstalled(), C.Kind == fdUseBothFilterTypes);
    }
    EXPECT_TRUE(Answers.Texts().empty());
}

// Values and operators: OR and AND lists, the first word is never an operator.
TEST_F(FilterDialogTest, ValuePiecesAndOperators) {
    struct TCase {
        const char* Value;
        const char* Operator;
        std::vector<std::string> Pieces;
    };
    const TCase Cases[] = {
        {"smith or jones", "or", {"smith", "jones"}},
        {"smith and jones or x", "and", {"smith", "jones or x"}},
        {"or smith", "", {"or smith"}},
        {"\"a or b\" or c", "or", {"a or b", "c"}},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Value);
        AnsiString Op = Dialog->FindValueOperator(C.Value);
        EXPECT_EQ(Op, C.Operator);
        std::vector<std::string> Pieces;
        for (int Pos = 0; Pos != -1;) Pieces.push_back(Dialog->NextValuePiece(C.Value, Op, Pos));
        if (Op.empty()) Pieces = {C.Value};
        EXPECT_EQ(Pieces, C.Pieces);
    }
    Dialog->SetDlgHeight(200);
    EXPECT_EQ(Dialog->DlgHeight(), 267);
    Answers.Then(mrOk);
    Dialog->SetFilterMethod(fdByQueryModify);
    EXPECT_EQ(Dialog->FilterMethod(), fdByFilter) << "a table filters locally";
    EXPECT_EQ(Answers.Texts().size(), 1u);
}

// The summary's rows.
TEST_F(FilterDialogTest, SummaryRows) {
    struct TCase {
        TwwFieldInfo Info;
        std::vector<std::string> Cells;
    };
    const TCase Cases[] = {
        {Value("NOMBRE", "an"), {"NOMBRE", "Partial Match at Beginning", "an"}},
        {Value("NOMBRE", "an or b", fdMatchAny, false, true),
         {"NOMBRE", "Partial Match Anywhere", "NOT (an or b)"}},
        {Value("NOMBRE", "an", fdMatchExact, false, true), {"NOMBRE", "Exact Match", "NOT an"}},
        {Range("N", "1", "5"), {"N", "By Range", ">=1, <=5"}},
        {Range("N", "", "5"), {"N", "By Range", "<=5"}},
    };
    for (const TCase& C : Cases) {
        AnsiString Cells[3];
        SummaryRow(Dialog, C.Info, Cells);
        EXPECT_EQ((std::vector<std::string>{Cells[0], Cells[1], Cells[2]}), C.Cells);
    }
}

namespace {

class StatementFilterTest : public GridFixture {
protected:
    void SetUp() override {
        GridFixture::SetUp();
        CreateTable("customer",
                    {{"NAME", ftString, 10}, {"N", ftFloat}, {"NOTES", ftMemo}, {"SINCE", ftDate}});
        Query = NewComponent<TwwQuery>(Form);
        Query->SetDatabaseName("Zelmor");
        Source = NewComponent<TwwDataSource>(Form);
        Source->SetDataSet(Query);
        Dialog = NewComponent<TwwFilterDialog>(Form);
        Dialog->SetDataSource(Source);
        Dialog->SetFilterMethod(fdByQueryModify);
    }
    // The statement after the rewriting, which then fails to open here.
    std::vector<std::string> Rewrite(const std::vector<TwwFieldInfo>& Criteria) {
        Dialog->FieldInfo() = Criteria;
        Dialog->RebuildFieldCatalog();
        Answers.Then(mrOk);
        EXPECT_THROW(Dialog->RewriteSQL(), EDatabaseError);
        std::vector<std::string> V;
        for (int I = 0; I < Query->SQL()->Count(); ++I) V.push_back(Query->SQL()->Strings(I));
        return V;
    }

    TwwQuery* Query = nullptr;
    TwwDataSource* Source = nullptr;
    TwwFilterDialog* Dialog = nullptr;
};

}  // namespace

// Statements and criteria give these statements; values that try to leave
// their literal stay inside it.
TEST_F(StatementFilterTest, TheStatementLines) {
    EXPECT_EQ(Dialog->FilterMethod(), fdByQueryModify);
    struct TCase {
        const char* What;
        const char* Statement;
        std::vector<TwwFieldInfo> Criteria;
        std::vector<std::string> Lines;
    };
    const TCase Cases[] = {
        {"an ORDER clause",
         "SELECT * FROM CUSTOMER ORDER BY NAME",
         {Value("NAME", "sm")},
         {"SELECT * FROM CUSTOMER", "Where", "(Upper(CUSTOMER.NAME) like 'SM%')", "ORDER BY NAME"}},
        {"a WHERE clause",
         "SELECT * FROM CUSTOMER C WHERE N=1 ORDER BY NAME",
         {Value("NAME", "x", fdMatchExact, true)},
         {"SELECT * FROM CUSTOMER C WHERE N=1", "And", "(C.NAME='x')", " ORDER BY NAME"}},
        {"no clause, a single quote",
         "SELECT * FROM CUSTOMER",
         {Value("NAME", "O'Brien", fdMatchExact)},
         {"SELECT * FROM CUSTOMER", "Where", "(Upper(CUSTOMER.NAME)=\"O'BRIEN\")"}},
        {"both quotes",
         "SELECT * FROM CUSTOMER",
         {Value("NAME", "a\"';DROP TABLE x;--", fdMatchExact, true)},
         {"SELECT * FROM CUSTOMER", "Where", "(CUSTOMER.NAME=\"a\"\"';DROP TABLE x;--\")"}},
        {"a single quote closing early",
         "SELECT * FROM CUSTOMER",
         {Value("NAME", "x'; DELETE FROM y", fdMatchStart, true)},
         {"SELECT * FROM CUSTOMER", "Where", "(CUSTOMER.NAME like \"x'; DELETE FROM y%\")"}},
        {"an integer range, negation first",
         "SELECT * FROM CUSTOMER",
         {Value("NAME", "a", fdMatchExact, true, true), Range("N", "5", "9")},
         {"SELECT * FROM CUSTOMER", "Where", "  not", "(CUSTOMER.NAME='a')", " and", "   CUSTOMER.N >= 5",
          " and", "   CUSTOMER.N <= 9"}},
        {"quotes in range bounds",
         "SELECT * FROM CUSTOMER",
         {Range("NAME", "O'A", "O'B")},
         {"SELECT * FROM CUSTOMER", "Where", "   CUSTOMER.NAME >= 'O''A'", " and",
          "   CUSTOMER.NAME <= 'O''Bzzzzzzz'"}},
        {"a range on a memo adds nothing, nor its connector",
         "SELECT * FROM CUSTOMER",
         {Range("NOTES", "a", "b"), Value("N", "3", fdMatchExact)},
         {"SELECT * FROM CUSTOMER", "Where", "(CUSTOMER.N=3)"}},
        {"the null word",
         "SELECT * FROM CUSTOMER",
         {Value("NAME", "ab or null", fdMatchExact, true)},
         {"SELECT * FROM CUSTOMER", "Where", "(CUSTOMER.NAME='ab' or CUSTOMER.NAME is NULL)"}},
        {"a subquery's WHERE is not the statement's",
         "SELECT * FROM CUSTOMER C WHERE N IN (SELECT N FROM CUSTOMER WHERE\nN > 2) ORDER BY NAME",
         {Value("NAME", "x", fdMatchExact, true)},
         {"SELECT * FROM CUSTOMER C WHERE N IN (SELECT N FROM CUSTOMER WHERE", "N > 2)", "And",
          "(C.NAME='x')", " ORDER BY NAME"}},
        {"a date",
         "SELECT * FROM CUSTOMER",
         {Value("SINCE", "15/03/2024", fdMatchExact)},
         {"SELECT * FROM CUSTOMER", "Where", "(CUSTOMER.SINCE='3/15/2024')"}},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.What);
        Dialog->OriginalSQL()->Clear();
        Query->SQL()->SetText(C.Statement);
        EXPECT_EQ(Rewrite(C.Criteria), C.Lines);
    }
    // The warning before the error names the statement; the error says that
    // statements are not supported here.
    EXPECT_EQ(Answers.Texts().back().substr(0, 22), "Unable to Execute SQL:");
    const size_t Warnings = Answers.Texts().size();
    Answers.Then(mrOk);
    try {
        Dialog->RewriteSQL();
        ADD_FAILURE() << "the statement opened";
    } catch (const EDatabaseError& E) {
        EXPECT_NE(std::string(E.what()).find("Operation not supported"), std::string::npos) << E.what();
        EXPECT_EQ(Answers.Texts().size(), Warnings + 1) << "the warning came first";
    }
}

// A second rewriting starts from the statement as it was first; a number
// changed by OnEncodeValue into something else goes in as a literal.
TEST_F(StatementFilterTest, RewritingStartsFromTheFirstStatementAndChecksNumbers) {
    Query->SQL()->SetText("SELECT * FROM CUSTOMER");
    Rewrite({Value("NAME", "a", fdMatchExact, true)});
    Dialog->OnEncodeValue = [](TFieldType Type, const AnsiString&, AnsiString& Piece) {
        if (Type == ftFloat) Piece = "3 OR 1=1";
    };
    EXPECT_EQ(Rewrite({Value("N", "3", fdMatchExact)}),
              (std::vector<std::string>{"SELECT * FROM CUSTOMER", "Where", "(CUSTOMER.N='3 OR 1=1')"}));
    // A field the statement's tables do not have is named and nothing is opened.
    Dialog->FieldInfo() = {Value("NOPE", "x")};
    Answers.Then(mrOk);
    Dialog->RewriteSQL();
    EXPECT_EQ(Answers.Texts().back(), "TwwFilterDialog: Field not found (NOPE)");
    EXPECT_FALSE(Query->Active());
    EXPECT_EQ(Query->SQL()->Text(), "SELECT * FROM CUSTOMER\r\n");
}

namespace {

class FilterFormTest : public FilterDialogTest {
protected:
    TwwFilterDlg* Dlg() { return Dialog->Form(); }
    void ClickOn(TControl* C) {
        Ui().Click(C);
        Idle();
    }
    // Moves the field list as the arrow keys in the value edit do.
    void Down(int Times = 1) {
        for (int I = 0; I < Times; ++I) Ui().Key(VK_DOWN);
        Idle();
    }
    AnsiString FieldShown() { return Dlg()->FieldCriteria->Caption(); }
};

}  // namespace

// Criteria typed into the form: a value on the value page, a range on the
// range page; OK filters the table through the callback.
TEST_F(FilterFormTest, OKFiltersByWhatWasTyped) {
    Dialog->SetOptions(Dialog->Options() + TwwFilterDialogOptions{fdShowNonMatching});
    std::vector<std::string> Fields;
    Ui().Then([&] {
        for (int I = 0; I < Dlg()->FieldsListBox->Items()->Count(); ++I)
            Fields.push_back(Dlg()->FieldsListBox->Items()->Strings(I));
        EXPECT_EQ(FieldShown(), "N");
        EXPECT_FALSE(Dlg()->OKBtn->Enabled());
        Down();
        EXPECT_EQ(FieldShown(), "NOMBRE");
        EXPECT_TRUE(Dlg()->OnValuePage()) << "a text field is searched by value";
        EXPECT_EQ(Dlg()->MatchTypeGroup->ItemIndex(), 1) << "partial match at the beginning";
        Ui().Type("an");
        Idle();
        ClickOn(Dlg()->Nonmatching);
        Dlg()->FilterValueEdit->SetFocus();
        Down();
        EXPECT_EQ(FieldShown(), "NOTA");
        EXPECT_FALSE(Dlg()->OnValuePage()) << "a number is searched by range";
        Dlg()->MinValueEdit->SetFocus();
        Ui().Type("1");
        Idle();
        Dlg()->MaxValueEdit->SetFocus();
        Ui().Type("5");
        Idle();
        ClickOn(Dlg()->OKBtn);
    });
    EXPECT_TRUE(Dialog->Execute());
    EXPECT_EQ(Ui().StepsLeft(), 0u);
    EXPECT_EQ(Fields, (std::vector<std::string>{"N", "NOMBRE", "NOTA", "FECHA", "HORA", "OBS", "CUANDO"}));
    ASSERT_EQ(Dialog->FieldInfo().size(), 2u);
    EXPECT_EQ(Dialog->FieldInfo()[0], Value("NOMBRE", "an", fdMatchStart, false, true));
    EXPECT_EQ(Dialog->FieldInfo()[1], Range("NOTA", "1", "5"));
    EXPECT_EQ(Kept(), (std::set<int>{2, 4, 5}));
}

// The match type and the case are clicked: an exact, case-sensitive value
// keeps only the record written so; a match anywhere keeps every name that
// holds the text.
TEST_F(FilterFormTest, MatchTypeAndCaseAreClicked) {
    struct TCase {
        const char* Text;
        int Item;  // 0 exact, 1 start, 2 anywhere
        bool Case;
        TwwFilterMatchType Match;
        std::set<int> Kept;
    };
    const TCase Cases[] = {
        {"Ana", 0, true, fdMatchExact, {1}},
        {"ana", 0, true, fdMatchExact, {}},
        {"bel", 2, false, fdMatchAny, {3}},
        {"luis", 1, false, fdMatchStart, {4}},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Text);
        Dialog->ApplyCriteria({});
        Ui().Then([&] {
            Down();
            ASSERT_EQ(FieldShown(), "NOMBRE");
            Ui().Type(C.Text);
            Idle();
            ClickOn(Dlg()->MatchTypeGroup->Buttons(C.Item));
            if (C.Case) ClickOn(Dlg()->CaseSensitive);
            ClickOn(Dlg()->OKBtn);
        });
        EXPECT_TRUE(Dialog->Execute());
        ASSERT_EQ(Dialog->FieldInfo().size(), 1u);
        EXPECT_EQ(Dialog->FieldInfo()[0], Value("NOMBRE", C.Text, C.Match, C.Case));
        EXPECT_EQ(Kept(), C.Kept);
    }
}

// The second time the form opens on the searched fields; a value erased
// drops its criterion; Cancel leaves the criteria and the records as they were.
TEST_F(FilterFormTest, CancelLeavesEverything) {
    Dialog->ApplyCriteria({Value("NOMBRE", "an")});
    Ui().Then([&] {
        EXPECT_EQ(Dlg()->FieldTabSet->TabIndex(), 1);
        EXPECT_EQ(Dlg()->FieldsListBox->Items()->Count(), 1);
        EXPECT_EQ(FieldShown(), "NOMBRE");
        EXPECT_EQ(Dlg()->FilterValueEdit->Text(), "an");
        Dlg()->FilterValueEdit->SetText("");
        ClickOn(Dlg()->CancelBtn);
    });
    EXPECT_FALSE(Dialog->Execute());
    EXPECT_EQ(Dialog->FieldInfo().size(), 1u);
    EXPECT_EQ(Kept(), (std::set<int>{1, 3}));
}

// The summary lists the working criteria; the searched-fields tab and the
// summary refuse without criteria; New Search clears them.
TEST_F(FilterFormTest, SummaryNewSearchAndTheSearchedTab) {
    std::vector<std::string> Rows;
    Ui().Then([&] {
        ClickOn(Dlg()->ViewButton);
        EXPECT_EQ(Answers.Texts().back(), "You have not selected any search criteria");
        bool Allow = true;
        Dlg()->FieldTabSetChanging(Dlg()->FieldTabSet, Allow);
        EXPECT_FALSE(Allow);
        Down();
        Ui().Type("luis");
        Idle();
        ClickOn(Dlg()->ViewButton);
        EXPECT_TRUE(Dlg()->ClearSearchButton->Enabled());
        ClickOn(Dlg()->ClearSearchButton);
        EXPECT_TRUE(Dlg()->Working.empty());
        EXPECT_EQ(Dlg()->FilterValueEdit->Text(), "");
        ClickOn(Dlg()->OKBtn);
    });
    Ui().Then([&] {
        auto* View = dynamic_cast<TwwFilterDialogView*>(Screen->ActiveForm());
        ASSERT_NE(View, nullptr);
        for (int R = 0; R < View->StringGrid1->RowCount(); ++R)
            Rows.push_back(View->StringGrid1->Cells(0, R) + "|" + View->StringGrid1->Cells(1, R) + "|" +
                           View->StringGrid1->Cells(2, R));
        ClickOn(View->CancelBtn);
    });
    Answers.Then(mrOk).Then(mrOk);
    EXPECT_TRUE(Dialog->Execute());
    EXPECT_EQ(Rows, (std::vector<std::string>{"Field|Search Type|Value",
                                              "NOMBRE|Partial Match at Beginning|luis"}));
    EXPECT_TRUE(Dialog->FieldInfo().empty());
    EXPECT_EQ(Kept(), (std::set<int>{1, 2, 3, 4, 5}));
}

// A value that does not suit its field keeps the form open on it.
TEST_F(FilterFormTest, ABadNumberKeepsTheFormOpen) {
    Dialog->SetDefaultFilterBy(fdFilterByValue);
    Ui().Then([&] {
        EXPECT_EQ(FieldShown(), "N");
        Ui().Type("12a");
        Idle();
        ClickOn(Dlg()->OKBtn);
        EXPECT_EQ(Dlg()->ModalResult(), mrNone);
        EXPECT_TRUE(Dlg()->OnValuePage());
        Down();
        EXPECT_EQ(FieldShown(), "N") << "the field stays";
        ClickOn(Dlg()->CancelBtn);
    });
    EXPECT_FALSE(Dialog->Execute());
}

// The range page of a date or date-time field is two date-time editors of
// the field's kind, unless fdDisableDateTimePicker keeps the plain edits;
// every other field types its range into the edits.
TEST_F(FilterFormTest, DateFieldsTakeTheirRangeInDateTimeEditors) {
    struct TCase {
        const char* Field;
        int Downs;  // from N, the first field
        bool Disabled;
        bool Pickers;
        TwwDTEditDataType Kind;
    };
    const TCase Cases[] = {
        {"NOMBRE", 1, false, false, wwDTEdtDate}, {"FECHA", 3, false, true, wwDTEdtDate},
        {"HORA", 4, false, false, wwDTEdtDate},   {"CUANDO", 6, false, true, wwDTEdtDateTime},
        {"FECHA", 3, true, false, wwDTEdtDate},   {"CUANDO", 6, true, false, wwDTEdtDate},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(std::string(C.Field) + (C.Disabled ? ", pickers disabled" : ""));
        TwwFilterDialogOptions Options = Dialog->Options() - TwwFilterDialogOptions{fdDisableDateTimePicker};
        if (C.Disabled) Options = Options + TwwFilterDialogOptions{fdDisableDateTimePicker};
        Dialog->SetOptions(Options);
        Ui().Then([&] {
            Down(C.Downs);
            ASSERT_EQ(FieldShown(), C.Field);
            TwwFilterDlg* F = Dlg();
            EXPECT_EQ(F->MinDateEdit->Visible(), C.Pickers);
            EXPECT_EQ(F->MaxDateEdit->Visible(), C.Pickers);
            EXPECT_EQ(F->MinValueEdit->Visible(), !C.Pickers);
            EXPECT_EQ(F->MaxValueEdit->Visible(), !C.Pickers);
            EXPECT_EQ(F->RangeControl(false),
                      C.Pickers ? static_cast<TCustomEdit*>(F->MinDateEdit) : F->MinValueEdit);
            EXPECT_EQ(F->RangeControl(true),
                      C.Pickers ? static_cast<TCustomEdit*>(F->MaxDateEdit) : F->MaxValueEdit);
            if (C.Pickers) {
                EXPECT_EQ(F->MinDateEdit->UnboundDataType(), C.Kind);
                EXPECT_EQ(F->MaxDateEdit->UnboundDataType(), C.Kind);
                EXPECT_EQ(F->ActiveControl(), F->MinDateEdit) << "the starting bound takes the focus";
                // New Search empties the editor that holds a date.
                Ui().Type("15032024");
                Idle();
                EXPECT_TRUE(F->ClearSearchButton->Enabled());
                ClickOn(F->ClearSearchButton);
                EXPECT_EQ(F->MinDateEdit->Text(), "");
            }
            ClickOn(F->CancelBtn);
        });
        EXPECT_FALSE(Dialog->Execute());
    }
}

// A date range typed into the editors: on a date-time field an ending date
// without a time takes in its whole day, on a date field the bounds are
// dates; OK filters the table by them.
TEST_F(FilterFormTest, ADateRangeTypedIntoTheEditors) {
    struct TCase {
        const char* Field;
        int Downs;
        const char* Min;
        const char* Max;
        std::set<int> Kept;
    };
    const TCase Cases[] = {
        {"CUANDO", 6, "14032024", "15032024", {1, 2, 4, 5}},
        {"CUANDO", 6, "15032024", "15032024", {1, 2, 5}},
        {"FECHA", 3, "15032024", "16032024", {1, 2, 3, 5}},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Field);
        Dialog->ApplyCriteria({});
        Ui().Then([&] {
            Down(C.Downs);
            ASSERT_EQ(FieldShown(), C.Field);
            Ui().Type(C.Min);
            Idle();
            Dlg()->MaxDateEdit->SetFocus();
            Idle();
            Ui().Type(C.Max);
            Idle();
            EXPECT_TRUE(Dlg()->MaxValueClearButton->Enabled());
            ClickOn(Dlg()->OKBtn);
        });
        EXPECT_TRUE(Dialog->Execute());
        ASSERT_EQ(Dialog->FieldInfo().size(), 1u);
        const std::string Min = std::string(C.Min).substr(0, 2) + "/03/2024";
        const std::string Max = std::string(C.Max).substr(0, 2) + "/03/2024";
        EXPECT_EQ(Dialog->FieldInfo()[0], Range(C.Field, Min.c_str(), Max.c_str()));
        EXPECT_EQ(Kept(), C.Kept);
    }
}

// Bounds with a time come back into the editors with it and keep it, the
// starting one only when it is not midnight; the arrows step the editor's
// part while it holds a date, and the clear button empties it.
TEST_F(FilterFormTest, TimesOfADateTimeRangeStayWithTheirBounds) {
    Dialog->ApplyCriteria({Range("CUANDO", "15/03/2024 6:00:00", "15/03/2024 12:00:00")});
    Ui().Then([&] {
        TwwFilterDlg* F = Dlg();
        ASSERT_EQ(FieldShown(), "CUANDO");
        EXPECT_FALSE(F->OnValuePage());
        EXPECT_EQ(F->RangeText(false), "15/03/2024 6:00:00");
        EXPECT_EQ(F->RangeText(true), "15/03/2024 12:00:00");
        // The starting day, one down: the field stays.
        EXPECT_EQ(F->ActiveControl(), F->MinDateEdit);
        Ui().Key(VK_DOWN);
        Idle();
        EXPECT_EQ(FieldShown(), "CUANDO");
        EXPECT_EQ(F->RangeText(false), "14/03/2024 6:00:00");
        // A starting time of midnight is no time.
        F->MinDateEdit->SetDateTime(EncodeDate(2024, 3, 14));
        EXPECT_EQ(F->RangeText(false), "14/03/2024");
        ClickOn(F->MaxValueClearButton);
        EXPECT_EQ(F->MaxDateEdit->Text(), "");
        EXPECT_EQ(F->RangeText(true), "");
        EXPECT_FALSE(F->MaxValueClearButton->Enabled());
        F->MaxDateEdit->SetFocus();
        Idle();
        Ui().Type("15032024");
        Idle();
        ClickOn(F->OKBtn);
    });
    EXPECT_TRUE(Dialog->Execute());
    ASSERT_EQ(Dialog->FieldInfo().size(), 1u);
    EXPECT_EQ(Dialog->FieldInfo()[0], Range("CUANDO", "14/03/2024", "15/03/2024"));
    EXPECT_EQ(Kept(), (std::set<int>{1, 2, 4, 5}));
}

// With the editors disabled a date-time field's bounds are typed as text
// and kept as typed.
TEST_F(FilterFormTest, WithoutTheEditorsADateRangeIsTyped) {
    Dialog->SetOptions(Dialog->Options() + TwwFilterDialogOptions{fdDisableDateTimePicker});
    Ui().Then([&] {
        Down(6);
        ASSERT_EQ(FieldShown(), "CUANDO");
        EXPECT_EQ(Dlg()->ActiveControl(), Dlg()->MinValueEdit);
        Ui().Type("15/03/2024");
        Idle();
        Dlg()->MaxValueEdit->SetFocus();
        Ui().Type("15/03/2024 12:00");
        Idle();
        ClickOn(Dlg()->OKBtn);
    });
    EXPECT_TRUE(Dialog->Execute());
    ASSERT_EQ(Dialog->FieldInfo().size(), 1u);
    EXPECT_EQ(Dialog->FieldInfo()[0], Range("CUANDO", "15/03/2024", "15/03/2024 12:00"));
    EXPECT_EQ(Kept(), (std::set<int>{1, 5}));
}

// Delete in the list of searched fields drops that field's criterion and the
// field from the list.
TEST_F(FilterFormTest, DeleteOnTheSearchedTabDropsTheCriterion) {
    Dialog->ApplyCriteria({Value("NOMBRE", "an"), Range("NOTA", "1", "2")});
    std::vector<std::string> Left;
    Ui().Then([&] {
        ASSERT_EQ(Dlg()->FieldTabSet->TabIndex(), 1);
        ASSERT_EQ(Dlg()->FieldsListBox->Items()->Count(), 2);
        Dlg()->FieldsListBox->SetFocus();
        Ui().Key(VK_DELETE);
        Idle();
        for (int I = 0; I < Dlg()->FieldsListBox->Items()->Count(); ++I)
            Left.push_back(Dlg()->FieldsListBox->Items()->Strings(I));
        ClickOn(Dlg()->OKBtn);
    });
    EXPECT_TRUE(Dialog->Execute());
    EXPECT_EQ(Left, std::vector<std::string>{"NOTA"});
    ASSERT_EQ(Dialog->FieldInfo().size(), 1u);
    EXPECT_EQ(Dialog->FieldInfo()[0].FieldName, "NOTA");
    EXPECT_EQ(Kept(), (std::set<int>{1, 3}));
}
