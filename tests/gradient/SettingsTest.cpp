// The small settings objects of the panel library: what a form stores of
// them, how they tell their owner of a change, and the library's default
// font on a Spanish and on a Japanese system.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "gradient/TeCanvas.h"
#include "gradient/TeeConst.h"
#include "platform/classes/Filer.h"
#include "platform/classes/Properties.h"
#include "platform/rtl/Regional.h"
#include "platform/ui/ExtCtrls.h"

namespace {

// A component that streams one of each settings object.
class TSettingsHolder : public TComponent {
    ZELMOR_CLASS(TSettingsHolder, TComponent)
public:
    explicit TSettingsHolder(TComponent* AOwner) : TComponent(AOwner) {}
    static void DescribeProperties(TPropertyTable& T) {
        using H = TSettingsHolder;
        T.PropertyOf<H>(
            "Font", [](H& S) { return S.Font.get(); }, [](H& S, TTeeFont* V) { S.Font->Assign(V); });
        T.PropertyOf<H>(
            "Dotted", [](H& S) { return S.Dotted.get(); },
            [](H& S, TDottedGrayPen* V) { S.Dotted->Assign(V); });
        T.PropertyOf<H>(
            "Hidden", [](H& S) { return S.Hidden.get(); },
            [](H& S, TChartHiddenPen* V) { S.Hidden->Assign(V); });
        T.PropertyOf<H>(
            "Axis", [](H& S) { return S.Axis.get(); }, [](H& S, TChartAxisPen* V) { S.Axis->Assign(V); });
        T.PropertyOf<H>(
            "Brush", [](H& S) { return S.Brush.get(); }, [](H& S, TChartBrush* V) { S.Brush->Assign(V); });
        T.PropertyOf<H>(
            "View", [](H& S) { return S.View.get(); }, [](H& S, TView3DOptions* V) { S.View->Assign(V); });
    }
    std::vector<std::string> Log;
    TNotifyEvent Note = [this](TObject* Sender) { Log.push_back(Sender->ClassName()); };
    std::unique_ptr<TTeeFont> Font = std::make_unique<TTeeFont>(Note);
    std::unique_ptr<TDottedGrayPen> Dotted = std::make_unique<TDottedGrayPen>(Note);
    std::unique_ptr<TChartHiddenPen> Hidden = std::make_unique<TChartHiddenPen>(Note);
    std::unique_ptr<TChartAxisPen> Axis = std::make_unique<TChartAxisPen>(Note);
    std::unique_ptr<TChartBrush> Brush = std::make_unique<TChartBrush>(Note);
    std::unique_ptr<TView3DOptions> View = std::make_unique<TView3DOptions>(nullptr);
};
ZELMOR_IMPLEMENT_COMPONENT(TSettingsHolder, TComponent)

std::string Written(TSettingsHolder* H) {
    H->SetName("Holder");
    return WriteComponentToText(H);
}

TEST(TeeSettings, ANewObjectStoresNothingAndAChangedOneStoresWhatChanged) {
    RegisterClass(TSettingsHolder::StaticClassInfo());
    TSettingsHolder H(nullptr);
    EXPECT_TRUE(H.Log.empty()) << "making the objects tells nobody";
    EXPECT_EQ(H.Font->Name(), "Arial");
    EXPECT_EQ(H.Font->Size(), 8);
    EXPECT_EQ(H.Dotted->Color(), clGray);
    EXPECT_EQ(H.Dotted->Style(), psDot);
    EXPECT_FALSE(H.Hidden->Visible());
    EXPECT_EQ(H.Axis->Width(), 2);
    EXPECT_EQ(H.Brush->Color(), clDefault);
    EXPECT_EQ(Written(&H), "object Holder: TSettingsHolder\nend\n");

    H.Font->SetSize(9);
    H.Font->Shadow()->SetHorizSize(2);
    H.Font->SetInterCharSize(1);
    H.Dotted->SetStyle(psSolid);
    H.Hidden->SetVisible(true);
    H.View->SetZoom(150);
    std::string Text = Written(&H);
    for (const char* Line : {"Font.Height = -12", "Font.InterCharSize = 1", "Font.Shadow.HorizSize = 2",
                             "Dotted.Style = psSolid", "Hidden.Visible = True", "View.Zoom = 150"})
        EXPECT_NE(Text.find(Line), std::string::npos) << Line << " in\n" << Text;
    for (const char* Left : {"Font.Name", "Font.Color", "Dotted.Color", "Axis.Width"})
        EXPECT_EQ(Text.find(Left), std::string::npos) << Left << " in\n" << Text;

    TSettingsHolder Back(nullptr);
    ReadComponentFromText(&Back, Text);
    EXPECT_EQ(Back.Font->Size(), 9);
    EXPECT_EQ(Back.Font->Shadow()->HorizSize(), 2);
    EXPECT_EQ(Back.Font->InterCharSize(), 1);
    EXPECT_EQ(Back.Dotted->Style(), psSolid);
    EXPECT_TRUE(Back.Hidden->Visible());
    EXPECT_EQ(Back.View->Zoom(), 150);
}

TEST(TeeSettings, ChangesReachTheOwnerOnlyWhenAValueChanges) {
    TSettingsHolder H(nullptr);
    H.Font->Shadow()->SetHorizSize(0);
    H.Font->SetInterCharSize(0);
    H.Dotted->SetVisible(true);
    EXPECT_TRUE(H.Log.empty());
    H.Font->Shadow()->SetColor(clRed);
    H.Font->OutLine()->SetVisible(true);
    H.Dotted->SetSmallDots(true);
    TBitmap Picture(4, 4);
    H.Brush->Image()->SetGraphic(&Picture);
    EXPECT_EQ(H.Log,
              (std::vector<std::string>{"TTeeShadow", "TChartHiddenPen", "TDottedGrayPen", "TPicture"}));

    // Assigning copies without a word, but for the pen's, brush's and font's own part.
    TTeeShadow Copy;
    Copy.Assign(H.Font->Shadow());
    EXPECT_EQ(Copy.Color(), clRed);
    H.Log.clear();
    H.Font->Shadow()->Assign(&Copy);
    EXPECT_TRUE(H.Log.empty());
    TChartPen Plain;
    Plain.SetSmallDots(true);
    Plain.SetVisible(false);
    Plain.SetWidth(3);
    H.Dotted->Assign(&Plain);
    EXPECT_FALSE(H.Dotted->Visible());
    EXPECT_EQ(H.Dotted->Width(), 3);
}

TEST(TeeSettings, ViewOptionsRepaintTheirControlAndTellOfScrollsAndZooms) {
    TPanel Panel(nullptr);
    TView3DOptions View(&Panel);
    std::vector<std::string> Log;
    View.ScrolledNotify = [&](bool Horiz) { Log.push_back(Horiz ? "scrolled across" : "scrolled down"); };
    View.ZoomChangeNotify = [&](int New) {
        Log.push_back("zoom " + std::to_string(View.Zoom()) + " to " + std::to_string(New));
    };
    View.SetHorizOffset(0);
    View.SetZoom(100);
    EXPECT_TRUE(Log.empty()) << "equal values neither repaint nor notify";
    View.SetHorizOffset(5);
    View.SetVertOffset(-5);
    View.SetZoom(150);
    EXPECT_EQ(Log, (std::vector<std::string>{"scrolled across", "scrolled down", "zoom 100 to 150"}));
    EXPECT_EQ(View.Zoom(), 150);

    TView3DOptions Other(nullptr);
    Other.Assign(&View);
    EXPECT_EQ(Other.HorizOffset(), 5);
    EXPECT_EQ(Other.Zoom(), 150);
    TChartPen NotAView;
    Other.Assign(&NotAView);
    EXPECT_EQ(Other.Zoom(), 150) << "another class changes nothing and raises nothing";
}

TEST(TeeSettings, TheDefaultFontFollowsTheSystemsLanguageAndTheLibrarysTexts) {
    {
        TFormatSettings Spanish = FormatSettings();
        Spanish.LanguageId = 0x0C0A;
        TFormatSettingsScope Scope(Spanish);
        EXPECT_EQ(GetDefaultFontName(), "Arial");
        EXPECT_EQ(GetDefaultFontSize(), 8);
        EXPECT_EQ(GetLocaleStr(LOCALE_USER_DEFAULT, LOCALE_ILANGUAGE), "0c0a");
    }
    {
        TFormatSettings Japanese = FormatSettings();
        Japanese.LanguageId = 0x0411;
        TFormatSettingsScope Scope(Japanese);
        TFont System;
        EXPECT_EQ(GetDefaultFontName(), System.Name());
        EXPECT_EQ(GetDefaultFontSize(), -MulDiv(System.Height(), 72, 96));
        EXPECT_EQ(TTeeFont().Name(), System.Name());
        EXPECT_EQ(GetLocaleStr(LOCALE_USER_DEFAULT, LOCALE_ILANGUAGE), "0411");
        // Another text in the library's table is kept as it is, even here.
        AnsiString Saved = TeeMsg_DefaultFontSize;
        TeeMsg_DefaultFontSize = "9";
        EXPECT_EQ(GetDefaultFontSize(), 9);
        TeeMsg_DefaultFontSize = "nine";
        EXPECT_THROW(GetDefaultFontSize(), EConvertError);
        TeeMsg_DefaultFontSize = Saved;
    }
}

TEST(TeeSettings, SmallRoutinesDarkenBrightenAndMeasure) {
    EXPECT_EQ(ApplyDark(clWhite, 64), RGB(191, 191, 191));
    EXPECT_EQ(ApplyDark(RGB(64, 65, 10), 64), RGB(0, 1, 0)) << "a channel of exactly the quantity goes to 0";
    EXPECT_EQ(ApplyDark(clBtnFace, 0), static_cast<TColor>(ColorToRGB(clBtnFace)));
    EXPECT_EQ(ApplyBright(RGB(250, 10, 0), 10), RGB(255, 20, 10));
    int W, H, X, Y;
    RectSize(TRect(10, 20, 5, 50), W, H);
    EXPECT_EQ(TPoint(W, H), TPoint(-5, 30));
    RectCenter(TRect(-3, -3, 0, 0), X, Y);
    EXPECT_EQ(TPoint(X, Y), TPoint(-1, -1)) << "halves go towards zero";
    long double S, C;
    SinCos(90 * TeePiStep, S, C);
    EXPECT_NEAR(static_cast<double>(S), 1.0, 1e-15);
    EXPECT_NEAR(static_cast<double>(ArcTan2(-1, -1)), -3 * std::acos(-1.0) / 4, 1e-15);
}

}  // namespace
