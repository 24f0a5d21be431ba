#include <gtest/gtest.h>

#include "platform/classes/Properties.h"
#include "platform/gfx/Cursors.h"
#include "platform/gfx/Graphics.h"
#include "platform/rtl/Strings.h"

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

TEST(GraphicsProperties, ColourCursorAndCharsetNamesReadBothWays) {
    struct TCase {
        const TTypeInfo& Type;
        const char* Name;
        int64_t Value;
    } cases[] = {
        {ColorTypeInfo(), "clBtnFace", clBtnFace},
        {ColorTypeInfo(), "clNone", clNone},
        {ColorTypeInfo(), "clSilver", clSilver},  // written for clLtGray too: the first name wins
        {CursorTypeInfo(), "crHourGlass", crHourGlass},
        {CursorTypeInfo(), "crSizeAll", crSizeAll},
        {CharsetTypeInfo(), "DEFAULT_CHARSET", DEFAULT_CHARSET},
        {CharsetTypeInfo(), "OEM_CHARSET", OEM_CHARSET},
    };
    for (const TCase& c : cases) {
        AnsiString name;
        EXPECT_TRUE(IntToIdent(c.Type, c.Value, name)) << c.Name;
        EXPECT_EQ(name, c.Name);
        int64_t value = 0;
        EXPECT_TRUE(IdentToInt(c.Type, LowerCase(c.Name), value)) << c.Name;
        EXPECT_EQ(value, c.Value);
    }
    AnsiString name;
    EXPECT_FALSE(IntToIdent(ColorTypeInfo(), 0x123456, name));
    int cursor = 0;
    ASSERT_TRUE(IdentToCursor("crHandPoint", cursor));
    EXPECT_EQ(cursor, crHandPoint);
    EXPECT_FALSE(IdentToCursor("crTeeHand", cursor));
    ASSERT_TRUE(CursorToIdent(crDrag, name));
    EXPECT_EQ(name, "crDrag");
    EXPECT_EQ(ColorToRGB(clBtnFace), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(ColorToRGB(clNone), 0xFFFFFFu);  // the low three bytes, when painted anyway
}
