#include "platform/rtl/Streams.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

int64_t TStream::Size() {
    int64_t pos = Seek(0, soCurrent);
    int64_t end = Seek(0, soEnd);
    Seek(pos, soBeginning);
    return end;
}

void TStream::SetSize(int64_t) { throw EStreamError("Stream size cannot be changed"); }

void TStream::ReadBuffer(void* Buffer, int64_t Count) {
    if (Count < 0 || (Count > 0 && Read(Buffer, Count) != Count)) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* Buffer, int64_t Count) {
    if (Count < 0 || (Count > 0 && Write(Buffer, Count) != Count)) throw EWriteError("Stream write error");
}

int64_t TStream::CopyFrom(TStream& Source, int64_t Count) {
    if (Count == 0) {
        Source.SetPosition(0);
        Count = Source.Size();
    }
    std::vector<uint8_t> buf(static_cast<size_t>(std::min<int64_t>(Count, 61440)));
    int64_t left = Count;
    while (left > 0) {
        int64_t n = std::min<int64_t>(left, static_cast<int64_t>(buf.size()));
        Source.ReadBuffer(buf.data(), n);
        WriteBuffer(buf.data(), n);
        left -= n;
    }
    return Count;
}

void TStream::WriteInt32(int32_t V) {
    uint32_t u = static_cast<uint32_t>(V);
    uint8_t b[4] = {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8), static_cast<uint8_t>(u >> 16),
                    static_cast<uint8_t>(u >> 24)};
    WriteBuffer(b, 4);
}

int32_t TStream::ReadInt32() {
    uint8_t b[4];
    ReadBuffer(b, 4);
    return static_cast<int32_t>(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 |
                                uint32_t(b[3]) << 24);
}

AnsiString TStream::ReadString(int64_t Count) {
    AnsiString s(static_cast<size_t>(std::max<int64_t>(Count, 0)), '\0');
    s.resize(static_cast<size_t>(std::max<int64_t>(Read(s.data(), Count), 0)));
    return s;
}

// --- memory ---
void TCustomMemoryStream::SetPointer(void* Ptr, int64_t Size) {
    FMemory = static_cast<uint8_t*>(Ptr);
    FSize = Size;
}

int64_t TCustomMemoryStream::Read(void* Buffer, int64_t Count) {
    if (Count <= 0 || FPosition >= FSize) return 0;
    int64_t n = std::min(Count, FSize - FPosition);
    std::memcpy(Buffer, FMemory + FPosition, static_cast<size_t>(n));
    FPosition += n;
    return n;
}

int64_t TCustomMemoryStream::Seek(int64_t Offset, TSeekOrigin Origin) {
    int64_t base = Origin == soBeginning ? 0 : Origin == soCurrent ? FPosition : FSize;
    if (base + Offset < 0) return -1;
    FPosition = base + Offset;
    return FPosition;
}

void TCustomMemoryStream::SaveToStream(TStream& Stream) const {
    if (FSize) Stream.WriteBuffer(FMemory, FSize);
}

AnsiString TCustomMemoryStream::DataString() const {
    return FSize ? AnsiString(reinterpret_cast<const char*>(FMemory), static_cast<size_t>(FSize))
                 : AnsiString();
}

TMemoryStream::~TMemoryStream() { std::free(FBlock); }

void* TMemoryStream::Realloc(void* Block, int64_t& NewCapacity) {
    if (NewCapacity <= 0) {
        std::free(Block);
        NewCapacity = 0;
        return nullptr;
    }
    constexpr int64_t delta = 8192;
    NewCapacity = (NewCapacity + delta - 1) / delta * delta;
    return std::realloc(Block, static_cast<size_t>(NewCapacity));
}

void* TStepMemoryStream::Realloc(void* Block, int64_t& NewCapacity) {
    if (NewCapacity <= 0) {
        std::free(Block);
        NewCapacity = 0;
        return nullptr;
    }
    NewCapacity = (NewCapacity + FStep - 1) / FStep * FStep;
    return std::realloc(Block, static_cast<size_t>(NewCapacity));
}

void TMemoryStream::SetCapacity(int64_t NewCapacity) {
    if (NewCapacity == FCapacity) return;
    int64_t cap = NewCapacity;
    void* block = Realloc(FBlock, cap);
    if (!block && cap > 0) throw EStreamError("Out of memory while expanding memory stream");
    FBlock = block;
    FCapacity = cap;
    SetPointer(FBlock, std::min(Size(), FCapacity));
}

void TMemoryStream::SetSize(int64_t NewSize) {
    if (NewSize < 0) throw EStreamError("Stream size cannot be negative");
    int64_t old = Size();
    if (NewSize > FCapacity) SetCapacity(NewSize);
    if (NewSize > old)
        std::memset(static_cast<uint8_t*>(FBlock) + old, 0, static_cast<size_t>(NewSize - old));
    SetPointer(FBlock, NewSize);
    if (FPosition > NewSize) FPosition = NewSize;
}

void TMemoryStream::Clear() {
    SetCapacity(0);
    SetPointer(nullptr, 0);
    FPosition = 0;
}

int64_t TMemoryStream::Write(const void* Buffer, int64_t Count) {
    if (Count <= 0) return 0;
    int64_t end = FPosition + Count;
    if (end > Size()) {
        // A position left past the end by Seek leaves a gap of zeros.
        SetSize(end);
    }
    std::memcpy(static_cast<uint8_t*>(FBlock) + FPosition, Buffer, static_cast<size_t>(Count));
    FPosition = end;
    return Count;
}

void TMemoryStream::LoadFromStream(TStream& Stream) {
    Stream.SetPosition(0);
    int64_t n = Stream.Size();
    SetSize(n);
    FPosition = 0;
    if (n) Stream.ReadBuffer(FBlock, n);
}

int64_t TPointerStream::Write(const void* Buffer, int64_t Count) {
    int64_t room = Size() - FPosition;
    int64_t n = std::min(Count, room);
    if (n <= 0) return 0;
    std::memcpy(static_cast<uint8_t*>(Memory()) + FPosition, Buffer, static_cast<size_t>(n));
    FPosition += n;
    return n;
}

// --- text ---
int64_t TStringStream::Read(void* Buffer, int64_t Count) {
    int64_t size = Size();
    if (Count <= 0 || FPosition >= size) return 0;
    int64_t n = std::min(Count, size - FPosition);
    std::memcpy(Buffer, FData.data() + FPosition, static_cast<size_t>(n));
    FPosition += n;
    return n;
}

int64_t TStringStream::Write(const void* Buffer, int64_t Count) {
    if (Count <= 0) return 0;
    size_t end = static_cast<size_t>(FPosition + Count);
    if (end > FData.size()) FData.resize(end, '\0');
    std::memcpy(FData.data() + FPosition, Buffer, static_cast<size_t>(Count));
    FPosition += Count;
    return Count;
}

int64_t TStringStream::Seek(int64_t Offset, TSeekOrigin Origin) {
    int64_t base = Origin == soBeginning ? 0 : Origin == soCurrent ? FPosition : Size();
    if (base + Offset < 0) return -1;
    FPosition = base + Offset;
    return FPosition;
}

void TStringStream::SetSize(int64_t NewSize) {
    if (NewSize < 0) throw EStreamError("Stream size cannot be negative");
    FData.resize(static_cast<size_t>(NewSize), '\0');
    if (FPosition > NewSize) FPosition = NewSize;
}

// --- file handles ---
int64_t THandleStream::Read(void* Buffer, int64_t Count) {
    int64_t done = 0;
    while (done < Count) {
        ssize_t n = ::read(FHandle, static_cast<uint8_t*>(Buffer) + done, static_cast<size_t>(Count - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += n;
    }
    return done;
}

int64_t THandleStream::Write(const void* Buffer, int64_t Count) {
    int64_t done = 0;
    while (done < Count) {
        ssize_t n =
            ::write(FHandle, static_cast<const uint8_t*>(Buffer) + done, static_cast<size_t>(Count - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += n;
    }
    return done;
}

int64_t THandleStream::Seek(int64_t Offset, TSeekOrigin Origin) {
    int whence = Origin == soBeginning ? SEEK_SET : Origin == soCurrent ? SEEK_CUR : SEEK_END;
    off_t r = ::lseek(FHandle, static_cast<off_t>(Offset), whence);
    return r < 0 ? -1 : static_cast<int64_t>(r);
}

void THandleStream::SetSize(int64_t NewSize) {
    int64_t pos = Position();
    if (NewSize < 0 || ::ftruncate(FHandle, static_cast<off_t>(NewSize)) != 0)
        throw EStreamError("Stream size cannot be changed");
    if (pos > NewSize) Seek(NewSize, soBeginning);
}
