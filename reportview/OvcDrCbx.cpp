#include "reportview/OvcDrCbx.h"

#include <algorithm>
#include <vector>

#include "platform/gfx/FileIcons.h"
#include "platform/sys/Files.h"
#include "platform/sys/Paths.h"
#include "reportview/OvcMisc.h"

ZELMOR_IMPLEMENT_COMPONENT(TOvcDirectoryComboBox, TOvcBaseComboBox)

namespace {
// What an item carries: 64 + its level for the chain, the attributes for a sub-folder.
int ItemTag(TStrings* Items, int Index) { return int(reinterpret_cast<intptr_t>(Items->Objects(Index))); }
TObject* AsObject(int Value) { return reinterpret_cast<TObject*>(intptr_t(Value)); }

// The path's components: "C:", "datos", "2026".
std::vector<AnsiString> PathComponents(const AnsiString& Path) {
    std::vector<AnsiString> parts;
    size_t start = 0;
    for (;;) {
        size_t at = Path.find('\\', start);
        AnsiString part = Path.substr(start, at == AnsiString::npos ? AnsiString::npos : at - start);
        if (!part.empty()) parts.push_back(part);
        if (at == AnsiString::npos) break;
        start = at + 1;
    }
    return parts;
}
}  // namespace

TOvcDirectoryComboBox::TOvcDirectoryComboBox(TComponent* AOwner)
    : TOvcBaseComboBox(AOwner), FOpen(LoadBaseBitmap("ORFOLDEROPEN")),
      FClosed(LoadBaseBitmap("ORFOLDERCLOSED")) {
    SetOvcItemHeight(16);
}

TOvcDirectoryComboBox::~TOvcDirectoryComboBox() = default;

void TOvcDirectoryComboBox::SetDirectory(const AnsiString& Value) {
    FDirectory = (Value.empty() || Value == "." || Value == "\\") ? GetCurrentDir() : Value;
    Populate();
}

void TOvcDirectoryComboBox::SetDrive(char Letter) {
    if (Letter == Drive()) return;
    SetDirectory(AnsiString(1, Letter) + ":\\");
}

void TOvcDirectoryComboBox::SetMask(const AnsiString& Value) {
    if (Value == FMask) return;
    FMask = Value;
    Populate();
}

void TOvcDirectoryComboBox::SetFileComboBox(TOvcFileComboBox* Value) {
    FFileComboBox = Value;
    if (Value) Value->FreeNotification(this);
}

void TOvcDirectoryComboBox::Populate() {
    if (ComponentState().Contains(csLoading)) return;
    AnsiString path = OvcSearchPath(FDirectory, FMask);
    std::vector<std::pair<AnsiString, int>> subs;
    TSearchRec f;
    int r = FindFirst(path, faDirectory | faHidden | faSysFile, f);
    if (r != 0) {
        FindClose(f);
        return;  // a folder that cannot be searched leaves the list as it was
    }
    AnsiString base = FDirectory.empty() ? GetCurrentDir() : FDirectory;
    if (base.back() != '\\') base += '\\';
    for (; r == 0; r = FindNext(f))
        if ((f.Attr & faDirectory) && f.Name != "." && f.Name != "..")
            subs.emplace_back(base + f.Name, f.Attr);
    FindClose(f);
    std::sort(subs.begin(), subs.end());
    std::vector<AnsiString> parts = PathComponents(path);
    FDepth = int(std::count(path.begin(), path.end(), '\\'));
    while (Items()->Count() > MRUCount()) Items()->Delete(Items()->Count() - 1);
    SetText("");
    AnsiString chain;
    for (int level = 1; level <= FDepth && level <= int(parts.size()); ++level) {
        chain =
            level == 1 ? parts[0] : (chain.back() == '\\' ? chain : chain + "\\") + parts[size_t(level - 1)];
        if (level == 1 && chain.size() == 2 && chain[1] == ':') chain += '\\';
        Items()->AddObject(chain, AsObject(64 + level));
    }
    for (auto& [name, attr] : subs) Items()->AddObject(name, AsObject(attr | faDirectory));
    if (FDepth > 0) SetItemIndex(MRUCount() + FDepth - 1);
}

void TOvcDirectoryComboBox::SelectionChanged() {
    int i = ItemIndex();
    if (i >= 0 && i < Items()->Count()) {
        FDirectory = Items()->Get(i);
        if (FFileComboBox) FFileComboBox->SetDirectory(FDirectory);
        Populate();
    }
    TOvcBaseComboBox::SelectionChanged();
}

void TOvcDirectoryComboBox::Loaded() {
    TOvcBaseComboBox::Loaded();
    SetDirectory(FDirectory);
}

void TOvcDirectoryComboBox::Notification(TComponent* AComponent, TOperation Operation) {
    TOvcBaseComboBox::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFileComboBox) FFileComboBox = nullptr;
}

void TOvcDirectoryComboBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
    if (Index < MRUCount() || Index >= Items()->Count()) {
        TOvcBaseComboBox::DrawItem(Index, Rect, State);
        return;
    }
    TCanvas* c = Canvas();
    c->Brush()->SetColor(State.Contains(odSelected) ? clHighlight : Color());
    c->FillRect(Rect);
    int h = Rect.Height(), half = h / 2;
    int tag = ItemTag(Items(), Index);
    bool chain = tag >= 64;
    bool inEdit = State.Contains(odComboBoxEdit);
    int indent = inEdit ? half : chain ? half * (tag - 64 - 1) + 1 : half * FDepth + 1;
    std::vector<AnsiString> parts = PathComponents(Items()->Get(Index));
    AnsiString text = parts.empty() ? Items()->Get(Index) : parts.back();
    TRect pic(Rect.Left + indent, Rect.Top, Rect.Left + indent + h, Rect.Bottom);
    if (!(tag & faDirectory) && !chain) DrawFileIcon(c, pic, false);
    else
        DrawTransparentBitmap(c, pic.Left, pic.Top, 0, 0, TRect(), chain ? FOpen.get() : FClosed.get(),
                              clWhite);
    c->Font()->SetColor(State.Contains(odSelected) ? clHighlightText : Font()->Color());
    c->SetBkMode(TRANSPARENT);
    c->TextOut(pic.Right, Rect.Top + (h - c->TextHeight(text)) / 2, text);
}

void TOvcDirectoryComboBox::DescribeProperties(TPropertyTable& T) {
    using D = TOvcDirectoryComboBox;
    T.Property("Directory", &D::Directory, &D::SetDirectory);
    // The drive is the first letter of the folder; read after it, it is the same.
    T.Property("Drive", &D::Drive, &D::SetDrive);
    T.Property("Mask", &D::Mask, &D::SetMask);
    T.PropertyOf<D>(
        "FileComboBox", [](D& C) { return C.FileComboBox(); },
        [](D& C, TOvcFileComboBox* V) { C.SetFileComboBox(V); });
}
