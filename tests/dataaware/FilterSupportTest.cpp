// What the record filters and the filter dialog lean on: the filter options
// by name, Escape taken from the queue, rich text read as plain text, the
// filter dialog's tokens, and the table's watchers.
#include <gtest/gtest.h>

#include "LibraryTestSupport.h"
#include "dataaware/Wwtable.h"
#include "dataaware/wwhelpers.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/Forms.h"
#include "platform/ui/RichEdit.h"
#include "platform/win/MessageQueue.h"

namespace {
using TNames = std::vector<AnsiString>;

class FilterSupport : public DataAwareFixture {
protected:
    void SetUp() override {
        DataAwareFixture::SetUp();
        MakeSchool();
    }
};

TEST_F(FilterSupport, OptionsByNameAndEscapeFromTheQueue) {
    TTable* plain = NewTable("alum");
    EXPECT_EQ(GetFilterOptions(plain), TwwOnFilterOptions{});
    plain->SetFiltered(true);
    EXPECT_EQ(GetFilterOptions(plain), TwwOnFilterOptions{ofoEnabled});
    SetFilterEnabled(plain, false);  // nothing to write to
    EXPECT_TRUE(plain->Filtered());

    TwwTable* table = NewWwTable("alum");
    SetFilterEnabled(table, false);
    EXPECT_EQ(table->OnFilterOptions(), TwwOnFilterOptions{ofoShowHourGlass});
    SetFilterEnabled(table, true);
    EXPECT_EQ(table->OnFilterOptions(), (TwwOnFilterOptions{ofoEnabled, ofoShowHourGlass}));

    // One keyboard message a look, whatever it is; only Escape going down stops the filter.
    PostMessage(nullptr, WM_KEYUP, VK_ESCAPE, 0);
    PostMessage(nullptr, WM_CHAR, 'x', 0);
    PostMessage(nullptr, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(PollEscapeKey(table));
    EXPECT_FALSE(PollEscapeKey(table));
    EXPECT_TRUE(table->OnFilterOptions().Contains(ofoEnabled));
    EXPECT_TRUE(PollEscapeKey(table));
    EXPECT_FALSE(table->OnFilterOptions().Contains(ofoEnabled));
    EXPECT_FALSE(PollEscapeKey(table));  // nothing left
}

TEST_F(FilterSupport, RichTextReadAsPlainText) {
    TForm* owner = TForm::CreateNew(Application);
    std::unique_ptr<TMemoryStream> stream;
    TCustomRichEdit* edit = nullptr;
    AnsiString buffer = "{\\rtf1{\\fonttbl{\\f0 Arial;}}Muy {\\b atenta}\\par Otra}";
    RichTextToPlainText(owner, buffer, stream, edit);
    EXPECT_EQ(buffer, "Muy atenta\r\nOtra");
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->Owner(), owner);
    EXPECT_EQ(edit->Parent(), owner);
    EXPECT_FALSE(edit->Visible());
    TCustomRichEdit* first = edit;
    buffer = "sin formato";
    RichTextToPlainText(owner, buffer, stream, edit);
    EXPECT_EQ(buffer, "sin formato");
    EXPECT_EQ(edit, first);  // one rich edit a slot

    TwwTable* alum = NewWwTable("alum", "N");
    alum->Open();
    TField* notes = alum->FieldByName("OBS");
    EXPECT_FALSE(IsRichTextField(notes, false));
    EXPECT_FALSE(IsRichTextField(notes, true));  // luis's notes are plain
    alum->Last();
    alum->Prior();  // Eva's are rich text
    EXPECT_TRUE(IsRichTextField(notes, true));
    EXPECT_FALSE(IsRichTextField(alum->FieldByName("NOMBRE"), true));  // no blob
    alum->ControlType()->Add("OBS;RichEdit;x");
    alum->First();
    EXPECT_TRUE(IsRichTextField(notes, false));
    owner->Free();
}

TEST_F(FilterSupport, FilterDialogTokens) {
    auto tokens = [](const char* Text) {
        TNames out;
        int position = 1;
        for (AnsiString t = ScanFilterToken(Text, position); !t.empty(); t = ScanFilterToken(Text, position))
            out.push_back(t);
        return out;
    };
    EXPECT_EQ(tokens("N=5"), (TNames{"N", "=", "5"}));
    EXPECT_EQ(tokens("nombre"), (TNames{"n", "o", "m", "b", "r", "e"}));  // small letters one by one
    EXPECT_EQ(tokens("A_1.$ <> 'x y' \"q\""), (TNames{"A_1.$", "<", ">", "'x y'", "\"q\""}));
    int position = 3;
    EXPECT_EQ(ScanFilterToken("= 'abierta", position), "");
    EXPECT_EQ(position, 3);  // stays on the quote
    position = 0;
    EXPECT_EQ(ScanFilterToken("N", position), "");
}

TEST_F(FilterSupport, WatchersHearTheTableGo) {
    TwwTable* table = NewWwTable("alum");
    bool gone = false;
    TObject* heard = nullptr;
    table->WatchDestroy(&gone);
    table->OnDestroyNotify = [&](TObject* Sender) { heard = Sender; };
    table->Open();
    table->Free();
    EXPECT_TRUE(gone);
    EXPECT_EQ(heard, table);
}
}  // namespace
