#pragma once
// TStrings, the abstract list of texts with an object per line that every
// control's Items, Lines and the libraries' setting lines are, and
// TStringList, the one that keeps its lines itself (sorted or not).
//
// Lines compare without regard to case unless CaseSensitive is set, with the
// locale fold: "Tipo" finds "TIPO" but not "T\xCDPO".
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Object.h"

class TStream;

class TStrings : public TPersistent {
    ZELMOR_CLASS(TStrings, TPersistent)

public:
    // --- what a descendant provides ---
    virtual int Count() const = 0;
    virtual AnsiString Get(int Index) const = 0;
    virtual void Insert(int Index, const AnsiString& S) = 0;
    virtual void Delete(int Index) = 0;
    virtual void Clear() = 0;
    virtual TObject* GetObject(int Index) const;  // nullptr unless overridden
    virtual void PutObject(int Index, TObject* Object);
    virtual void Put(int Index, const AnsiString& S);  // Delete + Insert, keeping the object

    // --- built on them ---
    virtual int Add(const AnsiString& S);
    virtual int AddObject(const AnsiString& S, TObject* Object);
    void InsertObject(int Index, const AnsiString& S, TObject* Object);
    void Append(const AnsiString& S) { Add(S); }
    virtual void AddStrings(const TStrings& Strings);
    void Assign(TPersistent* Source) override;
    virtual void Exchange(int Index1, int Index2);
    virtual void Move(int CurIndex, int NewIndex);
    bool Equals(const TStrings& Other) const;

    AnsiString Strings(int Index) const { return Get(Index); }
    void SetStrings(int Index, const AnsiString& S) { Put(Index, S); }
    AnsiString operator[](int Index) const { return Get(Index); }
    TObject* Objects(int Index) const { return GetObject(Index); }
    void SetObjects(int Index, TObject* Object) { PutObject(Index, Object); }

    virtual int IndexOf(const AnsiString& S) const;
    int IndexOfObject(const TObject* Object) const;

    // "name=value" lines. Names compare as lines do; Values of a missing
    // name is empty; SetValues with an empty value deletes the line.
    int IndexOfName(std::string_view Name) const;
    AnsiString Names(int Index) const;
    AnsiString Values(std::string_view Name) const;
    void SetValues(std::string_view Name, std::string_view Value);
    AnsiString ValueFromIndex(int Index) const;
    void SetValueFromIndex(int Index, std::string_view Value);
    char NameValueSeparator() const { return FNameValueSeparator; }
    void SetNameValueSeparator(char C) { FNameValueSeparator = C; }

    // Every line followed by CR LF. Setting it splits at CR LF, a lone LF or
    // a lone CR; a last line without a break counts, a final break adds no
    // empty line.
    virtual AnsiString Text() const;
    virtual void SetText(std::string_view Text);
    // Lines joined by Delimiter; a line holding a blank, a control
    // character, the quote or the delimiter is quoted with QuoteChar (inner
    // quotes doubled). Setting splits at the delimiter and, outside quotes,
    // at blanks too.
    AnsiString DelimitedText() const;
    void SetDelimitedText(std::string_view Text);
    char Delimiter() const { return FDelimiter; }
    void SetDelimiter(char C) { FDelimiter = C; }
    char QuoteChar() const { return FQuoteChar; }
    void SetQuoteChar(char C) { FQuoteChar = C; }
    AnsiString CommaText() const;  // DelimitedText with ',' and '"'
    void SetCommaText(std::string_view Text);

    // Reads the rest of the stream as Text; writes Text.
    virtual void LoadFromStream(TStream& Stream);
    virtual void SaveToStream(TStream& Stream) const;

    // Notifications are held back while the count is above zero.
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    // Case-insensitive locale comparison; TStringList honours CaseSensitive.
    virtual int CompareStrings(std::string_view S1, std::string_view S2) const;

protected:
    // Called with true by the first BeginUpdate and false by the last EndUpdate.
    virtual void SetUpdateState(bool /*Updating*/) {}
    [[noreturn]] static void Error(const char* Message, int Data);

private:
    int FUpdateCount = 0;
    char FNameValueSeparator = '=';
    char FDelimiter = ',';
    char FQuoteChar = '"';
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList : public TStrings {
    ZELMOR_CLASS(TStringList, TStrings)

public:
    using TStringListSortCompare = std::function<int(TStringList& List, int Index1, int Index2)>;

    TStringList() = default;
    ~TStringList() override;

    int Count() const override { return static_cast<int>(FItems.size()); }
    AnsiString Get(int Index) const override;
    TObject* GetObject(int Index) const override;
    void Put(int Index, const AnsiString& S) override;
    void PutObject(int Index, TObject* Object) override;
    // On a sorted list Add finds the place; a duplicate is ignored (its
    // index comes back), accepted, or refused with EStringListError "String
    // list does not allow duplicates". On an unsorted list every line is added.
    int Add(const AnsiString& S) override;
    int AddObject(const AnsiString& S, TObject* Object) override;
    // EStringListError "Operation not allowed on sorted list" when sorted.
    void Insert(int Index, const AnsiString& S) override;
    void Delete(int Index) override;
    void Clear() override;
    void Exchange(int Index1, int Index2) override;
    int IndexOf(const AnsiString& S) const override;
    int CompareStrings(std::string_view S1, std::string_view S2) const override;

    // Binary search of a sorted list: true when found, Index at the first
    // equal line; else false and Index where the line would go.
    virtual bool Find(std::string_view S, int& Index) const;
    virtual void Sort();
    virtual void CustomSort(const TStringListSortCompare& Compare);

    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    TDuplicates Duplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
    bool CaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool Value);

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    virtual void Changed();
    virtual void Changing();
    void SetUpdateState(bool Updating) override;
    virtual void InsertItem(int Index, const AnsiString& S, TObject* Object);

private:
    struct Item {
        AnsiString Text;
        TObject* Object = nullptr;
    };
    void Check(int Index) const;
    std::vector<Item> FItems;
    bool FSorted = false;
    bool FCaseSensitive = false;
    TDuplicates FDuplicates = dupIgnore;
};
