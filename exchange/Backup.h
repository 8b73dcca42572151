#pragma once
// Backups of the register: everything it gives (the four kinds for a PLU range, the sales
// counters, the identification) in a dated folder under the user's data directory, the list of
// them, and restoring one. A backup is built in a hidden folder beside the others and renamed
// into place only once every file is whole, so a failure leaves nothing half-written.

#include "BackupManifest.h"
#include "Comparison.h"
#include "FlowOutcome.h"

#include <QString>

#include <functional>
#include <string>
#include <vector>

class TProgress;
class TTolvIBusComm;

inline constexpr int DefaultBackupsKept = 20;

// $XDG_DATA_HOME/quorve-plu/backups (by default ~/.local/share/quorve-plu/backups).
std::string DefaultBackupRoot();

struct TBackupInfo {
    std::string folder;
    TBackupManifest manifest;
};

// The backups of root, newest first. Folders without a readable manifest are not backups.
std::vector<TBackupInfo> ListBackups(const std::string& root);
// Removes the oldest backups of root beyond `keep` (0 keeps all), and folders a backup that
// never finished left more than a day ago; other folders stay.
int PruneBackups(const std::string& root, int keep);

struct TBackupRequest {
    std::string root;
    int rangeBegin = MinPluRange;
    int rangeEnd = MaxPluRange;
    int keep = DefaultBackupsKept;
};

// Reads the register over one connection into a new backup folder of request.root. Amounts are
// kept with every decimal the register counts.
TFlowOutcome BackUpRegister(TTolvIBusComm& bus, TProgress& progress, const TPortSettings& port,
                            const TBackupRequest& request, TBackupInfo& made);

// Done when the folder is a whole backup; otherwise a file failure saying why (the manifest
// unreadable, a file missing or changed).
TFlowOutcome CheckBackup(const std::string& folder, TBackupManifest& manifest);

// What a backup holds, one line each, for people.
QString BackupDescription(const TBackupManifest& manifest);

// Puts a backup back on the register: compares it with the register (all four kinds, the
// backup's range) and sends what differs. A register that counts money with other decimals than
// the backup's is refused (a refused outcome saying so) before anything is sent.
// `beforeSending` sees the comparison and may stop (Cancelled); it is not asked when nothing
// differs.
TFlowOutcome RestoreBackup(TTolvIBusComm& bus, TProgress& progress, const TPortSettings& port,
                           const std::string& folder,
                           const std::function<bool(const TComparison&)>& beforeSending,
                           TComparison& comparison);

// The download dialog's "Back up the register first", kept in SYSTEM.CFG; off by default.
bool BackupBeforeDownload();
bool SetBackupBeforeDownload(bool on);
