// The entry field base, through a small field kind written here: data types,
// bounds as text and as form data (a "Comp" bound read as the 64-bit integer
// it is), typed values, keys turned into commands by the controller's
// tables, read-only fields, the clipboard and edit messages, the right-click
// menu, the focus protocol with its error report, and the drawing by formula.
#include <gtest/gtest.h>

#include <cstring>

#include "OvcTestSupport.h"
#include "platform/classes/Filer.h"
#include "platform/rtl/Variants.h"
#include "platform/sys/Clipboard.h"
#include "platform/sys/Sound.h"
#include "platform/win/MessageQueue.h"
#include "platform/win/WindowManager.h"
#include "reportview/OvcEF.h"
#include "reportview/OvcExcpt.h"

namespace {

// A simple field of any sub-type that keeps its value as its text: numbers
// and dates as the texts of their bounds.
class TTestEntryField : public TOvcBaseEntryField {
    ZELMOR_CLASS(TTestEntryField, TOvcBaseEntryField)
public:
    explicit TTestEntryField(TComponent* AOwner) : TOvcBaseEntryField(AOwner) {}
    std::vector<uint16_t> Commands;  // what reached efEdit
    using TOvcBaseEntryField::efCharOK;
    using TOvcBaseEntryField::SetDataType;

    void SetMask(const AnsiString& Mask) { efChangeMask(Mask); }

protected:
    void DeleteSelection() {
        FEditString.erase(size_t(FSelStart), size_t(FSelEnd - FSelStart));
        FCurrentPos = FSelStart;
        FSelEnd = FSelStart;
    }
    void Insert(const AnsiString& Text) {
        if (FSelStart != FSelEnd) DeleteSelection();
        AnsiString t = Text.substr(0, MaxLength() - std::min<size_t>(FEditString.size(), MaxLength()));
        FEditString.insert(size_t(FCurrentPos), t);
        FCurrentPos += int(t.size());
    }
    void efEdit(TMessage& Msg, uint16_t Command) override {
        if (Command == ccNotACommand || Command == ccSequenceFailed || Command == ccSequencePending) return;
        Commands.push_back(Command);
        bool modified = false;
        switch (Command) {
        case ccChar: {
            char c = static_cast<char>(Msg.WParam);
            char prev = FCurrentPos > 0 ? FEditString[size_t(FCurrentPos - 1)] : ' ';
            if (!efCharOK(efNthMaskChar(FCurrentPos), c, prev, true)) {
                efConditionalBeep();
                break;
            }
            if (!FState.Contains(sefInsert) && size_t(FCurrentPos) < FEditString.size() &&
                FSelStart == FSelEnd)
                FEditString.erase(size_t(FCurrentPos), 1);
            Insert(AnsiString(1, c));
            modified = true;
            break;
        }
        case ccBack:
            if (FSelStart != FSelEnd) DeleteSelection();
            else if (FCurrentPos > 0) FEditString.erase(size_t(--FCurrentPos), 1);
            modified = true;
            break;
        case ccLeft: FCurrentPos = std::max(FCurrentPos - 1, 0); break;
        case ccRight: FCurrentPos = std::min(FCurrentPos + 1, int(FEditString.size())); break;
        case ccHome: FCurrentPos = 0; break;
        case ccEnd: FCurrentPos = int(FEditString.size()); break;
        case ccRestore: Restore(); break;
        case ccCopy: efCopyPrim(); break;
        case ccCut:
            DeleteSelection();
            modified = true;
            break;
        case ccPaste:
            Insert(reinterpret_cast<const char*>(Msg.LParam));
            modified = true;
            break;
        case ccIns: SetInsertMode(!FState.Contains(sefInsert)); break;
        default: break;
        }
        if (Command != ccRestore && Command != ccCopy && Command != ccPaste && Command != ccCut &&
            Command != ccBack)
            FSelStart = FSelEnd = FCurrentPos;
        efPositionCaret(true);
        efPerformRepaint(modified);
    }
    uint16_t efValidateField() override {
        uint16_t code = 0;
        if (SubType() >= fsubLongInt && SubType() <= fsubComp) {
            TRangeType r;
            AnsiString t = GetEditString();
            if (!efStRangeToRange(t, r)) code = oeInvalidNumber;
            else if (SubType() == fsubLongInt &&
                     (RangeAsLong(r) < RangeAsLong(RangeLo()) || RangeAsLong(r) > RangeAsLong(RangeHi())))
                code = oeRangeError;
        }
        DoOnUserValidation(code);
        return code;
    }
    void efIncDecValue(bool, double Delta) override {
        int32_t v = 0;
        efStr2Long(GetEditString(), v);
        FEditString = IntToStr(v + int32_t(Delta));
    }
    uint16_t efTransfer(void* Data, uint16_t Flag) override {
        uint16_t size = GetDataSize();
        auto* p = static_cast<uint8_t*>(Data);
        if (Flag == 1) {
            if (SubType() == fsubString)
                std::strncpy(reinterpret_cast<char*>(p), GetEditString().c_str(), size);
            else if (SubType() == fsubComp) {
                int64_t v = std::stoll(GetEditString());
                std::memcpy(p, &v, 8);
            } else if (SubType() == fsubBoolean) p[0] = GetEditString() == "T";
            else {
                TRangeType r;
                efStRangeToRange(GetEditString(), r);
                std::memcpy(p, r.Bytes.data(), size);
            }
        } else if (Flag == 2) {
            TRangeType r;
            if (SubType() == fsubString) FEditString = reinterpret_cast<const char*>(p);
            else if (SubType() == fsubBoolean) FEditString = p[0] ? "T" : "F";
            else if (SubType() == fsubComp) {
                int64_t v;
                std::memcpy(&v, p, 8);
                FEditString = std::to_string(v);
            } else {
                if (SubType() == fsubWord) LongToRange(*reinterpret_cast<uint16_t*>(p), r);
                else std::memcpy(r.Bytes.data(), p, size);
                FEditString = efRangeToStRange(r);
            }
        }
        return TOvcBaseEntryField::efTransfer(Data, Flag);
    }
};
ZELMOR_IMPLEMENT_COMPONENT(TTestEntryField, TOvcBaseEntryField)

template <class E, class F>
std::string RaisedBy(F&& Call) {
    try {
        Call();
    } catch (const E& e) {
        return e.Message();
    }
    return "(no exception)";
}

class OvcEntryField : public OvcFormTest {
protected:
    OvcEntryField() {
        if (!GetClass("TTestEntryField")) RegisterClass(TTestEntryField::StaticClassInfo());
        F = NewPlainForm("F", 300, 200);
        C = NewComponent<TOvcController>(F);
        E = MakeField("E", 10);
        Other = MakeField("Other", 60);
        Button = NewComponent<TButton>(F);
        Button->SetName("Cancel");
        Button->SetBounds(10, 120, 75, 25);
        Button->SetParent(F);
        C->OnError = [this](TObject*, uint16_t Code, const AnsiString& Msg) {
            Errors.push_back(std::to_string(Code) + " " + Msg);
        };
        C->OnPreEdit = [this](TObject* S, TWinControl* W) { Note("pre", S, W); };
        C->OnPostEdit = [this](TObject* S, TWinControl* W) { Note("post", S, W); };
        F->Show();
        Ui.RunUntilIdle();
    }
    TTestEntryField* MakeField(const char* Name, int Top) {
        auto* f = NewComponent<TTestEntryField>(F);
        f->SetName(Name);
        f->SetBounds(10, Top, 130, 25);
        f->SetParent(F);
        return f;
    }
    void Note(const char* What, TObject* Sender, TWinControl* W) {
        Events.push_back(std::string(What) + " " + dynamic_cast<TComponent*>(Sender)->Name() + " " +
                         (W ? W->Name() : std::string("none")));
    }
    void Keys(WORD Key, TShiftState Shift = {}) {
        Ui.Key(Key, Shift);
        Ui.RunUntilIdle();
    }
    void Type(std::string_view Text) {
        Ui.Type(Text);
        Ui.RunUntilIdle();
    }
    TForm* F;
    TOvcController* C;
    TTestEntryField* E;
    TTestEntryField* Other;
    TButton* Button;
    std::vector<std::string> Errors, Events;
};

TEST_F(OvcEntryField, BoundsAsText) {
    struct Case {
        uint8_t Sub;
        const char* Mask;
        const char* Text;
        bool Valid;
        const char* Back;  // the bound read back as text
    } cases[] = {
        {fsubWord, "X", "65535", true, "65535"},
        {fsubWord, "X", "65536", false, ""},
        {fsubWord, "X", "-1", false, ""},
        {fsubShortInt, "X", "-128", true, "-128"},
        {fsubShortInt, "X", "127", true, "127"},
        {fsubShortInt, "X", "-129", false, ""},
        {fsubShortInt, "X", "128", false, ""},
        {fsubChar, "X", "#9", true, "#9"},
        {fsubChar, "X", "#abc", true, "#32"},
        {fsubChar, "X", "q", true, "q"},
        {fsubDouble, "X", "1e309", false, ""},
        {fsubSingle, "X", "4e38", false, ""},
        {fsubDouble, "##.##", "2,5", true, "2,5"},
        {fsubByte, "KK", "$FF", true, "FF"},
        {fsubByte, "bbbbbbbb", "11111111", true, "11111111"},
        {fsubByte, "OOOO", "377", true, "0377"},
        {fsubLongInt, "X", "-2147483648", true, "-2147483648"},
        {fsubLongInt, "X", "12a", false, ""},
        {fsubDate, "X", "01/02/2026", true, "01/02/2026"},
        {fsubDate, "X", "1/2/2026", false, ""},
        {fsubTime, "X", " 9:30", true, " 9:30"},
    };
    for (const Case& c : cases) {
        auto* f = NewComponent<TTestEntryField>(F);
        f->SetDataType(fcSimple, c.Sub);
        f->SetMask(c.Mask);
        f->SetParent(F);
        f->HandleNeeded();
        std::string err = RaisedBy<EInvalidRangeValue>([&] { f->SetRangeLoStr(c.Text); });
        EXPECT_EQ(err == "(no exception)", c.Valid) << c.Text << ": " << err;
        if (c.Valid) {
            EXPECT_EQ(f->GetRangeLoStr(), c.Back) << c.Text;
        }
        f->Free();
    }
    E->SetDataType(fcSimple, fsubWord);
    EXPECT_EQ(RaisedBy<EInvalidRangeValue>([&] { E->SetRangeHiStr("70000"); }),
              "Invalid range. Enter a value between (0) and (65535)");
    E->SetDataType(fcSimple, fsubDate);
    EXPECT_EQ(RaisedBy<EInvalidRangeValue>([&] { E->SetRangeHiStr("x"); }),
              "Invalid date range. Enter a value using 'dd/mm/yyyy' as the format");
}

TEST_F(OvcEntryField, CompBoundsAreWholeNumbersOfSixtyFourBits) {
    E->SetDataType(fcSimple, fsubComp);
    E->SetMaxLength(20);
    int64_t big = 9007199254740993;  // 2^53 + 1: no double holds it
    E->SetRangeLo(&big);
    EXPECT_EQ(E->GetRangeLoStr(), "9007199254740993");
    EXPECT_EQ(RangeAsExtended(E->RangeLo()), static_cast<long double>(big));
    E->SetAsString("-9007199254740993");
    EXPECT_EQ(E->GetEditString(), "-9007199254740993");
    EXPECT_EQ(E->GetAsExtended(), -static_cast<long double>(big));
    E->SetAsExtended(123456789012345678.0L);
    EXPECT_EQ(E->GetEditString(), "123456789012345678");
    EXPECT_EQ(RaisedBy<EInvalidRangeValue>([&] { E->SetRangeHiStr("9.3e18"); }),
              "Invalid range. Enter a value between (-9.2e+18) and (+9.2e+18)");
}

TEST_F(OvcEntryField, BoundsTravelAsTenBytesOfFormData) {
    E->SetDataType(fcSimple, fsubLongInt);
    E->SetRangeLoStr("5");
    E->SetRangeHiStr("10");
    AnsiString written = WriteComponentToText(F), text;
    for (char c : written)
        if (c != ' ' && c != '\n' && c != '\r') text += c;
    size_t e = text.find("objectE:"), other = text.find("objectOther:");
    ASSERT_TRUE(e != AnsiString::npos && other != AnsiString::npos);
    EXPECT_EQ(text.find("RangeHigh={0A000000000000000000}RangeLow={05000000000000000000}", e),
              text.find("Range", e))
        << written;
    EXPECT_EQ(text.find("Range", other), AnsiString::npos) << "a string field writes no bounds";
    TForm* copy = TForm::CreateNew(Application);
    try {
        ReadComponentFromText(copy, written);
    } catch (const Exception& x) {
        ADD_FAILURE() << x.Message();
    }
    auto* g = dynamic_cast<TTestEntryField*>(copy->FindComponent("E"));
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(RangeAsLong(g->RangeLo()), 5);
    EXPECT_EQ(RangeAsLong(g->RangeHi()), 10);
    copy->Free();
}

TEST_F(OvcEntryField, TypedValues) {
    EXPECT_EQ(RaisedBy<EInvalidDataType>([&] { E->GetAsInteger(); }), "Invalid data type for this field");
    EXPECT_EQ(RaisedBy<EInvalidDataType>([&] { E->SetAsBoolean(true); }), "Invalid data type for this field");
    E->SetDataType(fcSimple, fsubLongInt);
    E->SetRangeLoStr("5");
    E->SetRangeHiStr("10");
    E->SetInitialValue();
    EXPECT_EQ(E->GetAsInteger(), 5);
    E->SetOptions({efoTrimBlanks});
    E->SetAsString("  7 ");
    EXPECT_EQ(E->GetAsString(), "7") << "others than strings answer their text";
    E->SetAsInteger(11);
    EXPECT_EQ(E->GetAsInteger(), 0);
    EXPECT_EQ(E->LastError(), oeRangeError);
    EXPECT_EQ(RaisedBy<EEntryFieldError>([&] { E->SetAsString("abc"); }),
              "Value is not valid for this field type");
    E->SetDataType(fcSimple, fsubDate);
    E->SetInitialValue();
    EXPECT_EQ(E->GetEditString(), "") << "the bad date";
    E->SetDataType(fcSimple, fsubBoolean);
    E->SetAsString("yes");
    EXPECT_TRUE(E->GetAsBoolean());
    E->SetAsString("no");
    EXPECT_FALSE(E->GetAsBoolean());
    E->SetDataType(fcSimple, fsubWord);
    E->SetAsInteger(65535);
    EXPECT_EQ(E->GetAsInteger(), 65535) << "widened without sign";

    // Options and epoch.
    E->SetDataType(fcSimple, fsubString);
    E->SetOptions({efoForceInsert, efoForceOvertype});
    EXPECT_EQ(E->Options(), TOvcEntryFieldOptions{efoForceInsert});
    E->SetEpoch(1599);
    E->SetEpoch(4000);
    EXPECT_EQ(E->GetEpoch(), C->Epoch());
    E->SetEpoch(1950);
    EXPECT_EQ(E->GetEpoch(), 1950);
    E->SetEpoch(C->Epoch());
    E->SetEpoch(C->Epoch());
    C->SetEpoch(1960);
    EXPECT_EQ(E->GetEpoch(), 1960) << "an epoch equal to the controller's is stored as 0";
}

// A variant goes in by its own type where the field takes that type, else as
// its text; Null changes nothing. It comes out by the field's sub-type.
TEST_F(OvcEntryField, VariantsGoInByTheirTypeAndComeOutByTheFields) {
    struct {
        uint8_t Sub;
        TVariant In;
        const char* Text;  // the field's text after it
        TVarType Out;
    } cases[] = {
        {fsubLongInt, TVariant(42), "42", varInteger},
        {fsubLongInt, TVariant(AnsiString("17")), "17", varInteger},
        {fsubLongInt, TVariant(7.0), "7", varInteger},  // a double as its text
        {fsubWord, TVariant(65535), "65535", varInteger},
        {fsubReal, TVariant(2.5), "2,5", varDouble},  // the Spanish separator
        {fsubReal, TVariant(3), "3", varDouble},      // an integer as its text
        {fsubComp, TVariant(1e15), "1000000000000000", varDouble},
        {fsubBoolean, TVariant(true), "T", varBoolean},
        {fsubBoolean, TVariant(AnsiString("f")), "F", varBoolean},
        {fsubString, TVariant(AnsiString("abc")), "abc", varString},
    };
    E->SetDecimalPlaces(2);
    for (const auto& c : cases) {
        E->SetDataType(fcSimple, c.Sub);
        E->SetAsVariant(c.In);
        EXPECT_EQ(E->GetEditString(), c.Text) << int(c.Sub) << " " << c.In.AsString();
        EXPECT_EQ(E->GetAsVariant().VarType(), c.Out) << int(c.Sub);
        E->SetAsVariant(TVariant::Null());
        EXPECT_EQ(E->GetEditString(), c.Text) << "Null changes nothing";
        E->SetAsVariant(TVariant());
        EXPECT_EQ(E->GetEditString(), c.Text) << "Unassigned changes nothing";
    }
    E->SetDataType(fcSimple, fsubReal);
    E->SetAsVariant(TVariant(2.5));
    EXPECT_EQ(E->GetAsVariant().AsFloat(), 2.5);
    E->SetDataType(fcSimple, fsubComp);
    E->SetAsVariant(TVariant(1e15));
    EXPECT_EQ(E->GetAsVariant().AsFloat(), 1e15);
    E->SetDataType(fcSimple, fsubDate);
    E->SetAsVariant(TVariant::FromDate(EncodeDate(2001, 2, 3)));
    EXPECT_EQ(E->GetAsStDate(), Ovcdate::DMYtoStDate(3, 2, 2001, 0));
}

TEST_F(OvcEntryField, PictureCharactersAcceptTheirSets) {
    struct Case {
        char Pic, In, Out;
        bool Ok;
    } cases[] = {{'9', '5', '5', true}, {'9', 'a', 'a', false},      {'!', 'a', 'A', true},
                 {'L', 'Q', 'q', true}, {'a', '\xF1', '\xF1', true}, {'a', '1', '1', false},
                 {'K', 'c', 'C', true}, {'O', '8', '8', false},      {'b', '1', '1', true},
                 {'B', 't', 'T', true}, {'Y', 'n', 'N', true},       {'i', '-', '-', true},
                 {'#', '.', '.', true}, {'X', '\0', '\0', false},    {'x', 'b', 'B', true}};
    for (const Case& c : cases) {
        char ch = c.In;
        EXPECT_EQ(E->efCharOK(c.Pic, ch, ' ', true), c.Ok) << c.Pic << " " << c.In;
        EXPECT_EQ(ch, c.Out) << c.Pic << " " << c.In;
    }
    OvcUserData->SetUserCharSet('3', TCharSet("xyz"));
    OvcUserData->SetForceCase('3', mcLowerCase);
    char ch = 'Y';
    EXPECT_TRUE(E->efCharOK('3', ch, ' ', true));
    EXPECT_EQ(ch, 'y');
    OvcUserData->SetUserCharSet('3', TCharSet());
    OvcUserData->SetForceCase('3', mcNoChange);
}

TEST_F(OvcEntryField, KeysBecomeCommandsThroughTheController) {
    E->SetFocus();
    Ui.RunUntilIdle();
    Type("ab");
    EXPECT_EQ(E->GetEditString(), "ab");
    EXPECT_TRUE(E->GetModified());
    E->Commands.clear();
    Keys('Z', {ssCtrl});
    EXPECT_EQ(E->Commands, std::vector<uint16_t>{ccRestore}) << "Ctrl+Z reaches the field as restore";
    EXPECT_EQ(E->GetEditString(), "");
    Keys(VK_INSERT);
    EXPECT_EQ(E->Commands.back(), ccIns);
    EXPECT_FALSE(E->State().Contains(sefInsert));
    E->Commands.clear();
    E->SetOptions({efoForceInsert});
    Keys(VK_INSERT);
    E->SetOptions({efoForceOvertype});
    Keys(VK_INSERT);
    EXPECT_TRUE(E->Commands.empty()) << "Insert does nothing under the force modes";

    // Read-only: editing commands beep and change nothing; the arrows still move.
    E->SetOptions({efoReadOnly});
    SendMessage(E->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("xyz"));
    EXPECT_EQ(E->GetEditString(), "") << "pasting is refused";
    E->SetOptions({});
    SendMessage(E->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("xyz"));
    E->SetOptions({efoReadOnly});
    TBeepRecorder beeps;
    E->Commands.clear();
    Keys(VK_END);
    Keys(VK_BACK);
    Type("q");
    Keys(VK_LEFT);
    EXPECT_EQ(E->GetEditString(), "xyz");
    EXPECT_EQ(beeps.Beeps().size(), 2u);
    EXPECT_EQ(E->Commands, (std::vector<uint16_t>{ccEnd, ccLeft}));
    EXPECT_EQ(E->CaretIndex(), 2);
    C->SetEntryOptions({efoAutoSelect});
    Keys(VK_BACK);
    EXPECT_EQ(beeps.Beeps().size(), 2u) << "no beep without efoBeepOnError";
}

TEST_F(OvcEntryField, ClipboardAndEditMessages) {
    E->SetFocus();
    Ui.RunUntilIdle();
    SendMessage(E->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("hello"));
    SendMessage(E->Handle(), EM_SETSEL, 0, MakeLParam(1, 3));
    DWORD start = 9, end = 9;
    LRESULT packed =
        SendMessage(E->Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 1u);
    EXPECT_EQ(end, 3u);
    EXPECT_EQ(packed, MakeLParam(1, 3));
    EXPECT_EQ(E->GetSelText(), "el");
    Keys('C', {ssCtrl});
    EXPECT_EQ(ClipboardGetText(), "el");
    SendMessage(E->Handle(), EM_SETSEL, 0, MakeLParam(0, 0xFFFF));
    EXPECT_EQ(E->GetSelLength(), 5);
    SendMessage(E->Handle(), EM_SETSEL, 0, MakeLParam(0xFFFF, 0));
    EXPECT_EQ(E->GetSelLength(), 0);
    E->SetSelection(4, 2);
    EXPECT_EQ(E->GetSelLength(), 0) << "an end below the start is ignored";
    E->SetSelection(0, 1);
    E->CutToClipboard();
    EXPECT_EQ(E->GetEditString(), "ello");
    EXPECT_EQ(ClipboardGetText(), "h");
    E->ProcessCommand(ccEnd, 0);
    E->PasteFromClipboard();
    EXPECT_EQ(E->GetEditString(), "elloh");
    SendMessage(E->Handle(), EM_SETMODIFY, 0, 0);
    EXPECT_EQ(SendMessage(E->Handle(), EM_GETMODIFY, 0, 0), 0);
    SendMessage(E->Handle(), EM_SETMODIFY, 1, 0);
    EXPECT_TRUE(E->GetEverModified());
    // A failed allocation copies nothing.
    ClipboardSetText("old");
    E->SetSelection(0, 2);
    SetGlobalAllocLimit(0);
    E->CopyToClipboard();
    SetGlobalAllocLimit(SIZE_MAX);
    EXPECT_EQ(ClipboardGetText(), "old");
    E->ClearContents();
    EXPECT_EQ(E->GetEditString(), "");
}

TEST_F(OvcEntryField, TheRightButtonMenuEnablesWhatApplies) {
    E->SetFocus();
    Ui.RunUntilIdle();
    SendMessage(E->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("abc"));
    auto states = [&] {
        std::string s;
        std::unique_ptr<TPopupMenu> menu = E->efBuildEditMenu();
        for (int i = 0; i < menu->Items()->Count(); ++i) {
            TMenuItem* item = menu->Items()->Items(i);
            s += item->IsLine() ? "-" : item->Enabled() ? "1" : "0";
        }
        return s;
    };
    OpenClipboard(0);
    EmptyClipboard();
    CloseClipboard();
    E->SetSelection(0, 0);
    E->SetModified(false);
    // Restore - Cut Copy Paste Delete - Select All
    EXPECT_EQ(states(), "0-0000-1");
    E->SetSelection(0, 2);
    E->SetModified(true);
    ClipboardSetText("x");
    EXPECT_EQ(states(), "1-1111-1");
    E->SetOptions({efoReadOnly});
    E->SetSelection(0, 3);
    EXPECT_EQ(states(), "1-0100-0");
    std::unique_ptr<TPopupMenu> menu = E->efBuildEditMenu();
    EXPECT_EQ(menu->Items()->Items(2)->Caption(), "Cu&t");
    EXPECT_EQ(menu->Items()->Items(7)->Caption(), "Select &All");
}

TEST_F(OvcEntryField, LeavingARequiredEmptyFieldReportsOnceAndComesBack) {
    E->SetOptions({efoInputRequired});
    E->SetFocus();
    Ui.RunUntilIdle();
    EXPECT_EQ(Events, std::vector<std::string>{"pre E none"});
    Other->SetFocus();
    Ui.RunUntilIdle();
    EXPECT_EQ(Errors, std::vector<std::string>{"258 A value is required in this field"});
    EXPECT_EQ(FindControl(GetFocus()), E) << "the focus comes back";
    EXPECT_EQ(Events, std::vector<std::string>{"pre E none"}) << "the second field only passed through";
    Type("x");
    Other->SetFocus();
    Ui.RunUntilIdle();
    EXPECT_EQ(Errors.size(), 1u);
    EXPECT_EQ(FindControl(GetFocus()), Other);
    EXPECT_EQ(Events, (std::vector<std::string>{"pre E none", "post E Other", "pre Other E"}));

    // A special button: validated quietly, the focus goes.
    C->OnIsSpecialControl = [this](TObject*, TWinControl* W, bool& Special) { Special = W == Button; };
    Other->SetOptions({efoInputRequired});
    SendMessage(Other->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    Button->SetFocus();
    Ui.RunUntilIdle();
    EXPECT_EQ(Errors.size(), 1u);
    EXPECT_EQ(FindControl(GetFocus()), Button);
}

// Stepping the value, validating on request (reported, or only marked under
// soft validation), cents, and a zero hidden while the field is left.
TEST_F(OvcEntryField, StepsValidationOnRequestCentsAndHiddenZeroes) {
    E->SetDataType(fcSimple, fsubLongInt);
    E->SetRangeLoStr("5");
    E->SetRangeHiStr("10");
    E->SetAsInteger(6);
    E->SetSelection(0, 1);
    E->IncreaseValue(false, 3);
    EXPECT_EQ(E->GetEditString(), "9");
    EXPECT_EQ(E->GetSelLength(), 0) << "stepping clears the selection";
    E->DecreaseValue(false, 1);
    EXPECT_EQ(E->GetEditString(), "8");

    EXPECT_EQ(E->ValidateContents(true), 0);
    E->IncreaseValue(false, 3);
    EXPECT_EQ(E->ValidateContents(true), oeRangeError);
    EXPECT_TRUE(E->IsValid()) << "a hard error does not mark the field";
    EXPECT_FALSE(E->ValidateSelf());
    Ui.RunUntilIdle();
    EXPECT_EQ(Errors, (std::vector<std::string>{"256 Value is not within required range",
                                                "256 Value is not within required range"}));
    E->SetOptions({efoSoftValidation});
    EXPECT_FALSE(E->ValidateSelf());
    EXPECT_FALSE(E->IsValid()) << "soft validation marks the field";
    Ui.RunUntilIdle();
    EXPECT_EQ(Errors.size(), 2u) << "and reports nothing";
    E->DecreaseValue(false, 4);
    EXPECT_TRUE(E->ValidateSelf());
    EXPECT_TRUE(E->IsValid());
    E->IncreaseValue(false, 9);
    E->SetEnabled(false);
    EXPECT_EQ(E->ValidateContents(true), 0) << "a disabled field is not validated";
    E->SetEnabled(true);

    E->SetDataType(fcSimple, fsubReal);
    E->SetDecimalPlaces(2);
    E->SetAsCents(1999);
    EXPECT_EQ(E->GetEditString(), "19,99");
    EXPECT_EQ(E->GetAsCents(), 1999);
    E->SetDecimalPlaces(3);
    E->SetAsFloat(0.125);
    EXPECT_EQ(E->GetAsCents(), 13) << "12.5 cents to the nearest";

    // A zero hides while the field is left, and shows while it has the focus.
    E->SetDataType(fcSimple, fsubLongInt);
    E->SetRangeLoStr("-5");
    E->SetAsInteger(0);
    struct {
        TZeroDisplay Mode;
        bool Focused, Modified;
        const char* Shown;
    } cases[] = {{zdShow, false, false, "0"},
                 {zdHide, false, false, " "},
                 {zdHide, true, false, "0"},
                 {zdHideUntilModified, false, false, " "},
                 {zdHideUntilModified, false, true, "0"}};
    for (const auto& c : cases) {
        E->SetZeroDisplay(c.Mode);
        E->SetEverModified(false);
        if (c.Modified) E->SetModified(true);
        (c.Focused ? E : Other)->SetFocus();
        Ui.RunUntilIdle();
        EXPECT_EQ(E->GetDisplayString(), c.Shown) << int(c.Mode) << c.Focused << c.Modified;
    }
    Other->SetFocus();
    Ui.RunUntilIdle();
    E->SetZeroDisplay(zdHide);
    E->SetAsInteger(3);
    EXPECT_EQ(E->GetDisplayString(), "3") << "only the zero display value hides";
}

TEST_F(OvcEntryField, TextSelectionAndCaretStandWhereTheFormulasPutThem) {
    E->Font()->SetName("Liberation Mono");
    E->Font()->SetSize(10);
    E->SetAutoSize(false);
    E->SetBounds(10, 10, 200, 25);
    E->SetFocus();
    Ui.RunUntilIdle();
    SendMessage(E->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("WWWW"));
    E->SetSelection(1, 3);
    Ui.RunUntilIdle();
    int cw = E->Canvas()->TextWidth("W");
    // The client area starts 2 pixels in (the client edge); the text at margin - 1.
    int x0 = 10 + 2 + E->TextMargin() - 1;
    int y = 10 + 2 + E->TopMargin() + 5;
    EXPECT_EQ(PixelAt(F, x0 + cw + cw / 2, 10 + 2 + E->TopMargin() + 1), Rgb(clHighlight)) << "the selection";
    EXPECT_EQ(PixelAt(F, x0 + 3 * cw + 1, 10 + 2 + E->TopMargin() + 1), Rgb(clWindow)) << "after it";
    (void)y;
    // The caret after "WW": margin + width - 2.
    E->ProcessCommand(ccHome, 0);
    E->ProcessCommand(ccRight, 0);
    E->ProcessCommand(ccRight, 0);
    EXPECT_EQ(E->CaretPoint().x, E->TextMargin() + 2 * cw - 2);
    EXPECT_EQ(E->CaretPoint().y, E->TopMargin());
    TPoint at;
    ASSERT_TRUE(GetCaretPos(at));
    EXPECT_EQ(at.x, E->CaretPoint().x + E->CaretPair()->Offset().x);
}

}  // namespace
