#pragma once
// Small component classes that exercise every part of the form format: the
// form tests and the form-reader fuzz target read and write forms of these.
#include <any>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/classes/Collection.h"
#include "platform/classes/Component.h"
#include "platform/classes/Filer.h"
#include "platform/classes/Properties.h"
#include "platform/rtl/StringList.h"

enum TFmAlign { faNone, faTop, faClient };
ZELMOR_DECLARE_ENUM(TFmAlign);
enum TFmAnchor { fkLeft, fkTop, fkRight, fkBottom };
ZELMOR_DECLARE_ENUM(TFmAnchor);
using TFmAnchors = TSet<TFmAnchor>;

// A colour as the window layer declares it: an integer with names for some values.
using TFmColor = int32_t;
constexpr TFmColor fmBlack = 0, fmWhite = 0xFFFFFF, fmBtnFace = static_cast<TFmColor>(0x8000000F);
const TTypeInfo& FmColorTypeInfo();

// Everything the reader did, in order: Loaded calls, setters that care.
std::vector<AnsiString>& FormLog();
// Registers the classes below by name; safe to call again.
void RegisterFormTestClasses();

// A picture: its bytes stream whole as "Data".
class TFmGlyph : public TPersistent {
    ZELMOR_CLASS(TFmGlyph, TPersistent)
    AnsiString Data;

protected:
    void DefineProperties(TFiler* Filer) override;
};

class TFmFont : public TPersistent {
    ZELMOR_CLASS(TFmFont, TPersistent)
    static void DescribeProperties(TPropertyTable& T);
    void Assign(TPersistent* Source) override;
    AnsiString Name;
    int Size = 8;
    TFmColor Color = fmBlack;
};

class TFmFrame : public TPersistent {
    ZELMOR_CLASS(TFmFrame, TPersistent)
    static void DescribeProperties(TPropertyTable& T);
    bool Enabled = false;
    TFmFont* Font() const { return FFont.get(); }

private:
    std::unique_ptr<TFmFont> FFont = std::make_unique<TFmFont>();
};

// Four margins, streamed as one list (10 15 15 15), written when one differs
// from 15; old forms may hold AllowZoom, which is read and dropped.
class TFmMargins : public TPersistent {
    ZELMOR_CLASS(TFmMargins, TPersistent)
    int Values[4] = {15, 15, 15, 15};

protected:
    void DefineProperties(TFiler* Filer) override;
};

// Named tables of numbers, streamed as nested lists: ('Default' True (1 2) 'Grid' False ()).
class TFmCommands : public TPersistent {
    ZELMOR_CLASS(TFmCommands, TPersistent)
    struct TTable {
        AnsiString Name;
        bool Active = false;
        std::vector<int> Keys;
    };
    std::vector<TTable> Tables;

protected:
    void DefineProperties(TFiler* Filer) override;
};

class TFmSection : public TCollectionItem {
    ZELMOR_CLASS(TFmSection, TCollectionItem)
    using TCollectionItem::TCollectionItem;
    static void DescribeProperties(TPropertyTable& T);
    int Width = 50;
    AnsiString Caption;
    TComponent* Target = nullptr;
};

class TFmSource;

class TFmControl : public TComponent {
    ZELMOR_CLASS(TFmControl, TComponent)
    explicit TFmControl(TComponent* AOwner);
    ~TFmControl() override;
    static void DescribeProperties(TPropertyTable& T);

    AnsiString Caption;
    int Left = 0;  // no default: always stored
    int Width = 75;
    bool Visible = true;
    TFmAlign Align = faNone;
    TFmAnchors Anchors{fkLeft, fkTop};
    TFmColor Color = fmBtnFace;
    double Ratio = 0;
    float Scale = 1;
    long double Precise = 0;
    int64_t Big = 0;
    char Letter = 'A';
    std::any Value;
    TFmSource* DataSource = nullptr;
    TFmFont* Font() const { return FFont.get(); }
    TFmFrame* Frame() const { return FFrame.get(); }
    TStringList* Lines() const { return FLines.get(); }
    TFmGlyph* Glyph() const { return FGlyph.get(); }
    // Streamed after the glyph as RegionData: a 32-bit count, then the bytes.
    AnsiString Region;
    TCollection* Sections() const { return FSections.get(); }
    TFmMargins* Margins() const { return FMargins.get(); }
    TFmCommands* EntryCommands() const { return FCommands.get(); }

    TNotifyEvent OnClick;
    TEvent<void(TObject*, bool&)> OnFound;

    TFmControl* ParentControl() const { return FParent; }
    const std::vector<TFmControl*>& Controls() const { return FControls; }

    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* Value) override;

protected:
    void Loaded() override;
    void DefineProperties(TFiler* Filer) override;

private:
    TFmControl* FParent = nullptr;
    std::vector<TFmControl*> FControls;
    std::unique_ptr<TFmFont> FFont = std::make_unique<TFmFont>();
    std::unique_ptr<TFmFrame> FFrame = std::make_unique<TFmFrame>();
    std::unique_ptr<TStringList> FLines = std::make_unique<TStringList>();
    std::unique_ptr<TFmGlyph> FGlyph = std::make_unique<TFmGlyph>();
    std::unique_ptr<TCollection> FSections;
    std::unique_ptr<TFmMargins> FMargins = std::make_unique<TFmMargins>();
    std::unique_ptr<TFmCommands> FCommands = std::make_unique<TFmCommands>();
};

// A non-visual component whose Connected setter runs while the form is read.
class TFmSource : public TComponent {
    ZELMOR_CLASS(TFmSource, TComponent)
    using TComponent::TComponent;
    static void DescribeProperties(TPropertyTable& T);
    bool Connected() const { return FConnected; }
    void SetConnected(bool Value);
    TFmSource* Partner = nullptr;
    // Frees the named component of the form when set: a setter that changes
    // the form while it is still being read.
    void SetDropComponent(const AnsiString& Name);

protected:
    void Loaded() override;

private:
    bool FConnected = false;
};

// A pane of a splitter: a component item owned by the splitter itself.
class TFmPane : public TComponent {
    ZELMOR_CLASS(TFmPane, TComponent)
    using TComponent::TComponent;
    static void DescribeProperties(TPropertyTable& T);
    AnsiString Caption;

protected:
    void Loaded() override;
};

// Streams its panes as its children and owns them; its constructor makes two
// unnamed panes, which inherited SPL1.../SPL2... entries of a form reach
// through the reader's ancestor-not-found handler.
class TFmSplitter : public TComponent {
    ZELMOR_CLASS(TFmSplitter, TComponent)
    explicit TFmSplitter(TComponent* AOwner);
    TFmPane* Pane(int Index) const { return static_cast<TFmPane*>(Components(Index)); }
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    TComponent* GetChildOwner() override { return this; }

protected:
    void ReadState(TReader* Reader) override;
    void Loaded() override;
};

// The form: non-visual components and its top-level controls are its
// children, and it offers handlers for events.
class TFmRoot : public TComponent {
    ZELMOR_CLASS(TFmRoot, TComponent)
    using TComponent::TComponent;
    static void DescribeProperties(TPropertyTable& T);
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    AnsiString Caption;
    // Fields the reader fills by name.
    TFmControl* Panel1 = nullptr;
    TFmSource* DSAlum = nullptr;
    int Clicks = 0;
    void ButtonClick(TObject*) { ++Clicks; }
    void SearchDone(TObject*, bool& Found) { Found = true; }

protected:
    void Loaded() override;
};
