#pragma once
// Form files: our own text format, and the reader and writer that turn one
// into a form with its components and back.
//
// A form file is Windows-1252 text; the writer puts out plain ASCII only, so
// that no editor can change a byte of it:
//
//   object ControlaForm: TControlaForm       the root: its name and its class
//     Caption = 'Atenci'#243'n'               a text: quoted pieces ('' is a quote)
//                                             and #nnn for any byte outside 32..126
//                                             (raw bytes above 126 are refused)
//     Left = 8                                integers (also $1F), floats (1.5, 2.5e-3)
//     Visible = False                         identifiers: enumerations, True/False,
//     Color = clBtnFace                       integers that have names (TColor, TCursor)
//     Anchors = [akLeft, akTop]               sets
//     Font.Name = 'Arial'                     a property of a sub-object
//     Lines.Strings = ('a' 'b')               lists of values, nested where needed:
//     EntryCommands.TableList = ('Default' True () 'WordStar' False ())
//     Sections = <                            a collection: each item its properties
//       item                                  between item and end
//         Width = 50
//       end>
//     Glyph.Data = {                          bytes in hexadecimal, wrapped
//       424D0A1B}
//     OnClick = BSiguienteClick               an event: a handler the form class registers
//     DataSource = DSAlum                     a component by name; Frame1.Edit1 inside
//     ReportView = Form2.View1                another component, Form2.View1 in another form
//     object BSiguiente: TfcShapeBtn          a component the reader creates, with its own
//       Left = 10                             properties and children
//     end
//     inherited SPL1: TOvcSection             a component that exists already (its owner's
//     end                                     constructor made it), found by name
//     object TOvcController                   a component without a name
//     end
//   end
//
// Properties are set in file order while the form is read, so their setters
// run then; component references are set after the whole form is read, and
// then every component read gets Loaded, the root first, then in the order of
// the file. A property the class does not have, a value of the wrong kind, a
// class nobody registered or a handler the form lacks is an error that names
// the file, the line and what was wrong; no form file can crash the reader.
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/classes/Component.h"

class TStream;
class TReader;
class TWriter;
class TCollection;
class TPropInfo;

using TReaderProc = std::function<void(TReader& Reader)>;
using TWriterProc = std::function<void(TWriter& Writer)>;
using TStreamProc = std::function<void(TStream& Stream)>;

// What a class's DefineProperties sees: it declares the values it streams
// beside its published properties.
//   void TOvcCommandProcessor::DefineProperties(TFiler* Filer) {
//       Filer->DefineProperty("TableList", [this](TReader& R) { ReadTables(R); },
//                             [this](TWriter& W) { WriteTables(W); }, Count() > 0);
//   }
class TFiler {
public:
    virtual ~TFiler();
    TFiler(const TFiler&) = delete;
    TFiler& operator=(const TFiler&) = delete;

    // The form being read or written.
    TComponent* Root() const { return FRoot; }

    // A value of the form's text syntax under Name. The reader calls ReadData
    // when the file holds Name (it must read exactly one value); the writer
    // writes Name with WriteData when HasData is true (it must write exactly
    // one value). Either procedure may be empty.
    virtual void DefineProperty(std::string_view Name, const TReaderProc& ReadData,
                                const TWriterProc& WriteData, bool HasData) = 0;
    // A block of bytes under Name, handed over as a stream positioned at its
    // start: ReadData reads it, WriteData writes it.
    virtual void DefineBinaryProperty(std::string_view Name, const TStreamProc& ReadData,
                                      const TStreamProc& WriteData, bool HasData) = 0;
    // A name that older forms hold and that means nothing now: its value is
    // read and dropped, and it is never written.
    void IgnoreProperty(std::string_view Name);

protected:
    TFiler() = default;
    // TPersistent::DefineProperties is protected; the filers call it through this.
    void DefineAllProperties(TPersistent* Instance);
    TComponent* FRoot = nullptr;
};

// The kind of the next value, as a DefineProperty reader asks for it.
enum TValueType {
    vaNull,  // the end of the enclosing list
    vaList,
    vaInteger,
    vaFloat,
    vaString,
    vaIdent,
    vaFalse,
    vaTrue,
    vaNil,
    vaSet,
    vaCollection,
    vaBinary,
};

class TReader : public TFiler {
public:
    // Text: the whole form file. SourceName names it in error messages
    // ("forms/Controla.zfm"). The text is taken apart at once: an error of
    // syntax is raised here, before any component exists.
    explicit TReader(std::string_view Text, AnsiString SourceName = {});
    ~TReader() override;

    // Reads the file into Root, which must be of the file's root class or a
    // descendant: its properties, then its components, created through their
    // class factories. On an error the component being read is freed and the
    // exception goes on; what was read before stays with its owner.
    void ReadRootComponent(TComponent* Root);

    // While a component's ReadState runs: who will own and parent the
    // components read inside it.
    TComponent* Owner() const { return FOwner; }
    TComponent* Parent() const { return FParent; }
    // What TComponent::ReadState does: the component's properties, then the
    // components inside it, then its end.
    void ReadData(TComponent* Instance);

    // --- values, for DefineProperty readers; each raises EReadError with the
    // line when the file holds something else ---
    TValueType NextValue() const;
    bool EndOfList() const { return NextValue() == vaNull; }
    void ReadListBegin();
    void ReadListEnd();
    AnsiString ReadString();
    int ReadInteger();  // 32-bit
    int64_t ReadInt64();
    long double ReadFloat();  // a float or an integer
    bool ReadBoolean();
    AnsiString ReadIdent();  // True, False and nil included
    char ReadChar();
    void SkipValue();

    // Installed for a while by a component's ReadState, and put back after.
    // An inherited component that its owner lacks: the handler may supply it.
    TEvent<void(TReader* Reader, const AnsiString& ComponentName, const TClassInfo* ComponentClass,
                TComponent*& Component)>
        OnAncestorNotFound;
    // A class name that no registered class has: the handler may supply one.
    TEvent<void(TReader* Reader, const AnsiString& ClassName, const TClassInfo*& ComponentClass)>
        OnFindComponentClass;

    void DefineProperty(std::string_view Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                        bool HasData) override;
    void DefineBinaryProperty(std::string_view Name, const TStreamProc& ReadData,
                              const TStreamProc& WriteData, bool HasData) override;

private:
    struct TToken;
    struct TStep;
    struct TFixup;
    class TWatch;

    const TToken& Peek(size_t Ahead = 0) const;
    const TToken& Take();
    bool PeekSymbol(char Symbol) const;
    bool PeekKeyword(std::string_view Keyword) const;
    void ExpectSymbol(char Symbol);
    const TToken& ExpectIdent();
    [[noreturn]] void SyntaxError(const AnsiString& Message) const;
    [[noreturn]] void Error(const AnsiString& Message, int Line) const;

    struct THeader;
    THeader ReadHeader();
    TComponent* ReadComponent();
    const TClassInfo& FindComponentClass(const AnsiString& ClassName, int Line);
    void ReadProperties(TPersistent* Instance);
    void ReadProperty(TPersistent* Instance);
    void ReadPropValue(TPersistent* Instance, const TPropInfo& Info, const AnsiString& Path, int Line);
    void ReadCollection(TCollection* Collection, const AnsiString& Path);
    void ReadStringsData(TPersistent* Instance);
    void Watch(TComponent* Component);
    void Forget(TComponent* Component);
    void CheckReading() const;
    void DoFixups();
    static TObject* ResolveFixup(const TFixup& Fixup);

    AnsiString FSourceName;
    std::vector<TToken> FTokens;
    size_t FPos = 0;
    int FDepth = 0;
    TComponent* FOwner = nullptr;
    TComponent* FParent = nullptr;
    // The component whose data is being read, and the way from it to the
    // object whose properties are being read: fix-ups find their object again
    // this way, so an item or sub-object replaced meanwhile is never touched.
    TComponent* FAnchor = nullptr;
    std::vector<TStep> FPath;
    std::vector<TFixup> FFixups;
    std::vector<TComponent*> FLoaded;
    // The components whose data is being read, outermost first; a setter
    // that frees one of them ends the read before anything touches it again.
    std::vector<TComponent*> FReading;
    bool FReadingFreed = false;
    std::unique_ptr<TWatch> FWatch;
    // The name DefineProperties is asked about, and whether someone took it.
    AnsiString FPropName;
    bool FPropFound = false;
    int FPropLine = 0;
};

class TWriter : public TFiler {
public:
    TWriter();
    ~TWriter() override;

    // The form text of Root and everything its GetChildren hands out.
    // Published properties are written unless they are not stored or hold
    // their declared default; a component reference that cannot be named
    // from Root raises EWriteError.
    AnsiString WriteRootComponent(TComponent* Root);

    // --- values, for DefineProperty writers ---
    void WriteListBegin();
    void WriteListEnd();
    void WriteString(std::string_view Value);
    void WriteInteger(int64_t Value);
    void WriteFloat(long double Value);  // EWriteError for a value that is not finite
    void WriteBoolean(bool Value);
    void WriteIdent(std::string_view Ident);
    void WriteChar(char Value);

    void DefineProperty(std::string_view Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                        bool HasData) override;
    void DefineBinaryProperty(std::string_view Name, const TStreamProc& ReadData,
                              const TStreamProc& WriteData, bool HasData) override;

private:
    struct TNode;
    void WriteComponent(TComponent* Component, int Indent);
    void WriteProperties(TPersistent* Instance, const AnsiString& Prefix, int Indent, int Depth);
    void WriteCollection(TCollection* Collection, int Indent, int Depth);
    void WriteLine(int Indent, std::string_view Text);
    void WriteNodeProperty(const AnsiString& Name, int Indent, const TNode& Node);
    static AnsiString Flat(const TNode& Node);
    static void AppendNode(AnsiString& Out, const TNode& Node, int Indent);
    void AddValue(TNode Node);
    AnsiString ReferenceName(TComponent* Component) const;

    AnsiString FText;
    AnsiString FPrefix;  // of the object whose DefineProperties runs
    int FIndent = 0;
    std::vector<TNode>* FValues = nullptr;  // where written values go, while a property is written
    std::vector<std::vector<TNode>*> FOpenLists;
};

// --- components in other forms ---
// A reference "Form2.View1" whose first name is not inside the form being
// read is looked up through these finders (the window layer registers one
// that knows the forms on screen).
using TFindGlobalComponent = TComponent* (*)(std::string_view Name);
void RegisterFindGlobalComponentProc(TFindGlobalComponent Proc);
void UnregisterFindGlobalComponentProc(TFindGlobalComponent Proc);
TComponent* FindGlobalComponent(std::string_view Name);

// --- shorthands ---
void ReadComponentFromText(TComponent* Root, std::string_view Text, std::string_view SourceName = {});
AnsiString WriteComponentToText(TComponent* Root);
