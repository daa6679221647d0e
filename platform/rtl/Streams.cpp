// The stream base: size, exact reads and writes, and copying.
#include "platform/rtl/Streams.h"

#include <algorithm>
#include <vector>

int64_t TStream::Size() {
    int64_t pos = Seek(0, soCurrent);
    int64_t size = Seek(0, soEnd);
    Seek(pos, soBeginning);
    return size;
}

void TStream::ReadBuffer(void* Buffer, int64_t Count) {
    if (Count != 0 && Read(Buffer, Count) != Count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* Buffer, int64_t Count) {
    if (Count != 0 && Write(Buffer, Count) != Count) throw EWriteError("Stream write error");
}

int64_t TStream::CopyFrom(TStream& Source, int64_t Count) {
    if (Count == 0) {
        Source.SetPosition(0);
        Count = Source.Size();
    }
    int64_t result = Count;
    std::vector<uint8_t> buffer(std::size_t(std::min<int64_t>(Count, 0xF000)));
    while (Count > 0) {
        int64_t n = std::min<int64_t>(Count, int64_t(buffer.size()));
        Source.ReadBuffer(buffer.data(), n);
        WriteBuffer(buffer.data(), n);
        Count -= n;
    }
    return result;
}
