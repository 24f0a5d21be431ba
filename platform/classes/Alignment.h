#pragma once
// Horizontal alignment of a text in its box: fields, labels, columns and
// edits all share it.
#include "platform/classes/Properties.h"

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
inline ZELMOR_DECLARE_ENUM(TAlignment);
inline ZELMOR_IMPLEMENT_ENUM(TAlignment, "taLeftJustify", "taRightJustify", "taCenter")
