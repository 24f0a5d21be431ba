#include "dataaware/wwfltdlg.h"

#include <algorithm>
#include <cmath>

#include "dataaware/Wwdbcomb.h"
#include "dataaware/Wwfltdum.h"
#include "dataaware/Wwfltvw.h"
#include "dataaware/Wwintl.h"
#include "dataaware/Wwtable.h"
#include "dataaware/wwcommon.h"
#include "dataaware/wwdbdatetimepicker.h"
#include "dataaware/wwdbedit.h"
#include "dataaware/wwhelpers.h"
#include "dataaware/wwstr.h"
#include "platform/db/DataSet.h"
#include "platform/db/FieldDefs.h"
#include "platform/db/Fields.h"
#include "platform/db/Query.h"
#include "platform/db/Table.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/Numbers.h"
#include "platform/rtl/Regional.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/Dialogs.h"
#include "platform/ui/Forms.h"

ZELMOR_IMPLEMENT_ENUM(TwwFilterDialogOption, "fdCaseSensitive", "fdShowCaseSensitive", "fdShowOKCancel",
                      "fdShowViewSummary", "fdShowFieldOrder", "fdShowValueRangeTab", "fdShowNonMatching",
                      "fdHidePartialAnywhere", "fdDisableDateTimePicker", "fdSizeable", "fdTabsAtTop")
ZELMOR_IMPLEMENT_ENUM(TwwFilterMatchType, "fdMatchStart", "fdMatchAny", "fdMatchExact", "fdMatchEnd",
                      "fdMatchRange", "fdMatchNone")
ZELMOR_IMPLEMENT_ENUM(TwwFilterMethod, "fdByFilter", "fdByQueryModify", "fdByQueryParams")
ZELMOR_IMPLEMENT_ENUM(TwwDefaultFilterBy, "fdSmartFilter", "fdFilterByRange", "fdFilterByValue")
ZELMOR_IMPLEMENT_ENUM(TwwFilterDialogSort, "fdSortByFieldNo", "fdSortByFieldName")
ZELMOR_IMPLEMENT_ENUM(TwwFilterFieldsFetchType, "fmUseTTable", "fmUseSQL", "fmUseTFields")
ZELMOR_IMPLEMENT_ENUM(TwwFilterOptimization, "fdNone", "fdUseAllIndexes", "fdUseActiveIndex")
ZELMOR_IMPLEMENT_ENUM(TwwQueryFormatDateMode, "qfdMonthDayYear", "qfdDayMonthYear", "qfdYearMonthDay")
ZELMOR_IMPLEMENT_ENUM(TwwDatasetFilterType, "fdUseOnFilter", "fdUseFilterProp", "fdUseBothFilterTypes")
ZELMOR_IMPLEMENT_ENUM(TwwOnFilterPropertyOption, "fdClearWhenNoCriteria", "fdClearWhenCloseDataSet")
ZELMOR_IMPLEMENT_ENUM(TwwFilterDialogRoundingMethod, "fdrmFixed", "fdrmRelative")

ZELMOR_IMPLEMENT_CLASS(TwwFieldOperators, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TwwFilterDialogRounding, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TwwFilterPropertyOptions, TPersistent)
ZELMOR_IMPLEMENT_COLLECTION_ITEM(TwwSQLTablesCollectionItem, TCollectionItem)
ZELMOR_IMPLEMENT_CLASS(TwwSQLTablesCollection, TOwnedCollection)
ZELMOR_IMPLEMENT_CLASS(TwwFilterDataLink, TDataLink)
ZELMOR_IMPLEMENT_COMPONENT(TwwFilterDialog, TwwCustomDialog)

namespace {

const TCharSet BlanksAndTabs(" \t");

AnsiString Trimmed(const AnsiString& Text) {
    AnsiString S = Text;
    TrimLeadingChars(S, BlanksAndTabs);
    TrimTrailingChars(S, BlanksAndTabs);
    return S;
}

AnsiString Doubled(const AnsiString& Text, char Quote) {
    AnsiString Q(1, Quote);
    return ReplaceCharWithText(Text, Quote, Q + Q);
}

// A literal of the statement: in double quotes when the text holds a single
// quote (as the form of "O'Brien" has it), else in single quotes; the quote
// that closes the literal is doubled inside it.
AnsiString SQLQuoted(const AnsiString& Text) {
    if (Text.find('\'') != AnsiString::npos) return "\"" + Doubled(Text, '"') + "\"";
    return "'" + Text + "'";
}

// Types whose columns take no upper-case function and values no upper-casing.
bool IsUncasedType(TFieldType T) {
    switch (T) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftBoolean:
    case ftFloat:
    case ftCurrency:
    case ftDate:
    case ftTime:
    case ftDateTime:
    case ftAutoInc: return true;
    default: return false;
    }
}

bool IsTypedForRange(TFieldType T) {
    return T == ftSmallint || T == ftInteger || T == ftWord || T == ftFloat || T == ftCurrency ||
           T == ftBCD || T == ftAutoInc;
}

bool IsNumberText(const AnsiString& Text) {
    double V;
    return !Text.empty() && TryStrToFloat(Text, V);
}

// A number goes bare into the text only when it reads as one (after
// OnEncodeValue may have changed it); anything else is a quoted literal.
AnsiString NumberOrLiteral(const AnsiString& Text, bool Expression) {
    if (IsNumberText(Text)) return Text;
    return Expression ? "'" + Doubled(Text, '\'') + "'" : SQLQuoted(Text);
}

}  // namespace

bool IsUnquotedNumberType(TFieldType Type) {
    switch (Type) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftBoolean:
    case ftFloat:
    case ftCurrency:
    case ftAutoInc: return true;
    default: return false;
    }
}

// ---------------------------------------------------------------------------
// The settings objects
// ---------------------------------------------------------------------------

void TwwFieldOperators::DescribeProperties(TPropertyTable& T) {
    using C = TwwFieldOperators;
    T.Property("OrChar", &C::OrChar, &C::SetOrChar);
    T.Property("AndChar", &C::AndChar, &C::SetAndChar);
    T.Property("NullChar", &C::NullChar, &C::SetNullChar);
}

void TwwFieldOperators::Assign(TPersistent* Source) {
    if (auto* S = dynamic_cast<TwwFieldOperators*>(Source)) {
        FOr = S->FOr;
        FAnd = S->FAnd;
        FNull = S->FNull;
        return;
    }
    TPersistent::Assign(Source);
}

void TwwFieldOperators::Store(AnsiString& Field, const AnsiString& Value) {
    AnsiString V = Trimmed(Value);
    if (Field == V) return;
    Field = V;
    if (AnsiSameText(FOr, FAnd) || AnsiSameText(FOr, FNull) || AnsiSameText(FAnd, FNull))
        MessageDlg("Operators do not have a unique value.", mtWarning, {mbOK}, 0);
}

void TwwFilterDialogRounding::DescribeProperties(TPropertyTable& T) {
    using C = TwwFilterDialogRounding;
    T.Property("Epsilon", &C::Epsilon, &C::SetEpsilon);
    T.Property("RoundingMethod", &C::RoundingMethod, &C::SetRoundingMethod).Default(fdrmFixed);
}

void TwwFilterDialogRounding::Assign(TPersistent* Source) {
    if (auto* S = dynamic_cast<TwwFilterDialogRounding*>(Source)) {
        FEpsilon = S->FEpsilon;
        FMethod = S->FMethod;
        return;
    }
    TPersistent::Assign(Source);
}

void TwwFilterPropertyOptions::DescribeProperties(TPropertyTable& T) {
    using C = TwwFilterPropertyOptions;
    T.Property("DatasetFilterType", &C::DatasetFilterType, &C::SetDatasetFilterType).Default(fdUseOnFilter);
    T.Property("UseLikeOperator", &C::UseLikeOperator, &C::SetUseLikeOperator).Default(false);
    T.Property("LikeWildcardChar", &C::LikeWildcardChar, &C::SetLikeWildcardChar);
    T.Property("LikeSupportsUpperKeyword", &C::LikeSupportsUpperKeyword, &C::SetLikeSupportsUpperKeyword)
        .Default(false);
    T.Property("UseBracketsAroundFields", &C::UseBracketsAroundFields, &C::SetUseBracketsAroundFields)
        .Default(true);
}

void TwwFilterPropertyOptions::Assign(TPersistent* Source) {
    if (auto* S = dynamic_cast<TwwFilterPropertyOptions*>(Source)) {
        FType = S->FType;
        FUseLike = S->FUseLike;
        FWildcard = S->FWildcard;
        FLikeUpper = S->FLikeUpper;
        FBrackets = S->FBrackets;
        return;
    }
    TPersistent::Assign(Source);
}

void TwwSQLTablesCollectionItem::DescribeProperties(TPropertyTable& T) {
    using C = TwwSQLTablesCollectionItem;
    T.Property("TableName", &C::TableName, &C::SetTableName);
    T.Property("TableAliasName", &C::TableAliasName, &C::SetTableAliasName);
}

AnsiString TwwSQLTablesCollectionItem::DisplayName() const {
    AnsiString Name = !FTableAliasName.empty() ? FTableAliasName
                      : !FTableName.empty()    ? FTableName
                                               : AnsiString("<Unassigned>");
    return IntToStr(Index()) + " - " + Name;
}

void TwwFilterDataLink::ActiveChanged() {
    TDataLink::ActiveChanged();
    if (FDialog) FDialog->DataSetActiveChanged(Active());
}

// ---------------------------------------------------------------------------
// TwwFilterDialog
// ---------------------------------------------------------------------------

TwwFilterDialog::TwwFilterDialog(TComponent* AOwner)
    : TwwCustomDialog(AOwner), FDataLink(std::make_unique<TwwFilterDataLink>(this)),
      FOriginalSQL(std::make_unique<TStringList>()), FSelectedFields(std::make_unique<TStringList>()),
      FFieldOperators(std::make_unique<TwwFieldOperators>()),
      FRounding(std::make_unique<TwwFilterDialogRounding>()),
      FFilterPropertyOptions(std::make_unique<TwwFilterPropertyOptions>()),
      FSQLTables(std::make_unique<TwwSQLTablesCollection>(this)) {}

TwwFilterDialog::~TwwFilterDialog() {
    if (FDataLink) FDataLink->SetDataSource(nullptr);
}

void TwwFilterDialog::DescribeProperties(TPropertyTable& T) {
    using C = TwwFilterDialog;
    T.Property("DataSource", &C::DataSource, &C::SetDataSource);
    T.Property("Options", &C::Options, &C::SetOptions)
        .Default(TwwFilterDialogOptions{fdShowCaseSensitive, fdShowOKCancel, fdShowViewSummary,
                                        fdShowFieldOrder, fdShowValueRangeTab});
    T.Property("SortBy", &C::SortBy, &C::SetSortBy).Default(fdSortByFieldNo);
    T.Property("Caption", &C::Caption, &C::SetCaption);
    T.Property("FilterMethod", &C::FilterMethod, &C::SetFilterMethod).Default(fdByFilter);
    T.Property("DefaultMatchType", &C::DefaultMatchType, &C::SetDefaultMatchType).Default(fdMatchStart);
    T.Property("DefaultFilterBy", &C::DefaultFilterBy, &C::SetDefaultFilterBy).Default(fdSmartFilter);
    T.Property("DefaultField", &C::DefaultField, &C::SetDefaultField);
    T.Property("SelectedFields", &C::SelectedFields, &C::SetSelectedFields);
    T.Property("FieldsFetchMethod", &C::FieldsFetchMethod, &C::SetFieldsFetchMethod).Default(fmUseTTable);
    T.Property("FieldOperators", &C::FieldOperators, &C::SetFieldOperators);
    T.Property("Rounding", &C::Rounding, &C::SetRounding);
    T.Property("FilterPropertyOptions", &C::FilterPropertyOptions, &C::SetFilterPropertyOptions);
    T.Property("OnFilterPropertyOptions", &C::OnFilterPropertyOptions, &C::SetOnFilterPropertyOptions)
        .Default(TwwOnFilterPropertyOptions{fdClearWhenNoCriteria, fdClearWhenCloseDataSet});
    T.Property("FilterOptimization", &C::FilterOptimization, &C::SetFilterOptimization).Default(fdNone);
    T.Property("UpperRangePadChar", &C::UpperRangePadChar, &C::SetUpperRangePadChar).Default(122);
    T.Property("DlgHeight", &C::DlgHeight, &C::SetDlgHeight).Default(267);
    T.Property("QueryFormatDateMode", &C::QueryFormatDateMode, &C::SetQueryFormatDateMode)
        .Default(qfdMonthDayYear);
    T.Property("SQLTables", &C::SQLTables, &C::SetSQLTables);
    T.Property("SQLUpperString", &C::SQLUpperString, &C::SetSQLUpperString);
    T.Property("SQLPropertyName", &C::SQLPropertyName, &C::SetSQLPropertyName);
    T.Event("OnInitDialog", &C::OnInitDialog);
    T.Event("OnExecuteSQL", &C::OnExecuteSQL);
    T.Event("OnEncodeValue", &C::OnEncodeValue);
    T.Event("OnEncodeDateTime", &C::OnEncodeDateTime);
    T.Event("OnSelectField", &C::OnSelectField);
    T.Event("OnInitTempDataSet", &C::OnInitTempDataSet);
    T.Event("OnAcceptFilterRecord", &C::OnAcceptFilterRecord);
    T.Event("OnDialogSummary", &C::OnDialogSummary);
}

TDataSet* TwwFilterDialog::GetPrimaryDataSet() { return DataSource() ? DataSource()->DataSet() : nullptr; }

void TwwFilterDialog::SetDataSource(TDataSource* Value) {
    if (Value && dynamic_cast<TTable*>(Value->DataSet())) FFilterMethod = fdByFilter;
    FDataLink->SetDataSource(Value);
    if (Value) Value->FreeNotification(this);
}

void TwwFilterDialog::Notification(TComponent* AComponent, TOperation Operation) {
    TwwCustomDialog::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (FDataLink && AComponent == DataSource()) FDataLink->SetDataSource(nullptr);
    if (AComponent == FDummyForm) FDummyForm = nullptr;
}

TwwDummyForm* TwwFilterDialog::DummyForm() {
    if (!FDummyForm) {
        FDummyForm = TForm::CreateNew<TwwDummyForm>(this);
        FDummyForm->Dialog = this;
    }
    return FDummyForm;
}

void TwwFilterDialog::SetFilterMethod(TwwFilterMethod Value) {
    TDataSet* DataSet = GetPrimaryDataSet();
    if (!DataSource() || !DataSet || dynamic_cast<TQuery*>(DataSet) ||
        IsPublishedProp(GetSQLOwner(DataSet), GetSQLPropertyName()) ||
        DataSet->IsClassNamed("TSimpleDataSet")) {
        FFilterMethod = Value;
        return;
    }
    FFilterMethod = fdByFilter;
    if (Value != fdByFilter)
        MessageDlg(
            "Invalid FilterMethod for Dataset. \rOnly fdByFilter is supported for this type of Dataset",
            mtWarning, {mbOK}, 0);
}

AnsiString TwwFilterDialog::GetSQLPropertyName() {
    if (!FSQLPropertyName.empty()) return FSQLPropertyName;
    TDataSet* DataSet = GetPrimaryDataSet();
    if (DataSet && (DataSet->IsClassNamed("TClientDataSet") || DataSet->IsClassNamed("TADODataSet") ||
                    DataSet->IsClassNamed("TSimpleDataSet")))
        return "CommandText";
    return "SQL";
}

TComponent* TwwFilterDialog::GetSQLOwner(TDataSet* DataSet) {
    if (!DataSet) DataSet = GetPrimaryDataSet();
    if (DataSet && DataSet->IsClassNamed("TSimpleDataSet"))
        if (auto* Inner = dynamic_cast<TComponent*>(GetDataSetProp(DataSet))) return Inner;
    return DataSet;
}

void TwwFilterDialog::DoInitDialog() {
    if (Assigned(OnInitDialog)) OnInitDialog(FForm);
}

void TwwFilterDialog::DoSelectField(const AnsiString& FieldName, AnsiString& PictureMask, TStrings* List) {
    if (Assigned(OnSelectField)) OnSelectField(this, FieldName, PictureMask, List);
}

void TwwFilterDialog::DoInitTempDataSet(TDataSet* DataSet, TDataSet* TempDataSet) {
    if (Assigned(OnInitTempDataSet)) OnInitTempDataSet(this, DataSet, TempDataSet);
}

void TwwFilterDialog::DoAcceptFilterRecord(TDataSet* DataSet, bool& Accept, bool& DefaultFiltering) {
    if (Assigned(OnAcceptFilterRecord)) OnAcceptFilterRecord(this, DataSet, Accept, DefaultFiltering);
}

void TwwFilterDialog::DataSetActiveChanged(bool Active) {
    if (Active || FGuard || !FOnFilterOptions.Contains(fdClearWhenCloseDataSet)) return;
    TDataSet* DataSet = GetPrimaryDataSet();
    if (!FFieldInfo.empty() && DataSet && FFilterMethod == fdByFilter) SetFilterEnabled(DataSet, false);
    if (FFilterMethod == fdByFilter) FFieldInfo.clear();
}

void TwwFilterDialog::ShowSummary(TwwFieldInfoList& Criteria) {
    bool DoDefault = true;
    if (Assigned(OnDialogSummary)) {
        DoDefault = false;
        OnDialogSummary(this, Criteria, DoDefault);
    }
    if (DoDefault) ShowFilterSummary(this, Criteria);
}

void TwwFilterDialog::RebuildFieldCatalog() {
    if (FFilterMethod == fdByQueryModify) BuildSQLFieldCatalog();
    else BuildFieldCatalog();
}

void TwwFilterDialog::BuildFieldCatalog() {
    FCatalog.clear();
    TDataSet* DataSet = GetPrimaryDataSet();
    if (!DataSet) return;
    for (int I = 0; I < DataSet->FieldCount(); ++I) {
        TField* F = DataSet->Fields()->Fields(I);
        FCatalog.push_back({F->FieldName(), F->FieldName(), "", F->DataType(), F->DisplayLabel(), F->Size()});
    }
}

namespace {

// The statement's text as lines: a string-list property, or a string one split.
bool ReadSQLText(TComponent* Owner, const AnsiString& PropName, TStrings* Into) {
    Into->Clear();
    if (!Owner || !IsPublishedProp(Owner, PropName)) return false;
    if (PropType(Owner, PropName) == tkClass) {
        if (auto* L = dynamic_cast<TStrings*>(GetObjectProp(Owner, PropName))) Into->Assign(L);
        return true;
    }
    Into->SetText(GetStrProp(Owner, PropName));
    return true;
}

bool IsClauseWord(const AnsiString& Token) {
    static const char* const Words[] = {"WHERE", "GROUP", "HAVING", "UNION", "PLAN",  "ORDER", "FOR",
                                        "JOIN",  "LEFT",  "RIGHT",  "INNER", "OUTER", "ON",    ";"};
    const AnsiString Upper = AnsiUpperCase(Token);
    return std::any_of(std::begin(Words), std::end(Words), [&](const char* W) { return Upper == W; });
}

// The tables of the FROM list, each with its alias; a clause word after a
// table is no alias.
std::vector<std::pair<AnsiString, AnsiString>> FromListTables(TStrings* SQL) {
    std::vector<std::pair<AnsiString, AnsiString>> Tables;
    int Line = 0, Pos = 1;
    bool Found = false;
    for (; Line < SQL->Count() && !Found; ++Line) {
        AnsiString Text = AnsiUpperCase(SQL->Strings(Line));
        Pos = 1;
        for (AnsiString T = ScanFilterToken(Text, Pos); !T.empty(); T = ScanFilterToken(Text, Pos))
            if (T == "FROM") {
                Found = true;
                break;
            }
    }
    if (!Found) return Tables;
    --Line;
    // The tokens after FROM across lines, as written (not upper-cased).
    auto Next = [&]() -> AnsiString {
        while (Line < SQL->Count()) {
            AnsiString T = ScanFilterToken(AnsiUpperCase(SQL->Strings(Line)), Pos);
            if (!T.empty()) {
                // The same stretch of the line as written.
                return AnsiString(SQL->Strings(Line).substr(size_t(Pos) - 1 - T.size(), T.size()));
            }
            ++Line;
            Pos = 1;
        }
        return {};
    };
    for (;;) {
        AnsiString T = Next();
        if (T.empty()) break;
        AnsiString Name = T, Alias = T;
        bool Quoted = T.front() == '"' || T.front() == '\'';
        AnsiString After = Next();
        if (Quoted) {
            Name = T.substr(1, T.size() - 2);
            Alias = After;
            After = Next();
        } else if (!After.empty() && After != "," && !IsClauseWord(After)) {
            Tables.push_back({Name, After});
            break;
        }
        Tables.push_back({Name, Alias});
        if (After != ",") break;
    }
    return Tables;
}

}  // namespace

void TwwFilterDialog::BuildSQLFieldCatalog() {
    FCatalog.clear();
    TDataSet* DataSet = GetPrimaryDataSet();
    if (!DataSet) return;
    if (FFieldsFetchMethod == fmUseTFields) {
        DataSet->UpdateFieldDefs();
        for (int I = 0; I < DataSet->FieldCount(); ++I) {
            TField* F = DataSet->Fields()->Fields(I);
            TwwDBFieldInfo E{F->FieldName(), F->FieldName(), "", F->DataType(), F->DisplayLabel(), F->Size()};
            if (FSQLTables->Count() > 0) {
                TwwSQLTablesCollectionItem* Item = FSQLTables->Item(0);
                E.TableName = Item->TableAliasName().empty() ? Item->TableName() : Item->TableAliasName();
            }
            const AnsiString Origin = IsPublishedProp(F, "Origin") ? GetStrProp(F, "Origin") : AnsiString();
            if (!Origin.empty()) {
                auto Parts = std::make_unique<TStringList>();
                SplitToList(Origin, '.', *Parts);
                E.SQLFieldName = Parts->Strings(Parts->Count() - 1);
                if (Parts->Count() > 1) E.TableName = Parts->Strings(Parts->Count() - 2);
            }
            if (TFieldDef* D = DataSet->FieldDefs()->Find(F->FieldName())) {
                E.DataType = D->DataType();
                E.Size = D->Size();
            }
            FCatalog.push_back(E);
        }
        return;
    }
    auto SQL = std::make_unique<TStringList>();
    ReadSQLText(GetSQLOwner(DataSet), GetSQLPropertyName(), SQL.get());
    std::vector<std::pair<AnsiString, AnsiString>> Tables;
    if (FSQLTables->Count() > 0) {
        for (int I = 0; I < FSQLTables->Count(); ++I) {
            TwwSQLTablesCollectionItem* Item = FSQLTables->Item(I);
            if (Item->TableName().empty()) continue;
            Tables.push_back({Item->TableName(),
                              Item->TableAliasName().empty() ? Item->TableName() : Item->TableAliasName()});
        }
    } else {
        Tables = FromListTables(SQL.get());
    }
    // Statements of this engine's data sets are read through tables of the same database.
    for (const auto& [Name, Alias] : Tables) {
        auto Temp = std::unique_ptr<TTable>(new TTable(nullptr));
        Temp->SetDatabaseName(GetDatabaseName(DataSet));
        SetSessionName(Temp.get(), GetSessionName(DataSet));
        Temp->SetTableName(Name);
        Temp->SetReadOnly(true);
        DoInitTempDataSet(DataSet, Temp.get());
        Temp->UpdateFieldDefs();
        for (int I = 0; I < Temp->FieldDefs()->Count(); ++I) {
            TFieldDef* D = Temp->FieldDefs()->Items(I);
            bool Taken = std::any_of(FCatalog.begin(), FCatalog.end(), [&](const TwwDBFieldInfo& E) {
                return AnsiSameText(E.FieldName, D->Name());
            });
            if (Taken) continue;
            AnsiString Label = D->Name();
            if (TField* F = DataSet->FindField(D->Name())) Label = F->DisplayLabel();
            FCatalog.push_back({D->Name(), D->Name(), Alias, D->DataType(), Label, D->Size()});
        }
    }
}

// ---------------------------------------------------------------------------
// Values
// ---------------------------------------------------------------------------

namespace {

std::vector<AnsiString> ValueTokens(const AnsiString& Value) {
    std::vector<AnsiString> Tokens;
    int Pos = 1;
    for (;;) {
        AnsiString T;
        T = ScanToken(Value, Pos, 1 | 2 | 4, TCharSet());
        if (T.empty() && Pos > int(Value.size())) break;
        if (!T.empty()) Tokens.push_back(T);
        if (Pos > int(Value.size())) break;
    }
    return Tokens;
}

}  // namespace

AnsiString TwwFilterDialog::FindValueOperator(const AnsiString& Value) const {
    std::vector<AnsiString> Tokens = ValueTokens(Value);
    for (size_t I = 1; I < Tokens.size(); ++I) {
        if (AnsiSameText(Tokens[I], FFieldOperators->OrChar())) return FFieldOperators->OrChar();
        if (AnsiSameText(Tokens[I], FFieldOperators->AndChar())) return FFieldOperators->AndChar();
    }
    return {};
}

AnsiString TwwFilterDialog::NextValuePiece(const AnsiString& Value, const AnsiString& Operator,
                                           int& Position) const {
    if (Operator.empty()) {
        Position = -1;
        return Value;
    }
    std::vector<AnsiString> Tokens = ValueTokens(Value);
    // Position counts tokens here: the first token of the piece.
    AnsiString Piece;
    size_t I = size_t(std::max(0, Position));
    for (; I < Tokens.size(); ++I) {
        if (AnsiSameText(Tokens[I], Operator)) {
            if (Piece.empty()) {
                Piece = Tokens[I];
                ++I;
            }
            break;
        }
        Piece += Piece.empty() ? Tokens[I] : " " + Tokens[I];
    }
    if (I < Tokens.size() && AnsiSameText(Tokens[I], Operator)) ++I;
    Position = I >= Tokens.size() ? -1 : int(I);
    return Piece;
}

AnsiString TwwFilterDialog::SQLDateText(TDateTime Value, TFieldType Type, const AnsiString& FieldName) {
    int Y, M, D;
    DecodeDate(Value, Y, M, D);
    AnsiString Text;
    switch (FQueryFormatDateMode) {
    case qfdMonthDayYear: Text = IntToStr(M) + "/" + IntToStr(D) + "/" + IntToStr(Y); break;
    case qfdDayMonthYear: Text = IntToStr(D) + "/" + IntToStr(M) + "/" + IntToStr(Y); break;
    case qfdYearMonthDay: Text = IntToStr(Y) + "/" + IntToStr(M) + "/" + IntToStr(D); break;
    }
    if (Assigned(OnEncodeDateTime)) OnEncodeDateTime(Value, Type, FieldName, Text);
    return Text;
}

AnsiString TwwFilterDialog::SQLTimeText(TDateTime Value, TFieldType Type, const AnsiString& FieldName) {
    int H, N, S, MS;
    DecodeTime(Value, H, N, S, MS);
    AnsiString Text = IntToStr(H) + ":" + IntToStr(N) + ":" + IntToStr(S);
    if (Assigned(OnEncodeDateTime)) OnEncodeDateTime(Value, Type, FieldName, Text);
    return Text;
}

AnsiString TwwFilterDialog::SQLDateTimeText(TDateTime Value, TFieldType Type, const AnsiString& FieldName) {
    TwwEncodeDateTimeEvent Saved = OnEncodeDateTime;
    OnEncodeDateTime = nullptr;
    AnsiString Text = SQLDateText(Value, Type, FieldName) + " " + SQLTimeText(Value, Type, FieldName);
    OnEncodeDateTime = Saved;
    if (Assigned(OnEncodeDateTime)) OnEncodeDateTime(Value, Type, FieldName, Text);
    return Text;
}

AnsiString TwwFilterDialog::ExtendUpperBound(const AnsiString& Text, int Size) const {
    if (FUpperRangePadChar == 0 || int(Text.size()) >= Size) return Text;
    return Text + AnsiString(size_t(Size) - Text.size(), char(FUpperRangePadChar));
}

void TwwFilterDialog::ResolveFieldName(TwwFieldInfo& Info) {
    if (!Info.FieldName.empty()) return;
    Info.FieldName = Info.DisplayName;
    for (int I = 0; I < FSelectedFields->Count(); ++I) {
        AnsiString Line = FSelectedFields->Strings(I);
        size_t Semi = Line.find(';');
        if (Semi == AnsiString::npos) continue;
        if (AnsiSameText(Line.substr(Semi + 1), Info.DisplayName)) {
            Info.FieldName = Line.substr(0, Semi);
            return;
        }
    }
}

const TwwDBFieldInfo* TwwFilterDialog::CatalogEntry(TwwFieldInfo& Info) {
    ResolveFieldName(Info);
    for (const TwwDBFieldInfo& E : FCatalog)
        if (AnsiSameText(E.FieldName, Info.FieldName)) return &E;
    return nullptr;
}

// ---------------------------------------------------------------------------
// The statement's condition lines
// ---------------------------------------------------------------------------

bool TwwFilterDialog::DateCondition(const AnsiString& Column, TFieldType Type, const AnsiString& Piece,
                                    const AnsiString& FieldName, AnsiString& Condition) {
    TDateTime V;
    if ((Type != ftDate && Type != ftTime && Type != ftDateTime) || !TryStrToDateTime(Piece, V)) return false;
    if (Type == ftDate) Condition = Column + "='" + SQLDateText(V, Type, FieldName) + "'";
    else if (Type == ftTime) Condition = "   " + Column + "='" + SQLTimeText(V, Type, FieldName) + "'";
    else Condition = "   " + Column + "='" + SQLDateTimeText(V, Type, FieldName) + "'";
    return true;
}

AnsiString TwwFilterDialog::JoinConditions(const AnsiString& Value, const AnsiString& Operator,
                                           bool DoubleQuotes,
                                           const std::function<bool(AnsiString, AnsiString&)>& Make) {
    AnsiString Text;
    int Written = 0;
    for (int Pos = 0; Pos != -1;) {
        AnsiString Piece = NextValuePiece(Value, Operator, Pos);
        Piece = Trimmed(DoubleQuotes ? Doubled(Piece, '\'') : Piece);
        if (Piece.empty()) continue;
        AnsiString Condition;
        if (!Make(Piece, Condition)) continue;
        if (Written++ > 0) Text += AnsiSameText(Operator, FFieldOperators->OrChar()) ? " or " : " and ";
        Text += Condition;
    }
    return Written > 0 ? "(" + Text + ")" : AnsiString();
}

namespace {

// A criterion's lines after those before it; one that adds no condition adds no connector either.
void AddCriterionLines(TStrings* Lines, const std::vector<AnsiString>& Own, bool& First) {
    if (Own.empty()) return;
    for (const AnsiString& Line : Own)
        if (!Line.empty()) Lines->Add(Line);
    First = false;
}

}  // namespace

namespace {

AnsiString ColumnReference(const TwwDBFieldInfo& E) {
    bool Odd = E.SQLFieldName.find_first_of(" -") != AnsiString::npos;
    AnsiString Q = Odd ? "\"" : "";
    AnsiString Column = Q + E.SQLFieldName + Q;
    if (E.TableName.empty()) return Column;
    if (E.TableName.find('.') == AnsiString::npos) return E.TableName + "." + Column;
    return "\"" + E.TableName + "\"." + Column;
}

// The connector before a criterion's condition; the first condition written has none but its negation.
AnsiString Connector(bool First, bool Negated) {
    if (Negated) return First ? "  not" : "  and not";
    return First ? "" : " and";
}

}  // namespace

bool TwwFilterDialog::BuildSQLLines(TStrings* Lines) {
    Lines->Clear();
    bool First = true;
    for (TwwFieldInfo& Info : FFieldInfo) {
        const TwwDBFieldInfo* Entry = CatalogEntry(Info);
        if (!Entry) {
            MessageDlg("TwwFilterDialog: Field not found (" + Info.FieldName + ")", mtWarning, {mbOK}, 0);
            return false;
        }
        const TFieldType Type = Entry->DataType;
        AnsiString Column = ColumnReference(*Entry);
        std::vector<AnsiString> Own;
        if (Info.MatchType == fdMatchRange) {
            auto Bound = [&](AnsiString Text, bool Upper) {
                if (Type == ftString || Type == ftFixedChar || Type == ftWideString) {
                    if (Upper) Text = ExtendUpperBound(Text, Entry->Size);
                } else if (Type == ftDate || Type == ftTime || Type == ftDateTime) {
                    TDateTime V;
                    if (TryStrToDateTime(Text, V))
                        Text = Type == ftDate   ? SQLDateText(V, Type, Entry->FieldName)
                               : Type == ftTime ? SQLTimeText(V, Type, Entry->FieldName)
                                                : SQLDateTimeText(V, Type, Entry->FieldName);
                }
                if (Assigned(OnEncodeValue)) OnEncodeValue(Type, Entry->SQLFieldName, Text);
                if (IsTypedForRange(Type)) return NumberOrLiteral(Text, false);
                return "'" + Doubled(Text, '\'') + "'";
            };
            const bool Ordered = IsTypedForRange(Type) || Type == ftString || Type == ftFixedChar ||
                                 Type == ftWideString || Type == ftDate || Type == ftTime ||
                                 Type == ftDateTime;
            if (Ordered) {
                if (!Info.MinValue.empty())
                    Own.push_back("   " + Column + " >= " + Bound(Info.MinValue, false));
                if (!Info.MaxValue.empty()) {
                    if (!Info.MinValue.empty()) Own.push_back(" and");
                    Own.push_back("   " + Column + " <= " + Bound(Info.MaxValue, true));
                }
            }
            if (!Own.empty()) Own.insert(Own.begin(), Connector(First, false));
        } else if (Info.MatchType == fdMatchStart || Info.MatchType == fdMatchAny ||
                   Info.MatchType == fdMatchExact) {
            const AnsiString Operator = FindValueOperator(Info.FilterValue);
            const bool Upper = !Info.CaseSensitive && !IsUncasedType(Type);
            AnsiString Value = Info.FilterValue;
            if (Upper) {
                Column =
                    (FSQLUpperString.empty() ? AnsiString("Upper") : FSQLUpperString) + "(" + Column + ")";
                Value = AnsiUpperCase(Value);
            }
            const AnsiString Text =
                JoinConditions(Value, Operator, false, [&](AnsiString Piece, AnsiString& Condition) {
                    if (AnsiSameText(Piece, FFieldOperators->NullChar())) {
                        Condition = Column + " is NULL";
                    } else {
                        if (Info.MatchType == fdMatchStart) Piece += "%";
                        else if (Info.MatchType == fdMatchAny) Piece = "%" + Piece + "%";
                        if (!Info.CaseSensitive) Piece = AnsiUpperCase(Piece);
                        if (Assigned(OnEncodeValue)) OnEncodeValue(Type, Entry->FieldName, Piece);
                        if (IsUnquotedNumberType(Type)) {
                            Condition = Column + "=" + NumberOrLiteral(Piece, false);
                        } else if (DateCondition(Column, Type, Piece, Entry->FieldName, Condition)) {
                        } else if (Info.MatchType == fdMatchExact && Type != ftBlob && Type != ftMemo &&
                                   Type != ftOraBlob && Type != ftOraClob) {
                            Condition = Column + "=" + SQLQuoted(Piece);
                        } else {
                            Condition = Column + " like " + SQLQuoted(Piece);
                        }
                    }
                    return true;
                });
            if (!Text.empty()) {
                Own.push_back(Connector(First, Info.NonMatching));
                Own.push_back(Text);
            }
        }
        AddCriterionLines(Lines, Own, First);
    }
    return true;
}

void TwwFilterDialog::InsertWhereLines(TStrings* Lines) {
    TDataSet* DataSet = GetPrimaryDataSet();
    TComponent* Owner = GetSQLOwner(DataSet);
    const AnsiString PropName = GetSQLPropertyName();
    auto SQL = std::make_unique<TStringList>();
    if (!ReadSQLText(Owner, PropName, SQL.get()) || SQL->Count() == 0 || Lines->Count() == 0) return;
    std::unique_ptr<TParams> SavedParams;
    if (TParams* P = GetParamsProp(DataSet); P && P->IsClassNamed("TParams")) {
        SavedParams = std::make_unique<TParams>(nullptr);
        SavedParams->Assign(P);
    }
    static const char* const Keywords[] = {"WHERE", "GROUP", "HAVING", "UNION", "PLAN", "ORDER", "FOR"};
    auto IsKeyword = [](const AnsiString& T) {
        return std::any_of(std::begin(Keywords), std::end(Keywords), [&](const char* K) { return T == K; });
    };
    // The first clause keyword from a line and position on: its line, the
    // position the scan for it started at, and the position after it. A
    // keyword inside parentheses belongs to a subquery, not to the statement.
    struct THit {
        int Line = -1, ScanStart = 0, After = 0;
        AnsiString Word;
    };
    auto FindKeyword = [&](int FromLine, int FromPos) {
        THit Hit;
        int Depth = 0;
        for (int L = FromLine; L < SQL->Count(); ++L) {
            AnsiString Text = AnsiUpperCase(SQL->Strings(L));
            int Pos = L == FromLine ? FromPos : 1;
            for (;;) {
                int Start = Pos;
                AnsiString T = ScanFilterToken(Text, Pos);
                if (T.empty()) break;
                if (T == "(") ++Depth;
                else if (T == ")" && Depth > 0) --Depth;
                else if (Depth == 0 && IsKeyword(T)) return THit{L, Start, Pos, T};
            }
        }
        return Hit;
    };
    THit Clause = FindKeyword(0, 1);
    if (Clause.Line < 0) {
        SQL->Add("Where");
        for (int I = 0; I < Lines->Count(); ++I) SQL->Add(Lines->Strings(I));
    } else if (Clause.Word != "WHERE") {
        const AnsiString Line = SQL->Strings(Clause.Line);
        const int KeywordStart = Clause.After - int(Clause.Word.size());  // 1-based
        AnsiString Before = Line.substr(0, size_t(std::max(0, KeywordStart - 1)));
        TrimLeadingChars(Before, BlanksAndTabs);
        TrimTrailingChars(Before, BlanksAndTabs);
        int At = Clause.Line;
        if (Before.empty()) {
            SQL->Insert(At, "Where");
        } else {
            SQL->SetStrings(At, Before);
            SQL->Insert(++At, "Where");
            SQL->Insert(At + 1, Line.substr(size_t(KeywordStart - 1)));
        }
        for (int I = 0; I < Lines->Count(); ++I) SQL->Insert(At + 1 + I, Lines->Strings(I));
    } else {
        THit End = FindKeyword(Clause.Line, Clause.After);
        int CutLine = End.Line;
        size_t Cut;
        if (CutLine < 0) {
            CutLine = SQL->Count() - 1;
            Cut = SQL->Strings(CutLine).size();
        } else {
            Cut = size_t(End.ScanStart - 1);
        }
        const AnsiString Line = SQL->Strings(CutLine);
        AnsiString Head = Line.substr(0, Cut), Rest = Line.substr(Cut);
        int At = CutLine;
        if (Trimmed(Head).empty()) SQL->Delete(At);
        else SQL->SetStrings(At++, Head);
        SQL->Insert(At++, "And");
        for (int I = 0; I < Lines->Count(); ++I) SQL->Insert(At++, Lines->Strings(I));
        if (!Rest.empty()) SQL->Insert(At, Rest);
    }
    try {
        AssignStringsProp(Owner, SQL.get(), PropName);
    } catch (...) {
        if (SavedParams) AssignParamsProp(DataSet, SavedParams.get());
        throw;
    }
    if (SavedParams) AssignParamsProp(DataSet, SavedParams.get());
}

void TwwFilterDialog::RewriteSQL() {
    TDataSet* DataSet = GetPrimaryDataSet();
    if (!DataSet) return;
    TComponent* Owner = GetSQLOwner(DataSet);
    const AnsiString PropName = GetSQLPropertyName();
    auto SQL = std::make_unique<TStringList>();
    const bool HasText = ReadSQLText(Owner, PropName, SQL.get());
    FGuard = true;
    try {
        DataSet->Close();
    } catch (...) {
        FGuard = false;
        throw;
    }
    FGuard = false;
    if (HasText) {
        if (FOriginalSQL->Count() > 0) AssignStringsProp(Owner, FOriginalSQL.get(), PropName);
        else FOriginalSQL->Assign(SQL.get());
    }
    auto Lines = std::make_unique<TStringList>();
    if (!BuildSQLLines(Lines.get())) return;
    if (HasText) InsertWhereLines(Lines.get());
    if (dynamic_cast<TQuery*>(DataSet) && Assigned(OnExecuteSQL)) OnExecuteSQL(FForm, DataSet);
    try {
        DataSet->Open();
    } catch (...) {
        ReadSQLText(Owner, PropName, SQL.get());
        AnsiString Text = "Unable to Execute SQL:\r";
        for (int I = 0; I < SQL->Count(); ++I) Text += SQL->Strings(I) + "\r";
        MessageDlg(Text, mtWarning, {mbOK}, 0);
        throw;
    }
}

// ---------------------------------------------------------------------------
// Local filtering
// ---------------------------------------------------------------------------

bool TwwFilterDialog::BuildFilterLines(TDataSet* DataSet, TStrings* Lines) {
    Lines->Clear();
    TwwFilterPropertyOptions* P = FFilterPropertyOptions.get();
    bool First = true;
    for (TwwFieldInfo& Info : FFieldInfo) {
        ResolveFieldName(Info);
        TField* Field = DataSet->FindField(Info.FieldName);
        AnsiString Column = P->UseBracketsAroundFields() ? "[" + Info.FieldName + "]" : Info.FieldName;
        if (!Field) {
            MessageDlg("Field Name not found in referenced tables. \r" + Column, mtWarning, {mbOK}, 0);
            return false;
        }
        const TFieldType Type = Field->DataType();
        // The callback alone judges blobs, lookups and calculated fields.
        if (Field->IsBlob() || IsCalcOrLookupField(Field)) continue;
        std::vector<AnsiString> Own;
        if (Info.MatchType == fdMatchRange) {
            const bool Text = Type == ftString || Type == ftFixedChar || Type == ftWideString;
            const bool Dates = Type == ftDate || Type == ftTime || Type == ftDateTime;
            const bool Number = IsTypedForRange(Type);
            auto Bound = [&](AnsiString B, bool Upper) {
                if (Text && Upper) B = ExtendUpperBound(B, Field->Size());
                TDateTime V;
                if (Dates && TryStrToDateTime(B, V))
                    B = Type == ftDate   ? SQLDateText(V, Type, Info.FieldName)
                        : Type == ftTime ? SQLTimeText(V, Type, Info.FieldName)
                                         : SQLDateTimeText(V, Type, Info.FieldName);
                if (Assigned(OnEncodeValue)) OnEncodeValue(Type, Column, B);
                if (Number) return NumberOrLiteral(B, true);
                return "'" + Doubled(B, '\'') + "'";
            };
            if (Text || Dates || Number) {
                if (!Info.MinValue.empty())
                    Own.push_back("(" + Column + " >= " + Bound(Info.MinValue, false) + ")");
                if (!Info.MaxValue.empty()) {
                    if (!Info.MinValue.empty()) Own.push_back(" and");
                    Own.push_back("(" + Column + " <= " + Bound(Info.MaxValue, true) + ")");
                }
            }
            if (!Own.empty()) Own.insert(Own.begin(), Connector(First, false));
        } else if (Info.MatchType == fdMatchStart || Info.MatchType == fdMatchAny ||
                   Info.MatchType == fdMatchExact) {
            const AnsiString Operator = FindValueOperator(Info.FilterValue);
            AnsiString Value = Info.FilterValue;
            AnsiString Col = Column;
            if (P->UseLikeOperator() && P->LikeSupportsUpperKeyword() && !Info.CaseSensitive &&
                !IsUncasedType(Type)) {
                Col = (FSQLUpperString.empty() ? AnsiString("Upper") : FSQLUpperString) + "(" + Column + ")";
                Value = AnsiUpperCase(Value);
            }
            const AnsiString Text =
                JoinConditions(Value, Operator, true, [&](AnsiString Piece, AnsiString& Condition) {
                    if (AnsiSameText(Piece, FFieldOperators->NullChar())) {
                        Condition = Col + " is NULL";
                    } else {
                        const AnsiString Wild =
                            P->UseLikeOperator() ? P->LikeWildcardChar() : AnsiString("*");
                        if (Info.MatchType == fdMatchStart) Piece += Wild;
                        else if (Info.MatchType == fdMatchAny) Piece = Wild + Piece + Wild;
                        if (Assigned(OnEncodeValue)) OnEncodeValue(Type, Col, Piece);
                        if (dynamic_cast<TStringField*>(Field) && Field->Size() > 0 &&
                            int(Piece.size()) > Field->Size())
                            Piece.resize(size_t(Field->Size()));
                        if (IsUnquotedNumberType(Type)) {
                            Condition = Col + "=" + NumberOrLiteral(Piece, true);
                        } else if (DateCondition(Col, Type, Piece, Info.FieldName, Condition)) {
                        } else if (Info.MatchType == fdMatchExact) {
                            Condition = Col + "='" + Piece + "'";
                        } else if (P->UseLikeOperator()) {
                            Condition = Col + " like '" + Piece + "'";
                        } else if (Info.MatchType == fdMatchStart) {
                            Condition = Col + "='" + Piece + "'";
                        } else {
                            // A match anywhere has no form without LIKE: the callback judges it.
                            return false;
                        }
                    }
                    return true;
                });
            if (!Text.empty()) {
                Own.push_back(Connector(First, Info.NonMatching));
                Own.push_back(Text);
            }
        }
        AddCriterionLines(Lines, Own, First);
    }
    return true;
}

AnsiString TwwFilterDialog::FilterExpression(TStrings* Lines) {
    AnsiString Text;
    for (int I = 0; I < Lines->Count(); ++I) Text += " " + Lines->Strings(I);
    return Text;
}

bool TwwFilterDialog::ApplyFilterExpression(TDataSet* DataSet) {
    auto Lines = std::make_unique<TStringList>();
    if (!BuildFilterLines(DataSet, Lines.get())) return true;
    const AnsiString Expression = FilterExpression(Lines.get());
    TCursor Saved = Screen->Cursor();
    try {
        Screen->SetCursor(crHourGlass);
        FGuard = true;
        DataSet->SetFiltered(false);
        DataSet->SetFilter(Expression);
        DataSet->SetFiltered(true);
        if (FFilterPropertyOptions->DatasetFilterType() == fdUseBothFilterTypes)
            InstallCallback(DataSet, false);
        DataSet->Open();
        FGuard = false;
        Screen->SetCursor(Saved);
    } catch (const std::exception&) {
        Screen->SetCursor(Saved);
        try {
            DataSet->SetFiltered(false);
            DataSet->SetFilter("");
            DataSet->Open();
        } catch (const std::exception&) {
        }
        FGuard = false;
        AnsiString Text = "Unable to Execute Filter:\r";
        for (int I = 0; I < Lines->Count(); ++I) Text += Lines->Strings(I) + "\r";
        MessageDlg(Text, mtWarning, {mbOK}, 0);
        return false;
    }
    return true;
}

void TwwFilterDialog::InstallCallback(TDataSet* DataSet, bool On) {
    FCallbackOn = On;
    DummyForm()->Forget();
    if (auto* Table = dynamic_cast<TwwTable*>(DataSet)) {
        Table->SetOnFilter(nullptr);
        if (On)
            Table->SetOnFilter([this](TwwTable* T, bool& Accept) { Accept = DummyForm()->FilterRecord(T); });
        return;
    }
    DataSet->OnFilterRecord = nullptr;
    if (On)
        DataSet->OnFilterRecord = [this](TDataSet* D, bool& Accept) {
            Accept = DummyForm()->FilterRecord(D);
        };
}

void TwwFilterDialog::ApplyIndexRange(TDataSet* DataSet) {
    auto* Table = dynamic_cast<TwwTable*>(DataSet);
    if (!Table || GetMasterSource(Table)) return;
    if (FRangeApplied) {
        FGuard = true;
        Table->ClearRange();
        FGuard = false;
        FRangeApplied = false;
    }
    if (FFilterOptimization == fdNone) return;
    for (TwwFieldInfo& Info : FFieldInfo) {
        ResolveFieldName(Info);
        if (Info.NonMatching || !FindValueOperator(Info.FilterValue).empty()) continue;
        TField* Field = Table->FindField(Info.FieldName);
        if (!Field) continue;
        if (FFilterOptimization == fdUseActiveIndex) {
            if (Table->IndexName().empty() && Table->IndexFieldNames().empty()) return;
            if (!AnsiSameText(Table->GetFirstIndexField(), Info.FieldName)) continue;
        } else {
            const bool Range = Info.MatchType == fdMatchRange;
            AnsiString Index =
                Table->GetIndexNameForFields(Info.FieldName, Range ? false : Info.CaseSensitive);
            if (Index == "?")
                Index = Table->GetIndexNameForFields(Info.FieldName, Range ? true : !Info.CaseSensitive);
            if (Index == "?") continue;
            Table->SetIndexName(Index);
        }
        const bool IsText = Field->DataType() == ftString || Field->DataType() == ftFixedChar ||
                            Field->DataType() == ftWideString;
        AnsiString Low, High;
        if (Info.MatchType == fdMatchExact && !Info.FilterValue.empty()) {
            Low = High = Info.FilterValue;
        } else if (Info.MatchType == fdMatchStart && !Info.FilterValue.empty() && IsText) {
            Low = Info.FilterValue;
            High = ExtendUpperBound(Info.FilterValue, Field->Size());
        } else if (Info.MatchType == fdMatchRange && (!Info.MinValue.empty() || !Info.MaxValue.empty())) {
            Low = Info.MinValue;
            if (!Info.MaxValue.empty())
                High = IsText ? ExtendUpperBound(Info.MaxValue, Field->Size()) : Info.MaxValue;
        } else {
            continue;
        }
        FGuard = true;
        try {
            if (High.empty()) Table->SetRangeFromKey({Low});
            else Table->SetRange({Low}, {High});
        } catch (...) {
            FGuard = false;
            throw;
        }
        FGuard = false;
        FRangeApplied = true;
        return;
    }
}

void TwwFilterDialog::ApplyLocalFilter() {
    TDataSet* DataSet = GetPrimaryDataSet();
    if (!DataSet) return;
    const TwwDatasetFilterType Kind = FFilterPropertyOptions->DatasetFilterType();
    if (Kind == fdUseFilterProp || Kind == fdUseBothFilterTypes) {
        if (!ApplyFilterExpression(DataSet)) return;
        if (Kind == fdUseFilterProp) return;
    }
    if (!DataSet->Active()) DataSet->Open();
    InstallCallback(DataSet, false);
    ApplyIndexRange(DataSet);
    if (FFieldInfo.empty() && FOnFilterOptions.Contains(fdClearWhenNoCriteria)) {
        DataSet->SetFiltered(false);
        return;
    }
    InstallCallback(DataSet, true);
    const bool HasOnFilter = IsPublishedProp(DataSet, "OnFilter");
    if (!HasOnFilter || DataSet->IsClassNamed("TClientDataSet")) {
        FGuard = true;
        DataSet->SetFiltered(false);
        DataSet->SetFiltered(true);
        FGuard = false;
    }
}

void TwwFilterDialog::ApplyFilter() {
    TDataSet* DataSet = GetPrimaryDataSet();
    if (!DataSet) return;
    if (auto* Owner = dynamic_cast<TCustomForm*>(this->Owner())) Owner->Update();
    SetFilterEnabled(DataSet, true);
    if (!dynamic_cast<TQuery*>(DataSet) && !IsPublishedProp(GetSQLOwner(DataSet), GetSQLPropertyName())) {
        ApplyLocalFilter();
        return;
    }
    if (FFilterMethod == fdByFilter) {
        if (TCustomForm* Form = GetOwnerFormOf(this)) Form->Update();
        ApplyLocalFilter();
    } else {
        TCursor Saved = Screen->Cursor();
        Screen->SetCursor(crHourGlass);
        try {
            RewriteSQL();
        } catch (...) {
            Screen->SetCursor(Saved);
            throw;
        }
        Screen->SetCursor(Saved);
    }
}

void TwwFilterDialog::ApplyCriteria(const TwwFieldInfoList& Criteria) {
    TDataSet* DataSet = GetPrimaryDataSet();
    FFieldInfo.clear();
    for (TwwFieldInfo Info : Criteria) {
        if (DataSet) {
            AnsiString Name = FieldNameByDisplayLabel(DataSet, Info.DisplayName);
            if (!Name.empty()) Info.FieldName = Name;
        }
        FFieldInfo.push_back(Info);
    }
    ApplyFilter();
}

bool TwwFilterDialog::RecordAccepted(TDataSet* DataSet) { return DummyForm()->FilterRecord(DataSet); }

bool TwwFilterDialog::CriterionAccepts(TDataSet* DataSet, TwwFieldInfo& Info) {
    return DummyForm()->CriterionAccepts(DataSet, Info);
}
bool TwwFilterDialog::Execute() {
    TDataSet* DataSet = GetPrimaryDataSet();
    if (!DataSource() || !DataSet) return false;
    if (FFilterMethod == fdByFilter && !DataSet->Active()) {
        MessageDlg("Dataset must be active to perform local filtering (FilterMethod=fdByFilter).", mtError,
                   {mbOK}, 0);
        return false;
    }
    if (AnsiSameText(FFieldOperators->OrChar(), FFieldOperators->AndChar()))
        MessageDlg("And and Or Operators have the same value.", mtWarning, {mbOK}, 0);
    const TCursor Saved = Screen->Cursor();
    Screen->SetCursor(crHourGlass);
    TwwFilterDlg* F = nullptr;
    bool Ok = false, Changed = false;
    TwwFieldInfoList Working;
    try {
        F = TForm::CreateNew<TwwFilterDlg>(Application);
        FForm = F;
        F->Start(this);
        if (FOptions.Contains(fdSizeable)) F->SetBorderStyle(bsSizeable);
        F->SetCaption(FCaption);
        Screen->SetCursor(Saved);
        Ok = F->ShowModal() == mrOk;
        Changed = F->CriteriaChanged;
        Working = F->Working;
    } catch (...) {
        Screen->SetCursor(Saved);
        FForm = nullptr;
        if (F) F->Free();
        throw;
    }
    FForm = nullptr;
    F->Free();
    if (Ok && (Changed || !GetFilterOptions(DataSet).Contains(ofoEnabled))) ApplyCriteria(Working);
    return Ok;
}

// ---------------------------------------------------------------------------
// TwwFilterDlg
// ---------------------------------------------------------------------------

ZELMOR_IMPLEMENT_CLASS(TwwFilterDlg, TForm)

namespace {

int Px(int Value) { return MulDiv(Value, Screen->PixelsPerInch(), 96); }

template <class T>
T* Make(TComponent* Owner, TWinControl* Parent, const char* Name, int L, int T0, int W, int H) {
    auto* C = NewComponent<T>(Owner);
    C->SetName(Name);
    C->SetBounds(L, T0, W, H);
    C->SetParent(Parent);
    return C;
}

AnsiString Blanked(const AnsiString& Label) { return ReplaceChar(Label, '~', ' '); }

}  // namespace

TwwFilterDlg::TwwFilterDlg(TComponent* AOwner, TCreateNew Tag) : TForm(AOwner, Tag) {
    SetName("wwFilterDlg");
    SetCaption("Super Search");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetKeyPreview(true);
    Font()->SetName("MS Sans Serif");
    Font()->SetHeight(-11);
    SetClientWidth(506);
    SetClientHeight(291);
    Constraints()->SetMinWidth(460);
    Constraints()->SetMinHeight(274);

    FieldListPanel = Make<TPanel>(this, this, "FieldListPanel", 0, 0, 185, 291);
    FieldListPanel->SetAlign(alLeft);
    FieldListPanel->SetCaption("");
    FieldListPanel->SetBevelOuter(bvNone);
    FieldsLbl = Make<TLabel>(this, FieldListPanel, "FieldsLbl", 8, 4, 100, 13);
    FieldsLbl->SetCaption("Fields");
    FieldTabSet = Make<TTabControl>(this, FieldListPanel, "FieldTabSet", 8, 20, 170, 200);
    FieldTabSet->Tabs()->Add("&All");
    FieldTabSet->Tabs()->Add("&Searched");
    FieldTabSet->SetTabIndex(0);
    FieldTabSet->OnChanging = [this](TObject* S, bool& Allow) { FieldTabSetChanging(S, Allow); };
    FieldsListBox = Make<TListBox>(this, FieldTabSet, "FieldsListBox", 0, 0, 160, 170);
    FieldsListBox->SetAlign(alClient);
    FieldsListBox->OnClick = [this](TObject* S) { FieldsListBoxClick(S); };
    FieldOrder = Make<TRadioGroup>(this, FieldListPanel, "FieldOrder", 8, 224, 170, 60);
    FieldOrder->Items()->Add("Alpha&betic");
    FieldOrder->Items()->Add("&Logical");
    FieldOrder->OnClick = [this](TObject* S) { FieldOrderClick(S); };

    OKCancelPanel = Make<TPanel>(this, this, "OKCancelPanel", 416, 0, 90, 291);
    OKCancelPanel->SetAlign(alRight);
    OKCancelPanel->SetCaption("");
    OKCancelPanel->SetBevelOuter(bvNone);

    FieldCriteriaPanel = Make<TPanel>(this, this, "FieldCriteriaPanel", 185, 0, 231, 291);
    FieldCriteriaPanel->SetAlign(alClient);
    FieldCriteriaPanel->SetCaption("");
    FieldCriteriaPanel->SetBevelOuter(bvNone);
    FieldCriteria = Make<TLabel>(this, FieldCriteriaPanel, "FieldCriteria", 4, 4, 200, 13);
    ButtonPanel = Make<TPanel>(this, FieldCriteriaPanel, "ButtonPanel", 0, 255, 231, 36);
    ButtonPanel->SetAlign(alBottom);
    ButtonPanel->SetCaption("");
    ButtonPanel->SetBevelOuter(bvNone);
    ViewButton = Make<TButton>(this, ButtonPanel, "ViewButton", 4, 6, 100, 25);
    ViewButton->SetCaption("View Su&mmary");
    ViewButton->OnClick = [this](TObject* S) { ViewButtonClick(S); };
    ClearSearchButton = Make<TButton>(this, ButtonPanel, "ClearSearchButton", 110, 6, 100, 25);
    ClearSearchButton->SetCaption("&New Search");
    ClearSearchButton->SetEnabled(false);
    ClearSearchButton->OnClick = [this](TObject* S) { ClearSearchButtonClick(S); };

    SelectNotebook = Make<TPageControl>(this, FieldCriteriaPanel, "SelectNotebook", 2, 20, 227, 230);
    SelectNotebook->SetTabPosition(tpBottom);
    TabSheet1 = NewComponent<TTabSheet>(this);
    TabSheet1->SetName("TabSheet1");
    TabSheet1->SetCaption("By &Value");
    TabSheet1->SetPageControl(SelectNotebook);
    TabSheet2 = NewComponent<TTabSheet>(this);
    TabSheet2->SetName("TabSheet2");
    TabSheet2->SetCaption("By &Range");
    TabSheet2->SetPageControl(SelectNotebook);

    FieldValueLbl = Make<TLabel>(this, TabSheet1, "FieldValueLbl", 4, 4, 150, 13);
    FieldValueLbl->SetCaption("Field Value");
    FilterValueEdit = Make<TwwDBEdit>(this, TabSheet1, "FilterValueEdit", 4, 20, 150, 21);
    FilterValueEdit->OnChange = [this](TObject* S) { ControlChange(S); };
    FilterValueCombo = Make<TwwDBComboBox>(this, TabSheet1, "FilterValueCombo", 4, 20, 150, 21);
    FilterValueCombo->SetVisible(false);
    FilterValueCombo->OnChange = [this](TObject* S) { ControlChange(S); };
    FilterValueClearButton = Make<TButton>(this, TabSheet1, "FilterValueClearButton", 158, 20, 50, 21);
    FilterValueClearButton->SetCaption("Clear");
    FilterValueClearButton->SetEnabled(false);
    FilterValueClearButton->OnClick = [this](TObject*) { SetValueText(""); };
    MatchTypeGroup = Make<TRadioGroup>(this, TabSheet1, "MatchTypeGroup", 4, 46, 204, 72);
    MatchTypeGroup->SetCaption("Search Type");
    MatchTypeGroup->Items()->Add("&Exact Match");
    MatchTypeGroup->Items()->Add("&Partial Match at Beginning");
    MatchTypeGroup->Items()->Add("Partial Match Any&where");
    Panel1 = Make<TPanel>(this, TabSheet1, "Panel1", 4, 122, 204, 41);
    Panel1->SetCaption("");
    Panel1->SetBevelOuter(bvNone);
    CaseSensitive = Make<TCheckBox>(this, Panel1, "CaseSensitive", 4, 3, 190, 17);
    CaseSensitive->SetCaption("Case Sensitive");
    Nonmatching = Make<TCheckBox>(this, Panel1, "Nonmatching", 4, 21, 190, 17);
    Nonmatching->SetCaption("Non-matching records");

    StartingRangeLbl = Make<TLabel>(this, TabSheet2, "StartingRangeLbl", 4, 4, 150, 13);
    StartingRangeLbl->SetCaption("Starting Range");
    MinValueEdit = Make<TEdit>(this, TabSheet2, "MinValueEdit", 4, 20, 150, 21);
    MinValueEdit->OnChange = [this](TObject* S) { ControlChange(S); };
    MinDateEdit = Make<TwwDBDateTimePicker>(this, TabSheet2, "MinDateEdit", 4, 20, 150, 21);
    MinDateEdit->SetVisible(false);
    MinDateEdit->OnChange = [this](TObject* S) { ControlChange(S); };
    MinValueClearButton = Make<TButton>(this, TabSheet2, "MinValueClearButton", 158, 20, 50, 21);
    MinValueClearButton->SetCaption("Clear");
    MinValueClearButton->SetEnabled(false);
    MinValueClearButton->OnClick = [this](TObject*) { SetRangeText(false, ""); };
    EndingRangeLbl = Make<TLabel>(this, TabSheet2, "EndingRangeLbl", 4, 48, 150, 13);
    EndingRangeLbl->SetCaption("Ending Range");
    MaxValueEdit = Make<TEdit>(this, TabSheet2, "MaxValueEdit", 4, 64, 150, 21);
    MaxValueEdit->OnChange = [this](TObject* S) { ControlChange(S); };
    MaxDateEdit = Make<TwwDBDateTimePicker>(this, TabSheet2, "MaxDateEdit", 4, 64, 150, 21);
    MaxDateEdit->SetVisible(false);
    MaxDateEdit->OnChange = [this](TObject* S) { ControlChange(S); };
    MaxValueClearButton = Make<TButton>(this, TabSheet2, "MaxValueClearButton", 158, 64, 50, 21);
    MaxValueClearButton->SetCaption("Clear");
    MaxValueClearButton->SetEnabled(false);
    MaxValueClearButton->OnClick = [this](TObject*) { SetRangeText(true, ""); };

    FValueControl = FilterValueEdit;
    FMinControl = MinValueEdit;
    FMaxControl = MaxValueEdit;
    OnShow = [this](TObject* S) { FormShow(S); };
    FieldCriteriaPanel->OnResize = [this](TObject*) {
        SelectNotebook->SetBounds(
            SelectNotebook->Left(), SelectNotebook->Top(), FieldCriteriaPanel->Width() - 4,
            FieldCriteriaPanel->Height() - SelectNotebook->Top() - ButtonPanel->Height() - 5);
    };
}

void TwwFilterDlg::Start(TwwFilterDialog* D) {
    Dialog = D;
    DataSet = D->GetPrimaryDataSet();
    Working = D->FieldInfo();
    FCurrent = nullptr;
    D->RebuildFieldCatalog();
    OKBtn = CreateDialogButton(this, bkOK);
    OKBtn->SetParent(OKCancelPanel);
    OKBtn->SetModalResult(mrNone);
    OKBtn->SetDefault(true);
    OKBtn->SetEnabled(false);
    OKBtn->SetBounds(Px(7), Px(22), OKBtn->Width(), OKBtn->Height());
    OKBtn->SetTabOrder(2);
    OKBtn->OnClick = [this](TObject* S) { OKBtnClick(S); };
    OKBtn->SetVisible(true);
    CancelBtn = CreateDialogButton(this, bkCancel);
    CancelBtn->SetParent(OKCancelPanel);
    CancelBtn->SetBounds(Px(7), Px(62), CancelBtn->Width(), CancelBtn->Height());
    CancelBtn->SetTabOrder(3);
    CancelBtn->SetVisible(true);
}

bool TwwFilterDlg::IsTypedField(const TwwDBFieldInfo* E) const {
    if (!E) return false;
    const TFieldType T = E->DataType;
    return (T >= ftSmallint && T <= ftBCD) || T == ftDate || T == ftDateTime || T == ftAutoInc ||
           (T == ftTime && Dialog->FilterMethod() == fdByQueryModify);
}

AnsiString TwwFilterDlg::ValueText() const {
    if (FValueControl == FilterValueCombo) {
        AnsiString Text = FilterValueCombo->Text();
        return FilterValueCombo->MapList() ? FilterValueCombo->DisplayToValue(Text) : Text;
    }
    return FilterValueEdit->Text();
}

void TwwFilterDlg::SetValueText(const AnsiString& Text) {
    if (FValueControl == FilterValueCombo)
        FilterValueCombo->SetText(FilterValueCombo->MapList() ? FilterValueCombo->ValueToDisplay(Text)
                                                              : Text);
    else FilterValueEdit->SetText(Text);
}

AnsiString TwwFilterDlg::RangeText(bool Upper) const {
    auto* Picker = dynamic_cast<TwwDBDateTimePicker*>(RangeControl(Upper));
    if (!Picker) return RangeControl(Upper)->Text();
    if (Trim(Picker->Text()).empty()) return {};
    const TDateTime Date = Picker->Date();
    const TDateTime Time = Picker->Time();
    bool WithTime = false;
    if (FCurrent && FCurrent->DataType == ftDateTime)
        WithTime = Upper
                       ? Time != 0 || Picker->Text().find(FormatSettings().TimeSeparator) != AnsiString::npos
                       : Time != 0;
    return WithTime ? DateToStr(Date) + " " + TimeToStr(Time) : DateToStr(Date);
}

void TwwFilterDlg::SetRangeText(bool Upper, const AnsiString& Text) {
    auto* Picker = dynamic_cast<TwwDBDateTimePicker*>(RangeControl(Upper));
    if (!Picker) {
        RangeControl(Upper)->SetText(Text);
        return;
    }
    TDateTime Value = 0;
    if (Trim(Text).empty() || !TryStrToDateTime(Trim(Text), Value)) Value = 0;
    Picker->SetDateTime(Value);
}

void TwwFilterDlg::ChooseRangeControls() {
    const TFieldType T = FCurrent ? FCurrent->DataType : ftUnknown;
    const bool Pickers =
        (T == ftDate || T == ftDateTime) && !Dialog->Options().Contains(fdDisableDateTimePicker);
    if (Pickers) {
        // Both editors edit what the field holds: a date, or a date and a time.
        const TwwDTEditDataType Kind = T == ftDateTime ? wwDTEdtDateTime : wwDTEdtDate;
        MinDateEdit->SetUnboundDataType(Kind);
        MaxDateEdit->SetUnboundDataType(Kind);
    }
    FMinControl = Pickers ? static_cast<TCustomEdit*>(MinDateEdit) : MinValueEdit;
    FMaxControl = Pickers ? static_cast<TCustomEdit*>(MaxDateEdit) : MaxValueEdit;
    MinDateEdit->SetVisible(Pickers);
    MaxDateEdit->SetVisible(Pickers);
    MinValueEdit->SetVisible(!Pickers);
    MaxValueEdit->SetVisible(!Pickers);
}

int TwwFilterDlg::FindCriterion(const AnsiString& DisplayName) const {
    for (size_t I = 0; I < Working.size(); ++I)
        if (AnsiSameText(Working[I].DisplayName, DisplayName)) return int(I);
    return -1;
}

void TwwFilterDlg::FillFieldList() {
    const AnsiString Keep = FieldsListBox->ItemIndex() >= 0
                                ? FieldsListBox->Items()->Strings(FieldsListBox->ItemIndex())
                                : AnsiString();
    FieldsListBox->Items()->Clear();
    FItems.clear();
    const bool Searched = FieldTabSet->TabIndex() == 1;
    std::vector<std::pair<AnsiString, const TwwDBFieldInfo*>> Rows;
    auto Add = [&](const AnsiString& Name, const TwwDBFieldInfo* E) {
        AnsiString Shown = Blanked(Name);
        for (auto& R : Rows)
            if (R.first == Shown) return;
        if (Searched && FindCriterion(Shown) < 0) return;
        Rows.push_back({Shown, E});
    };
    TwwDBFieldInfoList& Catalog = Dialog->FieldCatalog();
    if (Dialog->SelectedFields()->Count() > 0) {
        for (int I = 0; I < Dialog->SelectedFields()->Count(); ++I) {
            AnsiString Line = Dialog->SelectedFields()->Strings(I);
            size_t Semi = Line.find(';');
            AnsiString Name = Line.substr(0, Semi),
                       Display = Semi == AnsiString::npos ? "" : Line.substr(Semi + 1);
            for (TwwDBFieldInfo& E : Catalog)
                if (AnsiSameText(E.FieldName, Name)) {
                    if (!Display.empty()) E.DisplayLabel = Display;
                    Add(E.DisplayLabel, &E);
                    break;
                }
        }
    } else {
        for (TwwDBFieldInfo& E : Catalog)
            if (IsSearchableFieldType(E.DataType)) Add(E.DisplayLabel, &E);
    }
    if (FieldOrder->ItemIndex() == 0)
        std::stable_sort(Rows.begin(), Rows.end(),
                         [](const auto& A, const auto& B) { return AnsiCompareText(A.first, B.first) < 0; });
    for (auto& R : Rows) {
        FieldsListBox->Items()->Add(R.first);
        FItems.push_back(R.second);
    }
    FieldsListBox->SetItemIndex(FieldsListBox->Items()->IndexOf(Keep));
}

bool TwwFilterDlg::Commit() {
    const TwwFilterMatchType Match = MatchTypeGroup->ItemIndex() == 0   ? fdMatchExact
                                     : MatchTypeGroup->ItemIndex() == 2 ? fdMatchAny
                                                                        : fdMatchStart;
    if (FCurrent) {
        const AnsiString Display = FieldCriteria->Caption();
        const bool MappedCombo = FValueControl == FilterValueCombo && FilterValueCombo->MapList();
        auto Reselect = [&] { FieldsListBox->SetItemIndex(FieldsListBox->Items()->IndexOf(Display)); };
        if (OnValuePage() && IsTypedField(FCurrent) && !(MappedCombo && FActivated)) {
            const AnsiString Value = ValueText();
            const AnsiString Or = Dialog->FieldOperators()->OrChar();
            const AnsiString Op = Dialog->FindValueOperator(Value);
            for (int Pos = 0; Pos != -1;) {
                AnsiString Piece =
                    Trim(Dialog->NextValuePiece(Value, AnsiSameText(Op, Or) ? Op : AnsiString(), Pos));
                if (Piece.empty() || AnsiSameText(Piece, Dialog->FieldOperators()->NullChar())) continue;
                if (!TextFitsFieldType(FCurrent->DataType, Piece)) {
                    SelectNotebook->SetActivePage(TabSheet1);
                    if (FValueControl->CanFocus()) FValueControl->SetFocus();
                    FilterValueEdit->SelectAll();
                    Reselect();
                    return false;
                }
            }
        }
        for (bool Upper : {false, true}) {
            AnsiString Bound = Trim(RangeText(Upper));
            if (!Bound.empty() && !TextFitsFieldType(FCurrent->DataType, Bound)) {
                SelectNotebook->SetActivePage(TabSheet2);
                TCustomEdit* E = RangeControl(Upper);
                if (E->CanFocus()) E->SetFocus();
                E->SelectAll();
                Reselect();
                return false;
            }
        }
        if (FActivated) {
            TwwFieldInfo Info;
            Info.FieldName = FCurrent->FieldName;
            Info.DisplayName = Display;
            bool Empty;
            if (OnValuePage()) {
                Info.MatchType = Match;
                Info.FilterValue = ValueText();
                Info.CaseSensitive = CaseSensitive->Checked();
                Info.NonMatching = Nonmatching->Checked();
                Empty = Info.FilterValue.empty();
            } else {
                Info.MatchType = fdMatchRange;
                Info.MinValue = RangeText(false);
                Info.MaxValue = RangeText(true);
                Empty = Info.MinValue.empty() && Info.MaxValue.empty();
            }
            const int At = FindCriterion(Display);
            if (At >= 0 && Empty) {
                Working.erase(Working.begin() + At);
                CriteriaChanged = true;
            } else if (At >= 0) {
                if (!(Working[size_t(At)] == Info)) CriteriaChanged = true;
                Working[size_t(At)] = Info;
            } else if (!Empty) {
                Working.push_back(Info);
                CriteriaChanged = true;
            }
        }
        ClearSearchButton->SetEnabled(!Working.empty());
    }
    return true;
}

void TwwFilterDlg::Load() {
    const int Item = FieldsListBox->ItemIndex();
    if (Item < 0 || Item >= int(FItems.size())) return;
    FLoading = true;
    FCurrent = FItems[size_t(Item)];
    ChooseRangeControls();
    const AnsiString Display = FieldsListBox->Items()->Strings(Item);
    const int At = FindCriterion(Display);
    const TwwFieldInfo* Info = At >= 0 ? &Working[size_t(At)] : nullptr;
    CaseSensitive->SetChecked(Info ? Info->CaseSensitive : Dialog->Options().Contains(fdCaseSensitive));
    Nonmatching->SetChecked(Info ? Info->NonMatching : false);
    AnsiString Mask;
    auto List = std::make_unique<TStringList>();
    if (Assigned(Dialog->OnSelectField)) {
        Dialog->DoSelectField(FCurrent->FieldName, Mask, List.get());
        FilterValueEdit->Picture()->SetPictureMask(Mask);
        FilterValueCombo->Picture()->SetPictureMask(Mask);
        FilterValueCombo->Items()->Assign(List.get());
        FilterValueCombo->SetShowButton(List->Count() > 0);
        FilterValueCombo->SetShowMatchText(List->Count() > 0);
    }
    const TwwFilterMatchType Match = Info ? Info->MatchType : Dialog->DefaultMatchType();
    const bool Combo = Match != fdMatchAny && FilterValueCombo->Items()->Count() > 0;
    FValueControl = Combo ? static_cast<TWinControl*>(FilterValueCombo) : FilterValueEdit;
    FilterValueCombo->SetVisible(Combo);
    FilterValueEdit->SetVisible(!Combo);
    FilterValueEdit->SetUsePictureMask(Match != fdMatchAny);
    const int Items = MatchTypeGroup->Items()->Count();
    int Index = Match == fdMatchExact ? 0 : Match == fdMatchAny ? 2 : 1;
    MatchTypeGroup->SetItemIndex(Index < Items ? Index : 1);
    if (!Info) {
        SetValueText("");
        SetRangeText(false, "");
        SetRangeText(true, "");
    } else if (Info->MatchType == fdMatchRange) {
        SetRangeText(false, Info->MinValue);
        SetRangeText(true, Info->MaxValue);
        SetValueText("");
    } else {
        SetValueText(Info->FilterValue);
        SetRangeText(false, "");
        SetRangeText(true, "");
    }
    FieldCriteria->SetCaption(Display);
    const bool LocalCallback = Dialog->FilterMethod() == fdByFilter &&
                               Dialog->FilterPropertyOptions()->DatasetFilterType() == fdUseOnFilter;
    if (IsTypedField(FCurrent) && !dynamic_cast<TTable*>(DataSet) && !LocalCallback) {
        MatchTypeGroup->SetItemIndex(0);
        MatchTypeGroup->SetEnabled(false);
        CaseSensitive->SetEnabled(false);
    } else {
        MatchTypeGroup->SetEnabled(true);
        CaseSensitive->SetEnabled(true);
        const TFieldType T = FCurrent->DataType;
        if (Dialog->FilterMethod() == fdByQueryModify &&
            (T == ftBlob || T == ftMemo || T == ftOraBlob || T == ftOraClob)) {
            CaseSensitive->SetChecked(true);
            CaseSensitive->SetEnabled(false);
        }
    }
    FLoading = false;
    UpdateButtons();
}

void TwwFilterDlg::ChoosePage() {
    if (!FCurrent) return;
    const int At = FindCriterion(FieldCriteria->Caption());
    bool Range;
    if (At >= 0) Range = Working[size_t(At)].MatchType == fdMatchRange;
    else if (Dialog->DefaultFilterBy() == fdFilterByRange) Range = true;
    else if (Dialog->DefaultFilterBy() == fdFilterByValue) Range = false;
    else Range = IsTypedField(FCurrent) && FCurrent->DataType != ftBoolean;
    if (!Dialog->Options().Contains(fdShowValueRangeTab))
        Range = Dialog->DefaultFilterBy() == fdFilterByRange;
    SelectNotebook->SetActivePage(Range ? TabSheet2 : TabSheet1);
}

bool TwwFilterDlg::CommitAndLoad() {
    if (!Commit()) return false;
    Load();
    return true;
}

void TwwFilterDlg::UpdateButtons() {
    if (FLoading) return;
    FilterValueClearButton->SetEnabled(!ValueText().empty());
    MinValueClearButton->SetEnabled(!FMinControl->Text().empty());
    MaxValueClearButton->SetEnabled(!FMaxControl->Text().empty());
    ClearSearchButton->SetEnabled(!Working.empty() || !ValueText().empty() || !FMinControl->Text().empty() ||
                                  !FMaxControl->Text().empty());
}

void TwwFilterDlg::ControlChange(TObject*) {
    UpdateButtons();
    if (!FLoading && OKBtn) OKBtn->SetEnabled(true);
}

void TwwFilterDlg::ApplyTexts() {
    TwwFilterDialogIntl* T = DefaultIntl->FilterDialog();
    Font()->SetStyle(DefaultIntl->DialogFontStyle());
    FieldTabSet->Font()->SetStyle(DefaultIntl->DialogFontStyle());
    ViewButton->SetCaption(T->BtnViewSummary());
    ViewButton->SetHint(T->BtnViewSummaryHint());
    ClearSearchButton->SetCaption(T->BtnNewSearch());
    ClearSearchButton->SetHint(T->BtnNewSearchHint());
    FieldOrder->SetCaption(T->FieldOrderLabel());
    FieldOrder->SetHint(T->FieldOrderHint());
    FieldOrder->Items()->SetStrings(0, T->AlphabeticLabel());
    FieldOrder->Items()->SetStrings(1, T->LogicalLabel());
    FieldTabSet->Tabs()->SetStrings(0, T->AllFieldsLabel());
    FieldTabSet->Tabs()->SetStrings(1, T->SearchedFieldsLabel());
    FieldTabSet->SetHint(T->AllSearchedTabHint());
    StartingRangeLbl->SetCaption(T->StartingRangeLabel());
    MinValueEdit->SetHint(T->StartingRangeHint());
    MinDateEdit->SetHint(T->StartingRangeHint());
    EndingRangeLbl->SetCaption(T->EndingRangeLabel());
    MaxValueEdit->SetHint(T->EndingRangeHint());
    MaxDateEdit->SetHint(T->EndingRangeHint());
    MinValueClearButton->SetCaption(T->BtnClearMin());
    MaxValueClearButton->SetCaption(T->BtnClearMax());
    FilterValueClearButton->SetCaption(T->BtnClearFilterValue());
    TabSheet1->SetCaption(T->ByValueLabel());
    TabSheet2->SetCaption(T->ByRangeLabel());
    FieldValueLbl->SetCaption(T->FieldValueLabel());
    FilterValueEdit->SetHint(T->FieldValueHint());
    FilterValueCombo->SetHint(T->FieldValueHint());
    MatchTypeGroup->SetCaption(T->SearchTypeLabel());
    MatchTypeGroup->SetHint(T->SearchTypeHint());
    MatchTypeGroup->Items()->SetStrings(0, T->MatchExactLabel());
    MatchTypeGroup->Items()->SetStrings(1, T->MatchStartLabel());
    if (MatchTypeGroup->Items()->Count() > 2) MatchTypeGroup->Items()->SetStrings(2, T->MatchAnyLabel());
    CaseSensitive->SetCaption(T->CaseSensitiveLabel());
    CaseSensitive->SetHint(T->CaseSensitiveHint());
    Nonmatching->SetCaption(T->NonMatchingLabel());
    Nonmatching->SetHint(T->NonMatchingHint());
    FieldsLbl->SetCaption(T->FieldsLabel());
}

void TwwFilterDlg::FormShow(TObject*) {
    const TwwFilterDialogOptions O = Dialog->Options();
    TwwFilterPropertyOptions* P = Dialog->FilterPropertyOptions();
    if (!O.Contains(fdShowOKCancel)) {
        OKBtn->SetTop(1000);
        CancelBtn->SetTop(1000);
        SetWidth(Width() - OKBtn->Width() - 8);
        OKCancelPanel->SetWidth(10);
    }
    if (O.Contains(fdHidePartialAnywhere) ||
        (Dialog->FilterMethod() == fdByFilter && P->DatasetFilterType() == fdUseFilterProp &&
         !P->UseLikeOperator())) {
        MatchTypeGroup->Items()->Delete(2);
        MatchTypeGroup->SetHeight(MatchTypeGroup->Height() - 10);
    }
    FieldOrder->SetVisible(O.Contains(fdShowFieldOrder));
    if (!O.Contains(fdShowViewSummary)) {
        ViewButton->SetVisible(false);
        ClearSearchButton->SetLeft(ViewButton->Left());
    }
    TabSheet1->SetTabVisible(O.Contains(fdShowValueRangeTab));
    TabSheet2->SetTabVisible(O.Contains(fdShowValueRangeTab));
    const bool ExpressionOnly =
        (P->DatasetFilterType() == fdUseFilterProp || P->DatasetFilterType() == fdUseBothFilterTypes) &&
        (!P->UseLikeOperator() || !P->LikeSupportsUpperKeyword());
    CaseSensitive->SetVisible(O.Contains(fdShowCaseSensitive) && !ExpressionOnly);
    if (!O.Contains(fdShowNonMatching)) {
        Nonmatching->SetVisible(false);
        if (CaseSensitive->Visible()) Panel1->SetHeight(Px(26));
        else Panel1->SetVisible(false);
    } else if (CaseSensitive->Visible()) {
        Panel1->SetHeight(41);
    } else {
        Panel1->SetHeight(26);
        Nonmatching->SetTop(5);
    }
    SetHeight(Px(Dialog->DlgHeight()));
    FieldOrder->SetItemIndex(Dialog->SortBy() == fdSortByFieldName ? 0 : 1);
    if (Working.empty()) {
        FieldTabSet->SetTabIndex(0);
        FillFieldList();
        int I = FieldsListBox->Items()->Count() > 0 ? 0 : -1;
        for (int J = 0; J < FieldsListBox->Items()->Count(); ++J)
            if (AnsiSameText(FieldsListBox->Items()->Strings(J), Blanked(Dialog->DefaultField()))) I = J;
        FieldsListBox->SetItemIndex(I);
    } else {
        FieldTabSet->SetTabIndex(1);
        FillFieldList();
        FieldsListBox->SetItemIndex(FieldsListBox->Items()->Count() > 0 ? 0 : -1);
    }
    CommitAndLoad();
    ChoosePage();
    FocusEntry();
    if (O.Contains(fdTabsAtTop)) {
        SelectNotebook->SetTabPosition(tpTop);
        FieldTabSet->SetTabPosition(tpTop);
    }
    ApplyTexts();
    Dialog->DoInitDialog();
    CriteriaChanged = DataSet && !DataSet->Active();
    FActivated = true;
    OKBtn->SetEnabled(false);
}

void TwwFilterDlg::FieldsListBoxClick(TObject*) {
    if (CommitAndLoad()) ChoosePage();
}

void TwwFilterDlg::ViewButtonClick(TObject*) {
    if (!Commit()) return;
    if (Working.empty())
        MessageDlg(DefaultIntl->UserMessages()->FilterDlgNoCriteria(), mtInformation, {mbOK}, 0);
    else Dialog->ShowSummary(Working);
    FocusEntry();
}

void TwwFilterDlg::ClearSearchButtonClick(TObject*) {
    Working.clear();
    CriteriaChanged = true;
    FLoading = true;
    SetValueText("");
    SetRangeText(false, "");
    SetRangeText(true, "");
    FLoading = false;
    ClearSearchButton->SetEnabled(false);
    MatchTypeGroup->SetItemIndex(1);
    if (FieldTabSet->TabIndex() != 0) {
        FieldTabSet->SetTabIndex(0);
        FillFieldList();
    }
    OKBtn->SetEnabled(true);
}

void TwwFilterDlg::FieldTabSetChanging(TObject*, bool& AllowChange) {
    if (!Commit()) {
        AllowChange = false;
        return;
    }
    const bool ToSearched = FieldTabSet->TabIndex() == 0;
    if (ToSearched && Working.empty()) {
        MessageDlg(DefaultIntl->UserMessages()->FilterDlgNoCriteria(), mtInformation, {mbOK}, 0);
        AllowChange = false;
        return;
    }
    // The list is refilled for the tab about to show, its selection kept.
    FieldTabSet->SetTabIndex(ToSearched ? 1 : 0);
    FillFieldList();
    if (FieldsListBox->ItemIndex() < 0 && FieldsListBox->Items()->Count() > 0) FieldsListBox->SetItemIndex(0);
    Load();
    ChoosePage();
    FieldTabSet->SetTabIndex(ToSearched ? 0 : 1);
}

void TwwFilterDlg::FieldOrderClick(TObject*) {
    if (!FActivated) return;
    FillFieldList();
}

void TwwFilterDlg::OKBtnClick(TObject*) {
    if (!Commit()) return;
    SetModalResult(mrOk);
}

void TwwFilterDlg::KeyDown(WORD& Key, TShiftState Shift) {
    TForm::KeyDown(Key, Shift);
    if (ActiveControl() == FieldsListBox && FieldTabSet->TabIndex() == 1 && Key == VK_DELETE) {
        const int At = FindCriterion(FieldCriteria->Caption());
        if (At >= 0) {
            Working.erase(Working.begin() + At);
            CriteriaChanged = true;
            OKBtn->SetEnabled(true);
        }
        FCurrent = nullptr;
        FillFieldList();
        FieldsListBox->SetItemIndex(FieldsListBox->Items()->Count() > 0 ? 0 : -1);
        Load();
        ChoosePage();
        Key = 0;
        return;
    }
    const bool Arrow = (Key == VK_UP || Key == VK_DOWN) && !Shift.Contains(ssAlt);
    if (!Arrow && Key != VK_PRIOR && Key != VK_NEXT) return;
    // A date-time editor with a date steps its parts with these keys.
    if (auto* Picker = dynamic_cast<TwwDBDateTimePicker*>(ActiveControl()); Picker && !Picker->Text().empty())
        return;
    const int Count = FieldsListBox->Items()->Count();
    if (Count == 0) return;
    const int Page = std::max(1, FieldsListBox->ClientHeight() / std::max(1, FieldsListBox->ItemHeight()));
    int I = FieldsListBox->ItemIndex();
    if (Key == VK_UP) --I;
    else if (Key == VK_DOWN) ++I;
    else if (Key == VK_PRIOR) I -= Page;
    else I += Page;
    I = std::clamp(I, 0, Count - 1);
    Key = 0;
    if (I == FieldsListBox->ItemIndex()) return;
    const int Old = FieldsListBox->ItemIndex();
    FieldsListBox->SetItemIndex(I);
    if (!CommitAndLoad()) {
        FieldsListBox->SetItemIndex(Old);
        return;
    }
    ChoosePage();
    FocusEntry();
}

void TwwFilterDlg::FocusEntry() {
    TWinControl* Entry = OnValuePage() ? FValueControl : static_cast<TWinControl*>(FMinControl);
    if (Entry->CanFocus()) Entry->SetFocus();
}
