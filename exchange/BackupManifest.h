#pragma once
// What a backup folder holds, written beside its files as an INI file: when it was made, from
// which register, the PLU range, the register's decimals, the counts, and a SHA-256 checksum
// per file, so a damaged or half-copied backup is never sent to a register.

#include "TransferContext.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

inline constexpr const char* BackupDocumentName = "register.PLU";
inline constexpr const char* BackupParametersName = "parameters.ini";
inline constexpr const char* BackupManifestName = "manifest.ini";

struct TBackupManifest {
    std::string date;           // local time, "2025-01-31 14:03:22"
    std::string identification; // code-page bytes
    int rangeBegin = MinPluRange;
    int rangeEnd = MaxPluRange;
    int decimals = 0;
    char decimalSeparator = '.'; // of the number texts in the files
    int pluItems = 0;            // slots of the range holding an item
    // Items with a name; backups that did not count them are counted from their register.PLU.
    int namedPluItems = 0;
    // Decimals of the amounts in the files: the register's, at least two. Backups that do not
    // say held two, whatever the register counted.
    int amountDecimals = 2;
    int departments = 0;   // departments with a name
    int packagePrices = 0; // package prices other than 0
    int salesRecords = 0;
    std::vector<std::pair<std::string, std::string>> checksums; // file name, SHA-256 in hex

    std::string Text() const;
    // Empty when the file cannot be read or lacks the date or the files.
    static std::optional<TBackupManifest> FromFile(const std::string& path);
};

// SHA-256 of the file's bytes in lower-case hex; empty when it cannot be read.
std::string FileChecksum(const std::string& path);
