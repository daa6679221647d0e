// The byte stream interface that every reader and writer of a format works
// against, and its errors.
#pragma once

#include <cstdint>

#include "platform/rtl/Classes.h"

// Stream failures (short reads and writes, running out of memory).
class EStreamError : public Exception {
public:
    using Exception::Exception;
};
class EReadError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
class EWriteError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

enum TSeekOrigin : int { soBeginning = 0, soCurrent = 1, soEnd = 2 };

// A stream of bytes with a 64-bit position: writers and readers of every
// format work against it.
class TStream : public TObject {
public:
    // Bytes actually transferred; never raises for a short transfer.
    virtual int64_t Read(void* Buffer, int64_t Count) = 0;
    virtual int64_t Write(const void* Buffer, int64_t Count) = 0;
    // The new position; origins other than the three leave it unchanged.
    virtual int64_t Seek(int64_t Offset, int Origin) = 0;
    virtual void SetSize(int64_t NewSize) = 0;

    int64_t Position() { return Seek(0, soCurrent); }
    void SetPosition(int64_t Value) { Seek(Value, soBeginning); }
    virtual int64_t Size();
    // Raise EReadError / EWriteError when fewer bytes move than asked.
    void ReadBuffer(void* Buffer, int64_t Count);
    void WriteBuffer(const void* Buffer, int64_t Count);
    // Copies Count bytes from Source's position (Count 0: all of Source from
    // its start); returns the bytes copied.
    int64_t CopyFrom(TStream& Source, int64_t Count);
};
