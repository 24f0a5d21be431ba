#pragma once
// The grid's cell hints and URL-Link cells.
#include "platform/rtl/AnsiString.h"

// A link cell's text: the display part before the first "#", the address
// after it up to a further "#"; without an address the display text is it.
void SplitURLLinkText(const AnsiString& Text, AnsiString& Display, AnsiString& Address);
