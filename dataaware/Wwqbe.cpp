#include "dataaware/Wwqbe.h"

#include "dataaware/wwhelpers.h"
#include "platform/db/DbfTable.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/Dialogs.h"

ZELMOR_IMPLEMENT_COMPONENT(TwwQBE, TDBDataSet)

namespace {
// The engine's codes of a refused password or right.
bool IsSecurityError(int Code) { return Code >= 10497 && Code <= 10499; }

bool IsPlaceholderChar(char C) {
    return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || (C >= '0' && C <= '9') || C == '_' || C == '#';
}
}  // namespace

TwwQBE::TwwQBE(TComponent* AOwner)
    : TwwExtendedDataSet(AOwner), FQBE(std::make_unique<TStringList>()),
      FParamNames(std::make_unique<TStringList>()), FParamValues(std::make_unique<TStringList>()) {
    // A QBE's rows are the statement's answer: no masks are checked on them.
    SetValidateWithMask(false);
}

TwwQBE::~TwwQBE() = default;

void TwwQBE::DescribeProperties(TPropertyTable& T) {
    DescribeExtras(T, false);
    T.Property("AnswerTable", &TwwQBE::AnswerTable, &TwwQBE::SetAnswerTable);
    T.Property("AuxiliaryTables", &TwwQBE::AuxiliaryTables, &TwwQBE::SetAuxiliaryTables);
    T.Property("BlankAsZero", &TwwQBE::BlankAsZero, &TwwQBE::SetBlankAsZero);
    T.Property("QBE", &TwwQBE::QBE, &TwwQBE::SetQBE);
    T.Event("OnError", &TwwQBE::OnError);
}

TStrings* TwwQBE::QBE() const { return FQBE.get(); }
TStrings* TwwQBE::ParamNames() const { return FParamNames.get(); }
TStrings* TwwQBE::ParamValues() const { return FParamValues.get(); }

void TwwQBE::SetQBE(TStrings* Value) {
    if (Value != FQBE.get()) FQBE->Assign(Value);
    if (!Active()) return;
    Close();
    Open();
}

AnsiString TwwQBE::StatementText() const {
    AnsiString text;
    for (int line = 0; line < FQBE->Count(); ++line) {
        AnsiString s = FQBE->Strings(line);
        if (s.find('~') != AnsiString::npos) {
            for (int p = FParamNames->Count() - 1; p >= 0; --p) {
                const AnsiString placeholder = AnsiString(1, '~').append(FParamNames->Strings(p));
                const AnsiString value =
                    (p < FParamValues->Count() ? FParamValues->Strings(p) : AnsiString()).substr(0, 255);
                s = StringReplace(s, placeholder, value, rfReplaceAll | rfIgnoreCase);
            }
            // A placeholder nobody filled is one blank; the rest of the line stays whole.
            for (size_t at = s.find('~'); at != AnsiString::npos; at = s.find('~', at + 1)) {
                size_t end = at + 1;
                while (end < s.size() && IsPlaceholderChar(s[end])) ++end;
                s.replace(at, end - at, 1, ' ');
            }
        }
        text += (line ? "\r\n" : "") + s;
    }
    return text;
}

int TwwQBE::RunQBE(std::unique_ptr<TDbfCursor>& Answer) {
    Answer.reset();
    [[maybe_unused]] const AnsiString statement = StatementText();
    // The dBase engine prepares no QBE statement.
    FLastError = Name() + (Name().empty() ? "" : ": ") +
                 "Operation not supported: QBE statements (the dBase engine runs none)";
    if (Assigned(OnError)) OnError(this, dbeNotSupported);
    return dbeNotSupported;
}

std::unique_ptr<TDbfCursor> TwwQBE::CreateHandle() {
    FLastError.clear();
    if (FQBE->Count() == 0) return TwwExtendedDataSet::CreateHandle();
    if (FQBE->Strings(0).empty()) return nullptr;
    try {
        for (;;) {
            std::unique_ptr<TDbfCursor> answer;
            int code = RunQBE(answer);
            if (IsSecurityError(code)) {
                AnsiString password;
                if (!PasswordQuery("Password", "Password:", password)) return nullptr;
                continue;
            }
            if (code != 0) DatabaseError(FLastError.empty() ? DbfErrorText(code) : FLastError);
            if (!answer) return nullptr;
            PrepareAnswerTable(this, answer.get(), FAnswerTable);
            return answer;
        }
    } catch (const EDatabaseError&) {
        return nullptr;
    }
}

void TwwQBE::OpenCursor(bool InfoQuery) {
    try {
        TwwExtendedDataSet::OpenCursor(InfoQuery);
    } catch (const EDatabaseError&) {
        // The statement's own failure says more than "no cursor".
        if (FLastError.empty()) throw;
        DatabaseError(FLastError);
    }
}
