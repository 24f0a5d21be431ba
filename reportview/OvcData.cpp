#include "reportview/OvcData.h"

#include <memory>

#include "platform/classes/Properties.h"
#include "reportview/OvcSrMgr.h"

ZELMOR_IMPLEMENT_ENUM(TOvcBaseEFOption, "efoAutoAdvanceChar", "efoAutoAdvanceLeftRight",
                      "efoAutoAdvanceUpDown", "efoAutoSelect", "efoBeepOnError", "efoInsertPushes")

namespace {
std::unique_ptr<TOvcStringResource>& Table() {
    static std::unique_ptr<TOvcStringResource> table;
    return table;
}
}  // namespace

TOvcStringResource* RvLibStr() { return Table().get(); }

void OpenRvLibStr() { Table() = std::make_unique<TOvcStringResource>("RVLIB3_STRINGS_ENGLISH"); }

void CloseRvLibStr() { Table().reset(); }

AnsiString GetRvLibStr(uint16_t Ident) {
    AnsiString text = Table() ? Table()->GetString(Ident) : AnsiString();
    return text.empty() ? AnsiString("Unknown") : text;
}

const TCharSet& AlphaCharSet() {
    static const TCharSet set = [] {
        TCharSet s(" ,-.");
        s.IncludeRange('A', 'Z').IncludeRange('a', 'z');
        for (int c = 128; c < 256; ++c)
            if (IsCharAlpha(static_cast<char>(c))) s.Include(static_cast<char>(c));
        return s;
    }();
    return set;
}

TOvcCmdRec CmdRecFromKeys(int32_t Keys, uint16_t Cmd) {
    auto k = static_cast<uint32_t>(Keys);
    return TOvcCmdRec{uint8_t(k), uint8_t(k >> 8), uint8_t(k >> 16), uint8_t(k >> 24), Cmd};
}
