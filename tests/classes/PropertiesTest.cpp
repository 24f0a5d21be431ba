#include <gtest/gtest.h>

#include <any>

#include "FormTestSupport.h"
#include "platform/classes/Component.h"
#include "platform/classes/Properties.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/StringList.h"

enum TAlign { alNone, alTop, alBottom, alClient };
ZELMOR_DECLARE_ENUM(TAlign);
ZELMOR_IMPLEMENT_ENUM(TAlign, "alNone", "alTop", "alBottom", "alClient")

enum class TFilterOption { ofoEnabled, ofoShowHourGlass, ofoCancelOnEscape };
ZELMOR_DECLARE_ENUM(TFilterOption);
ZELMOR_IMPLEMENT_ENUM(TFilterOption, "ofoEnabled", "ofoShowHourGlass", "ofoCancelOnEscape")
using TFilterOptions = TSet<TFilterOption>;

namespace {
class TFont : public TPersistent {
    ZELMOR_CLASS(TFont, TPersistent)
    AnsiString Name() const { return FName; }
    void SetName(const AnsiString& Value) { FName = Value; }
    static void DescribeProperties(TPropertyTable& T) { T.Property("Name", &TFont::Name, &TFont::SetName); }
    void Assign(TPersistent* Source) override {
        if (auto* f = dynamic_cast<TFont*>(Source)) FName = f->FName;
        else inherited::Assign(Source);
    }

private:
    AnsiString FName = "Arial";
};

class TWidget : public TComponent {
    ZELMOR_CLASS(TWidget, TComponent)
    using TComponent::TComponent;
    static void DescribeProperties(TPropertyTable& T);

    AnsiString Caption() const { return FCaption; }
    void SetCaption(const AnsiString& Value) { FCaption = Value; }
    int Width() const { return FWidth; }
    void SetWidth(int Value) { FWidth = Value; }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value) { FEnabled = Value; }
    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign Value) { FAlign = Value; }
    TFilterOptions Options() const { return FOptions; }
    void SetOptions(TFilterOptions Value) { FOptions = Value; }
    float Ratio() const { return FRatio; }
    void SetRatio(float Value) { FRatio = Value; }
    int64_t Big() const { return FBig; }
    void SetBig(int64_t Value) { FBig = Value; }
    char Letter() const { return FLetter; }
    void SetLetter(char Value) { FLetter = Value; }
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    TStringList* Lines() const { return FLines.get(); }
    TComponent* DataSource() const { return FDataSource; }
    void SetDataSource(TComponent* Value) { FDataSource = Value; }
    AnsiString Version() const { return "v3.08"; }
    AnsiString Code() const { return FCode; }
    void SetCode(const AnsiString& Value) { FCode = Value; }
    std::any Value() const { return FValue; }
    void SetValue(std::any Value) { FValue = std::move(Value); }
    bool IsCodeStored() const { return !FCode.empty() && FCode != "-"; }

    TNotifyEvent OnClick;
    TEvent<void(TObject*, bool&)> OnFound;

    int Clicks = 0;
    void ButtonClick(TObject*) { ++Clicks; }
    void SearchDone(TObject*, bool& Found) { Found = true; }

private:
    AnsiString FCaption;
    int FWidth = 75;
    bool FEnabled = true;
    TAlign FAlign = alNone;
    TFilterOptions FOptions{TFilterOption::ofoEnabled, TFilterOption::ofoShowHourGlass};
    float FRatio = 0;
    int64_t FBig = 0;
    char FLetter = 'A';
    std::unique_ptr<TFont> FFont = std::make_unique<TFont>();
    std::unique_ptr<TStringList> FLines = std::make_unique<TStringList>();
    TComponent* FDataSource = nullptr;
    AnsiString FCode;
    std::any FValue;
};

void TWidget::DescribeProperties(TPropertyTable& T) {
    T.Property("Caption", &TWidget::Caption, &TWidget::SetCaption);
    T.Property("Width", &TWidget::Width, &TWidget::SetWidth).Default(75);
    T.Property("Enabled", &TWidget::Enabled, &TWidget::SetEnabled).Default(true);
    T.Property("Align", &TWidget::Align, &TWidget::SetAlign).Default(alNone);
    T.Property("Options", &TWidget::Options, &TWidget::SetOptions)
        .Default(TFilterOptions{TFilterOption::ofoEnabled, TFilterOption::ofoShowHourGlass});
    T.Property("Ratio", &TWidget::Ratio, &TWidget::SetRatio);
    T.Property("Big", &TWidget::Big, &TWidget::SetBig);
    T.Property("Letter", &TWidget::Letter, &TWidget::SetLetter);
    T.Property("Font", &TWidget::Font, &TWidget::SetFont);
    T.Property("Lines", &TWidget::Lines);
    T.Property("DataSource", &TWidget::DataSource, &TWidget::SetDataSource);
    T.Property("Version", &TWidget::Version);
    T.Property("Code", &TWidget::Code, &TWidget::SetCode).StringKind(tkString).Stored(&TWidget::IsCodeStored);
    T.Property("Value", &TWidget::Value, &TWidget::SetValue);
    T.Event("OnClick", &TWidget::OnClick);
    T.Event("OnFound", &TWidget::OnFound);
    T.Handler("ButtonClick", &TWidget::ButtonClick);
    T.Handler("SearchDone", &TWidget::SearchDone);
}

// A descendant that publishes Width with another default and adds a property.
class TFlatWidget : public TWidget {
    ZELMOR_CLASS(TFlatWidget, TWidget)
    using TWidget::TWidget;
    bool Flat() const { return true; }
    static void DescribeProperties(TPropertyTable& T) {
        T.Property("Width", &TWidget::Width, &TWidget::SetWidth).Default(100);
        T.Property("Flat", &TFlatWidget::Flat);
    }
};

ZELMOR_IMPLEMENT_CLASS(TFont, TPersistent)
ZELMOR_IMPLEMENT_COMPONENT(TWidget, TComponent)
ZELMOR_IMPLEMENT_COMPONENT(TFlatWidget, TWidget)

}  // namespace

TEST(Properties, EveryKindIsFoundWithoutRegardToCase) {
    struct Case {
        const char* Name;
        TTypeKind Kind;
        const char* TypeName;
    };
    const Case cases[] = {
        {"CAPTION", tkLString, "string"},
        {"width", tkInteger, "Integer"},
        {"enabled", tkEnumeration, "Boolean"},
        {"aLiGn", tkEnumeration, "TAlign"},
        {"options", tkSet, "set of TFilterOption"},
        {"RATIO", tkFloat, "Single"},
        {"big", tkInt64, "Int64"},
        {"letter", tkChar, "Char"},
        {"font", tkClass, "TFont"},
        {"datasource", tkClass, "TComponent"},
        {"code", tkString, "ShortString"},
        {"value", tkVariant, "Variant"},
        {"onclick", tkMethod, "TMethod"},
        {"TAG", tkInt64, "Int64"},
    };
    TWidget w(nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const TPropInfo* info = GetPropInfo(&w, c.Name);
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(info->Kind(), c.Kind);
        EXPECT_EQ(info->PropType().Name, c.TypeName);
        EXPECT_TRUE(PropIsType(&w, c.Name, c.Kind));
    }
    EXPECT_EQ(GetPropInfo(&w, "Font")->PropType().ClassType, &TFont::StaticClassInfo());
}

TEST(Properties, ValuesRoundTripThroughEachKind) {
    TWidget w(nullptr);
    SetStrProp(&w, "caption", "Aceptar");
    SetOrdProp(&w, "Width", 120);
    SetOrdProp(&w, "Enabled", 0);
    SetOrdProp(&w, "Align", alClient);
    SetFloatProp(&w, "Ratio", 0.5);
    SetInt64Prop(&w, "Big", int64_t(1) << 40);
    SetOrdProp(&w, "Letter", 0xD1);  // Ñ in Windows-1252
    SetVariantProp(&w, "Value", std::any(AnsiString("x")));
    EXPECT_EQ(w.Caption(), "Aceptar");
    EXPECT_EQ(GetStrProp(&w, "Caption"), "Aceptar");
    EXPECT_EQ(w.Width(), 120);
    EXPECT_FALSE(w.Enabled());
    EXPECT_EQ(w.Align(), alClient);
    EXPECT_EQ(GetFloatProp(&w, "ratio"), 0.5);
    EXPECT_EQ(GetInt64Prop(&w, "BIG"), int64_t(1) << 40);
    EXPECT_EQ(w.Letter(), '\xD1');
    EXPECT_EQ(GetOrdProp(&w, "Letter"), 0xD1);
    EXPECT_EQ(std::any_cast<AnsiString>(GetVariantProp(&w, "Value")), "x");

    TComponent source(nullptr);
    SetObjectProp(&w, "DataSource", &source);
    EXPECT_EQ(w.DataSource(), &source);
    EXPECT_EQ(GetObjectProp(&w, "DataSource"), &source);
    // The library reads "ordinal or object value" alike.
    EXPECT_EQ(GetOrdProp(&w, "DataSource"), static_cast<int64_t>(reinterpret_cast<intptr_t>(&source)));
    EXPECT_EQ(GetObjectProp(&w, "DataSource", &TWidget::StaticClassInfo()), nullptr);
    SetObjectProp(&w, "DataSource", nullptr);
    EXPECT_EQ(w.DataSource(), nullptr);
}

TEST(Properties, UnknownNamesAreNullForFindersAndErrorsForAccessors) {
    TWidget w(nullptr);
    EXPECT_EQ(GetPropInfo(&w, "PictureMasks"), nullptr);
    EXPECT_EQ(GetPropInfo(static_cast<TObject*>(nullptr), "Caption"), nullptr);
    EXPECT_FALSE(IsPublishedProp(&w, "ControlInfoInDataSet"));
    EXPECT_FALSE(IsPublishedProp(&w, "controltype"));
    EXPECT_EQ(ErrorOf([&] { GetStrProp(&w, "DatabaseName"); }),
              "EPropertyError: Unknown property: 'DatabaseName'");
    EXPECT_THROW(SetOrdProp(&w, "MaxRecords", 5), EPropertyError);
    EXPECT_THROW(FindPropInfo(nullptr, "Caption"), EPropertyError);
    // A plain persistent without a table of its own has its ancestors' (none).
    TPersistent p;
    EXPECT_TRUE(GetPropList(&p).empty());
}

TEST(Properties, WrongKindsReadOnlyAndOutOfRangeValuesChangeNothing) {
    struct Case {
        const char* What;
        std::function<void(TWidget&)> Action;
        const char* Message;
    };
    TWidget other(nullptr);
    const Case cases[] = {
        {"read-only", [](TWidget& w) { SetStrProp(&w, "Version", "x"); }, "Property 'Version' is read-only"},
        {"string as ordinal", [](TWidget& w) { GetOrdProp(&w, "Caption"); },
         "Property 'Caption' is not an ordinal property"},
        {"ordinal as string", [](TWidget& w) { SetStrProp(&w, "Width", "5"); },
         "Property 'Width' is not a string property"},
        {"enumeration past its last name", [](TWidget& w) { SetOrdProp(&w, "Align", 4); },
         "Value out of range for property 'Align'"},
        {"Boolean 2", [](TWidget& w) { SetOrdProp(&w, "Enabled", 2); },
         "Value out of range for property 'Enabled'"},
        {"integer beyond 32 bits", [](TWidget& w) { SetOrdProp(&w, "Width", int64_t(1) << 32); },
         "Value out of range for property 'Width'"},
        {"set element beyond the enumeration", [](TWidget& w) { SetOrdProp(&w, "Options", 8); },
         "Value out of range for property 'Options'"},
        {"single beyond its range", [](TWidget& w) { SetFloatProp(&w, "Ratio", 1e300); },
         "Value out of range for property 'Ratio'"},
        {"object of another class", [&](TWidget& w) { SetObjectProp(&w, "Font", &other); },
         "Property 'Font' takes a TFont, not a TWidget"},
        {"object as ordinal", [&](TWidget& w) { SetOrdProp(&w, "DataSource", 1); },
         "Property 'DataSource' is not an ordinal property"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        TWidget w(nullptr);
        EXPECT_EQ(ErrorOf([&] { c.Action(w); }), AnsiString("EPropertyError: ") + c.Message);
        EXPECT_EQ(w.Width(), 75);
        EXPECT_EQ(w.Align(), alNone);
        EXPECT_TRUE(w.Enabled());
        EXPECT_EQ(w.Options().Bits(), 3u);
        EXPECT_EQ(w.Ratio(), 0);
        EXPECT_EQ(w.Font()->Name(), "Arial");
    }
}

TEST(Properties, EnumerationAndSetTextsBothWays) {
    TWidget w(nullptr);
    SetEnumProp(&w, "Align", "ALCLIENT");
    EXPECT_EQ(GetEnumProp(&w, "Align"), "alClient");
    SetEnumProp(&w, "Enabled", "false");
    EXPECT_EQ(GetEnumProp(&w, "Enabled"), "False");
    EXPECT_EQ(ErrorOf([&] { SetEnumProp(&w, "Align", "alLeft"); }),
              "EPropertyError: Invalid property element: alLeft");
    EXPECT_EQ(w.Align(), alClient);

    struct Case {
        const char* Text;
        uint32_t Bits;
        const char* Written;
    };
    const Case sets[] = {
        {"[ofoShowHourGlass, OFOENABLED]", 3, "[ofoEnabled,ofoShowHourGlass]"},
        {"ofoCancelOnEscape", 4, "[ofoCancelOnEscape]"},
        {"[]", 0, "[]"},
        {"  ", 0, "[]"},
    };
    for (const Case& c : sets) {
        SCOPED_TRACE(c.Text);
        SetSetProp(&w, "Options", c.Text);
        EXPECT_EQ(w.Options().Bits(), c.Bits);
        EXPECT_EQ(GetSetProp(&w, "Options", true), c.Written);
    }
    SetSetProp(&w, "Options", "[ofoEnabled]");
    for (const char* bad : {"[ofoEnabled,ofoNope]", "[ofoEnabled,]", "[ofoEnabled"}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(SetSetProp(&w, "Options", bad), EPropertyError);
        EXPECT_EQ(w.Options().Bits(), 1u);
    }
    EXPECT_EQ(GetSetProp(&w, "Options"), "ofoEnabled");
    EXPECT_THROW(GetSetProp(&w, "Align"), EPropertyError);
}

TEST(Properties, DefaultsAndStoredPredicatesDecideWhatIsWritten) {
    TWidget w(nullptr);
    struct Case {
        const char* Name;
        bool Default;
    };
    // Fresh widget: declared defaults hold; an ordinal without one is always written.
    const Case fresh[] = {
        {"Caption", true}, {"Width", true},   {"Enabled", true}, {"Align", true}, {"Options", true},
        {"Ratio", true},   {"Big", true},     {"Letter", false}, {"Font", false}, {"DataSource", true},
        {"Value", true},   {"OnClick", true}, {"Tag", true},
    };
    for (const Case& c : fresh) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(IsDefaultPropValue(&w, c.Name), c.Default);
    }
    w.SetWidth(76);
    w.SetEnabled(false);
    w.SetOptions({});
    w.SetRatio(1.5f);
    w.OnClick = [](TObject*) {};
    for (const char* changed : {"Width", "Enabled", "Options", "Ratio", "OnClick"}) {
        SCOPED_TRACE(changed);
        EXPECT_FALSE(IsDefaultPropValue(&w, changed));
    }

    EXPECT_FALSE(IsStoredProp(&w, "Name"));
    EXPECT_TRUE(IsStoredProp(&w, "Caption"));
    EXPECT_FALSE(IsStoredProp(&w, "Code"));
    w.SetCode("AB");
    EXPECT_TRUE(IsStoredProp(&w, "Code"));
    w.SetCode("-");
    EXPECT_FALSE(IsStoredProp(&w, "code"));
}

TEST(Properties, DescendantsKeepTheAncestorsOrderAndMayRedeclare) {
    std::vector<AnsiString> names;
    for (const TPropInfo* p : GetPropList(TFlatWidget::StaticClassInfo())) names.push_back(p->Name());
    const std::vector<AnsiString> expected = {
        "Name", "Tag",   "Caption",    "Width",   "Enabled", "Align", "Options", "Ratio",   "Big", "Letter",
        "Font", "Lines", "DataSource", "Version", "Code",    "Value", "OnClick", "OnFound", "Flat"};
    EXPECT_EQ(names, expected);

    TFlatWidget flat(nullptr);
    TWidget plain(nullptr);
    flat.SetWidth(75);
    EXPECT_FALSE(IsDefaultPropValue(&flat, "Width"));
    EXPECT_TRUE(IsDefaultPropValue(&plain, "Width"));
    EXPECT_EQ(GetPropInfo(TFlatWidget::StaticClassInfo(), "Width")->Default(), 100);
    EXPECT_EQ(GetPropInfo(TWidget::StaticClassInfo(), "Width")->Default(), 75);

    std::vector<AnsiString> events;
    for (const TPropInfo* p : GetPropList(&flat, {tkMethod})) events.push_back(p->Name());
    EXPECT_EQ(events, (std::vector<AnsiString>{"OnClick", "OnFound"}));
    EXPECT_EQ(GetPropList(&flat, tkProperties).size(), expected.size() - 2);
}

TEST(Properties, EventsBindToHandlersByNameWithTheirSignature) {
    TWidget form(nullptr);
    TWidget button(&form);
    SetMethodPropByHandler(&button, "onclick", &form, "BUTTONCLICK");
    ASSERT_TRUE(Assigned(button.OnClick));
    button.OnClick(&button);
    EXPECT_EQ(form.Clicks, 1);
    EXPECT_EQ(button.OnClick.HandlerName(), "ButtonClick");
    EXPECT_EQ(GetMethodProp(&button, "OnClick").Name(), "ButtonClick");

    // A handler of another shape is refused and leaves the event as it was.
    EXPECT_EQ(ErrorOf([&] { SetMethodPropByHandler(&button, "OnFound", &form, "ButtonClick"); }),
              "EPropertyError: The handler 'ButtonClick' does not fit the event 'OnFound'");
    EXPECT_FALSE(Assigned(button.OnFound));
    EXPECT_THROW(SetMethodPropByHandler(&button, "OnClick", &form, "Nowhere"), EMethodNotFound);
    EXPECT_TRUE(Assigned(button.OnClick));

    SetMethodProp(&button, "OnFound", GetHandler(&form, "searchdone"));
    bool found = false;
    button.OnFound(&button, found);
    EXPECT_TRUE(found);

    // Events are swapped between objects by value, and cleared with an empty method.
    TWidget other(nullptr);
    SetMethodProp(&other, "OnClick", GetMethodProp(&button, "OnClick"));
    other.OnClick(&other);
    EXPECT_EQ(form.Clicks, 2);
    SetMethodProp(&button, "OnClick", TMethod());
    EXPECT_FALSE(Assigned(button.OnClick));
    EXPECT_FALSE(GetHandler(&form, "Nowhere").Assigned());
}

TEST(Properties, DottedPathsReachSubObjects) {
    TWidget w(nullptr);
    TObject* holder = &w;
    const TPropInfo* info = GetPropInfoPath(holder, "font.NAME");
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(holder, w.Font());
    info->SetStr(holder, "Courier New");
    EXPECT_EQ(w.Font()->Name(), "Courier New");

    for (const char* absent : {"Font.Size", "Caption.Name", "DataSource.Name", "Nope.Name"}) {
        SCOPED_TRACE(absent);
        TObject* start = &w;
        EXPECT_EQ(GetPropInfoPath(start, absent), nullptr);
        EXPECT_EQ(start, &w);
    }
}

TEST(Properties, ClassPropertiesTellTheirClassAndWhetherTheyHoldStrings) {
    TWidget w(nullptr);
    EXPECT_EQ(GetObjectPropClass(&w, "Lines"), &TStringList::StaticClassInfo());
    EXPECT_TRUE(FindPropInfo(&w, "Lines").IsStrings());
    EXPECT_FALSE(FindPropInfo(&w, "Font").IsStrings());
    EXPECT_FALSE(FindPropInfo(&w, "Caption").IsStrings());
    EXPECT_THROW(GetObjectPropClass(&w, "Caption"), EPropertyError);
    // A sub-object property with an assigning setter copies, keeping its own object.
    TFont font;
    font.SetName("Times New Roman");
    TFont* own = w.Font();
    SetObjectProp(&w, "Font", &font);
    EXPECT_EQ(w.Font(), own);
    EXPECT_EQ(own->Name(), "Times New Roman");
}

TEST(Properties, NamedIntegerTypesNameSomeValuesAndMustFitTheirProperty) {
    static const TTypeInfo cursor =
        MakeIntegerTypeInfo("TCursor", INT16_MIN, INT16_MAX, {{0, "crDefault"}, {-11, "crHourGlass"}});
    AnsiString name;
    int64_t value = 0;
    EXPECT_TRUE(IntToIdent(cursor, -11, name));
    EXPECT_EQ(name, "crHourGlass");
    EXPECT_FALSE(IntToIdent(cursor, 5, name));
    EXPECT_TRUE(IdentToInt(cursor, "CRHOURGLASS", value));
    EXPECT_EQ(value, -11);
    EXPECT_FALSE(IdentToInt(cursor, "crNada", value));

    // A property of the type checks values against the type's range before narrowing them.
    TPropertyTable table;
    int16_t stored = 0;
    table
        .PropertyOf<TWidget>(
            "Cursor", [&](TWidget&) { return stored; }, [&](TWidget&, int16_t v) { stored = v; })
        .OfType(cursor);
    const TPropInfo& info = *table.Find("Cursor");
    TWidget w(nullptr);
    EXPECT_EQ(info.PropType().Name, "TCursor");
    info.SetOrd(&w, -11);
    EXPECT_EQ(stored, -11);
    EXPECT_THROW(info.SetOrd(&w, 40000), EPropertyError);
    EXPECT_EQ(ErrorOf([&] {
                  table.PropertyOf<TWidget>("Narrow", [](TWidget&) { return int8_t(0); }).OfType(cursor);
              }),
              "EPropertyError: The type TCursor does not fit property 'Narrow'");
    EXPECT_EQ(ErrorOf([&] {
                  table.PropertyOf<TWidget>("Text", [](TWidget&) { return AnsiString(); }).OfType(cursor);
              }),
              "EPropertyError: Property 'Text' is not an integer property");
}
