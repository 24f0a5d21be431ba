#pragma once
// The library's shared data: its string table and the lookup every message
// goes through, the characters that count as letters, the private window
// messages, the command numbers and records, and the entry-field options.
#include <cstdint>

#include "platform/rtl/Strings.h"
#include "platform/win/Messages.h"
#include "reportview/OvcMisc.h"

class TOvcStringResource;

// --- the string table, open while the library is started (reportview/OvcInit.h) ---
TOvcStringResource* RvLibStr();
// ETpsStringResourceError when the table is missing or damaged.
void OpenRvLibStr();
void CloseRvLibStr();
// The text of the library's string Ident; "Unknown" when the table lacks it.
AnsiString GetRvLibStr(uint16_t Ident);

// Blank, comma, minus, full stop, A-Z, a-z and the letters of Windows-1252
// above 127: what the masks of the entry fields take as letters.
const TCharSet& AlphaCharSet();

// --- private window messages. Each goes to a window of the library's own
// (a control of the library, the controller's hidden window), and the
// platform's numbers stay clear of them (platform/win/Messages.h) ---
enum : UINT {
    OM_REPORTERROR = 0x7F00,          // to an entry field: WParam = error code
    OM_SETFOCUS = 0x7F01,             // to the controller: LParam = the control to show and focus
    OM_SHOWGROUP = 0x7F03,            // to a report view: show the group of the focused line
    OM_PREEDIT = 0x7F06,              // to the controller: LParam = field, WParam = window losing the focus
    OM_POSTEDIT = 0x7F07,             // to the controller: LParam = field, WParam = window gaining the focus
    OM_AFTERENTER = 0x7F08,           // to a control, after it gained the focus
    OM_AFTEREXIT = 0x7F09,            // to a control, after it lost the focus
    OM_DELAYNOTIFY = 0x7F0A,          // to the controller: LParam = sender, low word of WParam = code
    OM_POSITIONLABEL = 0x7F0B,        // to a control whose bounds changed
    OM_RECORDLABELPOSITION = 0x7F0C,  // to a control, from its label
    OM_ASSIGNLABEL = 0x7F0D,          // to a control, from its label: LParam = the label
    OM_PROPCHANGE = 0x7F10,           // to a collection's editor (there is no designer here)
};

// --- commands ---
// Key records of the command tables: the first key and its shift flags
// (2 Shift, 4 Ctrl, 8 Alt), the second key of a two-key sequence (0 for a
// one-key command) and its flags (ss_Wordstar: none, or Ctrl alone), the command.
enum : uint8_t { ss_None = 0, ss_Wordstar = 0x80 };
struct TOvcCmdRec {
    uint8_t Key1 = 0;
    uint8_t Shift1 = 0;
    uint8_t Key2 = 0;
    uint8_t Shift2 = 0;
    uint16_t Cmd = 0;
    // The four key bytes as the little-endian number the command lists stream.
    int32_t Keys() const {
        return int32_t(uint32_t(Key1) | uint32_t(Shift1) << 8 | uint32_t(Key2) << 16 |
                       uint32_t(Shift2) << 24);
    }
    bool SameKeys(const TOvcCmdRec& Other) const { return Keys() == Other.Keys(); }
    bool operator==(const TOvcCmdRec&) const = default;
};
TOvcCmdRec CmdRecFromKeys(int32_t Keys, uint16_t Cmd);

enum : uint16_t {
    ccNone = 0,
    ccBack,
    ccBotOfPage,
    ccBotRightCell,
    ccCompleteDate,
    ccCompleteTime,
    ccCopy,
    ccCtrlChar,
    ccCut,
    ccDec,
    ccDel,
    ccDelBol,
    ccDelEol,
    ccDelLine,
    ccDelWord,
    ccDown,
    ccEnd,
    ccExtendDown,
    ccExtendEnd,
    ccExtendHome,
    ccExtendLeft,
    ccExtendPgDn,
    ccExtendPgUp,
    ccExtendRight,
    ccExtendUp,
    ccExtBotOfPage,
    ccExtFirstPage,
    ccExtLastPage,
    ccExtTopOfPage,
    ccExtWordLeft,
    ccExtWordRight,
    ccFirstPage,
    ccGotoMarker0,
    ccGotoMarker1,
    ccGotoMarker2,
    ccGotoMarker3,
    ccGotoMarker4,
    ccGotoMarker5,
    ccGotoMarker6,
    ccGotoMarker7,
    ccGotoMarker8,
    ccGotoMarker9,
    ccHome,
    ccInc,
    ccIns,
    ccLastPage,
    ccLeft,
    ccNewLine,
    ccNextPage,
    ccPageLeft,
    ccPageRight,
    ccPaste,
    ccPrevPage,
    ccRedo,
    ccRestore,
    ccRight,
    ccScrollDown,
    ccScrollUp,
    ccSetMarker0,
    ccSetMarker1,
    ccSetMarker2,
    ccSetMarker3,
    ccSetMarker4,
    ccSetMarker5,
    ccSetMarker6,
    ccSetMarker7,
    ccSetMarker8,
    ccSetMarker9,
    ccTab,
    ccTableEdit,
    ccTopLeftCell,
    ccTopOfPage,
    ccUndo,
    ccUp,
    ccWordLeft,
    ccWordRight,
    // Answers of the translation that never stand in a table.
    ccNotACommand = 252,      // the key is ordinary input
    ccSequenceFailed = 254,   // the second key of a sequence matched nothing
    ccSequencePending = 255,  // the first key of a sequence was taken; the second is awaited
    ccUserFirst = 256,        // user commands, which the controls hand to their user-command event
};
// The names of the commands stand in the string table from this id on.
constexpr uint16_t CommandNameBase = 33768;

// --- the options the controller gives its form's entry fields ---
enum TOvcBaseEFOption : uint8_t {
    efoAutoAdvanceChar,
    efoAutoAdvanceLeftRight,
    efoAutoAdvanceUpDown,
    efoAutoSelect,
    efoBeepOnError,
    efoInsertPushes
};
ZELMOR_DECLARE_ENUM(TOvcBaseEFOption);
using TOvcBaseEFOptions = TSet<TOvcBaseEFOption>;

// The library's setters store a value only when it differs, and then tell.
template <class T>
bool StoreChange(T& Field, const T& Value, const TNotifyEvent& Changed, TObject* Sender) {
    if (Field == Value) return false;
    Field = Value;
    if (Changed) Changed(Sender);
    return true;
}

// The version every class of the library reports in its About property.
inline constexpr const char* OvcVersion = "v3.08";
