// Pictures, glyphs, colours, cursors and image lists in form files and resources.
#include <gtest/gtest.h>

#include "GfxTestSupport.h"

#include <cctype>
#include <memory>
#include <string>

#include "platform/classes/Filer.h"
#include "platform/classes/Properties.h"
#include "platform/classes/Resources.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Bmp.h"
#include "platform/gfx/Cursors.h"
#include "platform/gfx/ImageList.h"
#include "platform/rtl/Streams.h"
#include "resources/ResourceTable.h"

namespace {

// A control-like component with every kind of drawing property a form sets.
class TGfxHolder : public TComponent {
    ZELMOR_CLASS(TGfxHolder, TComponent)
public:
    using TComponent::TComponent;
    TColor Color() const { return FColor; }
    void SetColor(TColor Value) { FColor = Value; }
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value) { FCursor = Value; }
    TFont* Font() const { return FFont.get(); }
    TPen* Pen() const { return FPen.get(); }
    TBitmap* Glyph() const { return FGlyph.get(); }
    TPicture* Picture() const { return FPicture.get(); }

    static void DescribeProperties(TPropertyTable& T) {
        T.Property("Color", &TGfxHolder::Color, &TGfxHolder::SetColor)
            .OfType(ColorTypeInfo())
            .Default(clBtnFace);
        T.Property("Cursor", &TGfxHolder::Cursor, &TGfxHolder::SetCursor)
            .OfType(CursorTypeInfo())
            .Default(crDefault);
        T.Property("Font", &TGfxHolder::Font);
        T.Property("Pen", &TGfxHolder::Pen);
        T.Property("Glyph", &TGfxHolder::Glyph);
        T.Property("Picture", &TGfxHolder::Picture);
    }
    void GetChildren(const TGetChildProc& Proc, TComponent*) override {
        for (int i = 0; i < ComponentCount(); ++i) Proc(Components(i));
    }

private:
    TColor FColor = clBtnFace;
    TCursor FCursor = crDefault;
    std::unique_ptr<TFont> FFont = std::make_unique<TFont>();
    std::unique_ptr<TPen> FPen = std::make_unique<TPen>();
    std::unique_ptr<TBitmap> FGlyph = std::make_unique<TBitmap>();
    std::unique_ptr<TPicture> FPicture = std::make_unique<TPicture>();
};
ZELMOR_IMPLEMENT_COMPONENT(TGfxHolder, TComponent)

std::string Hex(const std::string& Bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char b : Bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

// The bytes of "Name = {...}" in a form text.
std::string BinaryOf(const std::string& Text, const std::string& Name) {
    size_t at = Text.find(Name + " = {");
    if (at == std::string::npos) return {};
    std::string hex;
    for (at = Text.find('{', at) + 1; at < Text.size() && Text[at] != '}'; ++at)
        if (std::isxdigit(static_cast<unsigned char>(Text[at]))) hex += Text[at];
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) bytes += char(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

std::string Int32(uint32_t V) { return {char(V), char(V >> 8), char(V >> 16), char(V >> 24)}; }

std::string Form(const std::string& Body) { return "object Holder: TGfxHolder\n" + Body + "end\n"; }

}  // namespace

TEST(FormData, ColourCursorAndCharsetNamesRoundTripThroughFormText) {
    const std::string text = Form("  Color = clWindow\n"
                                  "  Cursor = crHandPoint\n"
                                  "  Font.Charset = OEM_CHARSET\n"
                                  "  Font.Color = clNavy\n"
                                  "  Font.Height = -11\n"
                                  "  Font.Name = 'Arial'\n"
                                  "  Pen.Color = 1193046\n");
    TGfxHolder holder(nullptr);
    ReadComponentFromText(&holder, text);
    EXPECT_EQ(holder.Color(), clWindow);
    EXPECT_EQ(holder.Cursor(), crHandPoint);
    EXPECT_EQ(holder.Font()->Charset(), OEM_CHARSET);
    EXPECT_EQ(holder.Font()->Color(), clNavy);
    EXPECT_EQ(holder.Pen()->Color(), 0x123456);  // a colour without a name stays a number
    EXPECT_EQ(WriteComponentToText(&holder), text);

    // The default colour is not written; a named one is written by name however it was set.
    TGfxHolder plain(nullptr);
    plain.SetName("Holder");
    plain.Font()->SetColor(clBtnText);
    std::string written = WriteComponentToText(&plain);
    EXPECT_EQ(written.find("  Color ="), std::string::npos) << written;
    EXPECT_NE(written.find("  Font.Color = clBtnText\n"), std::string::npos) << written;
    EXPECT_EQ(written.find("  Font.Charset"), std::string::npos) << written;

    // Names are read without regard to case; an unknown name is an error of the form.
    TGfxHolder other(nullptr);
    ReadComponentFromText(&other, Form("  Color = CLBTNSHADOW\n"));
    EXPECT_EQ(other.Color(), clBtnShadow);
    EXPECT_THROW(ReadComponentFromText(&other, Form("  Color = clNoSuchColour\n")), EReadError);
}

TEST(FormData, GlyphAndPictureDataRoundTripThroughFormText) {
    TGfxHolder holder(nullptr);
    holder.SetName("Holder");
    std::vector<uint32_t> table = {0x000000, 0x808080, 0xFFFFFF, 0x0000FF};
    holder.Glyph()->SetPixelFormat(pf8bit);
    holder.Glyph()->SetColorTable(table);
    holder.Glyph()->SetSize(5, 3);
    holder.Glyph()->Canvas()->SetPixel(4, 2, clBlue);
    holder.Picture()->Bitmap()->SetSize(2, 2);
    holder.Picture()->Bitmap()->Canvas()->SetPixel(1, 0, clRed);
    const std::string text = WriteComponentToText(&holder);

    // Picture data: the class name as a short string, its byte count, the BMP file.
    std::string data = BinaryOf(text, "Picture.Data");
    ASSERT_GT(data.size(), 12u) << text;
    EXPECT_EQ(data.substr(0, 8), "\x07TBitmap");
    EXPECT_EQ(data.substr(8, 4), Int32(uint32_t(data.size() - 12)));
    EXPECT_EQ(data.substr(12, 2), "BM");
    // Glyph data: the byte count, then the BMP file in the bitmap's own depth.
    std::string glyph = BinaryOf(text, "Glyph.Data");
    ASSERT_GT(glyph.size(), 4u) << text;
    EXPECT_EQ(glyph.substr(0, 4), Int32(uint32_t(glyph.size() - 4)));
    TStringStream file(glyph.substr(4));
    EXPECT_EQ(ReadBmp(file).BitCount, 8);

    TGfxHolder again(nullptr);
    int changes = 0;
    again.Picture()->OnChange = TNotifyEvent([&](TObject*) { ++changes; });
    ReadComponentFromText(&again, text);
    EXPECT_GT(changes, 0);
    EXPECT_EQ(again.Glyph()->PixelFormat(), pf8bit);
    EXPECT_EQ(again.Glyph()->ColorTable(), table);
    EXPECT_TRUE(SamePicture(holder.Glyph()->Surface(), again.Glyph()->Surface()));
    ASSERT_NE(again.Picture()->Graphic(), nullptr);
    EXPECT_EQ(again.Picture()->Bitmap()->Surface().GetPixel(1, 0), 0xFF0000u);
    EXPECT_EQ(WriteComponentToText(&again), text);

    // Empty graphics write nothing.
    TGfxHolder empty(nullptr);
    empty.SetName("Holder");
    EXPECT_EQ(WriteComponentToText(&empty).find(".Data"), std::string::npos);
}

TEST(FormData, DamagedPictureDataIsRefusedAndThePictureStays) {
    std::string bmp = BmpFile(TSurface(2, 2), 24);
    std::string good = "\x07TBitmap" + Int32(uint32_t(bmp.size())) + bmp;
    struct TCase {
        const char* Why;
        std::string Bytes;
    } cases[] = {
        {"empty", ""},
        {"name cut short", "\x07TBit"},
        {"no byte count", "\x07TBitmap\x01"},
        {"byte count past the end", "\x07TBitmap" + Int32(uint32_t(bmp.size() + 1)) + bmp},
        {"negative byte count", "\x07TBitmap" + Int32(0xFFFFFFF0u) + bmp},
        {"unknown graphic class", "\x09TMetafile" + Int32(uint32_t(bmp.size())) + bmp},
        {"not a BMP file", "\x07TBitmap" + Int32(4) + "BMxx"},
    };
    for (const TCase& c : cases) {
        TGfxHolder holder(nullptr);
        holder.Picture()->Bitmap()->SetSize(7, 1);
        EXPECT_THROW(ReadComponentFromText(&holder, Form("  Picture.Data = {" + Hex(c.Bytes) + "}\n")),
                     EReadError)
            << c.Why;
        EXPECT_EQ(holder.Picture()->Width(), 7) << c.Why;
    }
    TGfxHolder holder(nullptr);
    ReadComponentFromText(&holder, Form("  Picture.Data = {" + Hex(good) + "}\n"));
    EXPECT_EQ(holder.Picture()->Width(), 2);
    // An empty class name is an empty picture.
    ReadComponentFromText(&holder, Form("  Picture.Data = {00}\n"));
    EXPECT_EQ(holder.Picture()->Graphic(), nullptr);
}

TEST(FormData, ImageListTravelsInAFormWithItsImages) {
    RegisterGfxClasses();
    TGfxHolder holder(nullptr);
    holder.SetName("Holder");
    auto* list = NewComponent<TImageList>(&holder, 2, 1);
    list->SetName("Images");
    list->SetBkColor(clWhite);
    list->SetDrawingStyle(dsTransparent);
    TBitmap strip(6, 1);
    for (int x = 0; x < 6; ++x)
        strip.Surface().SetPixel(x, 0, x == 1 || x == 4 ? 0x00FF00 : 0x000010u * uint32_t(x + 1));
    ASSERT_EQ(list->AddMasked(&strip, clLime), 0);
    const std::string text = WriteComponentToText(&holder);
    for (const char* line :
         {"  object Images: TImageList\n", "    BkColor = clWhite\n", "    DrawingStyle = dsTransparent\n",
          "    Height = 1\n", "    Width = 2\n", "    Bitmap = {"})
        EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
    // Size before images, so that the cells are cut as they were written.
    EXPECT_LT(text.find("Width = 2"), text.find("Bitmap = {"));

    TGfxHolder again(nullptr);
    ReadComponentFromText(&again, text);
    auto* read = dynamic_cast<TImageList*>(again.FindComponent("Images"));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->Count(), 3);
    EXPECT_EQ(read->BkColor(), clWhite);
    EXPECT_EQ(read->DrawingStyle(), dsTransparent);
    for (int i = 0; i < 3; ++i) {
        TBitmap a, b, ma, mb;
        ASSERT_TRUE(list->GetBitmap(i, &a) && read->GetBitmap(i, &b));
        ASSERT_TRUE(list->GetMask(i, &ma) && read->GetMask(i, &mb));
        EXPECT_TRUE(SamePicture(a.Surface(), b.Surface())) << i;
        EXPECT_TRUE(SamePicture(ma.Surface(), mb.Surface())) << i;
    }
    EXPECT_EQ(WriteComponentToText(&again), text);
}

TEST(FormData, DamagedImageListDataIsRefused) {
    RegisterGfxClasses();
    std::string cells = BmpFile(TSurface(4, 1), 24), masks = BmpFile(TSurface(4, 1), 1);
    std::string strips = Int32(uint32_t(cells.size())) + cells + Int32(uint32_t(masks.size())) + masks;
    struct TCase {
        const char* Why;
        std::string Bytes;
    } cases[] = {
        {"negative count", Int32(0xFFFFFFFFu) + strips},
        {"more images than the strip holds", Int32(3) + strips},
        {"mask missing", Int32(2) + Int32(uint32_t(cells.size())) + cells},
        {"strip cut short", Int32(2) + Int32(uint32_t(cells.size() + 9)) + cells},
    };
    auto form = [](const std::string& Bytes) {
        return Form("  object Images: TImageList\n    Height = 1\n    Width = 2\n    Bitmap = {" +
                    Hex(Bytes) + "}\n  end\n");
    };
    for (const TCase& c : cases) {
        TGfxHolder holder(nullptr);
        EXPECT_THROW(ReadComponentFromText(&holder, form(c.Bytes)), EReadError) << c.Why;
    }
    TGfxHolder holder(nullptr);
    ReadComponentFromText(&holder, form(Int32(2) + strips));
    EXPECT_EQ(static_cast<TImageList*>(holder.FindComponent("Images"))->Count(), 2);
}

TEST(FormData, BitmapsComeFromResourcesByNameWithoutRegardToCase) {
    TSurface arrow(3, 2);
    arrow.SetPixel(1, 1, 0);
    std::string bytes = BmpFile(arrow, 1);
    const ZelmorResourceEntry table[] = {
        {"bitmaps/WWDropDown.bmp", reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()},
        {nullptr, nullptr, 0},
    };
    const ZelmorResourceEntry* previous = UseResourceTable(table);
    TBitmap b;
    b.LoadFromResourceName("wwdropdown");
    EXPECT_EQ(b.Width(), 3);
    EXPECT_TRUE(b.Monochrome());
    EXPECT_EQ(b.Surface().GetPixel(1, 1), 0u);
    EXPECT_THROW(b.LoadFromResourceName("WWNADA"), EResNotFound);
    EXPECT_EQ(b.Width(), 3);
    UseResourceTable(previous);
}
