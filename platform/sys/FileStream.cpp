#include "platform/sys/FileStream.h"

#include "platform/rtl/StringList.h"

namespace {
int OpenHandle(std::string_view FileName, int Mode) {
    if (Mode == fmCreate) {
        int h = FileCreate(FileName);
        if (h < 0) throw EFCreateError("No se puede crear el archivo " + AnsiString(FileName));
        return h;
    }
    int h = FileOpen(FileName, Mode);
    if (h < 0) throw EFOpenError("No se puede abrir el archivo " + AnsiString(FileName));
    return h;
}
}  // namespace

TFileStream::TFileStream(std::string_view FileName, int Mode)
    : THandleStream(OpenHandle(FileName, Mode)), FFileName(FileName) {}

TFileStream::~TFileStream() { FileClose(FHandle); }

void LoadStringsFromFile(TStrings& Strings, std::string_view FileName) {
    TFileStream f(FileName, fmOpenRead | fmShareDenyWrite);
    Strings.LoadFromStream(f);
}

void SaveStringsToFile(const TStrings& Strings, std::string_view FileName) {
    TFileStream f(FileName, fmCreate);
    Strings.SaveToStream(f);
}

void LoadMemoryFromFile(TMemoryStream& Stream, std::string_view FileName) {
    TFileStream f(FileName, fmOpenRead | fmShareDenyWrite);
    Stream.LoadFromStream(f);
}

void SaveMemoryToFile(const TCustomMemoryStream& Stream, std::string_view FileName) {
    TFileStream f(FileName, fmCreate);
    Stream.SaveToStream(f);
}
