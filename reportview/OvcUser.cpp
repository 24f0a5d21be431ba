#include "reportview/OvcUser.h"

TOvcUserData* OvcUserData = nullptr;

namespace {
bool UserIndex(char Ch, size_t& I) {
    if (Ch < '1' || Ch > '8') return false;
    I = size_t(Ch - '1');
    return true;
}

bool SubstIndex(char Code, size_t& I) {
    auto c = static_cast<unsigned char>(Code);
    if (c < 241 || c > 248) return false;
    I = c - 241u;
    return true;
}
}  // namespace

TOvcUserData::TOvcUserData() {
    TCharSet all;
    all.IncludeRange('\x01', '\xFF');
    FUserCharSets.fill(all);
    for (size_t i = 0; i < FSubstChars.size(); ++i) FSubstChars[i] = static_cast<char>(241 + i);
}

void TOvcUserData::GetUserCharSet(char Ch, TCharSet& Set) const {
    size_t i;
    if (UserIndex(Ch, i)) Set = FUserCharSets[i];
}

void TOvcUserData::SetUserCharSet(char Ch, const TCharSet& Set) {
    size_t i;
    if (!UserIndex(Ch, i)) return;
    FUserCharSets[i] = Set;
    FUserCharSets[i].Exclude('\0');
}

TCaseChange TOvcUserData::GetForceCase(char Ch) const {
    size_t i;
    return UserIndex(Ch, i) ? FForceCase[i] : mcNoChange;
}

void TOvcUserData::SetForceCase(char Ch, TCaseChange Case) {
    size_t i;
    if (UserIndex(Ch, i)) FForceCase[i] = Case;
}

char TOvcUserData::GetSubstChar(char Code) const {
    size_t i;
    return SubstIndex(Code, i) ? FSubstChars[i] : '\0';
}

void TOvcUserData::SetSubstChar(char Code, char Ch) {
    size_t i;
    if (SubstIndex(Code, i)) FSubstChars[i] = Ch;
}
