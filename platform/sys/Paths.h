#pragma once
// The program speaks Windows paths ("C:\QTEMP\CURSOSt.DBF", "datos\alum.DBF");
// this unit maps them onto the machine's folders.
//
// - "\" and "/" both separate components; "." and ".." are resolved.
// - A drive letter maps to a folder: X: to $ZELMOR_DRIVE_X when set, else
//   ${XDG_DATA_HOME:-~/.local/share}/zelmor/x, except Z:, which is the
//   machine's root "/" unless $ZELMOR_DRIVE_Z says otherwise. So every folder
//   of the machine has a Windows name, and GetCurrentDir always answers one.
// - "\name" without a drive starts at the root of the current folder's drive;
//   a relative path starts at the current folder. Network names ("\\host\x")
//   map to nothing: every operation on them fails.
// - Existing components are found without regard to case (the locale fold:
//   "TIPOS.DBF" finds "tipos.dbf", "\xD1" finds "\xF1"); when two entries
//   differ only in case, the exact spelling wins, else the first in byte
//   order. New components keep the case the program gives.
// - Names are Windows-1252 inside the program and UTF-8 on the disk.
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/AnsiString.h"

// The longest path the program handles, without the terminating zero.
constexpr int MAX_PATH_LENGTH = 259;

// Which of a folder's Entries (names as the machine spells them, UTF-8) the
// Windows-1252 Name stands for by the rule above: the locale fold, the first
// match in byte order; "" when none. The exact spelling is the caller's to try
// first. The dBase engine finds its files by the same rule.
std::string FindEntryIgnoringCase(const std::vector<std::string>& Entries, std::string_view Name);

// The machine folder (UTF-8) for a Windows path; empty for a path that maps
// to nothing. Lookup stops at the first component that does not exist.
std::string MapPath(std::string_view WindowsPath);
// The Windows name of a machine folder or file (absolute, UTF-8 in): the
// drive whose folder holds it (C: and the drives set in the environment are
// tried before Z:).
AnsiString UnmapPath(std::string_view MachinePath);
// The folder a drive letter maps to (no trailing "/").
std::string DriveFolder(char Letter);
// The per-user folder of Zelmor: $ZELMOR_USER_DIR, else
// ${XDG_DATA_HOME:-~/.local/share}/zelmor. Ini files named without a folder
// and the registry file live here; it plays the part of the Windows folder.
std::string UserFolder();
// The running program's file as a Windows path ("Z:\usr\bin\zelmor").
AnsiString ProgramFileName();

// The current folder as a Windows path, without a trailing "\" (but "C:\"
// for a drive root).
AnsiString GetCurrentDir();
bool SetCurrentDir(std::string_view Dir);
// The absolute Windows path of a file name, resolved against the current folder.
AnsiString ExpandFileName(std::string_view FileName);

// --- name routines, on the text alone ---
AnsiString ExtractFilePath(std::string_view FileName);  // up to and including the last "\" or ":"
AnsiString ExtractFileDir(std::string_view FileName);   // the same without the "\" (but "C:\")
AnsiString ExtractFileName(std::string_view FileName);
AnsiString ExtractFileExt(std::string_view FileName);  // with its dot; "" when none
AnsiString ChangeFileExt(std::string_view FileName, std::string_view Extension);
AnsiString IncludeTrailingBackslash(std::string_view S);
AnsiString ExcludeTrailingBackslash(std::string_view S);

// A folder or file name the user typed, to be joined to a folder of ours:
// not empty, no separator, no drive, not "." or "..", none of the characters
// Windows refuses in names (< > : " / \ | ? * and control characters), no
// trailing blank or dot, and the joined path not longer than 259 characters.
bool IsPlainFolderName(std::string_view Name, std::string_view ParentFolder = {});
