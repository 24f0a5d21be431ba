#include "reportview/OvcFlCbx.h"

#include <algorithm>
#include <vector>

#include "platform/gfx/FileIcons.h"
#include "platform/sys/Files.h"
#include "platform/sys/Paths.h"

ZELMOR_IMPLEMENT_ENUM(TOvcCbxFileAttribute, "cbxReadOnly", "cbxHidden", "cbxSysFile", "cbxArchive",
                      "cbxAnyFile")
ZELMOR_IMPLEMENT_COMPONENT(TOvcFileComboBox, TOvcBaseComboBox)

AnsiString OvcSearchPath(const AnsiString& Directory, const AnsiString& Mask) {
    AnsiString dir = Directory.empty() ? GetCurrentDir() : Directory;
    if (dir.back() == ':' || dir.back() == '\\') return dir + Mask;
    return dir + "\\" + Mask;
}

TOvcFileComboBox::TOvcFileComboBox(TComponent* AOwner) : TOvcBaseComboBox(AOwner) {}

void TOvcFileComboBox::SetAttributes(TOvcCbxFileAttributes Value) {
    if (Value == FAttributes) return;
    FAttributes = Value;
    Populate();
}

void TOvcFileComboBox::SetDirectory(const AnsiString& Value) {
    if (Value == FDirectory) return;
    FDirectory = Value;
    Populate();
}

void TOvcFileComboBox::SetFileMask(const AnsiString& Value) {
    if (Value == FFileMask) return;
    FFileMask = Value;
    Populate();
}

void TOvcFileComboBox::SetShowIcons(bool Value) {
    FShowIcons = Value;
    if (HandleAllocated()) SetDroppedDown(false);
}

void TOvcFileComboBox::Populate() {
    if (ComponentState().Contains(csLoading)) return;
    int attr = faAnyFile;
    if (!FAttributes.Contains(cbxAnyFile)) {
        attr = 0;
        if (FAttributes.Contains(cbxReadOnly)) attr |= faReadOnly;
        if (FAttributes.Contains(cbxHidden)) attr |= faHidden;
        if (FAttributes.Contains(cbxSysFile)) attr |= faSysFile;
        if (FAttributes.Contains(cbxArchive)) attr |= faArchive;
    }
    std::vector<std::pair<AnsiString, int>> found;
    TSearchRec f;
    for (int r = FindFirst(OvcSearchPath(FDirectory, FFileMask), attr, f); r == 0; r = FindNext(f))
        if (!(f.Attr & faDirectory)) found.emplace_back(f.Name, f.Attr);
    FindClose(f);
    std::sort(found.begin(), found.end());
    ClearItems();
    for (auto& [name, a] : found) Items()->AddObject(name, reinterpret_cast<TObject*>(intptr_t(a)));
}

void TOvcFileComboBox::Loaded() {
    TOvcBaseComboBox::Loaded();
    Populate();
}

void TOvcFileComboBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
    if (!FShowIcons || Index < MRUCount() || Index >= Items()->Count()) {
        TOvcBaseComboBox::DrawItem(Index, Rect, State);
        return;
    }
    TCanvas* c = Canvas();
    c->Brush()->SetColor(State.Contains(odSelected) ? clHighlight : Color());
    c->FillRect(Rect);
    int h = Rect.Height();
    DrawFileIcon(c, TRect(Rect.Left, Rect.Top, Rect.Left + h - 2, Rect.Top + h - 2), false);
    const AnsiString text = Items()->Get(Index);
    c->Font()->SetColor(State.Contains(odSelected) ? clHighlightText : Font()->Color());
    c->SetBkMode(TRANSPARENT);
    c->TextOut(Rect.Left + h, Rect.Top + (h - c->TextHeight(text)) / 2, text);
}

void TOvcFileComboBox::DescribeProperties(TPropertyTable& T) {
    using F = TOvcFileComboBox;
    T.Property("Attributes", &F::Attributes, &F::SetAttributes);
    T.Property("Directory", &F::Directory, &F::SetDirectory);
    T.Property("FileMask", &F::FileMask, &F::SetFileMask);
    T.Property("ShowIcons", &F::ShowIcons, &F::SetShowIcons).Default(true);
}
