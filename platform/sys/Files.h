#pragma once
// Files and folders under their Windows names (mapped by Paths.h). Failures
// are answered, not raised: false, -1 or an error code, as the program's
// callers expect.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "platform/rtl/AnsiString.h"

// Attribute bits. Here: faDirectory for folders; faArchive for files (as a
// freshly written Windows file has it); faReadOnly for files the owner may
// not write; faHidden for names starting with a dot. Folders never carry
// faReadOnly or faArchive, so the program's test for "exactly a directory"
// (Attr == faDirectory) keeps every visible folder.
constexpr int faReadOnly = 0x01;
constexpr int faHidden = 0x02;
constexpr int faSysFile = 0x04;
constexpr int faVolumeID = 0x08;
constexpr int faDirectory = 0x10;
constexpr int faArchive = 0x20;
constexpr int faAnyFile = 0x3F;

// Error codes answered by FindFirst/FindNext.
constexpr int ERROR_FILE_NOT_FOUND = 2;
constexpr int ERROR_PATH_NOT_FOUND = 3;
constexpr int ERROR_NO_MORE_FILES = 18;

struct TFindState;

struct TSearchRec {
    int Time = 0;  // packed date and time (DateTimeToFileDate)
    int64_t Size = 0;
    int Attr = 0;
    AnsiString Name;
    int ExcludeAttr = 0;
    std::shared_ptr<TFindState> FindHandle;
};

// Path: a folder and a name pattern with "*" and "?" ("datos\*.*",
// "C:\QTEMP\*.DBF"), compared without regard to case; "*.*" matches every
// name. Entries whose faHidden, faSysFile or faDirectory bit is not in Attr
// are skipped; "." and ".." come first, as the folder listing of Windows
// gives them, then the names in the locale order. A name that cannot be
// written in Windows-1252 is not listed (it could not be opened again).
// 0 when an entry was found; else ERROR_FILE_NOT_FOUND / ERROR_PATH_NOT_FOUND.
int FindFirst(std::string_view Path, int Attr, TSearchRec& F);
// 0, or ERROR_NO_MORE_FILES.
int FindNext(TSearchRec& F);
void FindClose(TSearchRec& F);

bool FileExists(std::string_view FileName);        // a file, not a folder
bool DirectoryExists(std::string_view Directory);  // a folder
// Creates the folder and every missing parent; true when it exists afterwards.
bool ForceDirectories(std::string_view Directory);
bool CreateDir(std::string_view Directory);
bool RemoveDir(std::string_view Directory);  // an empty folder
// False, and nothing else happens, when the file is not there.
bool DeleteFile(std::string_view FileName);
// False when the new name is taken by another entry. A change of case only
// ("nomasg.dbf" to "NOMASG.DBF") is a rename.
bool RenameFile(std::string_view OldName, std::string_view NewName);
// A byte copy that keeps the modification time. False (and no partial
// target left behind) when the source cannot be read, the target cannot be
// written, or FailIfExists and the target is there.
bool CopyFile(std::string_view ExistingFileName, std::string_view NewFileName, bool FailIfExists);

// The packed modification time, or -1 when the file is not there.
int FileAge(std::string_view FileName);
int FileGetDate(int Handle);
bool FileSetDate(std::string_view FileName, int Age);
// The attribute bits, or -1 when nothing is there.
int FileGetAttr(std::string_view FileName);
int64_t FileSizeOf(std::string_view FileName);  // -1 when not a file

// Handles of this machine over mapped names; -1 on failure.
constexpr int fmOpenRead = 0x0000;
constexpr int fmOpenWrite = 0x0001;
constexpr int fmOpenReadWrite = 0x0002;
constexpr int fmShareCompat = 0x0000;
constexpr int fmShareExclusive = 0x0010;
constexpr int fmShareDenyWrite = 0x0020;
constexpr int fmShareDenyRead = 0x0030;
constexpr int fmShareDenyNone = 0x0040;
constexpr int fmCreate = 0xFFFF;
// Share modes are accepted and ignored: the program is alone with its files.
int FileOpen(std::string_view FileName, int Mode);
int FileCreate(std::string_view FileName);  // creates or empties
void FileClose(int Handle);
// The C library's stream over a mapped name (byte-wise copies use it).
std::FILE* OpenStdFile(std::string_view FileName, const char* Mode);

// Why a file operation failed (an errno value), in words for the user:
// "no queda espacio en el disco", "no hay permiso" ...
AnsiString SystemErrorText(int Error);

// The folder for temporary files: $TMPDIR (or /tmp) as a Windows path with
// a trailing "\".
AnsiString GetTempPath();
// Makes and creates an empty file "<Path>\<first 3 of Prefix><hex>.TMP" that
// did not exist (Unique 0), or only builds the name from Unique. Answers the
// number used, 0 on failure.
unsigned GetTempFileName(std::string_view PathName, std::string_view Prefix, unsigned Unique,
                         AnsiString& TempFileName);
