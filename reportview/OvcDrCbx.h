#pragma once
// The directory combo box: the chain of parent folders of the current
// folder, indented with open folders, then its sub-folders with closed ones.
// Choosing an entry makes it the current folder, and the linked file combo
// box's too.
#include <memory>

#include "platform/gfx/Bitmap.h"
#include "reportview/OvcFlCbx.h"

class TOvcDirectoryComboBox : public TOvcBaseComboBox {
    ZELMOR_CLASS(TOvcDirectoryComboBox, TOvcBaseComboBox)
public:
    static void DescribeProperties(TPropertyTable& T);
    explicit TOvcDirectoryComboBox(TComponent* AOwner);
    ~TOvcDirectoryComboBox() override;

    const AnsiString& Directory() const { return FDirectory; }
    // ".", "" and "\" are the current folder.
    void SetDirectory(const AnsiString& Value);
    char Drive() const { return FDirectory.empty() ? '\0' : FDirectory[0]; }
    void SetDrive(char Letter);
    const AnsiString& Mask() const { return FMask; }
    void SetMask(const AnsiString& Value);
    TOvcFileComboBox* FileComboBox() const { return FFileComboBox; }
    void SetFileComboBox(TOvcFileComboBox* Value);
    int Depth() const { return FDepth; }
    void Populate();
    void SelectionChanged() override;

protected:
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void DrawItem(int Index, TRect Rect, TOwnerDrawState State) override;

private:
    AnsiString FDirectory = ".";
    AnsiString FMask = "*.*";
    TOvcFileComboBox* FFileComboBox = nullptr;
    std::unique_ptr<TBitmap> FOpen, FClosed;
    int FDepth = 0;
};
