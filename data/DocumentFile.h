#pragma once
// The three files of a document: .PLU (PLU rows), .DEP (departments), .RCY (recycling).
// Tab-separated fields, CR LF line ends, no header; bytes travel unconverted.

#include "Document.h"

#include <string>

// errno of the failed file operation; 0 when it went well.
using FileError = int;

// The user's text for an I/O failure ("File not found", "Disk full", ...).
std::string FileErrorText(FileError error);

std::string WithExtension(const std::string& path, const std::string& extension);

// A missing file is no error: the table keeps its texts.
FileError ReadGridFile(const std::string& path, TextTable& table);
FileError ReadRecyFile(const std::string& path, RecyTable& table);

// Rows up to the last one that differs from its defaults, so no row with content is dropped.
std::string GridFileText(const TextTable& table);
std::string RecyFileText(const RecyTable& table);
FileError WriteGridFile(const std::string& path, const TextTable& table);
FileError WriteRecyFile(const std::string& path, const RecyTable& table);

// A document: the .PLU file at path, with the .DEP and .RCY files beside it. Reading stops at
// the first error; writing replaces all three or none, and names the file (or folder) that
// failed in failedPath. While the three are renamed into place a journal lies beside them, and
// reading first puts back the files of a save that was cut off there.
FileError ReadDocumentFiles(const std::string& path, TextTable& plu, TextTable& dept,
                            RecyTable& recy);
std::string DocumentJournalPath(const std::string& path);
FileError WriteDocumentFiles(const std::string& path, const TextTable& plu, const TextTable& dept,
                             const RecyTable& recy, std::string* failedPath = nullptr);

// A field longer than this is cut when reading: no cell the register knows comes near it, and it
// bounds the memory a damaged file can take.
inline constexpr size_t MaxFieldBytes = 255;
