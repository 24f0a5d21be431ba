// The pixel effects on tiny pictures whose every result is worked out here.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "buttons/fcBitmap.h"
#include "platform/rtl/Numbers.h"

namespace {

// A picture made of a pixel formula.
struct TPic : TfcBitmap {
    TPic(int W, int H, const std::function<TfcPixel(int, int)>& Of) {
        SetSize(W, H);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) SetPixel(x, y, Of(x, y));
    }
};

// Three pixels in a row: dark, mid grey-ish, light.
struct TThree : TPic {
    TThree() : TPic(3, 1, [](int x, int) { return P[x]; }) {}
    static constexpr TfcPixel P[3] = {{20, 10, 0}, {200, 150, 100}, {1, 250, 255}};
};

std::vector<TfcPixel> Pixels(const TfcBitmap& B) {
    std::vector<TfcPixel> Out;
    for (int y = 0; y < B.Height(); ++y)
        for (int x = 0; x < B.Width(); ++x) Out.push_back(B.Pixel(x, y));
    return Out;
}

// Every channel of Three through a per-channel formula.
std::vector<TfcPixel> Mapped(const std::function<int(int)>& F) {
    std::vector<TfcPixel> Out;
    for (TfcPixel P : Pixels(TThree())) Out.push_back(fcMakePixel(F(P.Red), F(P.Green), F(P.Blue)));
    return Out;
}

TEST(fcBitmapEffects, ToneTablesFollowTheirFormulas) {
    struct {
        const char* Name;
        std::function<void(TfcBitmap&)> Apply;
        std::function<int(int)> Channel;
    } Cases[] = {
        {"Lightness 0", [](TfcBitmap& B) { B.Lightness(0); }, [](int c) { return c; }},
        {"Lightness 255", [](TfcBitmap& B) { B.Lightness(255); },
         [](int c) { return c + (((255 - c) * 255) >> 8); }},
        {"Lightness -100", [](TfcBitmap& B) { B.Lightness(-100); },
         [](int c) { return c - ((c * 100) >> 8); }},
        {"Contrast 0", [](TfcBitmap& B) { B.Contrast(0); }, [](int c) { return c; }},
        {"Contrast 200", [](TfcBitmap& B) { B.Contrast(200); },
         [](int c) {
             return c <= 126 ? c - (std::abs(128 - c) * 200) / 256 : c + (std::abs(128 - c) * 200) / 256;
         }},
        {"Contrast -90", [](TfcBitmap& B) { B.Contrast(-90); },
         [](int c) {
             return c <= 126 ? c - (std::abs(128 - c) * -90) / 256 : c + (std::abs(128 - c) * -90) / 256;
         }},
        {"Invert", [](TfcBitmap& B) { B.Invert(); }, [](int c) { return 255 - c; }},
    };
    for (const auto& C : Cases) {
        TThree B;
        C.Apply(B);
        std::vector<TfcPixel> Want = Mapped(C.Channel);
        EXPECT_EQ(Pixels(B), Want) << C.Name;
    }
    TThree L;
    L.Lightness(255);
    EXPECT_EQ(L.Pixel(0, 0).Red, 254) << "0 becomes 254";
    EXPECT_EQ(L.Pixel(2, 0).Red, 255);
}

TEST(fcBitmapEffects, ColourOperationsWorkPerPixel) {
    TThree G;
    G.GrayScale();
    EXPECT_EQ(G.Pixel(1, 0), fcMakePixel(33 + 50 + 66, 33 + 50 + 66, 33 + 50 + 66));
    TPic W(2, 1, [](int x, int) { return x ? fcMakePixel(1, 1, 1) : fcMakePixel(255, 255, 255); });
    W.GrayScale();
    EXPECT_EQ(W.Pixel(0, 0), fcMakePixel(255, 255, 255));
    EXPECT_EQ(W.Pixel(1, 0), fcMakePixel(0, 0, 0));

    TThree S0, S256;
    S0.Saturation(0);
    S256.Saturation(256);
    EXPECT_EQ(Pixels(S256), Pixels(TThree()));
    for (TfcPixel P : Pixels(S0)) EXPECT_TRUE(P.Red == P.Green && P.Green == P.Blue);
    TThree S384;
    S384.Saturation(384);
    // g + u[c] - u[g], u[i] = 384 i >> 8.
    int g = 100 / 3 + 150 / 3 + 200 / 3;
    EXPECT_EQ(S384.Pixel(1, 0),
              fcMakePixel(g + (384 * 100 >> 8) - (384 * g >> 8), g + (384 * 150 >> 8) - (384 * g >> 8),
                          g + (384 * 200 >> 8) - (384 * g >> 8)));

    TThree A;
    A.AddRGB(10, -20, 300);
    EXPECT_EQ(A.Pixel(1, 0), fcMakePixel(110, 130, 255));
    EXPECT_EQ(A.Pixel(0, 0), fcMakePixel(10, 0, 255));

    TThree M;
    M.MakeMask(fcMakePixel(100, 150, 200));
    EXPECT_EQ(Pixels(M), (std::vector<TfcPixel>{fcMakePixel(255, 255, 255), fcMakePixel(0, 0, 0),
                                                fcMakePixel(255, 255, 255)}));
    TThree R;
    R.ReplaceColor(fcMakePixel(0, 10, 20), fcMakePixel(7, 8, 9));
    EXPECT_EQ(R.Pixel(0, 0), fcMakePixel(7, 8, 9));
    EXPECT_EQ(R.Pixel(1, 0), TThree().Pixel(1, 0));
}

TEST(fcBitmapEffects, ColorizeAddsTheDistanceFrom192AndSparesTheTransparentColour) {
    TThree B;
    B.Colorize(240, 201, 166);
    EXPECT_EQ(Pixels(B), (std::vector<TfcPixel>{fcMakePixel(48, 19, 0), fcMakePixel(148, 159, 174),
                                                fcMakePixel(255, 255, 0)}));
    TThree K;
    K.SetTransparentColor(RGB(100, 150, 200));
    K.Colorize(240, 201, 166);
    EXPECT_EQ(K.Pixel(1, 0), fcMakePixel(100, 150, 200));
    EXPECT_EQ(K.Pixel(0, 0), fcMakePixel(48, 19, 0));
    TThree N;
    N.Colorize(192, 192, 192);
    EXPECT_EQ(Pixels(N), Pixels(TThree()));
}

TEST(fcBitmapEffects, FlipsTurnRowsAndColumns) {
    auto Of = [](int x, int y) { return fcMakePixel(x, y, 7); };
    TPic H(3, 2, Of), V(3, 3, Of);
    H.Flip(true);
    V.Flip(false);
    EXPECT_EQ(H.Pixel(0, 1), Of(2, 1));
    EXPECT_EQ(H.Pixel(1, 0), Of(1, 0));
    EXPECT_EQ(V.Pixel(2, 0), Of(2, 2));
    EXPECT_EQ(V.Pixel(0, 1), Of(0, 1));
    H.Flip(true);
    V.Flip(false);
    EXPECT_EQ(Pixels(H), Pixels(TPic(3, 2, Of)));
    EXPECT_EQ(Pixels(V), Pixels(TPic(3, 3, Of)));
}

TEST(fcBitmapEffects, BlurAndSharpenReadTheirNeighboursInPlace) {
    // One bright pixel in the middle of a 3 by 3 black square.
    auto Dot = [](int x, int y) {
        return x == 1 && y == 1 ? fcMakePixel(200, 200, 200) : fcMakePixel(0, 0, 0);
    };
    TPic B(3, 3, Dot);
    B.BlurOnce(1);
    // (0, 0) averages (1, 1), (1, 0), (0, 1), (0, 0): 200 / 4.
    EXPECT_EQ(B.Pixel(0, 0).Red, 50);
    // (1, 0) averages (2, 1), (2, 0), (0, 1), (0, 0): the last already blurred.
    EXPECT_EQ(B.Pixel(1, 0).Red, (0 + 0 + 0 + 50) >> 2);
    TPic S(3, 3, Dot);
    S.Sharpen(1);
    // (0, 0): 256 * 0 - 16 * 200 = -3200, raised by 127 and shifted: -24, clamped to 0.
    EXPECT_EQ(S.Pixel(0, 0).Red, 0);
    // (1, 1): its neighbours at that point are 0 but (0, 0) .. already written as 0.
    EXPECT_EQ(S.Pixel(1, 1).Red, 255);
    TPic Flat(3, 3, [](int, int) { return fcMakePixel(90, 90, 90); });
    Flat.Sharpen(1);
    Flat.GaussianBlur(2);
    EXPECT_EQ(Flat.Pixel(1, 1), fcMakePixel(90, 90, 90)) << "an even picture stays as it is";
}

TEST(fcBitmapEffects, EmbossPairsEachPixelWithItsLowerRightNeighbour) {
    auto Of = [](int x, int y) { return fcMakePixel(10 * x + 40 * y, 0, 255); };
    TPic B(3, 4, Of);
    B.Emboss();
    auto E = [](int P, int Q) { return (P + (255 - Q)) >> 1; };
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 3; ++x) {
            int Qx = y < 2 ? std::min(x + 1, 2) : 1, Qy = y < 2 ? y + 1 : 3;
            EXPECT_EQ(B.Pixel(x, y).Red, E(Of(x, y).Red, Of(Qx, Qy).Red)) << x << "," << y;
            EXPECT_EQ(B.Pixel(x, y).Blue, E(255, 255));
        }
}

TEST(fcBitmapEffects, RotationTurnsAboutTheMiddleAndFillsWithTheTopLeftColour) {
    // A 4 by 4 picture turned by 90 degrees about (2, 2).
    auto Of = [](int x, int y) { return fcMakePixel(x * 40, y * 40, 9); };
    TPic B(4, 4, Of);
    B.Rotate(TPoint(-1, -1), 90);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            // theta = -90 degrees: source = (2 + (nearest(u cos - v sin) - 1) div 2, ...)
            int U = 2 * x - 4 + 1, V = 2 * y - 4 + 1;
            int SX = 2 + (V - 1) / 2, SY = 2 + (-U - 1) / 2;
            TfcPixel Want = SX >= 0 && SX < 4 && SY >= 0 && SY < 4 ? Of(SX, SY) : Of(0, 0);
            EXPECT_EQ(B.Pixel(x, y), Want) << x << "," << y;
        }
}

TEST(fcBitmapEffects, WaveShiftsRowsAndColumnsAndWrapsWhenAsked) {
    auto Of = [](int x, int y) { return fcMakePixel(x * 30, y * 30, 5); };
    TPic Same(4, 3, Of);
    Same.Wave(false, 3, 0, 2);
    EXPECT_EQ(Pixels(Same), Pixels(TPic(4, 3, Of))) << "a zero divisor changes nothing";

    // Ratio 2, divisors 1: s[i] = nearest(2 sin i), f(d) = nearest(2 sin d).
    auto S = [](int i) { return int(std::nearbyint(2 * std::sin(double(i)))); };
    TPic B(4, 3, Of);
    B.Wave(false, 2, 1, 1);
    for (int j = 0; j < 3; ++j)
        for (int d = 0; d < 4; ++d) {
            int G = d + S(j), Row = S(d) + j;
            TfcPixel Want = G >= 0 && G < 4 && Row >= 0 && Row < 3 ? Of(G, Row) : fcMakePixel(255, 255, 255);
            EXPECT_EQ(B.Pixel(d, j), Want) << d << "," << j;
        }
    TPic W(4, 3, Of);
    W.Wave(true, 2, 1, 1);
    for (int j = 0; j < 3; ++j)
        for (int d = 0; d < 4; ++d) {
            int G = d + S(j), F = S(d);
            G = G < 0 ? 4 - ((-G) % 4) - 1 : G % 4;
            F = F < 0 ? 3 - ((-F) % 3) - 1 : F >= 3 ? F % 2 : F;
            EXPECT_EQ(W.Pixel(d, j), Of(G, (F + j) % 3)) << d << "," << j;
        }
}

TEST(fcBitmapEffects, AWrappedWaveOnOneRowStartsAtThatRow) {
    auto Of = [](int x, int) { return fcMakePixel(x * 50, 1, 2); };
    TPic B(4, 1, Of);
    // Ratio 5, x divisor 1: start rows nearest(5 sin d) = 0, 4, 5, 1, all beyond a single row.
    B.Wave(true, 5, 1, 1);
    for (int d = 0; d < 4; ++d) EXPECT_EQ(B.Pixel(d, 0), Of(d, 0)) << d;
}

TEST(fcBitmapEffects, SpongeMovesPixelsWithinItsReach) {
    auto Of = [](int x, int y) { return fcMakePixel(x * 20, y * 20, 3); };
    SetRandSeed(1234);
    TPic B(6, 6, Of);
    B.Sponge(2);
    SetRandSeed(1234);
    std::vector<TfcPixel> Want;
    {
        TPic Copy(6, 6, Of);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 6; ++x) {
                int C = Random(2), DX = Random(2 * C), DY = Random(2 * C);
                Copy.SetPixel(x, y, Copy.Pixel(std::clamp(x + C - DX, 0, 5), std::clamp(y + C - DY, 0, 5)));
            }
        Want = Pixels(Copy);
    }
    EXPECT_EQ(Pixels(B), Want);
}

TEST(fcBitmapEffects, AlphaBlendMovesEachChannelTowardsTheOther) {
    TThree A;
    TPic O(3, 1, [](int, int) { return fcMakePixel(200, 0, 100); });
    TThree Zero;
    Zero.AlphaBlend(O, 0, false);
    EXPECT_EQ(Pixels(Zero), Pixels(TThree()));
    A.AlphaBlend(O, 255, false);
    for (TfcPixel P : Pixels(A)) {
        EXPECT_LE(std::abs(P.Red - 200), 1);
        EXPECT_LE(std::abs(P.Green - 0), 1);
        EXPECT_LE(std::abs(P.Blue - 100), 1);
    }
    TThree Half;
    Half.AlphaBlend(O, 128, false);
    EXPECT_EQ(Half.Pixel(1, 0),
              fcMakePixel(100 + ((128 * 100) >> 8), 150 + ((128 * -150) >> 8), 200 + ((128 * -100) >> 8)));
    TPic Small(1, 1, [](int, int) { return fcMakePixel(0, 0, 0); });
    TThree Other;
    EXPECT_THROW(Other.AlphaBlend(Small, 100, false), EInvalidOperation);
    Other.AlphaBlend(Small, 256, true);
    EXPECT_EQ(Other.Pixel(2, 0), fcMakePixel(0, 0, 0)) << "scaled over the whole picture";
    // A transparent blend picture leaves its top-left colour's pixels alone.
    TPic Keyed(3, 1, [](int x, int) { return x == 1 ? fcMakePixel(9, 9, 9) : fcMakePixel(0, 0, 0); });
    Keyed.SetTransparent(true);
    TThree T;
    T.AlphaBlend(Keyed, 256, false);
    EXPECT_EQ(T.Pixel(0, 0), TThree().Pixel(0, 0));
    EXPECT_EQ(T.Pixel(1, 0), fcMakePixel(9, 9, 9));
}

TEST(fcBitmapEffects, AnEmptyPictureIsLeftAlone) {
    TfcBitmap E;
    E.Lightness(50);
    E.GrayScale();
    E.BlurOnce(1);
    E.Sharpen(1);
    E.Emboss();
    E.Flip(true);
    E.Flip(false);
    E.Rotate(TPoint(-1, -1), 30);
    E.Wave(true, 3, 2, 2);
    E.Sponge(3);
    EXPECT_TRUE(E.Empty());
}

}  // namespace
