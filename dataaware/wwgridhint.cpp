#include "dataaware/wwgridhint.h"

#include "dataaware/Wwdbigrd.h"
#include "dataaware/wwstr.h"

void SplitURLLinkText(const AnsiString& Text, AnsiString& Display, AnsiString& Address) {
    int Position = 1;
    Display = NextToken(Text, "#", Position);
    Address = Position > 0 ? NextToken(Text, "#", Position) : AnsiString();
    if (Address.empty()) Address = Display;
}

void TwwCustomDBGrid::SplitURLLink(const AnsiString& Text, AnsiString& Display, AnsiString& Address) {
    SplitURLLinkText(Text, Display, Address);
}
