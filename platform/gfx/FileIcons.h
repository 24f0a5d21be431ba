#pragma once
// The icons of files and folders. No file-type associations are read here:
// every folder shows one folder picture and every file one file picture,
// both bitmaps of our resources ("ORFOLDERICON", "ORFILEICON", white their
// transparent colour).
#include "platform/gfx/Graphics.h"

// Draws the folder's or the file's icon stretched into R.
void DrawFileIcon(TCanvas* Canvas, const TRect& R, bool IsFolder);
