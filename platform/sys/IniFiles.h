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

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Object.h"

using AnsiString = std::string;
class TStrings;
class TIniData;

ZELMOR_EXCEPTION(EIniFileException, Exception);

class TCustomIniFile : public TObject {
public:
    explicit TCustomIniFile(std::string_view FileName);
    ~TCustomIniFile() override;
    // The Windows name after the rule above.
    const AnsiString& FileName() const { return FFileName; }

    AnsiString ReadString(std::string_view Section, std::string_view Ident, std::string_view Default);
    void WriteString(std::string_view Section, std::string_view Ident, std::string_view Value);
    // Decimal, "$" or "0x" hexadecimal; Default when missing or not a number.
    int ReadInteger(std::string_view Section, std::string_view Ident, int Default);
    void WriteInteger(std::string_view Section, std::string_view Ident, int Value);
    // Any number but 0 is true; written as "1" or "0".
    bool ReadBool(std::string_view Section, std::string_view Ident, bool Default);
    void WriteBool(std::string_view Section, std::string_view Ident, bool Value);
    // With the regional decimal separator.
    double ReadFloat(std::string_view Section, std::string_view Ident, double Default);
    void WriteFloat(std::string_view Section, std::string_view Ident, double Value);

    // The names of a section's values, in file order (Strings is cleared first).
    void ReadSection(std::string_view Section, TStrings& Strings);
    void ReadSections(TStrings& Strings);
    // "Name=Value" lines of a section, in file order.
    void ReadSectionValues(std::string_view Section, TStrings& Strings);
    bool SectionExists(std::string_view Section);
    bool ValueExists(std::string_view Section, std::string_view Ident);
    void EraseSection(std::string_view Section);
    void DeleteKey(std::string_view Section, std::string_view Ident);
    // Writes pending changes (TMemIniFile); nothing for TIniFile.
    virtual void UpdateFile() = 0;

protected:
    // The contents as they stand, read afresh when the class wants it.
    virtual TIniData& Data() = 0;
    // Called after every change.
    virtual void Modified() = 0;
    // Raises EIniFileException "Unable to write to <file>".
    void Save(const TIniData& Data);
    void Load(TIniData& Data);

private:
    AnsiString FFileName;
};

// Reads the file once when created; changes stay in memory until UpdateFile.
class TMemIniFile : public TCustomIniFile {
public:
    explicit TMemIniFile(std::string_view FileName);
    ~TMemIniFile() override;
    void UpdateFile() override;

protected:
    TIniData& Data() override { return *FData; }
    void Modified() override {}

private:
    std::unique_ptr<TIniData> FData;
};

// The file is the truth: every read reads it and every write writes it.
// Values in matching quotes come back without them.
class TIniFile : public TCustomIniFile {
public:
    explicit TIniFile(std::string_view FileName);
    ~TIniFile() override;
    void UpdateFile() override {}

protected:
    TIniData& Data() override;
    void Modified() override;

private:
    std::unique_ptr<TIniData> FData;
};
