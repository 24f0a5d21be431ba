#pragma once
// The file combo box: every file of a folder that matches a mask and
// attributes, each with its icon.
#include "reportview/OvcCmbx.h"

enum TOvcCbxFileAttribute : uint8_t { cbxReadOnly, cbxHidden, cbxSysFile, cbxArchive, cbxAnyFile };
ZELMOR_DECLARE_ENUM(TOvcCbxFileAttribute);
using TOvcCbxFileAttributes = TSet<TOvcCbxFileAttribute>;

// Directory + Mask with "\" between them unless Directory ends with ":" or
// "\"; an empty Directory is the current folder.
AnsiString OvcSearchPath(const AnsiString& Directory, const AnsiString& Mask);

class TOvcFileComboBox : public TOvcBaseComboBox {
    ZELMOR_CLASS(TOvcFileComboBox, TOvcBaseComboBox)
public:
    static void DescribeProperties(TPropertyTable& T);
    explicit TOvcFileComboBox(TComponent* AOwner);

    TOvcCbxFileAttributes Attributes() const { return FAttributes; }
    void SetAttributes(TOvcCbxFileAttributes Value);
    const AnsiString& Directory() const { return FDirectory; }
    void SetDirectory(const AnsiString& Value);
    const AnsiString& FileMask() const { return FFileMask; }
    void SetFileMask(const AnsiString& Value);
    bool ShowIcons() const { return FShowIcons; }
    void SetShowIcons(bool Value);
    void Populate();

protected:
    void Loaded() override;
    void DrawItem(int Index, TRect Rect, TOwnerDrawState State) override;

private:
    TOvcCbxFileAttributes FAttributes{cbxAnyFile};
    AnsiString FDirectory = ".";
    AnsiString FFileMask = "*.*";
    bool FShowIcons = true;
};
