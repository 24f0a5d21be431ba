#pragma once
// A stream over a named file (Windows name, mapped by Paths.h), and the
// string-list file helpers that stand on it.
#include <string>
#include <string_view>

#include "platform/rtl/Streams.h"
#include "platform/sys/Files.h"

class TStrings;

// Mode: fmCreate (create or empty; EFCreateError "Cannot create file <name>")
// or fmOpenRead / fmOpenWrite / fmOpenReadWrite of an existing file
// (EFOpenError "Cannot open file <name>"), with any share mode. The name in
// the message is the one the program gave.
class TFileStream : public THandleStream {
public:
    TFileStream(std::string_view FileName, int Mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;
    const AnsiString& FileName() const { return FFileName; }

private:
    AnsiString FFileName;
};

// The lines of a text file (CR LF, LF or CR), and back with CR LF.
// Raise as TFileStream does.
void LoadStringsFromFile(TStrings& Strings, std::string_view FileName);
void SaveStringsToFile(const TStrings& Strings, std::string_view FileName);
// The whole file as bytes, and back.
void LoadMemoryFromFile(TMemoryStream& Stream, std::string_view FileName);
void SaveMemoryToFile(const TCustomMemoryStream& Stream, std::string_view FileName);
