#pragma once
// The open and save dialogs: the user picks a file in a folder, among the
// files of the chosen filter, or types its name. A filter is pairs of a
// description and its masks, all joined by "|" ("Rich Text Files
// (*.RTF)|*.RTF|Text Files (*.TXT)|*.TXT"; masks within a pair by ";");
// FilterIndex counts the pairs from 1. Names are Windows paths in
// Windows-1252 (platform/sys maps them onto the machine). They are modal forms
// of ours: the label "Folder", the list "Files" (folders first, in brackets,
// "[..]" for the parent), the edit "FileName", the combo box "FileType", the
// buttons "OK" and "Cancel"; Execute asks the dialog script first
// (CommonDialogs.h).
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "platform/classes/Properties.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/CommonDialogs.h"

enum TOpenOption : uint8_t {
    ofReadOnly,
    ofOverwritePrompt,
    ofHideReadOnly,
    ofNoChangeDir,
    ofShowHelp,
    ofNoValidate,
    ofAllowMultiSelect,
    ofExtensionDifferent,
    ofPathMustExist,
    ofFileMustExist,
    ofCreatePrompt,
    ofShareAware,
    ofNoReadOnlyReturn,
    ofNoTestFileCreate,
    ofNoNetworkButton,
    ofNoLongNames,
    ofOldStyleDialog,
    ofNoDereferenceLinks,
    ofEnableIncludeNotify,
    ofEnableSizing
};
ZELMOR_DECLARE_ENUM(TOpenOption);
using TOpenOptions = TSet<TOpenOption>;

class TOpenDialog : public TCommonDialog {
    ZELMOR_CLASS(TOpenDialog, TCommonDialog)
public:
    explicit TOpenDialog(TComponent* AOwner);
    ~TOpenDialog() override;
    static void DescribeProperties(TPropertyTable& T);
    AnsiString FileName() const { return FFileName; }
    void SetFileName(const AnsiString& Value) { FFileName = Value; }
    AnsiString Filter() const { return FFilter; }
    void SetFilter(const AnsiString& Value) { FFilter = Value; }
    int FilterIndex() const { return FFilterIndex; }
    void SetFilterIndex(int Value) { FFilterIndex = Value; }
    // Without a dot; added to a typed name that has no extension.
    AnsiString DefaultExt() const { return FDefaultExt; }
    void SetDefaultExt(const AnsiString& Value) { FDefaultExt = Value; }
    AnsiString InitialDir() const { return FInitialDir; }
    void SetInitialDir(const AnsiString& Value) { FInitialDir = Value; }
    AnsiString Title() const { return FTitle; }
    void SetTitle(const AnsiString& Value) { FTitle = Value; }
    TOpenOptions Options() const { return FOptions; }
    void SetOptions(TOpenOptions Value) { FOptions = Value; }
    // True when the user confirmed: FileName holds the whole path, FilterIndex the filter.
    bool Execute() override;
    // The filter's pairs: description and masks.
    static std::vector<std::pair<AnsiString, AnsiString>> ParseFilter(const AnsiString& Filter);
    // Whether a file name matches one of the masks ("*.RTF;*.TXT"), without regard to case.
    static bool MatchesMasks(const AnsiString& Name, const AnsiString& Masks);

protected:
    virtual bool IsSave() const { return false; }

private:
    AnsiString FFileName, FFilter, FDefaultExt, FInitialDir, FTitle;
    int FFilterIndex = 1;
    TOpenOptions FOptions{ofHideReadOnly};
};

class TSaveDialog : public TOpenDialog {
    ZELMOR_CLASS(TSaveDialog, TOpenDialog)
public:
    explicit TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) {}

protected:
    bool IsSave() const override { return true; }
};

void RegisterFileDialogClasses();
