#include "platform/ui/FileDialogs.h"

#include "platform/rtl/Strings.h"
#include "platform/sys/Dialogs.h"
#include "platform/sys/Files.h"
#include "platform/sys/Paths.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"

ZELMOR_IMPLEMENT_ENUM(TOpenOption, "ofReadOnly", "ofOverwritePrompt", "ofHideReadOnly", "ofNoChangeDir",
                      "ofShowHelp", "ofNoValidate", "ofAllowMultiSelect", "ofExtensionDifferent",
                      "ofPathMustExist", "ofFileMustExist", "ofCreatePrompt", "ofShareAware",
                      "ofNoReadOnlyReturn", "ofNoTestFileCreate", "ofNoNetworkButton", "ofNoLongNames",
                      "ofOldStyleDialog", "ofNoDereferenceLinks", "ofEnableIncludeNotify", "ofEnableSizing")
ZELMOR_IMPLEMENT_COMPONENT(TOpenDialog, TCommonDialog)
ZELMOR_IMPLEMENT_COMPONENT(TSaveDialog, TOpenDialog)

namespace {

bool WildMatch(std::string_view Mask, std::string_view Name) {
    if (Mask.empty()) return Name.empty();
    if (Mask[0] == '*') {
        for (size_t I = 0; I <= Name.size(); ++I)
            if (WildMatch(Mask.substr(1), Name.substr(I))) return true;
        return false;
    }
    if (Name.empty()) return false;
    if (Mask[0] != '?' && AnsiUpperCase(Mask.substr(0, 1)) != AnsiUpperCase(Name.substr(0, 1))) return false;
    return WildMatch(Mask.substr(1), Name.substr(1));
}

AnsiString FolderOf(const AnsiString& Dir) {
    AnsiString D = Trim(Dir);
    if (D.empty() || !DirectoryExists(D)) D = GetCurrentDir();
    return ExcludeTrailingBackslash(ExpandFileName(D));
}

// The form and the state of one run of the dialog.
class TFileForm {
public:
    TFileForm(const TOpenDialog& D, bool Save)
        : FDialog(D), FSave(Save), FFilters(TOpenDialog::ParseFilter(D.Filter())) {
        FForm = TForm::CreateNew(Application);
        FForm->SetBorderStyle(bsDialog);
        FForm->SetPosition(poScreenCenter);
        FForm->SetCaption(!D.Title().empty() ? D.Title()
                          : Save             ? AnsiString("Guardar como")
                                             : AnsiString("Abrir"));
        FForm->OnCloseQuery = TCloseQueryEvent([this](TObject*, bool& CanClose) { CanClose = Check(); });
        FFolderLabel = AddDialogControl<TLabel>(FForm, FForm, "Folder", nullptr, 8, 8, 340, 14);
        FFiles = AddDialogControl<TListBox>(FForm, FForm, "Files", nullptr, 8, 26, 340, 150);
        AddDialogControl<TLabel>(FForm, FForm, nullptr, "&Nombre:", 8, 188, 60, 14);
        FName = AddDialogControl<TEdit>(FForm, FForm, "FileName", nullptr, 80, 184, 268, 21);
        AddDialogControl<TLabel>(FForm, FForm, nullptr, "&Tipo:", 8, 216, 60, 14);
        FType = AddDialogControl<TComboBox>(FForm, FForm, "FileType", nullptr, 80, 212, 268, 21);
        FType->SetStyle(csDropDownList);
        for (auto& [Description, Masks] : FFilters) FType->Items()->Add(Description);
        TButton* Ok =
            AddDialogControl<TButton>(FForm, FForm, "OK", Save ? "&Guardar" : "&Abrir", 356, 182, 75, 25);
        Ok->SetModalResult(mrOk);
        Ok->SetDefault(true);
        TButton* Cancel = AddDialogControl<TButton>(FForm, FForm, "Cancel", "Cancelar", 356, 210, 75, 25);
        Cancel->SetModalResult(mrCancel);
        Cancel->SetCancel(true);
        FForm->SetClientSize(440, 244);

        AnsiString Start = D.FileName();
        AnsiString Dir = ExtractFilePath(Start);
        FFolder = FolderOf(!Dir.empty() ? Dir : D.InitialDir());
        FName->SetText(ExtractFileName(Start));
        if (!FFilters.empty()) FType->SetItemIndex(std::clamp(D.FilterIndex(), 1, int(FFilters.size())) - 1);
        List();

        FType->OnChange = [this](TObject*) { List(); };
        FType->OnClick = [this](TObject*) { List(); };
        FFiles->OnClick = [this](TObject*) {
            int I = FFiles->ItemIndex();
            if (I >= 0 && !IsFolderItem(I)) FName->SetText(FFiles->Items()->Get(I));
        };
        FFiles->OnDblClick = [this](TObject*) {
            int I = FFiles->ItemIndex();
            if (I < 0) return;
            if (IsFolderItem(I)) Enter(FolderName(I));
            else FForm->SetModalResult(mrOk);
        };
        FForm->SetActiveControl(FName);
    }
    ~TFileForm() { FForm->Free(); }
    TFileForm(const TFileForm&) = delete;
    TFileForm& operator=(const TFileForm&) = delete;

    bool Run() { return FForm->ShowModal() == mrOk; }
    AnsiString Chosen() const { return FChosen; }
    int FilterIndex() const { return FType->ItemIndex() + 1; }

private:
    bool IsFolderItem(int I) const {
        AnsiString S = FFiles->Items()->Get(I);
        return S.size() >= 2 && S.front() == '[' && S.back() == ']';
    }
    AnsiString FolderName(int I) const {
        AnsiString S = FFiles->Items()->Get(I);
        return S.substr(1, S.size() - 2);
    }
    AnsiString Masks() const {
        int I = FType->ItemIndex();
        return I >= 0 && I < int(FFilters.size()) ? FFilters[size_t(I)].second : AnsiString("*.*");
    }
    void Enter(const AnsiString& Name) {
        AnsiString Target = Name == ".." ? ExtractFilePath(FFolder) : FFolder + "\\" + Name;
        if (Target.empty() || !DirectoryExists(Target)) return;
        FFolder = FolderOf(Target);
        List();
    }
    // The folders, then the files the filter takes.
    void List() {
        FFolderLabel->SetCaption(FFolder);
        FFiles->Items()->BeginUpdate();
        FFiles->Items()->Clear();
        TSearchRec R;
        std::vector<AnsiString> Files;
        for (int Found = FindFirst(FFolder + "\\*.*", faDirectory, R); Found == 0; Found = FindNext(R)) {
            if (R.Name == ".") continue;
            if (R.Attr & faDirectory) FFiles->Items()->Add("[" + R.Name + "]");
            else if (TOpenDialog::MatchesMasks(R.Name, Masks())) Files.push_back(R.Name);
        }
        FindClose(R);
        for (const AnsiString& F : Files) FFiles->Items()->Add(F);
        FFiles->Items()->EndUpdate();
    }
    bool Check() {
        if (FForm->ModalResult() != mrOk) return true;
        AnsiString Typed = Trim(FName->Text());
        if (Typed.empty()) return false;
        AnsiString Path = ExtractFilePath(Typed).empty() ? FFolder + "\\" + Typed : ExpandFileName(Typed);
        // A folder typed opens it.
        if (DirectoryExists(Path)) {
            FFolder = FolderOf(Path);
            FName->SetText("");
            List();
            return false;
        }
        // Masks typed become the filter of the list.
        if (Typed.find_first_of("*?") != AnsiString::npos) {
            FTypedMasks = Typed;
            ListTyped();
            return false;
        }
        if (FSave && ExtractFileExt(Path).empty() && !FDialog.DefaultExt().empty())
            Path += "." + FDialog.DefaultExt();
        AnsiString Problem;
        if (!DirectoryExists(ExtractFilePath(Path)))
            Problem = "La carpeta no existe:\n" + ExtractFilePath(Path);
        else if (!FSave && FDialog.Options().Contains(ofFileMustExist) && !FileExists(Path))
            Problem = "No se encuentra el archivo:\n" + Path;
        if (!Problem.empty()) {
            MessageBox(Problem, FForm->Caption(), MB_OK | MB_ICONEXCLAMATION);
            return false;
        }
        if (FSave && FDialog.Options().Contains(ofOverwritePrompt) && FileExists(Path) &&
            MessageBox(Path + " ya existe.\n"
                              "\xBF"
                              "Desea reemplazarlo?",
                       FForm->Caption(), MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
            return false;
        FChosen = Path;
        return true;
    }
    void ListTyped() {
        FFiles->Items()->Clear();
        TSearchRec R;
        for (int Found = FindFirst(FFolder + "\\*.*", 0, R); Found == 0; Found = FindNext(R))
            if (TOpenDialog::MatchesMasks(R.Name, FTypedMasks)) FFiles->Items()->Add(R.Name);
        FindClose(R);
    }

    const TOpenDialog& FDialog;
    bool FSave;
    std::vector<std::pair<AnsiString, AnsiString>> FFilters;
    TForm* FForm;
    TLabel* FFolderLabel = nullptr;
    TListBox* FFiles = nullptr;
    TEdit* FName = nullptr;
    TComboBox* FType = nullptr;
    AnsiString FFolder;
    AnsiString FChosen;
    AnsiString FTypedMasks;
};

}  // namespace

TOpenDialog::TOpenDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}

TOpenDialog::~TOpenDialog() = default;

void TOpenDialog::DescribeProperties(TPropertyTable& T) {
    using D = TOpenDialog;
    T.Property("DefaultExt", &D::DefaultExt, &D::SetDefaultExt);
    T.Property("FileName", &D::FileName, &D::SetFileName);
    T.Property("Filter", &D::Filter, &D::SetFilter);
    T.Property("FilterIndex", &D::FilterIndex, &D::SetFilterIndex).Default(1);
    T.Property("InitialDir", &D::InitialDir, &D::SetInitialDir);
    T.Property("Options", &D::Options, &D::SetOptions).Default(TOpenOptions{ofHideReadOnly});
    T.Property("Title", &D::Title, &D::SetTitle);
}

std::vector<std::pair<AnsiString, AnsiString>> TOpenDialog::ParseFilter(const AnsiString& Filter) {
    std::vector<std::pair<AnsiString, AnsiString>> R;
    std::vector<AnsiString> Parts;
    size_t Start = 0;
    while (Start <= Filter.size()) {
        size_t Bar = Filter.find('|', Start);
        if (Bar == AnsiString::npos) Bar = Filter.size();
        Parts.push_back(Filter.substr(Start, Bar - Start));
        Start = Bar + 1;
    }
    // A description without masks is left out.
    for (size_t I = 0; I + 1 < Parts.size(); I += 2)
        if (!Trim(Parts[I + 1]).empty()) R.emplace_back(Parts[I], Trim(Parts[I + 1]));
    return R;
}

bool TOpenDialog::MatchesMasks(const AnsiString& Name, const AnsiString& Masks) {
    size_t Start = 0;
    while (Start <= Masks.size()) {
        size_t Semi = Masks.find(';', Start);
        if (Semi == AnsiString::npos) Semi = Masks.size();
        AnsiString Mask = Trim(Masks.substr(Start, Semi - Start));
        // "*.*" takes names without a dot too.
        if (Mask == "*.*" || (!Mask.empty() && WildMatch(Mask, Name))) return true;
        Start = Semi + 1;
    }
    return false;
}

bool TOpenDialog::Execute() {
    if (auto Answer = AskDialogScript(this)) return *Answer;
    TFileForm Form(*this, IsSave());
    DoShow();
    const bool Ok = Form.Run();
    if (Ok) {
        FFileName = Form.Chosen();
        if (Form.FilterIndex() > 0) FFilterIndex = Form.FilterIndex();
    }
    DoClose();
    return Ok;
}

void RegisterFileDialogClasses() {
    RegisterClasses({&TOpenDialog::StaticClassInfo(), &TSaveDialog::StaticClassInfo()});
}
