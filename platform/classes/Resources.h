#pragma once
// The files built into the program from resources/: forms, string tables,
// bitmaps, cursors and texts. Each kind has its folder; a resource is named
// by its file name with or without the extension, without regard to case
// ("WWDROPDOWN" is bitmaps/wwdropdown.bmp), and a form also by the class of
// its root object ("TControlaForm" is the form file whose root is one).
#include <cstdint>
#include <span>
#include <string_view>

#include "platform/rtl/Object.h"
#include "platform/rtl/Streams.h"

struct ZelmorResourceEntry;
class TComponent;

enum TResourceKind { rkForm, rkStrings, rkBitmap, rkCursor, rkText };

struct TResource {
    const char* Path = nullptr;  // relative to resources/: "forms/Controla.zfm"
    std::span<const uint8_t> Bytes;
};

// False when there is no such resource.
bool FindResource(TResourceKind Kind, std::string_view Name, TResource& Found);
// Raises EResNotFound ("Bitmap resource WWNADA not found") when there is none.
TResource LoadResource(TResourceKind Kind, std::string_view Name);

// A stream over a resource's bytes, for readers that take a stream. It
// cannot be written (EStreamError).
class TResourceStream : public TCustomMemoryStream {
public:
    // Raises EResNotFound as LoadResource does.
    TResourceStream(TResourceKind Kind, std::string_view Name);
    int64_t Write(const void* Buffer, int64_t Count) override;
};

// Reads the form resource Name (a file name or the root's class name) into
// Root; the reader's errors name the resource file and the line. Raises
// EResNotFound when there is no such form.
void ReadComponentResource(TComponent* Root, std::string_view Name);
// What a form's constructor calls: reads the form resources of Root's class
// and of its ancestors below RootAncestor, the oldest first, so that the
// form of a descendant class adds to its ancestor's. Answers whether any of
// these classes has a form resource.
bool InitInheritedComponent(TComponent* Root, const TClassInfo& RootAncestor);

// Raises EComponentError when a field that Root's class declares points at
// no component once its forms are read: the form lacks a component that the
// class's code would reach through the field. A form calls it after reading
// its form resources, before its OnCreate.
void CheckFieldsBound(TComponent* Root);

// The class of a form file's root object ("TControlaForm" of "object
// ControlaForm: TControlaForm"); empty when the text starts otherwise.
std::string_view FormRootClass(std::span<const uint8_t> Bytes);

// The table looked in: the program's own unless a test gives another (whose
// last entry has a null path). Answers the table used before; null restores
// the program's own.
const ZelmorResourceEntry* UseResourceTable(const ZelmorResourceEntry* Table);
// A table looked in before that one until it is removed, the last added
// first: the forms of a test's own screens, built into the test alone.
void AddResourceTable(const ZelmorResourceEntry* Table);
void RemoveResourceTable(const ZelmorResourceEntry* Table);
