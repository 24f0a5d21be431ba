// The library's string tables and exceptions: the tables as built into the
// program, the lookup at both ends and in the gaps of the index, the cut
// copies, damaged tables, and the message of every exception class.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/classes/Resources.h"
#include "platform/rtl/Regional.h"
#include "reportview/OvcClock.h"
#include "reportview/OvcCmbx.h"
#include "reportview/OvcData.h"
#include "reportview/OvcExcpt.h"
#include "reportview/OvcInit.h"
#include "reportview/OvcIntl.h"
#include "reportview/OvcSplit.h"
#include "reportview/OvcSrMgr.h"
#include "resources/ResourceTable.h"
#include "tests/support/OutsideTools.h"

namespace {

std::vector<uint8_t> ReadFile(const std::string& Path) {
    std::ifstream in(Path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(OvcStringTables, TheProgramCarriesBothTablesAtTheirExactSizes) {
    struct Case {
        const char* Name;
        size_t Size;
        uint32_t Count;
    } cases[] = {{"RVLIB3_STRINGS_ENGLISH", 24204, 356}, {"OVCSRMGR_STRINGS", 324, 5}};
    for (const Case& c : cases) {
        TResource r = LoadResource(rkStrings, c.Name);
        EXPECT_EQ(r.Bytes.size(), c.Size) << c.Name << ": a text was mistyped";
        ASSERT_GE(r.Bytes.size(), 8u);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(r.Bytes.data()), 4), "STR0");
        EXPECT_EQ(r.Bytes[4] | r.Bytes[5] << 8 | r.Bytes[6] << 16 | r.Bytes[7] << 24, int(c.Count));
    }
}

TEST(OvcStringTables, TheTablesAreWhatTheirTextTablesMake) {
    const std::string tool = ZELMOR_BINARY_DIR "/resources/zelmor_str0";
    for (const char* name : {"RVLIB3_STRINGS_ENGLISH", "OVCSRMGR_STRINGS"}) {
        std::string out = (std::filesystem::temp_directory_path() / (std::string(name) + ".str0")).string();
        std::string command = tool + " " ZELMOR_SOURCE_DIR "/resources/tables/" + name + ".txt " + out;
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        EXPECT_EQ(ReadFile(out),
                  ReadFile(std::string(ZELMOR_SOURCE_DIR "/resources/strings/") + name + ".str0"))
            << name << ": run the tool again after changing its text table";
        std::filesystem::remove(out);
    }
}

TEST(OvcStringTables, LookupAtTheEndsAndInTheGaps) {
    struct Case {
        uint16_t Id;
        const char* Text;
    } cases[] = {
        {30168, "Unknown Error condition"},
        {30172, "No Controller assigned"},
        {30219, "Index is out of bounds for sparse array"},
        {30220, "Unknown"},  // the gap up to 30224
        {30224, "Requested field type is not supported"},
        {30285, " - Desc"},
        {30284, "Unknown"},
        {30400, "No menu item assigned"},
        {33768, "ccNone"},
        {33768 + 75, "ccWordRight"},
        {34083, "Time"},
        {34511, "Unknown"},
        {34541, "HH:MM:SS            Time mask ( 3:25:40)\r\nAllows entry of 0 through 9 plus space\r\n"
                "Padded with spaces (24 hour clock)"},
        {30000, "Unknown"},
        {40000, "Unknown"},
    };
    for (const Case& c : cases) EXPECT_EQ(GetRvLibStr(c.Id), c.Text) << c.Id;
    EXPECT_EQ(GetRvLibStr(34493),
              "$##,###.##          Allows entry of 0 through 9, space, minus, and period\r\n"
              "Uses floating currency symbol");
    EXPECT_EQ(GetRvLibStr(34536),
              "hh:mm               Time mask (03:25)\r\nAllows entry of 0 through 9 plus space\r\n"
              "Hours and minutes are padded with zeros (24 hour clock)");
}

TEST(OvcStringTables, CopiesAreCutToTheirBuffers) {
    TOvcStringResource& table = *RvLibStr();
    char ten[10 + 4];
    std::memset(ten, '#', sizeof ten);
    EXPECT_STREQ(table.GetAsciiZ(30172, std::span<char>(ten, 10)), "No Contro");
    EXPECT_EQ(ten[10], '#');
    char one[1];
    EXPECT_STREQ(table.GetAsciiZ(30172, one), "");
    char big[64];
    EXPECT_STREQ(table.GetAsciiZ(30220, big), "") << "an absent id gives an empty text";

    const std::u16string text = u"No Controller assigned";
    std::vector<char16_t> exact(text.size() + 1, u'#');
    EXPECT_EQ(std::u16string(table.GetWideChar(30172, exact)), text);
    std::vector<char16_t> shorter(text.size(), u'#');
    EXPECT_EQ(std::u16string(table.GetWideChar(30172, shorter)), text.substr(0, text.size() - 1));
    std::vector<char16_t> none(4, u'#');
    EXPECT_EQ(std::u16string(table.GetWideChar(1, none)), u"");
}

TEST(OvcStringTables, AMissingIdRaisesOnlyWhenAsked) {
    TOvcStringResource table("RVLIB3_STRINGS_ENGLISH");
    EXPECT_EQ(table.GetString(30220), "");
    table.ReportError = true;
    try {
        table.GetString(30220);
        FAIL();
    } catch (const ETpsStringResourceError& e) {
        EXPECT_EQ(e.Message(), "String not found: 30220");
    }
    EXPECT_EQ(table.GetString(30172), "No Controller assigned");
}

// A resource table of one string table, for damaged and missing ones.
class OvcDamagedTables : public ::testing::Test {
protected:
    void Use(std::vector<uint8_t> Bytes) {
        FBytes = std::move(Bytes);
        FTable[0] = {"strings/BROKEN.str0", FBytes.data(), FBytes.size()};
        FTable[1] = {nullptr, nullptr, 0};
        FPrevious = UseResourceTable(FTable);
    }
    ~OvcDamagedTables() override {
        if (FPrevious) UseResourceTable(FPrevious);
    }
    static std::vector<uint8_t> Header(uint32_t Count) {
        std::vector<uint8_t> b = {'S', 'T', 'R', '0'};
        for (int i = 0; i < 4; ++i) b.push_back(uint8_t(Count >> (8 * i)));
        return b;
    }
    static void Put(std::vector<uint8_t>& B, uint32_t V) {
        for (int i = 0; i < 4; ++i) B.push_back(uint8_t(V >> (8 * i)));
    }
    std::vector<uint8_t> FBytes;
    ZelmorResourceEntry FTable[2];
    const ZelmorResourceEntry* FPrevious = nullptr;
};

TEST_F(OvcDamagedTables, ADamagedTableIsRefusedNotReadPastItsEnd) {
    std::vector<uint8_t> wrongSignature = Header(0);
    wrongSignature[3] = '1';
    std::vector<uint8_t> tooMany = Header(1000);
    std::vector<uint8_t> textOutside = Header(1);
    Put(textOutside, 7);
    Put(textOutside, 20);
    Put(textOutside, 100);
    std::vector<uint8_t> unsorted = Header(2);
    for (uint32_t v : {9u, 32u, 0u, 3u, 32u, 0u}) Put(unsorted, v);
    for (auto* bytes : {&wrongSignature, &tooMany, &textOutside, &unsorted}) {
        Use(*bytes);
        try {
            TOvcStringResource table("BROKEN");
            ADD_FAILURE();
        } catch (const ETpsStringResourceError& e) {
            EXPECT_EQ(e.Message(), "Invalid TPString resource");
        }
        UseResourceTable(FPrevious);
    }
    std::vector<uint8_t> good = Header(1);
    Put(good, 7);
    Put(good, 20);
    Put(good, 2);
    for (uint8_t b : {uint8_t('o'), uint8_t(0), uint8_t('k'), uint8_t(0)}) good.push_back(b);
    Use(good);
    TOvcStringResource table("broken");
    EXPECT_EQ(table.GetString(7), "ok");
}

TEST_F(OvcDamagedTables, AMissingTableStopsTheStart) {
    Use(Header(0));
    OvcFinalize();
    try {
        OvcInitialize();
        ADD_FAILURE();
    } catch (const ETpsStringResourceError& e) {
        EXPECT_EQ(e.Message(), "String resource not found: OVCSRMGR_STRINGS");
    }
    UseResourceTable(FPrevious);
    OvcFinalize();
    OvcInitialize();
    EXPECT_EQ(GetRvLibStr(30172), "No Controller assigned");
}

TEST(OvcStringTables, AlphaCharactersOfTheMasks) {
    const TCharSet& alpha = AlphaCharSet();
    for (char c : std::string(" ,-.azAZ\xF1\xD1\xE1\xAA")) EXPECT_TRUE(alpha.Contains(c)) << c;
    for (char c : std::string("09_/\xF7\xA0\x80")) EXPECT_FALSE(alpha.Contains(c)) << c;
}

template <class E>
std::string MessageOf() {
    try {
        throw E();
    } catch (const EOvcException& e) {
        return e.Message();
    }
}

TEST(OvcExceptions, EveryClassCarriesItsMessage) {
    struct Case {
        std::string Message;
        const char* Expected;
    } cases[] = {
        {MessageOf<ENoTimersAvailable>(), "No Window's timers are available"},
        {MessageOf<ENoControllerAssigned>(), "No Controller assigned"},
        {MessageOf<EDuplicateCommand>(), "Duplicate command found while adding a new command to the table"},
        {MessageOf<ETableNotFound>(), "Command table not found or command table index out of range"},
        {MessageOf<EInvalidDataType>(), "Invalid data type for this field"},
        {MessageOf<EInvalidDateForMask>(),
         "Invalid date value for picture mask. (Year is outside the Epoch range)"},
        {MessageOf<EInvalidLineOrCol>(), "Invalid line or column"},
        {MessageOf<EInvalidLineOrPara>(), "Invalid line or paragraph index"},
        {MessageOf<ERegionTooLarge>(), "Region is too large (> 64K)"},
        {MessageOf<EInvalidPageIndex>(), "Invalid page index value"},
        {MessageOf<EInvalidTabFont>(), "Invalid font. Non toTop oriented tabs require a True-Type font"},
        {MessageOf<EInvalidLabelFont>(), "Invalid font. Rotated text requires a True-Type font"},
        {MessageOf<EInvalidTriggerHandle>(), "Invalid trigger handle"},
        {MessageOf<EOnSelectNotAssigned>(), "OnSelect event is not assigned"},
        {MessageOf<EOnIsSelectedNotAssigned>(), "OnIsSelected event is not assigned"},
        {MessageOf<EInvalidFixedFont>(), "Invalid font assignment. Font must be a fixed font"},
        {MessageOf<EInvalidFontParam>(), "Invalid font assignemnt. Font must be a TFont or TOvcFixedFont"},
        {EInvalidPictureMask("99/XX").Message(), "Invalid picture mask: 99/XX"},
        {EEditorError("Too long", 7).Message(), "Too long"},
        {EUnknownView(30392, {"Tipos"}).Message(), "Unknown view: Tipos"},
        {ENoActiveView(30388).Message(), "No active view"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.Message, c.Expected);
    EXPECT_EQ(EEditorError("x", 7).ErrorValue, 7);
    EXPECT_EQ(EInvalidLineOrCol().ErrorValue, 0);
    // The tree, as handlers catch it.
    EXPECT_THROW(throw ENoControllerAssigned(), EControllerError);
    EXPECT_THROW(throw ETableNotFound(), ECmdProcessorError);
    EXPECT_THROW(throw EInvalidTriggerHandle(), ETimerPoolError);
    EXPECT_THROW(throw EItemNotFound(30380, {nullptr}), EReportViewError);
    EXPECT_THROW(throw EInvalidLineOrPara(), EEditorError);
    EXPECT_THROW(throw EInvalidRangeValue(4), EEntryFieldError);
    EXPECT_STREQ(ENoControllerAssigned().ClassName(), "ENoControllerAssigned");
}

TEST(OvcExceptions, RangeMessagesByDataType) {
    struct Case {
        int Code;
        const char* Message;
    } cases[] = {
        {4, "Invalid range. Enter a value between (-2147483648) and (2147483647)"},
        {5, "Invalid range. Enter a value between (0) and (65535)"},
        {6, "Invalid range. Enter a value between (-32768) and (32767)"},
        {7, "Invalid range. Enter a value between (0) and (255)"},
        {8, "Invalid range. Enter a value between (-128) and (127)"},
        {9, "Invalid range. Enter a value between (-1.7e+38) and (+1.7e+38)"},
        {10, "Invalid range. Enter a value between (-1.1e+4932) and (+1.1e+4932)"},
        {11, "Invalid range. Enter a value between (-1.7e+308) and (+1.7e+308)"},
        {12, "Invalid range. Enter a value between (-3.4e+38) and (+3.4e+38)"},
        {13, "Invalid range. Enter a value between (-9.2e+18) and (+9.2e+18)"},
        {14, "Invalid date range. Enter a value using 'dd/mm/yyyy' as the format"},
        // The library started with the entry fields' own pictures: the time without a leading zero.
        {15, "Invalid time range. Enter a value using 'Hh:mm' as the format"},
        {0, "Invalid range value"},
        {16, "Invalid range value"},
    };
    ResetFormatSettings();
    for (const Case& c : cases) EXPECT_EQ(EInvalidRangeValue(c.Code).Message(), c.Message) << c.Code;
    SetRangeMessagePictures([] { return AnsiString("DD/mm/yyyy"); }, [] { return AnsiString("Hh:mm"); });
    EXPECT_EQ(EInvalidRangeValue(14).Message(),
              "Invalid date range. Enter a value using 'DD/mm/yyyy' as the format");
    EXPECT_EQ(EInvalidRangeValue(15).Message(),
              "Invalid time range. Enter a value using 'Hh:mm' as the format");
    SetRangeMessagePictures(nullptr, nullptr);
    EXPECT_EQ(EInvalidRangeValue(15).Message(),
              "Invalid time range. Enter a value using 'hh:mm' as the format")
        << "the platform's, without the fields'";
    SetRangeMessagePictures([] { return OvcIntlSup->InternationalDate(true); },
                            [] { return OvcIntlSup->InternationalTime(false); });
}

}  // namespace

namespace {

TEST(OvcLibrary, TheStartRegistersFreeClassNamesAndTheEndTakesThemBack) {
    EXPECT_EQ(GetClass("TOvcSplitter"), &TOvcSplitter::StaticClassInfo());
    EXPECT_EQ(GetClass("tovcclock"), &TOvcClock::StaticClassInfo());
    OvcFinalize();
    EXPECT_EQ(GetClass("TOvcSplitter"), nullptr);
    // A name another library took stays with it, before and after.
    static const TClassInfo other{"TOvcClock", &TComponent::StaticClassInfo(), nullptr, nullptr};
    RegisterClass(other);
    OvcInitialize();
    EXPECT_EQ(GetClass("TOvcClock"), &other);
    EXPECT_EQ(GetClass("TOvcComboBox"), &TOvcComboBox::StaticClassInfo());
    OvcFinalize();
    EXPECT_EQ(GetClass("TOvcClock"), &other);
    UnRegisterClass(other);
    OvcInitialize();
    EXPECT_EQ(GetClass("TOvcClock"), &TOvcClock::StaticClassInfo());
}

}  // namespace
