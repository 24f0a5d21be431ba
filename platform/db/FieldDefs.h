#pragma once
// Field and index definitions: what a table is made of (read from the file
// when it opens) and what CreateTable makes (filled by the program first).
#include "platform/classes/Collection.h"
#include "platform/db/DB.h"

class TFieldDef : public TCollectionItem {
    ZELMOR_CLASS(TFieldDef, TCollectionItem)

public:
    explicit TFieldDef(TCollection* Collection);
    static void DescribeProperties(TPropertyTable& T);

    const AnsiString& Name() const { return FName; }
    void SetName(const AnsiString& Value);
    TFieldType DataType() const { return FDataType; }
    void SetDataType(TFieldType Value);
    // Characters of a string field, decimals of a BCD field; 0 for kinds
    // whose size is fixed.
    int Size() const { return FSize; }
    void SetSize(int Value);
    int Precision() const { return FPrecision; }
    void SetPrecision(int Value) { FPrecision = Value; }
    bool Required() const { return FRequired; }
    void SetRequired(bool Value) { FRequired = Value; }
    // 1-based position in the file; 0 for a definition not read from a table.
    int FieldNo() const { return FFieldNo; }
    void SetFieldNo(int Value) { FFieldNo = Value; }

    AnsiString DisplayName() const override { return FName; }
    void Assign(TPersistent* Source) override;

private:
    AnsiString FName;
    TFieldType FDataType = ftUnknown;
    int FSize = 0;
    int FPrecision = 0;
    bool FRequired = false;
    int FFieldNo = 0;
};

class TFieldDefs : public TOwnedCollection {
    ZELMOR_CLASS(TFieldDefs, TOwnedCollection)

public:
    explicit TFieldDefs(TPersistent* Owner);

    TFieldDef* Items(int Index) const;
    TFieldDef* operator[](int Index) const { return Items(Index); }
    TFieldDef* AddFieldDef();
    // Raises EDatabaseError "Duplicate field name" when the name is taken.
    TFieldDef* Add(const AnsiString& Name, TFieldType DataType, int Size = 0, bool Required = false);
    // Without regard to case; -1 / null when absent.
    int IndexOf(std::string_view Name) const;
    TFieldDef* FindDef(std::string_view Name) const;
    // Raises EDatabaseError "Field 'X' not found".
    TFieldDef* Find(std::string_view Name) const;
    // Reads the definitions of the owning data set's table again.
    void Update();
    // True while the list holds what the table has (cleared by changes).
    bool Updated() const { return FUpdated; }
    void SetUpdated(bool Value) { FUpdated = Value; }

protected:
    void Update(TCollectionItem* Item) override;

private:
    bool FUpdated = false;
};

class TIndexDef : public TCollectionItem {
    ZELMOR_CLASS(TIndexDef, TCollectionItem)

public:
    explicit TIndexDef(TCollection* Collection);
    static void DescribeProperties(TPropertyTable& T);

    const AnsiString& Name() const { return FName; }
    void SetName(const AnsiString& Value);
    // ";"-separated field names; empty for an expression index.
    const AnsiString& Fields() const { return FFields; }
    void SetFields(const AnsiString& Value);
    // The dBase key expression of an ixExpression index.
    const AnsiString& Expression() const { return FExpression; }
    void SetExpression(const AnsiString& Value);
    TIndexOptions Options() const { return FOptions; }
    void SetOptions(TIndexOptions Value);

    AnsiString DisplayName() const override { return FName; }
    void Assign(TPersistent* Source) override;

private:
    AnsiString FName;
    AnsiString FFields;
    AnsiString FExpression;
    TIndexOptions FOptions;
};

class TIndexDefs : public TOwnedCollection {
    ZELMOR_CLASS(TIndexDefs, TOwnedCollection)

public:
    explicit TIndexDefs(TPersistent* Owner);

    TIndexDef* Items(int Index) const;
    TIndexDef* operator[](int Index) const { return Items(Index); }
    TIndexDef* AddIndexDef();
    // With ixExpression in Options, Fields is the key expression.
    TIndexDef* Add(const AnsiString& Name, const AnsiString& Fields, TIndexOptions Options);
    int IndexOf(std::string_view Name) const;  // without regard to case
    TIndexDef* FindDef(std::string_view Name) const;
    // Raises EDatabaseError "Index 'X' not found".
    TIndexDef* Find(std::string_view Name) const;
    // The first definition whose fields begin with the list (compared
    // without regard to case, whole field names); null when none.
    TIndexDef* GetIndexForFields(std::string_view Fields, bool CaseInsensitive) const;
    // Reads the indexes of the owning table again (its tags).
    void Update();
    bool Updated() const { return FUpdated; }
    void SetUpdated(bool Value) { FUpdated = Value; }

protected:
    void Update(TCollectionItem* Item) override;

private:
    bool FUpdated = false;
};
