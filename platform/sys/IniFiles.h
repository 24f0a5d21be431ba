#pragma once
// Ini files: "[Section]" headers and "Name=Value" lines, Windows-1252 bytes,
// written with CR LF. Section and value names compare without regard to case
// (the locale fold); lines we do not understand (comments, blanks) are kept
// where they are when the file is written back.
//
// Where a file lives: a name without any folder ("Zelmor.ini") is in the
// per-user folder of Zelmor (UserFolder(), created on the first write); a
// name with a folder goes through the path mapping like any other file.
#include <memory>
#include <string>
#include <string_view>

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Object.h"

class TStrings;
class TIniData;

ZELMOR_EXCEPTION(EIniFileException, Exception);

// The ini-file calls, whatever keeps the entries: the typed reads and
// writes are built once here on the text ones.
class TCustomIniFile : public TObject {
public:
    explicit TCustomIniFile(std::string_view FileName) : FFileName(FileName) {}
    const AnsiString& FileName() const { return FFileName; }

    virtual AnsiString ReadString(std::string_view Section, std::string_view Ident,
                                  std::string_view Default) = 0;
    virtual void WriteString(std::string_view Section, std::string_view Ident, std::string_view Value) = 0;
    // The names of a section's values, in file order (Strings is cleared first).
    virtual void ReadSection(std::string_view Section, TStrings& Strings) = 0;
    virtual void ReadSections(TStrings& Strings) = 0;
    // "Name=Value" lines of a section, in file order.
    virtual void ReadSectionValues(std::string_view Section, TStrings& Strings) = 0;
    virtual bool SectionExists(std::string_view Section) = 0;
    virtual bool ValueExists(std::string_view Section, std::string_view Ident) = 0;
    virtual void EraseSection(std::string_view Section) = 0;
    virtual void DeleteKey(std::string_view Section, std::string_view Ident) = 0;
    // Writes pending changes (TMemIniFile); nothing for the others.
    virtual void UpdateFile() = 0;

    // Decimal, "$" or "0x" hexadecimal; Default when missing or not a number.
    int ReadInteger(std::string_view Section, std::string_view Ident, int Default);
    void WriteInteger(std::string_view Section, std::string_view Ident, int Value);
    // Any number but 0 is true; written as "1" or "0".
    bool ReadBool(std::string_view Section, std::string_view Ident, bool Default);
    void WriteBool(std::string_view Section, std::string_view Ident, bool Value);
    // With the regional decimal separator.
    double ReadFloat(std::string_view Section, std::string_view Ident, double Default);
    void WriteFloat(std::string_view Section, std::string_view Ident, double Value);

private:
    AnsiString FFileName;
};

// Reads the file once when created; changes stay in memory until UpdateFile.
class TMemIniFile : public TCustomIniFile {
public:
    explicit TMemIniFile(std::string_view FileName);
    ~TMemIniFile() override;

    AnsiString ReadString(std::string_view Section, std::string_view Ident,
                          std::string_view Default) override;
    void WriteString(std::string_view Section, std::string_view Ident, std::string_view Value) override;
    void ReadSection(std::string_view Section, TStrings& Strings) override;
    void ReadSections(TStrings& Strings) override;
    void ReadSectionValues(std::string_view Section, TStrings& Strings) override;
    bool SectionExists(std::string_view Section) override;
    bool ValueExists(std::string_view Section, std::string_view Ident) override;
    void EraseSection(std::string_view Section) override;
    void DeleteKey(std::string_view Section, std::string_view Ident) override;
    // Raises EIniFileException "Unable to write to <file>".
    void UpdateFile() override;

protected:
    // The entries as they stand; TIniFile reads them afresh each time.
    virtual TIniData& Data() { return *FData; }
    // Called after every change; TIniFile writes the file.
    virtual void Modified() {}
    void Load();
    std::unique_ptr<TIniData> FData;
};

// The file is the truth: every read reads it and every write writes it.
// Values in matching quotes come back without them.
class TIniFile : public TMemIniFile {
public:
    explicit TIniFile(std::string_view FileName);
    void UpdateFile() override {}  // every change is written at once

protected:
    TIniData& Data() override;
    void Modified() override { TMemIniFile::UpdateFile(); }
};
