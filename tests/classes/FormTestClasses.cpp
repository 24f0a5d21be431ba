#include "FormTestClasses.h"

#include <algorithm>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/Strings.h"

ZELMOR_IMPLEMENT_ENUM(TFmAlign, "faNone", "faTop", "faClient")
ZELMOR_IMPLEMENT_ENUM(TFmAnchor, "fkLeft", "fkTop", "fkRight", "fkBottom")

ZELMOR_IMPLEMENT_CLASS(TFmGlyph, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TFmFont, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TFmFrame, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TFmMargins, TPersistent)
ZELMOR_IMPLEMENT_CLASS(TFmCommands, TPersistent)
ZELMOR_IMPLEMENT_COLLECTION_ITEM(TFmSection, TCollectionItem)
ZELMOR_IMPLEMENT_COMPONENT(TFmControl, TComponent)
ZELMOR_IMPLEMENT_COMPONENT(TFmSource, TComponent)
ZELMOR_IMPLEMENT_COMPONENT(TFmPane, TComponent)
ZELMOR_IMPLEMENT_COMPONENT(TFmSplitter, TComponent)
ZELMOR_IMPLEMENT_COMPONENT(TFmRoot, TComponent)

namespace {
// A published property kept in a plain data member.
template <class C, class V>
TPropBuilder Member(TPropertyTable& T, std::string_view Name, V C::*Field) {
    return T.PropertyOf<C>(
        Name, [Field](C& Object) { return Object.*Field; },
        [Field](C& Object, V Value) { Object.*Field = std::move(Value); });
}

void Log(const TComponent* Component, const char* What) {
    FormLog().push_back(Component->Name() + " " + What);
}
}  // namespace

const TTypeInfo& FmColorTypeInfo() {
    static const TTypeInfo info =
        MakeIntegerTypeInfo("TColor", INT32_MIN, INT32_MAX,
                            {{fmBlack, "clBlack"}, {fmWhite, "clWhite"}, {fmBtnFace, "clBtnFace"}});
    return info;
}

std::vector<AnsiString>& FormLog() {
    static std::vector<AnsiString> log;
    return log;
}

void RegisterFormTestClasses() {
    RegisterClasses({&TFmControl::StaticClassInfo(), &TFmSource::StaticClassInfo(),
                     &TFmPane::StaticClassInfo(), &TFmSplitter::StaticClassInfo(),
                     &TFmRoot::StaticClassInfo()});
}

// --- sub-objects ---

void TFmGlyph::DefineProperties(TFiler* Filer) {
    Filer->DefineBinaryProperty(
        "Data", [this](TStream& S) { Data = S.ReadString(S.Size()); },
        [this](TStream& S) { S.WriteString(Data); }, !Data.empty());
}

void TFmFont::DescribeProperties(TPropertyTable& T) {
    Member(T, "Name", &TFmFont::Name);
    Member(T, "Size", &TFmFont::Size).Default(8);
    Member(T, "Color", &TFmFont::Color).OfType(FmColorTypeInfo()).Default(fmBlack);
}

void TFmFont::Assign(TPersistent* Source) {
    if (auto* font = dynamic_cast<TFmFont*>(Source)) {
        Name = font->Name;
        Size = font->Size;
        Color = font->Color;
        return;
    }
    inherited::Assign(Source);
}

void TFmFrame::DescribeProperties(TPropertyTable& T) {
    Member(T, "Enabled", &TFmFrame::Enabled).Default(false);
    T.Property("Font", &TFmFrame::Font);
}

void TFmMargins::DefineProperties(TFiler* Filer) {
    Filer->IgnoreProperty("AllowZoom");
    bool stored = std::any_of(std::begin(Values), std::end(Values), [](int v) { return v != 15; });
    Filer->DefineProperty(
        "PrintMargins",
        [this](TReader& R) {
            R.ReadListBegin();
            for (int& v : Values) v = R.ReadInteger();
            R.ReadListEnd();
        },
        [this](TWriter& W) {
            W.WriteListBegin();
            for (int v : Values) W.WriteInteger(v);
            W.WriteListEnd();
        },
        stored);
}

void TFmCommands::DefineProperties(TFiler* Filer) {
    Filer->DefineProperty(
        "TableList",
        [this](TReader& R) {
            Tables.clear();
            R.ReadListBegin();
            while (!R.EndOfList()) {
                TTable table;
                table.Name = R.ReadString();
                table.Active = R.ReadBoolean();
                R.ReadListBegin();
                while (!R.EndOfList()) table.Keys.push_back(R.ReadInteger());
                R.ReadListEnd();
                Tables.push_back(std::move(table));
            }
            R.ReadListEnd();
        },
        [this](TWriter& W) {
            W.WriteListBegin();
            for (const TTable& table : Tables) {
                W.WriteString(table.Name);
                W.WriteBoolean(table.Active);
                W.WriteListBegin();
                for (int key : table.Keys) W.WriteInteger(key);
                W.WriteListEnd();
            }
            W.WriteListEnd();
        },
        !Tables.empty());
}

void TFmSection::DescribeProperties(TPropertyTable& T) {
    Member(T, "Width", &TFmSection::Width).Default(50);
    Member(T, "Caption", &TFmSection::Caption);
    Member(T, "Target", &TFmSection::Target);
}

// --- controls ---

TFmControl::TFmControl(TComponent* AOwner)
    : TComponent(AOwner), FSections(std::make_unique<TOwnedCollection>(this, TFmSection::StaticClassInfo())) {
}

TFmControl::~TFmControl() {
    for (TFmControl* child : FControls) child->FParent = nullptr;
    SetParentComponent(nullptr);
}

void TFmControl::DescribeProperties(TPropertyTable& T) {
    Member(T, "Caption", &TFmControl::Caption);
    Member(T, "Left", &TFmControl::Left);
    Member(T, "Width", &TFmControl::Width).Default(75);
    Member(T, "Visible", &TFmControl::Visible).Default(true);
    Member(T, "Align", &TFmControl::Align).Default(faNone);
    Member(T, "Anchors", &TFmControl::Anchors).Default(TFmAnchors{fkLeft, fkTop});
    Member(T, "Color", &TFmControl::Color).OfType(FmColorTypeInfo()).Default(fmBtnFace);
    Member(T, "Ratio", &TFmControl::Ratio);
    Member(T, "Scale", &TFmControl::Scale).Default(1.0);
    Member(T, "Precise", &TFmControl::Precise);
    Member(T, "Big", &TFmControl::Big);
    Member(T, "Letter", &TFmControl::Letter).Default('A');
    Member(T, "Value", &TFmControl::Value);
    Member(T, "DataSource", &TFmControl::DataSource);
    T.Property("Font", &TFmControl::Font);
    T.Property("Frame", &TFmControl::Frame);
    T.Property("Lines", &TFmControl::Lines);
    T.Property("Glyph", &TFmControl::Glyph);
    T.Property("Sections", &TFmControl::Sections);
    T.Property("Margins", &TFmControl::Margins);
    T.Property("EntryCommands", &TFmControl::EntryCommands);
    T.Event("OnClick", &TFmControl::OnClick);
    T.Event("OnFound", &TFmControl::OnFound);
}

void TFmControl::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    for (TFmControl* child : FControls)
        if (child->Owner() == Root) Proc(child);
}

TComponent* TFmControl::GetParentComponent() const { return FParent; }

void TFmControl::SetParentComponent(TComponent* Value) {
    if (FParent) std::erase(FParent->FControls, this);
    FParent = dynamic_cast<TFmControl*>(Value);
    if (FParent) FParent->FControls.push_back(this);
}

void TFmControl::DefineProperties(TFiler* Filer) {
    inherited::DefineProperties(Filer);
    Filer->DefineBinaryProperty(
        "RegionData",
        [this](TStream& S) {
            int32_t n = S.ReadInt32();
            if (n < 0 || n > S.Size() - S.Position()) throw EReadError("Region data of a wrong size");
            Region = S.ReadString(n);
            FormLog().push_back(Name() + " region after a glyph of " +
                                IntToStr(static_cast<int64_t>(Glyph()->Data.size())));
        },
        [this](TStream& S) {
            S.WriteInt32(static_cast<int32_t>(Region.size()));
            S.WriteString(Region);
        },
        !Region.empty());
}

void TFmControl::Loaded() {
    inherited::Loaded();
    Log(this, "loaded");
}

// --- non-visual ---

void TFmSource::DescribeProperties(TPropertyTable& T) {
    T.Property("Connected", &TFmSource::Connected, &TFmSource::SetConnected).Default(false);
    Member(T, "Partner", &TFmSource::Partner);
    T.PropertyOf<TFmSource>(
        "DropComponent", [](TFmSource&) { return AnsiString(); },
        [](TFmSource& S, const AnsiString& Name) { S.SetDropComponent(Name); });
}

void TFmSource::SetConnected(bool Value) {
    FConnected = Value;
    TComponentState s = ComponentState();
    Log(this, s.Contains(csLoading) && s.Contains(csReading) ? "connected while reading" : "connected");
}

void TFmSource::SetDropComponent(const AnsiString& Name) {
    if (TComponent* gone = Owner() ? Owner()->FindComponent(Name) : nullptr) gone->Free();
}

void TFmSource::Loaded() {
    inherited::Loaded();
    Log(this, Partner ? ("loaded, partner " + Partner->Name()).c_str() : "loaded");
}

void TFmPane::DescribeProperties(TPropertyTable& T) { Member(T, "Caption", &TFmPane::Caption); }

void TFmPane::Loaded() {
    inherited::Loaded();
    FormLog().push_back("pane " + Caption + " loaded");
}

TFmSplitter::TFmSplitter(TComponent* AOwner) : TComponent(AOwner) {
    NewComponent<TFmPane>(this)->Caption = "first";
    NewComponent<TFmPane>(this)->Caption = "second";
}

void TFmSplitter::GetChildren(const TGetChildProc& Proc, TComponent*) {
    for (int i = 0; i < ComponentCount(); ++i) Proc(Components(i));
}

void TFmSplitter::ReadState(TReader* Reader) {
    auto previous = Reader->OnAncestorNotFound;
    Reader->OnAncestorNotFound = [this](TReader*, const AnsiString& Name, const TClassInfo*,
                                        TComponent*& Found) {
        if (ComponentCount() >= 2 && Name.size() >= 4 &&
            (SameText(Name.substr(0, 4), "SPL1") || SameText(Name.substr(0, 4), "SPL2")))
            Found = Components(Name[3] == '1' ? 0 : 1);
    };
    try {
        inherited::ReadState(Reader);
    } catch (...) {
        Reader->OnAncestorNotFound = previous;
        throw;
    }
    Reader->OnAncestorNotFound = previous;
}

void TFmSplitter::Loaded() {
    // The panes take their state before the splitter lays them out.
    FormLog().push_back(Name() + " panes ready");
    inherited::Loaded();
    Log(this, "loaded");
}

// --- the form ---

void TFmRoot::DescribeProperties(TPropertyTable& T) {
    Member(T, "Caption", &TFmRoot::Caption);
    T.Field("Panel1", &TFmRoot::Panel1);
    T.Field("DSAlum", &TFmRoot::DSAlum);
    T.Handler("ButtonClick", &TFmRoot::ButtonClick);
    T.Handler("SearchDone", &TFmRoot::SearchDone);
}

void TFmRoot::GetChildren(const TGetChildProc& Proc, TComponent*) {
    for (int i = 0; i < ComponentCount(); ++i) {
        TComponent* c = Components(i);
        if (!c->HasParent() || !c->GetParentComponent()) Proc(c);
    }
}

void TFmRoot::Loaded() {
    inherited::Loaded();
    Log(this, "loaded");
}
