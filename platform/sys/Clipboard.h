#pragma once
// Movable global memory and the clipboard, in the Win32 shape the libraries
// are written against: GlobalAlloc a block, lock it, fill it, hand it to
// SetClipboardData, which takes it over.
//
// The clipboard itself is a store behind an interface: by default one that
// lives in this process; the X11 backend installs the desktop's. Formats are
// the standard numbers (CF_TEXT ...) or numbers registered by name
// ("HTML Format"), 0xC000 and up, the same number for the same name.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/AnsiString.h"

// --- global memory ---
struct TGlobalBlock;
using HGLOBAL = TGlobalBlock*;
constexpr unsigned GMEM_FIXED = 0x0000;
constexpr unsigned GMEM_MOVEABLE = 0x0002;
constexpr unsigned GMEM_ZEROINIT = 0x0040;
constexpr unsigned GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;

// nullptr when the memory cannot be had (or a test said so).
HGLOBAL GlobalAlloc(unsigned Flags, size_t Bytes);
HGLOBAL GlobalReAlloc(HGLOBAL Mem, size_t Bytes, unsigned Flags);
void* GlobalLock(HGLOBAL Mem);
bool GlobalUnlock(HGLOBAL Mem);
size_t GlobalSize(HGLOBAL Mem);
// nullptr on success, as Win32 answers.
HGLOBAL GlobalFree(HGLOBAL Mem);
// Tests: allocations above Bytes fail from now on (SIZE_MAX lifts the limit).
void SetGlobalAllocLimit(size_t Bytes);

// --- formats ---
constexpr unsigned CF_TEXT = 1;
constexpr unsigned CF_BITMAP = 2;
constexpr unsigned CF_METAFILEPICT = 3;
constexpr unsigned CF_SYLK = 4;
constexpr unsigned CF_OEMTEXT = 7;
constexpr unsigned CF_UNICODETEXT = 13;
constexpr unsigned CF_ENHMETAFILE = 14;

unsigned RegisterClipboardFormat(std::string_view Name);
// The registered name of a format; empty for a standard or unknown number.
AnsiString GetClipboardFormatName(unsigned Format);

// --- the store ---
class TClipboardStore {
public:
    virtual ~TClipboardStore() = default;
    virtual void Clear() = 0;
    virtual void Put(unsigned Format, std::vector<uint8_t> Data) = 0;
    virtual bool Get(unsigned Format, std::vector<uint8_t>& Data) const = 0;
    virtual std::vector<unsigned> Formats() const = 0;  // in the order they were put
};

// The store in force; the in-process one unless another was installed.
TClipboardStore& ClipboardStore();
// Installs Store (not owned; nullptr goes back to the in-process store) and
// answers the one it replaces.
TClipboardStore* SetClipboardStore(TClipboardStore* Store);

// --- the Win32 calls ---
// One opener at a time: OpenClipboard fails while another has it open.
bool OpenClipboard(uintptr_t Owner);
bool CloseClipboard();
bool EmptyClipboard();
// Takes over Mem (the caller must not free it) and answers it; nullptr, with
// Mem left to the caller, when the clipboard is not open.
HGLOBAL SetClipboardData(unsigned Format, HGLOBAL Mem);
// A block that belongs to the clipboard (valid until the next change), or nullptr.
HGLOBAL GetClipboardData(unsigned Format);
bool IsClipboardFormatAvailable(unsigned Format);
int CountClipboardFormats();

// --- conveniences for text (Windows-1252, zero-terminated in the store) ---
// Replaces the contents with Text as CF_TEXT; false when it could not be done.
bool ClipboardSetText(std::string_view Text);
// The CF_TEXT contents up to the first zero; empty when there is none.
AnsiString ClipboardGetText();
bool ClipboardHasText();
