#include <gtest/gtest.h>

#include "FormTestSupport.h"
#include "platform/rtl/Strings.h"

namespace {
using Log = std::vector<AnsiString>;

TFmSection* Section(TFmControl* Control, int Index) {
    return static_cast<TFmSection*>(Control->Sections()->Items(Index));
}

// Its reader of Pair stops halfway through the list.
class TFmHalfReader : public TFmSource {
    ZELMOR_CLASS(TFmHalfReader, TFmSource)
    using TFmSource::TFmSource;

protected:
    void DefineProperties(TFiler* Filer) override {
        Filer->DefineProperty(
            "Pair",
            [](TReader& R) {
                R.ReadListBegin();
                R.ReadInteger();
            },
            nullptr, false);
    }
};
ZELMOR_IMPLEMENT_COMPONENT(TFmHalfReader, TFmSource)

TComponent* gForm2 = nullptr;
TComponent* FindForm2(std::string_view Name) {
    return gForm2 && SameText(gForm2->Name(), Name) ? gForm2 : nullptr;
}
}  // namespace

TEST(FormReader, ShowcaseFormSetsEveryKindOfValue) {
    TTestForm form;
    form.Read(ReadFixture("Showcase.zfm"), "Showcase.zfm");
    EXPECT_EQ(form.Root()->Name(), "ShowcaseForm");
    EXPECT_EQ(form.Form()->Caption, "Atenci\xF3n: 'Zelmor'");

    auto* panel = form.Find<TFmControl>("Panel1");
    auto* button = form.Find<TFmControl>("Button1");
    auto* alum = form.Find<TFmSource>("DSAlum");
    auto* prof = form.Find<TFmSource>("DSProf");
    ASSERT_TRUE(panel && button && alum && prof);
    EXPECT_EQ(panel->Caption, "Datos del curso\r\n2024");
    EXPECT_EQ(panel->Left, 8);
    EXPECT_EQ(panel->Width, 200);
    EXPECT_EQ(panel->Align, faClient);
    EXPECT_EQ(panel->Anchors, (TFmAnchors{fkLeft, fkRight}));
    EXPECT_EQ(panel->Color, fmWhite);
    EXPECT_EQ(panel->Ratio, 0.1);
    EXPECT_EQ(panel->Scale, 2.5f);
    EXPECT_EQ(panel->Precise, 1.25e-30L);
    EXPECT_EQ(panel->Big, int64_t(1) << 40);
    EXPECT_EQ(panel->Letter, '\xD1');
    EXPECT_EQ(std::any_cast<AnsiString>(panel->Value), "variante");
    EXPECT_EQ(panel->DataSource, alum);
    EXPECT_EQ(panel->Font()->Name, "Courier New");
    EXPECT_EQ(panel->Font()->Size, 10);
    EXPECT_EQ(panel->Font()->Color, 255);
    EXPECT_TRUE(panel->Frame()->Enabled);
    EXPECT_EQ(panel->Frame()->Font()->Color, fmBtnFace);
    EXPECT_EQ(panel->Lines()->Text(), "primera\r\nsegunda\r\n");
    EXPECT_EQ(panel->Glyph()->Data, AnsiString("BM\0\x01\xFF", 5));
    EXPECT_EQ(panel->Region, "\x0A\x0B");
    ASSERT_EQ(panel->Sections()->Count(), 2);
    EXPECT_EQ(Section(panel, 0)->Width, 40);
    EXPECT_EQ(Section(panel, 0)->Caption, "Nombre");
    EXPECT_EQ(Section(panel, 0)->Target, button);
    EXPECT_EQ(Section(panel, 1)->Width, 50);
    EXPECT_EQ(Section(panel, 1)->Target, nullptr);
    EXPECT_EQ(panel->Margins()->Values[0], 10);
    EXPECT_EQ(panel->Margins()->Values[3], 15);
    ASSERT_EQ(panel->EntryCommands()->Tables.size(), 3u);
    EXPECT_EQ(panel->EntryCommands()->Tables[1].Name, "WordStar");
    EXPECT_FALSE(panel->EntryCommands()->Tables[1].Active);
    EXPECT_EQ(panel->EntryCommands()->Tables[1].Keys, (std::vector<int>{83, 4}));
    EXPECT_TRUE(Assigned(panel->OnClick));
    EXPECT_TRUE(Assigned(panel->OnFound));

    // Owner and parent: every component belongs to the form; the button sits in the panel.
    EXPECT_EQ(button->Owner(), form.Root());
    EXPECT_EQ(button->ParentControl(), panel);
    EXPECT_EQ(alum->Partner, prof);
    EXPECT_TRUE(alum->Connected());
    EXPECT_FALSE(button->Visible);
}

TEST(FormReader, SettersRunWhileReadingAndLoadedRunsAfterTheFixUpsInFileOrder) {
    TTestForm form;
    form.Read(ReadFixture("Showcase.zfm"));
    // Partner names a source that comes later in the file: Loaded already sees it.
    // The glyph's data comes before the region data that depends on it.
    EXPECT_EQ(FormLog(), (Log{"DSAlum connected while reading", "Panel1 region after a glyph of 5",
                              "ShowcaseForm loaded", "DSAlum loaded, partner DSProf", "DSProf loaded",
                              "Panel1 loaded", "Button1 loaded"}));
    for (TComponent* c : {form.Root(), form.Root()->Components(0), form.Root()->Components(3)}) {
        EXPECT_FALSE(c->ComponentState().Contains(csLoading)) << c->Name();
        EXPECT_FALSE(c->ComponentState().Contains(csReading)) << c->Name();
    }
}

TEST(FormReader, FormFieldsFollowTheComponentsOfTheirName) {
    TTestForm form;
    form.Read(ReadFixture("Showcase.zfm"));
    TFmRoot* root = form.Form();
    EXPECT_EQ(root->Panel1, form.Find<TFmControl>("Panel1"));
    EXPECT_EQ(root->DSAlum, form.Find<TFmSource>("DSAlum"));
    root->DSAlum->SetName("DSAlumnos");
    EXPECT_EQ(root->DSAlum, nullptr);
    root->Panel1->Free();
    EXPECT_EQ(root->Panel1, nullptr);
    form.Find<TFmSource>("DSProf")->SetName("DSAlum");
    EXPECT_EQ(root->DSAlum, form.Find<TFmSource>("DSAlum"));

    TTestForm wrong;
    EXPECT_EQ(
        ErrorOf([&] { wrong.Read("object F: TFmRoot\n  object DSAlum: TFmControl\n  end\nend\n", "f.zfm"); }),
        "EComponentError: f.zfm, line 2: Field DSAlum of TFmRoot is a TFmSource, not a TFmControl");
    EXPECT_EQ(wrong.Form()->DSAlum, nullptr);
    EXPECT_EQ(wrong.Root()->ComponentCount(), 0);
}

TEST(FormReader, EventsCallTheFormsHandlersAndKeepTheirNames) {
    TTestForm form;
    form.Read("object F: TFmRoot\n"
              "  object B: TFmControl\n"
              "    OnClick = buttonclick\n"
              "    OnFound = SearchDone\n"
              "  end\n"
              "end\n");
    auto* b = form.Find<TFmControl>("B");
    b->OnClick(b);
    b->OnClick(b);
    EXPECT_EQ(form.Form()->Clicks, 2);
    bool found = false;
    b->OnFound(b, found);
    EXPECT_TRUE(found);
    EXPECT_EQ(b->OnClick.HandlerName(), "ButtonClick");
}

TEST(FormReader, ErrorsNameTheFileTheLineAndWhatIsWrong) {
    struct Case {
        const char* Body;  // inside "object F: TFmRoot" ... "end", from line 2
        const char* Error;
    };
    const Case cases[] = {
        {"  object B: TNoSuchButton\n  end\n",
         "EClassNotFound: f.zfm, line 2: Class TNoSuchButton not found"},
        {"  object B: TFmControl\n    Captoin = 'x'\n  end\n",
         "EReadError: f.zfm, line 3: Property Captoin does not exist in TFmControl B"},
        {"  object B: TFmControl\n    Font.Nmae = 'x'\n  end\n",
         "EReadError: f.zfm, line 3: Property Font.Nmae does not exist in TFmControl B"},
        {"  object B: TFmControl\n    Caption 'x'\n  end\n",
         "EReadError: f.zfm, line 3: A property, 'object' or 'end' expected, found 'Caption'"},
        {"  object B: TFmControl\n    Width = 'ancho'\n  end\n",
         "EReadError: f.zfm, line 3: Invalid value for property Width, found a text"},
        {"  object B: TFmControl\n    Align = faLeft\n  end\n",
         "EReadError: f.zfm, line 3: Invalid value for property Align, found 'faLeft'"},
        {"  object B: TFmControl\n    Anchors = [fkLeft, fkMiddle]\n  end\n",
         "EReadError: f.zfm, line 3: Invalid element fkMiddle in set Anchors"},
        {"  object B: TFmControl\n    Color = clPurple\n  end\n",
         "EReadError: f.zfm, line 3: Invalid value for property Color, found 'clPurple'"},
        {"  object B: TFmControl\n    Font.Size = 3000000000\n  end\n",
         "EPropertyError: f.zfm, line 3: Value out of range for property 'Size'"},
        {"  object B: TFmControl\n    Caption = 'sin cerrar\n  end\n",
         "EReadError: f.zfm, line 3: Unterminated string"},
        {"  object B: TFmControl\n    Caption = 'Atenci\xF3n'\n  end\n",
         "EReadError: f.zfm, line 3: Character #243 inside quotes; write it as #243"},
        {"  object B: TFmControl\n    OnClick = BSiguienteClick\n  end\n",
         "EMethodNotFound: f.zfm, line 3: Method BSiguienteClick for OnClick not found in TFmRoot"},
        {"  object B: TFmControl\n    OnClick = SearchDone\n  end\n",
         "EPropertyError: f.zfm, line 3: The handler 'SearchDone' does not fit the event 'OnClick'"},
        {"  object B: TFmControl\n    DataSource = DSNinguno\n  end\n",
         "EReadError: f.zfm, line 3: Component DSNinguno not found for property DataSource"},
        {"  object C: TFmControl\n  end\n  object B: TFmControl\n    DataSource = C\n  end\n",
         "EPropertyError: f.zfm, line 5: Property 'DataSource' takes a TFmSource, not a TFmControl"},
        {"  object B: TFmControl\n  end\n  object b: TFmControl\n  end\n",
         "EComponentError: f.zfm, line 4: A component named b already exists"},
        {"  object B: TFmControl\n    Margins.PrintMargins = (10 15 15)\n  end\n",
         "EReadError: f.zfm, line 3: An integer expected, found ')'"},
        {"  object B: TFmControl\n    Margins.PrintMargins = (10 15 15 15 15)\n  end\n",
         "EReadError: f.zfm, line 3: ')' expected, found a number"},
        {"  inherited B: TFmControl\n  end\n", "EReadError: f.zfm, line 2: Ancestor for 'B' not found"},
        {"  object B: TFmControl\n    Frame = nil\n  end\n",
         "EReadError: f.zfm, line 3: Property Frame is read-only"},
        {"end\nobject G: TFmRoot\n", "EReadError: f.zfm, line 3: End of file expected, found 'object'"},
        {"  object B: TFmControl\n    Left = 12abc\n  end\n", "EReadError: f.zfm, line 3: Invalid number"},
        {"  object B: TFmControl\n    Glyph.Data = {\n      4D4}\n  end\n",
         "EReadError: f.zfm, line 4: Odd number of hexadecimal digits in binary data"},
        {"  object B: TFmControl\n    Glyph.Data = {4D 4X}\n  end\n",
         "EReadError: f.zfm, line 3: Invalid character in binary data"},
        {"  object B: TFmControl\n    Glyph.Data = '4D'\n  end\n",
         "EReadError: f.zfm, line 3: Binary data expected for Data, found a text"},
        {"  object B: TFmControl\n    RegionData = {FF000000}\n  end\n",
         "EReadError: f.zfm, line 3: Region data of a wrong size"},
        {"  object B: TFmControl\n    Lines.Strings = ('a' 2)\n  end\n",
         "EReadError: f.zfm, line 3: A text expected, found a number"},
        {"  object B: TFmControl\n",
         "EReadError: f.zfm, line 4: A property, 'object' or 'end' expected, found the end of the file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Body);
        TTestForm form;
        AnsiString text = AnsiString("object F: TFmRoot\n") + c.Body + "end\n";
        EXPECT_EQ(ErrorOf([&] { form.Read(text, "f.zfm"); }), c.Error);
    }
}

TEST(FormReader, ADefinedValueMustBeReadWhole) {
    TTestForm form;
    TReader reader("object F: TFmRoot\n  object H: TFmHalfReader\n    Pair = (1 2)\n  end\nend\n", "f.zfm");
    reader.OnFindComponentClass = [](TReader*, const AnsiString&, const TClassInfo*& Class) {
        Class = &TFmHalfReader::StaticClassInfo();
    };
    EXPECT_EQ(ErrorOf([&] { reader.ReadRootComponent(form.Root()); }),
              "EReadError: f.zfm, line 3: The value of Pair is not what its reader expects");
}

TEST(FormReader, TheRootMustBeOfTheFormsClass) {
    TTestForm form(NewComponent<TFmSource>(nullptr));
    EXPECT_EQ(ErrorOf([&] { form.Read("object F: TFmRoot\nend\n", "f.zfm"); }),
              "EReadError: f.zfm, line 1: The form is a TFmRoot, not a TFmSource");
}

TEST(FormReader, AFailedComponentIsFreedAndNothingStaysLoading) {
    TTestForm form;
    AnsiString error = ErrorOf([&] {
        form.Read("object F: TFmRoot\n"
                  "  object A: TFmSource\n"
                  "  end\n"
                  "  object P: TFmControl\n"
                  "    object Inner: TFmControl\n"
                  "    end\n"
                  "    Width = 'roto'\n"
                  "  end\n"
                  "end\n");
    });
    EXPECT_NE(error, "no error");
    // A and the inner control were whole; P failed and is gone.
    ASSERT_EQ(form.Root()->ComponentCount(), 2);
    EXPECT_EQ(form.Root()->Components(0)->Name(), "A");
    EXPECT_EQ(form.Root()->Components(1)->Name(), "Inner");
    EXPECT_EQ(form.Find<TFmControl>("Inner")->ParentControl(), nullptr);
    for (TComponent* c : {form.Root(), form.Root()->Components(0), form.Root()->Components(1)})
        EXPECT_TRUE((c->ComponentState() * TComponentState{csLoading, csReading}).Empty()) << c->Name();
    EXPECT_TRUE(FormLog().empty());
}

TEST(FormReader, ComponentItemsBelongToTheirOwnerWhichIsLoadedFirst) {
    TTestForm form;
    TReader reader("object F: TFmRoot\n"
                   "  object Splitter1: TFmSplitter\n"
                   "    inherited SPL1Splitter1F: TFmPane\n"
                   "      Caption = 'izquierda'\n"
                   "    end\n"
                   "    inherited SPL2Splitter1F: TFmPane\n"
                   "      Caption = 'derecha'\n"
                   "    end\n"
                   "    object Extra: TFmPane\n"
                   "      Caption = 'extra'\n"
                   "    end\n"
                   "  end\n"
                   "end\n");
    reader.ReadRootComponent(form.Root());
    EXPECT_FALSE(Assigned(reader.OnAncestorNotFound));
    auto* splitter = form.Find<TFmSplitter>("Splitter1");
    ASSERT_EQ(form.Root()->ComponentCount(), 1);
    ASSERT_EQ(splitter->ComponentCount(), 3);
    EXPECT_EQ(splitter->Pane(0)->Caption, "izquierda");
    EXPECT_EQ(splitter->Pane(1)->Caption, "derecha");
    EXPECT_EQ(splitter->Pane(2)->Name(), "Extra");
    EXPECT_EQ(FormLog(), (Log{"F loaded", "Splitter1 panes ready", "Splitter1 loaded",
                              "pane izquierda loaded", "pane derecha loaded", "pane extra loaded"}));
}

TEST(FormReader, ClassNotFoundHandlerMaySupplyAClass) {
    TTestForm form;
    TReader reader("object F: TFmRoot\n  object B: TOldButton\n    Caption = 'viejo'\n  end\nend\n");
    std::vector<AnsiString> asked;
    reader.OnFindComponentClass = [&](TReader*, const AnsiString& ClassName, const TClassInfo*& Class) {
        asked.push_back(ClassName);
        if (ClassName == "TOldButton") Class = &TFmControl::StaticClassInfo();
    };
    reader.ReadRootComponent(form.Root());
    EXPECT_EQ(asked, (Log{"TOldButton"}));
    EXPECT_EQ(form.Find<TFmControl>("B")->Caption, "viejo");
}

TEST(FormReader, ReferencesReachFramesTheFormItselfAndOtherForms) {
    TTestForm other;
    other.Read("object Form2: TFmRoot\n  object View1: TFmSource\n  end\nend\n");
    gForm2 = other.Root();
    RegisterFindGlobalComponentProc(&FindForm2);
    TTestForm form;
    form.Read("object F: TFmRoot\n"
              "  object A: TFmSource\n    Partner = Form2.View1\n  end\n"
              "  object B: TFmSource\n    Partner = F.A\n  end\n"
              "  object C: TFmSource\n    Partner = A\n    Partner = nil\n  end\n"
              "  object P: TFmControl\n"
              "    Sections = <\n"
              "      item\n        Target = F\n      end\n"
              "      item\n        Target = B\n      end>\n"
              "  end\n"
              "end\n");
    UnregisterFindGlobalComponentProc(&FindForm2);
    gForm2 = nullptr;
    EXPECT_EQ(form.Find<TFmSource>("A")->Partner, other.Find<TFmSource>("View1"));
    EXPECT_EQ(form.Find<TFmSource>("B")->Partner, form.Find<TFmSource>("A"));
    EXPECT_EQ(form.Find<TFmSource>("C")->Partner, nullptr);  // the value given last
    EXPECT_EQ(Section(form.Find<TFmControl>("P"), 0)->Target, form.Root());
    EXPECT_EQ(Section(form.Find<TFmControl>("P"), 1)->Target, form.Find<TFmSource>("B"));
}

TEST(FormReader, ComponentsAndItemsReplacedWhileReadingAreNotTouchedLater) {
    TTestForm form;
    // A waits for its partner and for Loaded when D frees it; the first
    // Sections list is replaced by the second before its reference is fixed.
    form.Read("object F: TFmRoot\n"
              "  object A: TFmSource\n    Partner = C\n  end\n"
              "  object P: TFmControl\n"
              "    Sections = <\n      item\n        Target = C\n      end>\n"
              "    Sections = <\n      item\n        Caption = 'nueva'\n      end>\n"
              "  end\n"
              "  object C: TFmSource\n  end\n"
              "  object D: TFmSource\n    DropComponent = 'A'\n  end\n"
              "end\n");
    EXPECT_EQ(form.Find<TFmSource>("A"), nullptr);
    auto* p = form.Find<TFmControl>("P");
    ASSERT_EQ(p->Sections()->Count(), 1);
    EXPECT_EQ(Section(p, 0)->Caption, "nueva");
    EXPECT_EQ(Section(p, 0)->Target, nullptr);
    EXPECT_EQ(FormLog(), (Log{"F loaded", "P loaded", "C loaded", "D loaded"}));
}

TEST(FormReader, ASetterThatFreesAComponentBeingReadEndsTheRead) {
    TTestForm form;
    AnsiString error = ErrorOf([&] {
        form.Read("object F: TFmRoot\n"
                  "  object Splitter1: TFmSplitter\n"
                  "    object S: TFmSource\n"
                  "      DropComponent = 'S'\n"
                  "      Connected = True\n"
                  "    end\n"
                  "  end\n"
                  "end\n",
                  "f.zfm");
    });
    EXPECT_EQ(error, "EReadError: f.zfm, line 4: A component was freed while its data was being read");
    EXPECT_EQ(form.Root()->ComponentCount(), 0);
}

TEST(FormReader, ASecondFormOfTheSameClassGetsANameOfItsOwn) {
    TTestForm owner;
    auto* first = NewComponent<TFmRoot>(owner.Root());
    auto* second = NewComponent<TFmRoot>(owner.Root());
    const char* text = "object Alumnos: TFmRoot\nend\n";
    ReadComponentFromText(first, text);
    ReadComponentFromText(second, text);
    ReadComponentFromText(second, text);
    EXPECT_EQ(first->Name(), "Alumnos");
    EXPECT_EQ(second->Name(), "Alumnos_1");
}

TEST(FormReader, NumbersAndTextsInEveryWrittenForm) {
    struct Case {
        const char* Value;
        const char* Property;
        AnsiString Expected;  // the property read back as text
    };
    const Case cases[] = {
        {"$FF", "Left", "255"},
        {"-2147483648", "Left", "-2147483648"},
        {"+7", "Left", "7"},
        {"clBtnFace", "Color", IntToStr(fmBtnFace)},
        {"CLWHITE", "Color", IntToStr(fmWhite)},
        {"16711680", "Color", "16711680"},
        {"3", "Ratio", "3"},
        {"'a'#9'b'#$41", "Caption", "a\tbA"},
        {"''''", "Caption", "'"},
        {"#0", "Letter", "0"},
        {"[]", "Anchors", "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Value);
        TTestForm form;
        form.Read(AnsiString("object F: TFmRoot\n  object B: TFmControl\n    ") + c.Property + " = " +
                  c.Value + "\n  end\nend\n");
        TObject* b = form.Find<TFmControl>("B");
        const TPropInfo& info = FindPropInfo(b, c.Property);
        AnsiString got = info.Kind() == tkFloat            ? IntToStr(static_cast<int64_t>(info.GetFloat(b)))
                         : tkStrings.Contains(info.Kind()) ? info.GetStr(b)
                                                           : IntToStr(info.GetOrd(b));
        EXPECT_EQ(got, c.Expected);
    }
}

// A character code is one byte of the form's text: anything past 255, however
// it is written, must stop the read where it stands, not wrap into another
// letter or overflow into garbage.
TEST(FormReader, CharacterCodesAreBytes) {
    struct Case {
        const char* Value;    // on line 3
        const char* Caption;  // read back, or
        const char* Error;
    };
    const Case cases[] = {
        {"#255", "\xFF", nullptr},
        {"#$FF", "\xFF", nullptr},
        {"#$ff", "\xFF", nullptr},
        {"#0000000000000000000065", "A", nullptr},
        {"'Atenci'#243'n'#$0D#$0a", "Atenci\xF3n\r\n", nullptr},
        {"#256", nullptr, "EReadError: f.zfm, line 3: Character code above 255"},
        {"#$100", nullptr, "EReadError: f.zfm, line 3: Character code above 255"},
        {"#$00100", nullptr, "EReadError: f.zfm, line 3: Character code above 255"},
        {"#99999999999999999999", nullptr, "EReadError: f.zfm, line 3: Character code above 255"},
        {"#4294967361", nullptr, "EReadError: f.zfm, line 3: Character code above 255"},
        {"#18446744073709551681", nullptr, "EReadError: f.zfm, line 3: Character code above 255"},
        {"#$10000000000000041", nullptr, "EReadError: f.zfm, line 3: Character code above 255"},
        {"'ok'#65#256", nullptr, "EReadError: f.zfm, line 3: Character code above 255"},
        {"#", nullptr, "EReadError: f.zfm, line 3: Character code expected after #"},
        {"#-1", nullptr, "EReadError: f.zfm, line 3: Character code expected after #"},
        {"#$", nullptr, "EReadError: f.zfm, line 3: Character code expected after #$"},
        {"#$G1", nullptr, "EReadError: f.zfm, line 3: Character code expected after #$"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Value);
        TTestForm form;
        AnsiString text = AnsiString("object F: TFmRoot\n  object B: TFmControl\n    Caption = ") + c.Value +
                          "\n  end\nend\n";
        if (c.Error) {
            EXPECT_EQ(ErrorOf([&] { form.Read(text, "f.zfm"); }), c.Error);
            continue;
        }
        form.Read(text, "f.zfm");
        EXPECT_EQ(GetStrProp(form.Find<TFmControl>("B"), "Caption"), c.Caption);
    }
    // A char property, and a code further down a list of lines.
    TTestForm letter;
    EXPECT_EQ(ErrorOf([&] {
                  letter.Read("object F: TFmRoot\n  object B: TFmControl\n    Letter = #300\n  end\nend\n",
                              "f.zfm");
              }),
              "EReadError: f.zfm, line 3: Character code above 255");
    TTestForm lines;
    EXPECT_EQ(ErrorOf([&] {
                  lines.Read("object F: TFmRoot\n  object B: TFmControl\n    Lines.Strings = (\n      'uno'\n"
                             "      #$1F4)\n  end\nend\n",
                             "f.zfm");
              }),
              "EReadError: f.zfm, line 5: Character code above 255");
}

TEST(FormReader, LegacyNamesAreReadAndDropped) {
    TTestForm form;
    form.Read("object F: TFmRoot\n  object B: TFmControl\n    Margins.AllowZoom = True\n  end\nend\n");
    EXPECT_EQ(form.Write(), "object F: TFmRoot\n  object B: TFmControl\n    Left = 0\n  end\nend\n");
}

TEST(FormReader, NestingBeyondAnyRealFormIsRefused) {
    AnsiString lists =
        "object F: TFmRoot\n  object B: TFmControl\n    EntryCommands.TableList = " + AnsiString(200, '(') +
        AnsiString(200, ')') + "\n  end\nend\n";
    AnsiString objects = "object F: TFmRoot\n";
    for (int i = 0; i < 200; ++i) objects += "object C" + IntToStr(i) + ": TFmControl\n";
    TTestForm a;
    EXPECT_EQ(ErrorOf([&] { a.Read(lists, "f.zfm"); }), "EReadError: f.zfm, line 3: Lists nested too deeply");
    TTestForm b;
    EXPECT_EQ(ErrorOf([&] { b.Read(objects, "f.zfm"); }),
              "EReadError: f.zfm, line 66: Components nested too deeply");
    EXPECT_EQ(b.Root()->ComponentCount(), 0);
}
