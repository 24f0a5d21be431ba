#include <gtest/gtest.h>

#include "platform/classes/Properties.h"
#include "platform/gfx/Graphics.h"

TEST(GraphicsProperties, FontPenAndBrushAreSetByNameAsFormsDo) {
    TFont font;
    int changes = 0;
    font.OnChange = TNotifyEvent([&](TObject*) { ++changes; });
    SetStrProp(&font, "Name", "Arial");
    SetOrdProp(&font, "Height", -16);
    SetSetProp(&font, "Style", "[fsBold,fsUnderline]");
    SetOrdProp(&font, "Color", clBtnText);
    SetEnumProp(&font, "Pitch", "fpFixed");
    EXPECT_EQ(font.Name(), "Arial");
    EXPECT_EQ(font.Height(), -16);
    EXPECT_EQ(font.Size(), 12);
    EXPECT_EQ(font.Style(), TFontStyles({fsBold, fsUnderline}));
    EXPECT_EQ(font.Color(), clBtnText);
    EXPECT_EQ(font.Pitch(), fpFixed);
    EXPECT_EQ(changes, 5);
    // Height is stored, Size never is.
    EXPECT_TRUE(IsStoredProp(&font, "Height"));
    EXPECT_FALSE(IsStoredProp(&font, "Size"));
    EXPECT_TRUE(IsDefaultPropValue(&font, "Charset"));

    TPen pen;
    SetEnumProp(&pen, "Style", "psDot");
    SetEnumProp(&pen, "Mode", "pmNotXor");
    SetOrdProp(&pen, "Width", 3);
    EXPECT_EQ(pen.Style(), psDot);
    EXPECT_EQ(pen.Mode(), pmNotXor);
    EXPECT_EQ(GetOrdProp(&pen, "Width"), 3);
    EXPECT_EQ(GetEnumProp(&pen, "Mode"), "pmNotXor");

    TBrush brush;
    SetEnumProp(&brush, "Style", "bsClear");
    EXPECT_EQ(brush.Style(), bsClear);
    EXPECT_TRUE(IsDefaultPropValue(&brush, "Color"));
}

TEST(GraphicsProperties, ColourAndCharsetNamesReadBothWays) {
    TColor c;
    ASSERT_TRUE(IdentToColor("clBtnFace", c));
    EXPECT_EQ(c, clBtnFace);
    AnsiString name;
    ASSERT_TRUE(ColorToIdent(clNone, name));
    EXPECT_EQ(name, "clNone");
    EXPECT_FALSE(ColorToIdent(0x123456, name));
    int cs;
    ASSERT_TRUE(IdentToCharset("DEFAULT_CHARSET", cs));
    EXPECT_EQ(cs, 1);
    EXPECT_EQ(ColorToRGB(clBtnFace), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(ColorToRGB(clNone), 0xFFFFFFu);  // the low three bytes, when painted anyway
}
