#include "dataaware/Wwfltdum.h"

#include <cmath>

#include "dataaware/Wwintl.h"
#include "dataaware/Wwtable.h"
#include "dataaware/wwhelpers.h"
#include "platform/db/Fields.h"
#include "platform/db/Params.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/Regional.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/Strings.h"
#include "platform/ui/RichEdit.h"

ZELMOR_IMPLEMENT_CLASS(TwwDummyForm, TForm)

namespace {

bool IsIntegerType(TFieldType T) {
    return T == ftSmallint || T == ftInteger || T == ftWord || T == ftAutoInc || T == ftLargeint;
}
bool IsFloatType(TFieldType T) { return T == ftFloat || T == ftCurrency || T == ftBCD; }
bool IsDateType(TFieldType T) { return T == ftDate || T == ftTime || T == ftDateTime; }
bool IsStringType(TFieldType T) { return T == ftString || T == ftFixedChar || T == ftWideString; }

bool ReadDate(const AnsiString& Text, TDateTime& Value) {
    return TryStrToDateTime(Text, Value) || TryStrToDate(Text, Value);
}

// A piece against the text; the null word against an empty text.
bool PieceMatches(const AnsiString& Text, const AnsiString& Piece, TwwFilterMatchType Match, TFieldType Type,
                  const AnsiString& NullChar, bool Blob) {
    if (Text.empty() && AnsiSameText(Piece, NullChar)) return true;
    if (Blob && AnsiSameText(Piece, "not " + NullChar)) return !Text.empty();
    switch (Match) {
    case fdMatchStart: return Text.compare(0, Piece.size(), Piece) == 0;
    case fdMatchAny: return Text.find(Piece) != AnsiString::npos;
    case fdMatchEnd:
        return Text.size() >= Piece.size() &&
               Text.compare(Text.size() - Piece.size(), Piece.size(), Piece) == 0;
    default: break;
    }
    if (Text == Piece) return true;
    if (Blob || IsStringType(Type)) return false;
    if (Trim(Text).empty() != Trim(Piece).empty()) return false;
    if (AnsiSameText(Piece, NullChar)) return false;
    if (IsIntegerType(Type)) {
        int A, B;
        return TryStrToInt(Trim(Text), A) && TryStrToInt(Trim(Piece), B) && A == B;
    }
    if (IsFloatType(Type)) {
        double A, B;
        return TryStrToFloat(Trim(Text), A) && TryStrToFloat(Trim(Piece), B) && A == B;
    }
    if (IsDateType(Type)) {
        TDateTime A, B;
        return ReadDate(Text, A) && ReadDate(Piece, B) && A == B;
    }
    return false;
}

}  // namespace

TwwDummyForm::TwwDummyForm(TComponent* AOwner, TCreateNew Tag)
    : TForm(AOwner, Tag), FParam(std::make_unique<TParam>(nullptr)) {}

TwwDummyForm::~TwwDummyForm() = default;

TwwTable* TwwDummyForm::LibraryTable() {
    if (DataSet != FCastDataSet) {
        FCastDataSet = DataSet;
        FLibraryTable = dynamic_cast<TwwTable*>(DataSet);
    }
    return FLibraryTable;
}

TParam* TwwDummyForm::FieldValue(TField* Field) {
    // A calculated field holds the value computed for the record being filtered.
    if (TwwTable* Own = LibraryTable(); Own && !Field->Calculated()) return Own->GetFilterFieldValue(Field);
    FParam->Clear();
    FParam->SetDataType(Field->DataType());
    if (Field->Calculated()) {
        if (!Field->IsNull()) FParam->SetValue(Field->Value());
        return FParam.get();
    }
    if (DataSet->IsClassNamed("TCustomADODataSet") || DataSet->IsClassNamed("TIBCustomDataSet")) {
        if (!Field->IsNull()) FParam->SetValue(Field->Value());
        return FParam.get();
    }
    TField* Source = Field;
    if (Field->Lookup()) Source = FindLookupResultField(DataSet, Field, nullptr);
    if (Source && !Source->IsNull()) FParam->SetValue(Source->Value());
    return FParam.get();
}

AnsiString TwwDummyForm::FieldText(TField* Field) {
    // A stored text field of a library table straight from the record.
    if (TwwTable* Own = LibraryTable(); Own && !Field->Calculated()) {
        AnsiString Text;
        if (Own->Extras().ReadFilterText(Field, Text).Direct) return Text;
    }
    TParam* Value = FieldValue(Field);
    if (Value->IsNull()) return {};
    const TFormatSettings& F = FormatSettings();
    switch (Field->DataType()) {
    case ftDate: return FormatDateTime(F.ShortDateFormat, Value->AsDateTime());
    case ftTime: return FormatDateTime(F.LongTimeFormat, Value->AsDateTime());
    case ftDateTime: return FormatDateTime(F.ShortDateFormat + " " + F.LongTimeFormat, Value->AsDateTime());
    default: return Value->AsString();
    }
}

void TwwDummyForm::Notification(TComponent* AComponent, TOperation Operation) {
    TForm::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    for (TPrepared& P : FPrepared)
        if (P.Field == AComponent) P.Field = nullptr, P.DataSet = nullptr;
}

TwwDummyForm::TPrepared& TwwDummyForm::Prepare(const TwwFieldInfo& Info, TField* Field) {
    for (TPrepared& P : FPrepared)
        if (P.Info == Info) return P;
    TPrepared P;
    P.Info = Info;
    const TFieldType Type = Field->DataType();
    if (Info.MatchType == fdMatchRange) {
        auto Read = [&](const AnsiString& Text, double& Into) {
            if (Text.empty()) return false;
            if (IsDateType(Type)) {
                TDateTime D;
                if (!ReadDate(Text, D)) return false;
                Into = D;
                return true;
            }
            return TryStrToFloat(Trim(Text), Into);
        };
        P.HasLow = Read(Info.MinValue, P.Low);
        P.HasHigh = Read(Info.MaxValue, P.High);
        if (Type == ftDateTime && P.HasHigh) {
            const TFormatSettings& F = FormatSettings();
            P.WholeDay = F.DateSeparator != F.TimeSeparator
                             ? Info.MaxValue.find(F.TimeSeparator) == AnsiString::npos
                             : P.High == std::floor(P.High);
        }
    } else {
        const AnsiString Value = Info.CaseSensitive ? Info.FilterValue : AnsiUpperCase(Info.FilterValue);
        const AnsiString Operator = Dialog->FindValueOperator(Value);
        P.Or = !Operator.empty() && AnsiSameText(Operator, Dialog->FieldOperators()->OrChar());
        for (int Pos = 0; Pos != -1;) P.Pieces.push_back(Dialog->NextValuePiece(Value, Operator, Pos));
    }
    FPrepared.push_back(std::move(P));
    return FPrepared.back();
}

bool TwwDummyForm::FilterRecord(TDataSet* Table) {
    DataSet = Table;
    bool Accept = true, DefaultFiltering = true;
    Dialog->DoAcceptFilterRecord(Table, Accept, DefaultFiltering);
    if (!Accept || !DefaultFiltering) return Accept;
    for (TwwFieldInfo& Info : Dialog->FieldInfo()) {
        if (Info.FieldName.empty()) Info.FieldName = FieldNameByDisplayLabel(Table, Info.DisplayName);
        bool Ok = CriterionAccepts(Table, Info);
        if (Info.NonMatching && Info.MatchType != fdMatchRange) Ok = !Ok;
        if (!Ok) return false;
    }
    return true;
}

bool TwwDummyForm::CriterionAccepts(TDataSet* Table, TwwFieldInfo& Info) {
    DataSet = Table;
    // The field found for this criterion on this data set before, while it lives.
    TPrepared* Known = nullptr;
    for (TPrepared& P : FPrepared)
        if (P.DataSet == Table && P.Field && P.Info == Info) Known = &P;
    TField* Field = Known ? Known->Field : nullptr;
    if (!Field) {
        Field = Info.FieldName.empty() ? nullptr : Table->FindField(Info.FieldName);
        if (!Field) {
            Info.FieldName = FieldNameByDisplayLabel(Table, Info.DisplayName);
            Field = Table->FieldByName(Info.FieldName);
        }
        Known = &Prepare(Info, Field);
        Known->DataSet = Table;
        Known->Field = Field;
        Field->FreeNotification(this);
    }
    const TPrepared& P = *Known;
    const TFieldType Type = Field->DataType();
    const AnsiString& NullChar = Dialog->FieldOperators()->NullChar();

    if (Info.MatchType == fdMatchRange) {
        if (IsStringType(Type)) {
            AnsiString Text = FieldText(Field);
            AnsiString Low = Info.MinValue, High = Dialog->ExtendUpperBound(Info.MaxValue, Field->Size());
            if (!Info.CaseSensitive) {
                Text = AnsiUpperCase(Text);
                Low = AnsiUpperCase(Low);
                High = AnsiUpperCase(High);
            }
            if (!Info.MinValue.empty() && Text < Low) return false;
            if (!Info.MaxValue.empty() && Text > High) return false;
            return true;
        }
        if (IsIntegerType(Type) || IsFloatType(Type)) {
            double Number = 0;
            TwwTable* Own = LibraryTable();
            TwwDataSetExtras::TFilterRead Read;
            if (Own && !Field->Calculated()) Read = Own->Extras().ReadFilterNumber(Field, Number);
            if (!Read.Direct) {
                TParam* Value = FieldValue(Field);
                Read.Null = Value->IsNull();
                if (!Read.Null) Number = Value->AsFloat();
            }
            if (Read.Null) return !P.HasLow && !P.HasHigh;
            const double V = IsIntegerType(Type) ? double(int64_t(Number)) : Number;
            const double Eps = IsFloatType(Type) ? Dialog->Rounding()->Epsilon() : 0;
            if (P.HasLow && V + Eps < P.Low) return false;
            if (P.HasHigh && V - Eps > P.High) return false;
            return true;
        }
        TParam* Value = FieldValue(Field);
        if (Value->IsNull()) return !P.HasLow && !P.HasHigh;
        if (IsDateType(Type)) {
            const TDateTime V = Value->AsDateTime();
            if (P.HasLow && V < P.Low) return false;
            // An end date without a time takes in its whole day.
            if (P.HasHigh && P.WholeDay) return V < std::floor(P.High) + 1;
            if (P.HasHigh && V > P.High) return false;
            return true;
        }
        return true;
    }

    AnsiString Text;
    const bool Blob = Field->IsBlob();
    if (Blob) {
        Text = FieldValue(Field)->AsString();
        const int Limit = DefaultIntl->FilterMemoSize();
        if (Limit > 0 && int(Text.size()) > Limit) Text.resize(size_t(Limit));
        if (IsRichTextField(Field, true) || Text.compare(0, 5, "{\\rtf") == 0)
            RichTextToPlainText(this, Text, FStream, FRichEdit);
    } else {
        Text = FieldText(Field);
    }
    if (!Info.CaseSensitive) Text = AnsiUpperCase(Text);
    for (const AnsiString& Piece : P.Pieces) {
        const bool Hit = PieceMatches(Text, Piece, Info.MatchType, Type, NullChar, Blob);
        if (P.Or && Hit) return true;
        if (!P.Or && !Hit) return false;
    }
    return !P.Or;
}
