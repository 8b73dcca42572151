#pragma once
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Writes the bytes to a temporary file in the same directory and renames it over the path, so
// a full disk or a crash leaves the previous file whole. On failure returns false with errno
// set and the old file untouched.
bool WriteFileAtomically(const std::string& path, std::string_view bytes);

// The same for several files that belong together (a document's three files): every one is
// written and synced to its temporary file first, and only when all of them are whole are they
// renamed over their paths, one after the other. On failure returns false with errno set and
// no file touched. With a journal path, the renames are listed there (synced) before the first
// one and the journal is removed after the last, so that FinishInterruptedWrite can complete a
// set that a crash left half renamed.
bool WriteFilesAtomically(const std::vector<std::pair<std::string, std::string>>& files,
                          const std::string& journal = {});

// Completes the renames a journal lists and removes it; nothing to do without one. Only renames
// onto the given paths, from their own temporary names, are done: the journal is a file like any
// other and may have been damaged or replaced.
void FinishInterruptedWrite(const std::string& journal, const std::vector<std::string>& paths);
