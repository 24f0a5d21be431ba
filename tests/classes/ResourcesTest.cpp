#include <gtest/gtest.h>

#include "FormTestSupport.h"
#include "platform/classes/Resources.h"
#include "resources/ResourceTable.h"

namespace {
class TFmRootPlus : public TFmRoot {
    ZELMOR_CLASS(TFmRootPlus, TFmRoot)
    using TFmRoot::TFmRoot;
};
ZELMOR_IMPLEMENT_COMPONENT(TFmRootPlus, TFmRoot)

// Reads its form when it is whole, as the window layer's forms do.
class TFmResourceForm : public TFmRoot {
    ZELMOR_CLASS(TFmResourceForm, TFmRoot)
    using TFmRoot::TFmRoot;
    void AfterConstruction() override {
        inherited::AfterConstruction();
        InitInheritedComponent(this, TFmRoot::StaticClassInfo());
    }
};
ZELMOR_IMPLEMENT_COMPONENT(TFmResourceForm, TFmRoot)

const unsigned char kBase[] =
    "object BaseForm: TFmRoot\n  Caption = 'base'\n  object B: TFmControl\n  end\nend\n";
const unsigned char kPlus[] =
    "inherited PlusForm: TFmRootPlus\n  Caption = 'plus'\n  inherited B: TFmControl\n"
    "    Left = 5\n  end\nend\n";
const unsigned char kBroken[] = "object Broken: TFmRoot\n  Caption = 7\nend\n";
const unsigned char kBytes[] = "BM";
const unsigned char kResourceForm[] = "object ResourceForm: TFmResourceForm\n  object Panel1: TFmControl\n"
                                      "    OnClick = ButtonClick\n    Width = 'roto'\n  end\nend\n";

const ZelmorResourceEntry kTable[] = {
    {"forms/Base.zfm", kBase, sizeof kBase - 1},
    {"forms/Plus.zfm", kPlus, sizeof kPlus - 1},
    {"forms/Broken.zfm", kBroken, sizeof kBroken - 1},
    {"forms/old/Old.zfm", kBase, sizeof kBase - 1},
    {"bitmaps/WWDropDown.bmp", kBytes, 2},
    {"strings/RVLIB3_STRINGS_ENGLISH.str0", kBytes, 2},
    {"cursors/TEE_CURSOR_HAND.cur", kBytes, 2},
    {"texts/Leeme.txt", kBytes, 2},
    {"forms/ResourceForm.zfm", kResourceForm, sizeof kResourceForm - 1},
    {nullptr, nullptr, 0},
};

// Puts the test table in place for one test.
class Resources : public ::testing::Test {
protected:
    void SetUp() override { FPrevious = UseResourceTable(kTable); }
    void TearDown() override { UseResourceTable(FPrevious); }

private:
    const ZelmorResourceEntry* FPrevious = nullptr;
};
}  // namespace

TEST_F(Resources, AreFoundByKindAndNameWithoutRegardToCase) {
    struct Case {
        TResourceKind Kind;
        const char* Name;
        const char* Path;  // null: not found
    };
    const Case cases[] = {
        {rkBitmap, "wwdropdown", "bitmaps/WWDropDown.bmp"},
        {rkBitmap, "WWDROPDOWN.BMP", "bitmaps/WWDropDown.bmp"},
        {rkStrings, "Rvlib3_Strings_English", "strings/RVLIB3_STRINGS_ENGLISH.str0"},
        {rkCursor, "tee_cursor_hand", "cursors/TEE_CURSOR_HAND.cur"},
        {rkText, "LEEME", "texts/Leeme.txt"},
        {rkForm, "base", "forms/Base.zfm"},
        {rkForm, "TFMROOT", "forms/Base.zfm"},  // by the class of its root
        {rkForm, "TFmRootPlus", "forms/Plus.zfm"},
        {rkForm, "BaseForm", nullptr},  // the root's name is no resource name
        {rkBitmap, "Base", nullptr},    // another kind
        {rkForm, "Old", nullptr},       // only files directly in the kind's folder
        {rkText, "", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TResource found;
        ASSERT_EQ(FindResource(c.Kind, c.Name, found), c.Path != nullptr);
        if (c.Path) {
            EXPECT_STREQ(found.Path, c.Path);
        }
    }
    EXPECT_EQ(LoadResource(rkBitmap, "wwdropdown").Bytes.size(), 2u);
    EXPECT_EQ(ErrorOf([] { LoadResource(rkBitmap, "WWNADA"); }),
              "EResNotFound: Bitmap resource WWNADA not found");
    EXPECT_EQ(ErrorOf([] { LoadResource(rkForm, "TNadaForm"); }),
              "EResNotFound: Form resource TNadaForm not found");
}

TEST_F(Resources, StreamsReadTheBytesAndRefuseWrites) {
    TResourceStream stream(rkCursor, "TEE_CURSOR_HAND");
    EXPECT_EQ(stream.Size(), 2);
    EXPECT_EQ(stream.ReadString(10), "BM");
    EXPECT_THROW(stream.WriteInt32(1), EStreamError);
    EXPECT_EQ(ErrorOf([] { TResourceStream missing(rkCursor, "TEE_CURSOR_NADA"); }),
              "EResNotFound: Cursor resource TEE_CURSOR_NADA not found");
}

TEST_F(Resources, FormsAreReadIntoTheirRootAndErrorsNameTheResource) {
    TTestForm form;
    ReadComponentResource(form.Root(), "TFmRoot");
    EXPECT_EQ(form.Form()->Caption, "base");
    EXPECT_NE(form.Find<TFmControl>("B"), nullptr);

    TTestForm broken;
    EXPECT_EQ(ErrorOf([&] { ReadComponentResource(broken.Root(), "Broken"); }),
              "EReadError: forms/Broken.zfm, line 2: Invalid value for property Caption, found a number");
}

TEST_F(Resources, ADescendantFormAddsToItsAncestorsForm) {
    TTestForm form(NewComponent<TFmRootPlus>(nullptr));
    RegisterFormTestClasses();
    EXPECT_TRUE(InitInheritedComponent(form.Root(), TComponent::StaticClassInfo()));
    EXPECT_EQ(form.Root()->Name(), "PlusForm");
    EXPECT_EQ(form.Form()->Caption, "plus");
    ASSERT_EQ(form.Root()->ComponentCount(), 1);
    EXPECT_EQ(form.Find<TFmControl>("B")->Left, 5);

    TTestForm plain(NewComponent<TFmSource>(nullptr));
    EXPECT_FALSE(InitInheritedComponent(plain.Root(), TComponent::StaticClassInfo()));
}

TEST_F(Resources, AFormReadsItsResourceOnceItHasItsOwnClass) {
    RegisterFormTestClasses();
    // The resource breaks after binding a handler: the half-built form is freed.
    EXPECT_EQ(ErrorOf([] { NewComponent<TFmResourceForm>(nullptr); }),
              "EReadError: forms/ResourceForm.zfm, line 4: Invalid value for property Width, found a text");
    const unsigned char fixed[] = "object ResourceForm: TFmResourceForm\n  object Panel1: TFmControl\n"
                                  "    OnClick = ButtonClick\n  end\nend\n";
    const ZelmorResourceEntry table[] = {{"forms/ResourceForm.zfm", fixed, sizeof fixed - 1},
                                         {nullptr, nullptr, 0}};
    const ZelmorResourceEntry* previous = UseResourceTable(table);
    TTestForm form(NewComponent<TFmResourceForm>(nullptr));
    UseResourceTable(previous);
    TFmControl* panel = form.Form()->Panel1;
    ASSERT_NE(panel, nullptr);
    panel->OnClick(panel);
    EXPECT_EQ(form.Form()->Clicks, 1);
}

TEST_F(Resources, AnAddedTableIsSearchedFirstUntilItIsRemoved) {
    const unsigned char other[] = "object Other: TFmRoot\nend\n";
    const unsigned char plus[] = "object OtherPlus: TFmRootPlus\nend\n";
    const ZelmorResourceEntry first[] = {
        {"forms/Base.zfm", other, sizeof other - 1}, {"texts/Otro.txt", kBytes, 2}, {nullptr, nullptr, 0}};
    const ZelmorResourceEntry second[] = {{"forms/OtherPlus.zfm", plus, sizeof plus - 1},
                                          {nullptr, nullptr, 0}};
    auto bytesOf = [](TResourceKind kind, const char* name) {
        TResource found;
        return FindResource(kind, name, found) ? found.Bytes.data() : nullptr;
    };
    AddResourceTable(first);
    AddResourceTable(second);
    EXPECT_EQ(bytesOf(rkForm, "Base"), other) << "by its file name, before the table in use";
    EXPECT_EQ(bytesOf(rkForm, "TFmRoot"), other) << "by its root's class";
    EXPECT_EQ(bytesOf(rkForm, "TFmRootPlus"), plus) << "the last added first";
    EXPECT_EQ(bytesOf(rkText, "Otro"), kBytes);
    EXPECT_EQ(bytesOf(rkForm, "Broken"), kBroken) << "the table in use is searched after them";
    RemoveResourceTable(first);
    EXPECT_EQ(bytesOf(rkForm, "Base"), kBase);
    EXPECT_EQ(bytesOf(rkText, "Otro"), nullptr);
    EXPECT_EQ(bytesOf(rkForm, "TFmRootPlus"), plus);
    RemoveResourceTable(second);
    EXPECT_EQ(bytesOf(rkForm, "TFmRootPlus"), kPlus);
}

TEST_F(Resources, AFieldThatNoComponentOfTheFormsFilledIsAnErrorThatNamesTheForm) {
    TTestForm base;
    ReadComponentResource(base.Root(), "TFmRoot");
    EXPECT_EQ(ErrorOf([&] { CheckFieldsBound(base.Root()); }),
              "EComponentError: Field DSAlum of TFmRoot has no component in forms/Base.zfm");
    TTestForm whole;
    whole.Read(
        "object F: TFmRoot\n  object Panel1: TFmControl\n  end\n  object DSAlum: TFmSource\n  end\nend\n");
    EXPECT_EQ(ErrorOf([&] { CheckFieldsBound(whole.Root()); }), "no error");
    UseResourceTable(nullptr);
    TTestForm formless;
    EXPECT_EQ(ErrorOf([&] { CheckFieldsBound(formless.Root()); }),
              "EComponentError: Field DSAlum of TFmRoot has no component: the class has no form");
}
