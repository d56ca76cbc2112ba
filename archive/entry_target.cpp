#include "archive/entry_target.h"

#include "archive/archive_result.h"
#include "archive/entry_meta.h"
#include "archive/entry_name.h"
#include "archive/long_path.h"
#include "archive/make_directory_path.h"
#include "archive/target_file.h"
#include "base/file_io.h"

namespace {

// Large enough that writing costs few system calls (each is dear under Wine).
constexpr DWORD kBufferSize = 262144;

const FILETIME* SetOrNull(const FILETIME& time)
{
    return time.dwLowDateTime || time.dwHighDateTime ? &time : nullptr;
}

}  // namespace

EntryTarget::EntryTarget(std::wstring base) : base_(std::move(base))
{
    folders_.insert(std::wstring(WithoutTrailingSeparators(base_)));
}

uint32_t EntryTarget::Fail(uint32_t result)
{
    lastError_ = GetLastError();
    return result;
}

// `folder` (below the base, no separator at its end) and its missing
// parents; each one made is remembered, and so are the parents it has.
bool EntryTarget::MakeFolder(const std::wstring& folder)
{
    if (folders_.count(folder))
        return true;
    if (!MakeDirectoryPath(folder, base_.size()))
        return false;
    // The base is known from the start: the walk up ends there at the latest.
    for (std::wstring known = folder; folders_.insert(known).second;)
        known.resize(FilePartOffset(known) - 1);
    return true;
}

uint32_t EntryTarget::Open(const ZipEntry& entry)
{
    file_.reset();
    entry_ = entry;
    path_ = base_ + entry.name;
    // Checked before any folder of it is made, so that none is left behind.
    if (path_.size() >= kLongPathLimit) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return Fail(ARCHIVE_WRITE_FAILED);
    }
    if (IsFolderEntry(entry)) {
        // An empty name names the base directory, which exists.
        if (!entry.name.empty() && !MakeFolder(std::wstring(WithoutTrailingSeparators(path_))))
            return Fail(ARCHIVE_WRITE_FAILED);
        return ARCHIVE_OK;
    }
    if (!MakeFolder(path_.substr(0, FilePartOffset(path_) - 1)))
        return Fail(ARCHIVE_WRITE_FAILED);
    uint32_t failure = ARCHIVE_OK;
    file_ = CreateTargetFile(path_, base_.size(), entry.attributes & ~ENTRY_DIRECTORY, &failure);
    return file_ ? ARCHIVE_OK : Fail(failure);
}

uint32_t EntryTarget::Write(const char* data, DWORD size)
{
    return WriteAll(file_.get(), data, size) ? ARCHIVE_OK : Fail(ARCHIVE_WRITE_FAILED);
}

uint32_t EntryTarget::Close(uint32_t dataResult)
{
    UniqueFile file = std::move(file_);
    if (dataResult == ARCHIVE_OK) {
        SetFileTime(file.get(), SetOrNull(entry_.creationTime), SetOrNull(entry_.accessTime),
                    SetOrNull(entry_.writeTime));
        return ARCHIVE_OK;
    }
    // An empty entry reads no data at all and fails like a corrupt one; its
    // file is empty and right. An entry that claims bytes but stores none
    // is no empty file.
    if (entry_.uncompressedSize == 0)
        return dataResult == ARCHIVE_INFLATE_FAILED ? ARCHIVE_OK : dataResult;
    DiscardTargetFile(std::move(file), path_);
    return dataResult;
}

uint32_t EntryTarget::Room(char** room, DWORD* size)
{
    if (!buffer_)
        buffer_ = std::make_unique<char[]>(kBufferSize);
    *room = buffer_.get();
    *size = kBufferSize;
    return ARCHIVE_OK;
}

uint32_t EntryTarget::Put(DWORD size)
{
    return Write(buffer_.get(), size);
}
