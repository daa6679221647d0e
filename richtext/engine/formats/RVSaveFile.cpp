// The temporary file beside a save's target, written through a buffer and
// renamed over the target once complete.
#include "richtext/engine/formats/RVSaveFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t BufferSize = 1 << 16;

} // namespace

TRVSaveFileStream::TRVSaveFileStream(const AnsiString& FileName) : FFileName(FileName) {
    std::size_t slash = FileName.rfind('/');
    AnsiString folder = slash == AnsiString::npos ? AnsiString() : FileName.substr(0, slash + 1);
    AnsiString name = slash == AnsiString::npos ? FileName : FileName.substr(slash + 1);
    std::vector<char> pattern(folder.begin(), folder.end());
    AnsiString rest = "." + name + ".XXXXXX";
    pattern.insert(pattern.end(), rest.begin(), rest.end());
    pattern.push_back(0);
    FHandle = mkstemp(pattern.data());
    if (FHandle < 0) throw EWriteError("Cannot create file " + FileName + ": " + std::strerror(errno));
    FTempName = pattern.data();
    // A replaced file keeps its permissions; a new one gets the usual ones.
    struct stat existing;
    mode_t mode = stat(FileName.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : 0644;
    fchmod(FHandle, mode);
    FBuffer.reserve(BufferSize);
}

TRVSaveFileStream::~TRVSaveFileStream() {
    if (FHandle >= 0) {
        close(FHandle);
        unlink(FTempName.c_str());
    }
}

int64_t TRVSaveFileStream::Read(void*, int64_t) {
    return 0;
}

void TRVSaveFileStream::Flush() {
    std::size_t done = 0;
    while (done < FBuffer.size()) {
        ssize_t n = ::write(FHandle, FBuffer.data() + done, FBuffer.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw EWriteError("Cannot write file " + FFileName + ": " + std::strerror(errno));
        done += std::size_t(n);
    }
    FBuffer.clear();
}

int64_t TRVSaveFileStream::Write(const void* Buffer, int64_t Count) {
    if (Count <= 0 || FHandle < 0) return 0;
    auto* bytes = static_cast<const char*>(Buffer);
    if (FBuffer.size() + std::size_t(Count) > BufferSize) Flush();
    if (std::size_t(Count) >= BufferSize) {
        FBuffer.assign(bytes, bytes + Count);
        Flush();
    } else {
        FBuffer.insert(FBuffer.end(), bytes, bytes + Count);
    }
    FPosition += Count;
    return Count;
}

int64_t TRVSaveFileStream::Seek(int64_t, int Origin) {
    (void)Origin;
    return FPosition;
}

void TRVSaveFileStream::SetSize(int64_t) {
    throw EWriteError("Cannot resize file " + FFileName);
}

void TRVSaveFileStream::Commit() {
    if (FHandle < 0) throw EWriteError("Cannot write file " + FFileName);
    Flush();
    if (fsync(FHandle) != 0)
        throw EWriteError("Cannot write file " + FFileName + ": " + std::strerror(errno));
    int handle = FHandle;
    FHandle = -1;
    if (close(handle) != 0 || std::rename(FTempName.c_str(), FFileName.c_str()) != 0) {
        int error = errno;
        unlink(FTempName.c_str());
        throw EWriteError("Cannot write file " + FFileName + ": " + std::strerror(error));
    }
}
