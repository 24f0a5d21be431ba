// The library's free routines: date steps, hit tests, the sort through
// callbacks, unique names, field lists, number formats, cursors and colours.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "GradientTestSupport.h"
#include "gradient/TeeDraw3D.h"

using namespace gradient_test;

namespace {

TEST(TeeRoutines, DateStepsFindTheirNeighboursInTheTable) {
    struct TCase {
        double Step, Next;
    };
    for (TCase C : {TCase{1, 2}, TCase{0.5, 1}, TCase{400, 365}, TCase{0, 365}, TCase{15, 30},
                    TCase{182, 365}, TCase{1.0 / 86400000, 1.0 / 86400}})
        EXPECT_DOUBLE_EQ(NextDateTimeStep(C.Step), C.Next) << C.Step;
    EXPECT_EQ(FindDateTimeStep(7), dtOneWeek);
    EXPECT_EQ(FindDateTimeStep(6.5), dtNone);
    EXPECT_EQ(FindDateTimeStep(1.0 / 24 + 1e-9), dtOneHour) << "less than a millisecond off";
    EXPECT_EQ(FindDateTimeStep(365), dtOneYear);
    EXPECT_EQ(DateTimeDefaultFormat(2), FormatSettings().ShortDateFormat);
    EXPECT_EQ(DateTimeDefaultFormat(1), FormatSettings().ShortTimeFormat);
    EXPECT_EQ(TeeProcs::DaysInMonth(2000, 2), 29);
    EXPECT_EQ(TeeProcs::DaysInMonth(1900, 2), 28);
}

TEST(TeeRoutines, DatesRoundDownToTheirStepAndLoseTheTimeOfDay) {
    TDateTime March20 = EncodeDate(2000, 3, 20) + 0.75;
    struct TCase {
        TDateTimeStep Step;
        TDateTime Expected;
    };
    for (TCase C : {TCase{dtHalfMonth, EncodeDate(2000, 3, 15)}, TCase{dtOneMonth, EncodeDate(2000, 3, 1)},
                    TCase{dtSixMonths, EncodeDate(2000, 3, 1)}, TCase{dtOneYear, EncodeDate(2000, 1, 1)},
                    TCase{dtOneDay, EncodeDate(2000, 3, 20)}})
        EXPECT_EQ(TeeRoundDate(March20, C.Step), C.Expected) << int(C.Step);
    EXPECT_EQ(TeeRoundDate(EncodeDate(2000, 3, 14), dtHalfMonth), EncodeDate(2000, 3, 1));
    TDateTime Early = EncodeDate(1899, 5, 20) + 0.5;
    EXPECT_EQ(TeeRoundDate(Early, dtOneYear), Early) << "dates up to 1900 stay as they are";
}

TEST(TeeRoutines, DateIncrementsMoveByMonthsHalfMonthsAndYears) {
    struct TCase {
        TDateTime From;
        TDateTimeStep Step;
        bool Up;
        TDateTime To;
    };
    const TCase Cases[] = {
        {EncodeDate(2001, 1, 31), dtOneMonth, true, EncodeDate(2001, 2, 1)},  // the day goes to 1 first
        {EncodeDate(2001, 11, 10), dtThreeMonths, true, EncodeDate(2002, 2, 1)},
        {EncodeDate(2001, 2, 10), dtSixMonths, false, EncodeDate(2000, 8, 1)},
        {EncodeDate(2001, 6, 10), dtSixMonths, false, EncodeDate(2000, 12, 1)},  // six back from June
        {EncodeDate(2001, 5, 10), dtFourMonths, false, EncodeDate(2001, 1, 1)},
        {EncodeDate(2001, 1, 20), dtHalfMonth, false, EncodeDate(2001, 1, 15)},
        {EncodeDate(2001, 1, 10), dtHalfMonth, false, EncodeDate(2001, 1, 1)},
        {EncodeDate(2001, 1, 1), dtHalfMonth, false, EncodeDate(2000, 12, 15)},
        {EncodeDate(2001, 1, 15), dtHalfMonth, false, EncodeDate(2001, 1, 1)},
        // Upwards: the 15th from the 1st to the 14th, the next month's 1st after.
        {EncodeDate(2001, 1, 1), dtHalfMonth, true, EncodeDate(2001, 1, 15)},
        {EncodeDate(2001, 1, 14), dtHalfMonth, true, EncodeDate(2001, 1, 15)},
        {EncodeDate(2001, 1, 15), dtHalfMonth, true, EncodeDate(2001, 2, 1)},
        {EncodeDate(2001, 12, 31), dtHalfMonth, true, EncodeDate(2002, 1, 1)},
        {EncodeDate(2001, 3, 7) + 0.5, dtOneYear, true, EncodeDate(2002, 3, 7)},
        {EncodeDate(2000, 2, 29), dtOneYear, true, EncodeDate(2001, 2, 28)},  // not a failed date
        {EncodeDate(2000, 2, 29), dtOneYear, false, EncodeDate(1999, 2, 28)},
    };
    for (const TCase& C : Cases) {
        double Value = C.From;
        TeeDateTimeIncrement(true, C.Up, Value, 0, C.Step);
        EXPECT_EQ(Value, C.To) << DateToStr(C.From) << " step " << int(C.Step) << (C.Up ? " up" : " down");
    }
    double Plain = 10;
    TeeDateTimeIncrement(false, true, Plain, 2.5, dtOneMonth);
    EXPECT_EQ(Plain, 12.5) << "not a date: plain arithmetic";
    TeeDateTimeIncrement(true, false, Plain, 0.5, dtOneDay);
    EXPECT_EQ(Plain, 12.0);
}

TEST(TeeRoutines, HitTestsFindPointsOnLinesAndInsideFigures) {
    EXPECT_TRUE(PointInLine(TPoint(5, 5), 0, 0, 10, 10));
    EXPECT_FALSE(PointInLine(TPoint(5, 7), 0, 0, 10, 10));
    EXPECT_FALSE(PointInLine(TPoint(12, 12), 0, 0, 10, 10)) << "beyond the end";
    EXPECT_TRUE(PointInLineTolerance(TPoint(12, 12), 0, 0, 10, 10, 3));
    EXPECT_TRUE(PointInLine(TPoint(4, 0), 0, 0, 10, 0));
    EXPECT_FALSE(PointInLine(TPoint(-1, 0), 0, 0, 10, 0));

    const TPoint Square[4] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    EXPECT_TRUE(PointInPolygon(TPoint(5, 5), Square));
    EXPECT_TRUE(PointInPolygon(TPoint(0, 0), Square)) << "the top-left edges are inside";
    EXPECT_FALSE(PointInPolygon(TPoint(10, 5), Square));
    EXPECT_FALSE(PointInPolygon(TPoint(5, 5), std::span<const TPoint>()));
    EXPECT_TRUE(PointInTriangle(TPoint(5, 8), 0, 10, 10, 0));
    EXPECT_FALSE(PointInTriangle(TPoint(1, 1), 0, 10, 10, 0));
    EXPECT_TRUE(PointInHorizTriangle(TPoint(8, 5), 0, 10, 0, 10));
    EXPECT_FALSE(PointInHorizTriangle(TPoint(9, 1), 0, 10, 0, 10));
    EXPECT_TRUE(PointInEllipse(TPoint(0, 10), TRect(0, 0, 40, 20)))
        << "on the left edge at the centre's height";
    EXPECT_FALSE(PointInEllipse(TPoint(1, 1), TRect(0, 0, 40, 20)));
    EXPECT_FALSE(PointInEllipse(TPoint(0, 0), TRect(0, 0, 1, 40))) << "no width";
}

TEST(TeeRoutines, TheSortThroughCallbacksSortsLikeTheReference) {
    std::mt19937 Random(7);
    for (int Size : {0, 1, 2, 3, 5, 8, 17, 100, 1000, 5000}) {
        for (int Range : {3, 1000000}) {
            std::vector<int> Items(static_cast<size_t>(Size));
            for (int& V : Items) V = static_cast<int>(Random() % static_cast<unsigned>(Range));
            std::vector<int> Reference = Items;
            std::sort(Reference.begin(), Reference.end());
            int Swaps = 0;
            if (Size > 0)
                TeeSort(
                    0, Size - 1,
                    [&](int A, int B) {
                        return Items.at(size_t(A)) < Items.at(size_t(B))   ? -1
                               : Items.at(size_t(A)) > Items.at(size_t(B)) ? 1
                                                                           : 0;
                    },
                    [&](int A, int B) {
                        std::swap(Items.at(size_t(A)), Items.at(size_t(B)));
                        ++Swaps;
                    });
            EXPECT_EQ(Items, Reference) << Size << " items of " << Range << " values";
        }
    }
    std::vector<int> Sorted(50);
    for (int I = 0; I < 50; ++I) Sorted[size_t(I)] = I;
    std::vector<int> Backwards(Sorted.rbegin(), Sorted.rend());
    TeeSort(
        0, 49, [&](int A, int B) { return Backwards[size_t(A)] - Backwards[size_t(B)]; },
        [&](int A, int B) { std::swap(Backwards[size_t(A)], Backwards[size_t(B)]); });
    EXPECT_EQ(Backwards, Sorted);
}

TEST_F(GradientForms, UniqueNamesCountOnFromTheStartNameAndControlsAreEnabledAsAList) {
    TForm* F = TForm::CreateNew(Application);
    for (const char* Name : {"Shape1", "Shape2", "Shape4"}) {
        auto* C = NewComponent<TComponent>(F);
        C->SetName(Name);
    }
    EXPECT_EQ(TeeGetUniqueName(F, "Shape"), "Shape3");
    EXPECT_EQ(TeeGetUniqueName(F, "Draw3D"), "Draw3D1");
    EXPECT_EQ(TeeGetUniqueName(nullptr, "Shape"), "");
    // A list of controls, with a gap in it, switched off and on together.
    auto* A = NewComponent<TPanel>(F);
    auto* B = NewComponent<TPanel>(F);
    TControl* Controls[3] = {A, nullptr, B};
    EnableControls(false, Controls);
    EXPECT_FALSE(A->Enabled() || B->Enabled());
    EnableControls(true, Controls);
    EXPECT_TRUE(A->Enabled() && B->Enabled());
    F->Free();
}

TEST(TeeRoutines, FieldListsAreCountedAndTakenApartBySeparator) {
    EXPECT_EQ(TeeNumFields("a;b;c"), 3);
    EXPECT_EQ(TeeNumFields(""), 0);
    EXPECT_EQ(TeeNumFields("a;;"), 3);
    struct TCase {
        const char* Text;
        int Index;
        const char* Field;
    };
    for (TCase C : {TCase{"a;b;c", 2, "b"}, TCase{"a;b;c", 1, "a"}, TCase{"a;b;c", 3, "c"},
                    TCase{"a;b;c", 7, "c"}, TCase{"a;b;c", 0, "c"}, TCase{"a;b;c", -2, "c"}, TCase{"", 1, ""},
                    TCase{"abc", 1, "abc"}, TCase{"a;;c", 2, ""}})
        EXPECT_EQ(TeeExtractField(C.Text, C.Index), C.Field) << C.Text << " " << C.Index;
    AnsiString Saved = TeeFieldsSeparator;
    TeeFieldsSeparator = "||";
    EXPECT_EQ(TeeExtractField("uno||dos||tres", 2), "dos");
    EXPECT_EQ(TeeNumFields("uno||dos||tres"), 3);
    TeeFieldsSeparator = "";
    EXPECT_EQ(TeeExtractField("a;b", 2), "a;b") << "no separator: one field";
    EXPECT_EQ(TeeNumFields("a;b"), 1);
    TeeFieldsSeparator = Saved;
}

TEST(TeeRoutines, FormatsTradeTheirSeparatorsWithTheRegionalOnes) {
    // Spanish settings: thousands with a point, decimals with a comma.
    EXPECT_EQ(PascalToLocalFormat("#,##0.00"), "#.##0,00");
    EXPECT_EQ(LocalToPascalFormat("#.##0,00"), "#,##0.00");
}

TEST(TeeRoutines, CursorNamesIncludeTheHandAndColoursComeFromThePalette) {
    int Cursor = 0;
    EXPECT_TRUE(TeeIdentToCursor("crTeeHand", Cursor));
    EXPECT_EQ(Cursor, 2020);
    EXPECT_TRUE(TeeIdentToCursor("crArrow", Cursor));
    EXPECT_EQ(Cursor, crArrow);
    EXPECT_FALSE(TeeIdentToCursor("crteehand", Cursor)) << "the hand's name is exact";
    AnsiString Name;
    EXPECT_TRUE(TeeCursorToIdent(2020, Name));
    EXPECT_EQ(Name, "crTeeHand");
    EXPECT_TRUE(TeeCursorToIdent(crHourGlass, Name));
    EXPECT_EQ(Name, "crHourGlass");
    EXPECT_FALSE(TeeCursorToIdent(1999, Name));
    EXPECT_EQ(GetDefaultColor(0), clRed);
    EXPECT_EQ(GetDefaultColor(16), 12639424);
    EXPECT_EQ(GetDefaultColor(23), clBlue) << "the palette repeats after 20";
    EXPECT_EQ(TeeStr(-42), "-42");
    TBitmap B;
    EXPECT_FALSE(TryFindResource("NO_SUCH_PICTURE", &B));
    EXPECT_FALSE(TryFindResource(std::string(300, 'A'), &B));
}

}  // namespace
