#pragma once
// The user's part of the picture-mask vocabulary: the characters that the
// mask characters "1" to "8" accept, the case each forces, and the
// characters that the substitution codes 241 to 248 stand for. OvcUserData
// is the one object, made when the library starts and freed when it ends.
#include <array>
#include <cstdint>

#include "platform/rtl/Object.h"
#include "reportview/OvcMisc.h"

enum TCaseChange : uint8_t { mcNoChange, mcUpperCase, mcLowerCase, mcMixedCase };

class TOvcUserData : public TObject {
public:
    TOvcUserData();

    // An index outside "1".."8" leaves Set untouched.
    void GetUserCharSet(char Ch, TCharSet& Set) const;
    // Code 0 is never accepted.
    void SetUserCharSet(char Ch, const TCharSet& Set);
    TCaseChange GetForceCase(char Ch) const;
    void SetForceCase(char Ch, TCaseChange Case);
    // Code 0 outside 241..248.
    char GetSubstChar(char Code) const;
    void SetSubstChar(char Code, char Ch);

private:
    std::array<TCharSet, 8> FUserCharSets;
    std::array<TCaseChange, 8> FForceCase{};
    std::array<char, 8> FSubstChars{};
};

// The library's user mask data; nullptr outside OvcInitialize/OvcFinalize.
extern TOvcUserData* OvcUserData;
