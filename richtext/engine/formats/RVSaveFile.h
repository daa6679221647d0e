// The output stream of the writers' file saves: bytes go to a temporary
// file beside the target, which replaces the target only when the whole
// save succeeded, so a failed save keeps the old file.
#pragma once

#include <vector>

#include "platform/rtl/Streams.h"

class TRVSaveFileStream : public TStream {
public:
    // Raises EWriteError when the temporary file cannot be made.
    explicit TRVSaveFileStream(const AnsiString& FileName);
    // Without Commit the temporary file is removed.
    ~TRVSaveFileStream() override;

    int64_t Read(void* Buffer, int64_t Count) override;
    int64_t Write(const void* Buffer, int64_t Count) override;
    // Only the current position and the end can be asked for.
    int64_t Seek(int64_t Offset, int Origin) override;
    void SetSize(int64_t NewSize) override;

    // Writes what is buffered, then puts the file in the target's place;
    // raises EWriteError on failure (the target is left as it was).
    void Commit();

private:
    void Flush();
    AnsiString FFileName;
    AnsiString FTempName;
    int FHandle = -1;
    int64_t FPosition = 0;
    std::vector<char> FBuffer;
};
