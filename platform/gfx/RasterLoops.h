#pragma once
// The blits the controls repeat on every paint (bitmaps copied, masked,
// ORed and XORed in, glyphs stamped with DSPDxax, pattern fills) run through
// loops specialised by raster code and pixel formats, a row at a time; every
// other blit takes the per-pixel path, which knows every code. Both give the
// same pixels. Solid one-pixel vertical lines and rectangles of a solid
// brush likewise fill band by band of the clip. Switching the specialised loops off sends every blit
// down the per-pixel path and every line pixel by pixel, so that the tests
// can compare the two.
void SetSpecialisedRasterLoops(bool Enabled);
bool SpecialisedRasterLoops();
