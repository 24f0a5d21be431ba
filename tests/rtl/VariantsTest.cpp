#include <gtest/gtest.h>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Regional.h"
#include "platform/rtl/Variants.h"

namespace {
class VariantsTest : public ::testing::Test {
protected:
    TFormatSettingsScope Spanish{TFormatSettings()};
};
}  // namespace

TEST_F(VariantsTest, NullAndUnassignedAreDistinct) {
    TVariant empty, null = TVariant::Null();
    EXPECT_TRUE(VarIsEmpty(empty));
    EXPECT_FALSE(VarIsNull(empty));
    EXPECT_TRUE(VarIsNull(null));
    EXPECT_EQ(VarToStr(null), "");
    EXPECT_EQ(VarToStr(empty), "");
    EXPECT_EQ(empty.AsInteger(), 0);
    try {
        null.AsString();
        ADD_FAILURE();
    } catch (const EVariantError& e) {
        EXPECT_EQ(e.Message(), "Could not convert variant of type (Null) into type (String)");
    }
    EXPECT_THROW(null.AsInteger(), EVariantError);
    EXPECT_THROW(null.AsFloat(), EVariantError);
    EXPECT_TRUE(null.ToVarRec().IsNull());
}

TEST_F(VariantsTest, ConversionsBetweenKinds) {
    struct {
        TVariant Value;
        const char* Text;
        int Integer;
        double Float;
        bool Boolean;
    } cases[] = {
        {12, "12", 12, 12, true},      {int64_t(1) << 40, "1099511627776", 0, 1099511627776.0, true},
        {2.5, "2,5", 2, 2.5, true},  // halves to even
        {3.5, "3,5", 4, 3.5, true},    {true, "True", -1, -1, true},
        {false, "False", 0, 0, false}, {"42", "42", 42, 42, true},
        {"1,5", "1,5", 2, 1.5, true},  {Currency{125000}, "12,5", 12, 12.5, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.Value.AsString(), c.Text);
        if (c.Value.VarType() != varInt64) {
            EXPECT_EQ(c.Value.AsInteger(), c.Integer) << c.Text;
        }
        EXPECT_DOUBLE_EQ(c.Value.AsFloat(), c.Float) << c.Text;
        EXPECT_EQ(c.Value.AsBoolean(), c.Boolean) << c.Text;
    }
    EXPECT_THROW(TVariant(int64_t(1) << 40).AsInteger(), EVariantError);
    EXPECT_THROW(TVariant("abc").AsInteger(), EVariantError);
    EXPECT_THROW(TVariant("1.5").AsFloat(), EVariantError);  // not the regional separator
    EXPECT_TRUE(TVariant("TRUE").AsBoolean());
    EXPECT_THROW(TVariant("quiz\xE1s").AsBoolean(), EVariantError);
    EXPECT_EQ(TVariant('x').AsString(), "x");
    EXPECT_EQ(TVariant(7u).VarType(), varInteger);
}

TEST_F(VariantsTest, DatesConvertThroughTheRegionalFormats) {
    TVariant d = TVariant::FromDate(EncodeDate(2024, 3, 6) + EncodeTime(9, 5, 0, 0));
    EXPECT_EQ(d.VarType(), varDate);
    EXPECT_EQ(d.AsString(), "06/03/2024 9:05:00");
    EXPECT_EQ(TVariant::FromDate(EncodeDate(2024, 3, 6)).AsString(), "06/03/2024");
    EXPECT_DOUBLE_EQ(TVariant("06/03/2024").AsDateTime(), EncodeDate(2024, 3, 6));
    EXPECT_THROW(TVariant("31/02/2024").AsDateTime(), EVariantError);
    EXPECT_THROW(TVariant(true).AsDateTime(), EVariantError);
}

TEST_F(VariantsTest, ArraysCarryTheKeysOfAMultiFieldSearch) {
    TVariant keys = VarArrayOf({"1A", 3, TVariant::Null()});
    EXPECT_TRUE(VarIsArray(keys));
    EXPECT_EQ(VarArrayLowBound(keys), 0);
    EXPECT_EQ(VarArrayHighBound(keys), 2);
    EXPECT_EQ(keys[0].AsString(), "1A");
    EXPECT_EQ(keys[1].AsInteger(), 3);
    EXPECT_TRUE(VarIsNull(keys[2]));
    EXPECT_THROW(keys[3], EVariantError);
    EXPECT_THROW(TVariant(1).ArrayHighBound(), EVariantError);
    TVariant copy = keys;
    copy[0] = "otro";
    EXPECT_EQ(keys[0].AsString(), "1A");  // a copy is a copy
    TVariant shifted = TVariant::Array(1, 2);
    shifted[1] = 5;
    EXPECT_EQ(shifted[1].AsInteger(), 5);
    EXPECT_THROW(shifted[0], EVariantError);
    EXPECT_THROW(keys.AsString(), EVariantError);
}

TEST_F(VariantsTest, ArrayOfConstElements) {
    EXPECT_EQ(TVariant(5).ToVarRec().Kind(), TVarRec::vtInteger);
    EXPECT_EQ(TVariant("x").ToVarRec().AsString(), "x");
    EXPECT_EQ(TVariant(true).ToVarRec().Kind(), TVarRec::vtBoolean);
    EXPECT_EQ(VarRecToText(TVariant(2.5).ToVarRec()), "2,5");
    EXPECT_THROW(VarArrayOf({1}).ToVarRec(), EVariantError);
}
