#include "dataaware/wwgridlayout.h"

#include <memory>

#include "dataaware/Wwdbgrid.h"
#include "dataaware/Wwintl.h"
#include "dataaware/wwhistorylist.h"
#include "dataaware/wwstr.h"
#include "platform/db/Fields.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Strings.h"
#include "platform/sys/Dialogs.h"
#include "platform/sys/Files.h"
#include "platform/sys/IniFiles.h"
#include "platform/sys/Paths.h"
#include "platform/sys/Registry.h"

AnsiString TwwIniAttributes::EffectiveFileName() const {
    if (!FFileName.empty()) return FFileName;
    if (!DefaultIntl) return {};
    if (!DefaultIntl->IniFileName().empty()) return DefaultIntl->IniFileName();
    if (FGrid && FGrid->ComponentState().Contains(csDesigning)) return {};
    return FSaveToRegistry ? AnsiString() : ProgramIniFileName();
}

AnsiString TwwIniAttributes::EffectiveSectionName() const {
    if (!FSectionName.empty()) return FSectionName;
    if (!FGrid || FGrid->ComponentState().Contains(csDesigning)) return {};
    return FFormName + FGrid->Name();
}

AnsiString StoredLayoutValue(const AnsiString& SelectedLine, const AnsiString& Delimiter) {
    TStringList Parts;
    SplitToList(SelectedLine, '\t', Parts);
    if (Parts.Count() < 2 || Parts[1].empty()) return {};
    AnsiString Value = Parts[1] + Delimiter + (Parts.Count() > 2 ? Parts[2] : AnsiString()) + Delimiter +
                       (Parts.Count() > 3 ? Parts[3] : AnsiString("F"));
    if (Parts.Count() == 5 && !Parts[4].empty()) Value += Delimiter + Parts[4];
    return Value;
}

bool SelectedLineOfStored(const AnsiString& Name, const AnsiString& Value, const AnsiString& Delimiter,
                          AnsiString& Line) {
    Line = Name + "\t" + StringReplace(Value, Delimiter, "\t", rfReplaceAll);
    TStringList Parts;
    SplitToList(Line, '\t', Parts);
    int Width;
    return Parts.Count() >= 3 && TryStrToInt(Parts[1], Width);
}

namespace {

// The checks both directions share; false (after the message, unless
// Quiet) when the store cannot be used.
bool StoreUsable(TwwIniAttributes* A, bool Quiet) {
    const AnsiString File = A->EffectiveFileName();
    auto Warn = [Quiet](const char* Text) {
        if (!Quiet) MessageDlg(Text, mtWarning, {mbOK}, 0);
        return false;
    };
    if (A->SaveToRegistry() && File.empty()) return Warn("FileName required when saving to registry");
    if (A->Delimiter().empty()) return Warn("Key delimiter required");
    if (!A->SaveToRegistry() && !File.empty()) {
        const AnsiString Folder = ExtractFilePath(File);
        if (!Folder.empty() && !DirectoryExists(Folder)) return Warn("Directory does not exist");
    }
    return true;
}

std::unique_ptr<TCustomIniFile> OpenStore(TwwIniAttributes* A) {
    if (A->SaveToRegistry()) return std::make_unique<TRegIniFile>(A->EffectiveFileName());
    return std::make_unique<TIniFile>(A->EffectiveFileName());
}

}  // namespace

void TwwDBGrid::SaveColumnLayout() {
    TwwIniAttributes* A = IniAttributes();
    if (ComponentState().Contains(csDesigning) || !StoreUsable(A, FDestroying)) return;
    const AnsiString Section = A->EffectiveSectionName();
    const AnsiString& D = A->Delimiter();
    const int Count = UseTFields() ? DataLink()->MappedCount() : Selected()->Count();
    auto Store = OpenStore(A);
    if (Count > 0) Store->EraseSection(Section);
    for (int I = 0; I < Count; ++I) {
        if (UseTFields()) {
            TField* F = DataLink()->MappedField(I);
            if (!F) continue;
            const bool ReadOnly = F->ReadOnly() || ColumnAt(I)->ReadOnly();
            Store->WriteString(Section, F->FieldName(),
                               IntToStr(F->DisplayWidth()) + D + F->DisplayLabel() + D +
                                   (ReadOnly ? "T" : "F"));
            continue;
        }
        const AnsiString Line = Selected()->Strings(I);
        const AnsiString Value = StoredLayoutValue(Line, D);
        if (Value.empty()) continue;
        int Position = 1;
        Store->WriteString(Section, NextToken(Line, "\t", Position), Value);
    }
}

void TwwDBGrid::LoadColumnLayout() {
    TwwIniAttributes* A = IniAttributes();
    if (ComponentState().Contains(csDesigning) || !StoreUsable(A, false)) return;
    const AnsiString& D = A->Delimiter();
    TStringList Designed;
    Designed.Assign(Selected());
    TStringList Entries;
    OpenStore(A)->ReadSectionValues(A->EffectiveSectionName(), Entries);
    if (Entries.Count() == 0) return;
    TStringList Lines;
    for (int I = 0; I < Entries.Count(); ++I) {
        const AnsiString Entry = Entries.Strings(I);
        const size_t Eq = Entry.find('=');
        const AnsiString Name = Entry.substr(0, Eq);
        const AnsiString Value = Eq == AnsiString::npos ? AnsiString() : Entry.substr(Eq + 1);
        if (Value.find(D) == AnsiString::npos) {
            MessageDlg("Key Delimiter Not Found", mtWarning, {mbOK}, 0);
            Selected()->Clear();
            if (!UseTFields()) Selected()->Assign(&Designed);
            return;
        }
        AnsiString Line;
        if (!SelectedLineOfStored(Name, Value, D, Line)) {
            MessageDlg("Invalid column layout stored for " + Name, mtWarning, {mbOK}, 0);
            return;
        }
        Lines.Add(Line);
    }
    if (A->CheckNewFields()) {
        auto FieldOf = [](const AnsiString& Line) { return Line.substr(0, Line.find('\t')); };
        for (int I = 0; I < Designed.Count(); ++I) {
            bool Known = false;
            for (int J = 0; J < Lines.Count() && !Known; ++J)
                Known = SameText(FieldOf(Designed.Strings(I)), FieldOf(Lines.Strings(J)));
            if (!Known) Lines.Add(Designed.Strings(I));
        }
    }
    Selected()->Assign(&Lines);
    ApplySelected();
}
