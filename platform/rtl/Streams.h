#pragma once
// Streams of bytes: the abstract TStream, streams over memory (grown by us,
// grown in fixed steps, or over a caller's buffer), over a text and over an
// open file handle. Streams over named files (TFileStream) live with the
// file services in platform/sys, which map the program's Windows paths.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Object.h"

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream : public TObject {
public:
    // Up to Count bytes; the number moved (0 at the end or on failure).
    virtual int64_t Read(void* Buffer, int64_t Count) = 0;
    virtual int64_t Write(const void* Buffer, int64_t Count) = 0;
    // The new position; a position before the start is refused with -1.
    virtual int64_t Seek(int64_t Offset, TSeekOrigin Origin) = 0;

    int64_t Position() { return Seek(0, soCurrent); }
    void SetPosition(int64_t Pos) { Seek(Pos, soBeginning); }
    virtual int64_t Size();
    // EStreamError when the stream cannot change its size.
    virtual void SetSize(int64_t NewSize);

    // Exactly Count bytes or EReadError "Stream read error" /
    // EWriteError "Stream write error".
    void ReadBuffer(void* Buffer, int64_t Count);
    void WriteBuffer(const void* Buffer, int64_t Count);
    // Count bytes from Source's position; Count 0 copies all of Source from
    // its start. Raises as ReadBuffer/WriteBuffer. Answers the bytes copied.
    int64_t CopyFrom(TStream& Source, int64_t Count);

    // Little-endian helpers for the stored layouts (32-bit, whatever the machine).
    void WriteInt32(int32_t V);
    int32_t ReadInt32();
    void WriteString(std::string_view S) { WriteBuffer(S.data(), static_cast<int64_t>(S.size())); }
    // Up to Count bytes from the position.
    AnsiString ReadString(int64_t Count);
};

// A stream over memory that it does not necessarily own.
class TCustomMemoryStream : public TStream {
public:
    int64_t Read(void* Buffer, int64_t Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    int64_t Size() override { return FSize; }
    void* Memory() const { return FMemory; }
    // The whole contents, from the start whatever the position.
    void SaveToStream(TStream& Stream) const;
    AnsiString DataString() const;

protected:
    void SetPointer(void* Ptr, int64_t Size);
    int64_t FPosition = 0;

private:
    uint8_t* FMemory = nullptr;
    int64_t FSize = 0;
};

// Grows as it is written; memory is kept in blocks of 8 KB.
class TMemoryStream : public TCustomMemoryStream {
public:
    TMemoryStream() = default;
    ~TMemoryStream() override;
    int64_t Write(const void* Buffer, int64_t Count) override;
    void SetSize(int64_t NewSize) override;
    void Clear();
    // Replaces the contents with all of Stream (from its start).
    void LoadFromStream(TStream& Stream);
    int64_t Capacity() const { return FCapacity; }
    void SetCapacity(int64_t NewCapacity);

protected:
    // Gives a block of the C heap for NewCapacity bytes holding the current
    // contents (realloc of Block), and may round NewCapacity up; 0 frees it.
    // nullptr means no memory: EStreamError "Out of memory while expanding
    // memory stream". The destructor frees the block with free().
    virtual void* Realloc(void* Block, int64_t& NewCapacity);

private:
    void* FBlock = nullptr;
    int64_t FCapacity = 0;
};

// A memory stream that asks for memory in fixed steps (128 KB unless told
// otherwise): rich texts move between controls and fields in these, and a
// long text must not be copied at every small growth.
class TStepMemoryStream : public TMemoryStream {
public:
    explicit TStepMemoryStream(int64_t Step = 128 * 1024) : FStep(Step > 0 ? Step : 1) {}

protected:
    void* Realloc(void* Block, int64_t& NewCapacity) override;

private:
    int64_t FStep;
};

// Reads and writes a buffer that the caller owns and keeps alive; it never
// grows: a write past the end moves what fits.
class TPointerStream : public TCustomMemoryStream {
public:
    TPointerStream(void* Buffer, int64_t Size) { SetPointer(Buffer, Size); }
    int64_t Write(const void* Buffer, int64_t Count) override;
};

// A stream over a text.
class TStringStream : public TStream {
public:
    explicit TStringStream(std::string_view S = {}) : FData(S) {}
    int64_t Read(void* Buffer, int64_t Count) override;
    int64_t Write(const void* Buffer, int64_t Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    int64_t Size() override { return static_cast<int64_t>(FData.size()); }
    void SetSize(int64_t NewSize) override;
    const AnsiString& DataString() const { return FData; }

private:
    AnsiString FData;
    int64_t FPosition = 0;
};

// A stream over an open file descriptor of this machine; it does not close it.
class THandleStream : public TStream {
public:
    explicit THandleStream(int Handle) : FHandle(Handle) {}
    int64_t Read(void* Buffer, int64_t Count) override;
    int64_t Write(const void* Buffer, int64_t Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    void SetSize(int64_t NewSize) override;
    int Handle() const { return FHandle; }

protected:
    int FHandle;
};
