#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "FormTestSupport.h"
#include "platform/rtl/Strings.h"

namespace {
AnsiString Wrap(const AnsiString& Lines) {
    return "object F: TFmRoot\n  object B: TFmControl\n" + Lines + "  end\nend\n";
}

// A form F holding one control B: what most writer tests start from.
struct TOneControl {
    TTestForm Form;
    TFmControl* B;
    TOneControl() {
        Form.Root()->SetName("F");
        B = NewComponent<TFmControl>(Form.Root());
        B->SetName("B");
    }
};

TComponent* gView = nullptr;
TComponent* FindViewForm(std::string_view Name) {
    return gView && SameText(gView->Owner()->Name(), Name) ? gView->Owner() : nullptr;
}
}  // namespace

TEST(FormWriter, ShowcaseFormWritesBackToTheSameText) {
    AnsiString text = ReadFixture("Showcase.zfm");
    TTestForm form;
    form.Read(text);
    EXPECT_EQ(form.Write(), text);
}

TEST(FormWriter, OnlyValuesThatDifferFromTheirDefaultsAreWritten) {
    struct Case {
        std::function<void(TFmControl*)> Change;
        const char* Lines;
    };
    const Case cases[] = {
        {[](TFmControl*) {}, "    Left = 0\n"},  // Left declares no default: always stored
        {[](TFmControl* c) { c->Width = 75; }, "    Left = 0\n"},
        {[](TFmControl* c) { c->Width = 76; }, "    Left = 0\n    Width = 76\n"},
        {[](TFmControl* c) { c->Anchors = {}; }, "    Left = 0\n    Anchors = []\n"},
        {[](TFmControl* c) { c->Color = fmBlack; }, "    Left = 0\n    Color = clBlack\n"},
        {[](TFmControl* c) { c->Color = 0x123456; }, "    Left = 0\n    Color = 1193046\n"},
        {[](TFmControl* c) { c->Scale = 1; }, "    Left = 0\n"},
        {[](TFmControl* c) { c->Font()->Size = 8; }, "    Left = 0\n"},
        {[](TFmControl* c) { c->Frame()->Font()->Size = 9; }, "    Left = 0\n    Frame.Font.Size = 9\n"},
        {[](TFmControl* c) { c->Margins()->Values[2] = 15; }, "    Left = 0\n"},
        {[](TFmControl* c) { c->Margins()->Values[2] = 20; },
         "    Left = 0\n    Margins.PrintMargins = (15 15 20 15)\n"},
        {[](TFmControl* c) { c->Sections()->Add(); },
         "    Left = 0\n    Sections = <\n      item\n      end>\n"},
        {[](TFmControl* c) { c->OnClick = [](TObject*) {}; },
         "    Left = 0\n"},  // set in code: no name to write
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Lines);
        TOneControl one;
        TTestForm& form = one.Form;
        TFmControl* b = one.B;
        c.Change(b);
        EXPECT_EQ(form.Write(), Wrap(c.Lines));
    }
}

TEST(FormWriter, TextsStayReadableAsciiAndComeBackByteForByte) {
    struct Case {
        AnsiString Value;
        const char* Written;
    };
    const Case cases[] = {
        {"Atenci\xF3n", "'Atenci'#243'n'"},
        {"O'Neil", "'O''Neil'"},
        {"", nullptr},
        {"\t", "#9"},
        {"a\r\nb", "'a'#13#10'b'"},
        {"\xBFTransformar?", "#191'Transformar?'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Value);
        TOneControl one;
        TTestForm& form = one.Form;
        TFmControl* b = one.B;
        b->Caption = c.Value;
        AnsiString text = form.Write();
        if (c.Written) {
            EXPECT_EQ(text, Wrap(AnsiString("    Caption = ") + c.Written + "\n    Left = 0\n"));
        }
        TTestForm back;
        back.Read(text);
        EXPECT_EQ(back.Find<TFmControl>("B")->Caption, c.Value);
    }
    // Every byte value survives, and the file holds printable ASCII only.
    AnsiString all;
    for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
    TTestForm form;
    form.Root()->SetName("F");
    NewComponent<TFmControl>(form.Root())->Caption = all;
    AnsiString text = form.Write();
    for (char ch : text) EXPECT_TRUE(ch == '\n' || (ch >= 32 && ch <= 126));
    TTestForm back;
    back.Read(text);
    EXPECT_EQ(static_cast<TFmControl*>(back.Root()->Components(0))->Caption, all);
}

TEST(FormWriter, FloatsComeBackToTheBitInTheirOwnType) {
    TOneControl one;
    TTestForm& form = one.Form;
    TFmControl* b = one.B;
    b->Ratio = 1.0 / 3;
    b->Scale = 0.1f;
    b->Precise = 2.0L / 3;
    b->Value = 1e300;
    TTestForm back;
    back.Read(form.Write());
    auto* c = back.Find<TFmControl>("B");
    EXPECT_EQ(c->Ratio, b->Ratio);
    EXPECT_EQ(c->Scale, b->Scale);
    EXPECT_EQ(c->Precise, b->Precise);
    EXPECT_EQ(std::any_cast<double>(c->Value), 1e300);

    b->Ratio = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(ErrorOf([&] { form.Write(); }), "EWriteError: A form cannot hold the number NaN");
}

TEST(FormWriter, ListsTooLongForALineTakeOneItemALine) {
    TOneControl one;
    TTestForm& form = one.Form;
    TFmControl* b = one.B;
    for (const char* line :
         {"Primero de Bachillerato", "Segundo de Bachillerato", "Cuarto de la ESO", "Tercero de la ESO"})
        b->Lines()->Add(line);
    std::vector<int> keys;
    for (int k = 100; k < 130; ++k) keys.push_back(k);
    b->EntryCommands()->Tables = {{"Default", true, {}}, {"Grid", false, keys}};
    AnsiString text = form.Write();
    EXPECT_EQ(text, Wrap("    Left = 0\n"
                         "    Lines.Strings = (\n"
                         "      'Primero de Bachillerato'\n"
                         "      'Segundo de Bachillerato'\n"
                         "      'Cuarto de la ESO'\n"
                         "      'Tercero de la ESO')\n"
                         "    EntryCommands.TableList = ('Default' True () 'Grid' False\n"
                         "      (100 101 102 103 104 105 106 107 108 109 110 111 112 113 114 115 116 117 118 "
                         "119 120 121 122\n"
                         "        123 124 125 126 127 128 129))\n"));
    TTestForm back;
    back.Read(text);
    EXPECT_EQ(back.Find<TFmControl>("B")->Lines()->Text(), b->Lines()->Text());
    EXPECT_EQ(back.Find<TFmControl>("B")->EntryCommands()->Tables[1].Keys, keys);
}

TEST(FormWriter, BinaryDataIsWrappedAndComesBackWhole) {
    TOneControl one;
    TTestForm& form = one.Form;
    TFmControl* b = one.B;
    for (int i = 0; i < 40; ++i) b->Glyph()->Data += static_cast<char>(i * 7);
    AnsiString text = form.Write();
    EXPECT_EQ(text, Wrap("    Left = 0\n"
                         "    Glyph.Data = {\n"
                         "      00070E151C232A31383F464D545B626970777E858C939AA1A8AFB6BDC4CBD2D9\n"
                         "      E0E7EEF5FC030A11}\n"));
    TTestForm back;
    back.Read(text);
    EXPECT_EQ(back.Find<TFmControl>("B")->Glyph()->Data, b->Glyph()->Data);
}

TEST(FormWriter, ReferencesAreWrittenByTheNameTheReaderFinds) {
    TTestForm views;
    views.Root()->SetName("Form2");
    gView = NewComponent<TFmSource>(views.Root());
    gView->SetName("View1");
    RegisterFindGlobalComponentProc(&FindViewForm);

    TTestForm form;
    form.Root()->SetName("F");
    auto* a = NewComponent<TFmSource>(form.Root());
    a->SetName("A");
    a->Partner = static_cast<TFmSource*>(gView);
    AnsiString text = form.Write();
    EXPECT_EQ(text, "object F: TFmRoot\n  object A: TFmSource\n    Partner = Form2.View1\n  end\nend\n");
    TTestForm back;
    back.Read(text);
    EXPECT_EQ(back.Find<TFmSource>("A")->Partner, gView);

    // A component no form can reach has no name to write.
    TFmSource loose(nullptr);
    a->Partner = &loose;
    EXPECT_EQ(ErrorOf([&] { form.Write(); }),
              "EWriteError: Component TFmSource cannot be named from TFmRoot");
    a->Partner = nullptr;
    UnregisterFindGlobalComponentProc(&FindViewForm);
    gView = nullptr;
}

TEST(FormWriter, AWriterMustWriteExactlyOneValue) {
    class TTwice : public TFmSource {
        using TFmSource::TFmSource;

    protected:
        void DefineProperties(TFiler* Filer) override {
            Filer->DefineProperty(
                "Twice", nullptr,
                [](TWriter& W) {
                    W.WriteInteger(1);
                    W.WriteInteger(2);
                },
                true);
        }
    };
    TTestForm form;
    form.Root()->SetName("F");
    NewComponent<TTwice>(form.Root())->SetName("T");
    EXPECT_EQ(ErrorOf([&] { form.Write(); }), "EWriteError: Twice wrote 2 values instead of one");
}
