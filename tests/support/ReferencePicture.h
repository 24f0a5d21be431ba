#pragma once
// Looks that no formula describes are kept as PNG pictures next to their
// tests and compared pixel for pixel: our raster and the pinned fonts draw
// the same pixels on every run, and a lost tick or a shifted bevel changes
// only a few dozen of them, so any tolerance would let it pass.
// ZELMOR_UPDATE_REFERENCES=1 writes the pictures anew (look at them before
// committing).
//
// Header only: the support sources are linked into every test program, also
// those without the drawing layer.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/gfx/Surface.h"

inline std::string Rgb(uint32_t Pixel) {
    char Text[8];
    std::snprintf(Text, sizeof Text, "%06X", Pixel & 0xFFFFFFu);
    return Text;
}

// Success when both pictures have the same size and every pixel; otherwise
// how many pixels differ and where the first one is.
inline testing::AssertionResult SamePicture(const TSurface& Expected, const TSurface& Actual) {
    if (Expected.Width() != Actual.Width() || Expected.Height() != Actual.Height())
        return testing::AssertionFailure() << "the picture is " << Actual.Width() << "x" << Actual.Height()
                                           << ", not " << Expected.Width() << "x" << Expected.Height();
    int Differing = 0, FirstX = -1, FirstY = -1;
    for (int Y = 0; Y < Expected.Height(); ++Y)
        for (int X = 0; X < Expected.Width(); ++X)
            if (Expected.GetPixel(X, Y) != Actual.GetPixel(X, Y) && Differing++ == 0) {
                FirstX = X;
                FirstY = Y;
            }
    if (Differing == 0) return testing::AssertionSuccess();
    return testing::AssertionFailure() << Differing << " pixels differ, the first at (" << FirstX << ", "
                                       << FirstY << "): " << Rgb(Expected.GetPixel(FirstX, FirstY))
                                       << " expected, " << Rgb(Actual.GetPixel(FirstX, FirstY)) << " drawn";
}

// Picture against the reference picture at File (a path under the source
// tree), written first when ZELMOR_UPDATE_REFERENCES=1.
inline testing::AssertionResult MatchesReferencePicture(const TSurface& Picture, const std::string& File) {
    if (const char* U = std::getenv("ZELMOR_UPDATE_REFERENCES"); U && *U == '1') {
        std::filesystem::create_directories(std::filesystem::path(File).parent_path());
        SaveSurfaceToPng(Picture, File);
    }
    testing::AssertionResult Same = SamePicture(LoadSurfaceFromPng(File), Picture);
    if (!Same) Same << " (" << File << "; ZELMOR_UPDATE_REFERENCES=1 rewrites it when the new look is right)";
    return Same;
}
