#pragma once
#include <string>
#include <string_view>
#include <sys/types.h>
#include <utility>
#include <vector>

// The system calls that put a file's bytes and names in place. Tests replace them to make one
// fail as a full disk, an immutable file or a dying disk would; everything else uses the
// system's own.
struct SaveSystemCalls {
    ssize_t (*write)(int fd, const void* bytes, size_t size);
    int (*fsync)(int fd);
    int (*link)(const char* from, const char* to);
    int (*rename)(const char* from, const char* to);
};
SaveSystemCalls& SaveCalls();

// Writes the bytes to a temporary file in the same directory and renames it over the path, so
// a full disk or a crash leaves the previous file whole; the directory is synced before this
// returns true. On failure returns false with errno set and the old file untouched.
bool WriteFileAtomically(const std::string& path, std::string_view bytes);

// The same for several files that belong together (a document's three files): every one is
// written and synced to its temporary file first, and only when all of them are whole are they
// renamed over their paths, one after the other. When a rename fails, the files already renamed
// are put back from links kept to their old versions, so either every file is new or none is.
// On failure returns false with errno set and the path that failed in failedPath. (A folder
// that cannot be synced after the renames is told too, though the new files then stand.)
//
// With a journal path, the set is listed there before the first rename and the journal is
// removed after the last, so that FinishInterruptedWrite can put back a set that a crash left
// half renamed.
bool WriteFilesAtomically(const std::vector<std::pair<std::string, std::string>>& files,
                          const std::string& journal = {}, std::string* failedPath = nullptr);

// Puts back the files a journal lists as they were before the save it describes, and removes
// it; nothing to do without one. Only the given paths and their own temporary files are touched:
// the journal is a file like any other and may have been damaged or replaced. (A journal of an
// earlier release, which lists renames only, has them completed instead.)
void FinishInterruptedWrite(const std::string& journal, const std::vector<std::string>& paths);

// mkdir -p with the given mode for each missing level; false with errno set.
bool MakeDirectories(const std::string& path, mode_t mode = 0777);

// Renames a file or folder, but never onto one that is there already (EEXIST); false with errno
// set.
bool RenameWithoutReplacing(const std::string& from, const std::string& to);

// A copy of a regular file's bytes, written atomically; false with errno set.
bool CopyFileAtomically(const std::string& from, const std::string& to);
