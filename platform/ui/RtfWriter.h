#pragma once
// The writer of rich text (RTF): a document with its fonts, colours,
// character and paragraph formats, in the control words the reader
// (RtfReader.h) takes back. Every paragraph ends with its mark ("\par"),
// which the reader does not count as the start of another.
#include "platform/rtl/AnsiString.h"

class TRichDocument;

AnsiString WriteRtf(const TRichDocument& Document);
