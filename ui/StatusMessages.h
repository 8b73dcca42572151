#pragma once
// The lines the status bar shows after a command went through: what was done and how long it
// took. The windows of the commands themselves stay as they are.

#include "TransferContext.h"

#include <QString>

struct TBackupManifest;

// "0.4 s", "27 s", "2 min 05 s".
QString ElapsedText(qint64 milliseconds);

// "Download done: 3000 items, 8 departments, 100 package prices, parameters in 27 s"; word is
// "Download" or "Upload".
QString TransferDoneText(const char* word, KindSet kinds, int rangeBegin, int rangeEnd,
                         qint64 milliseconds);
QString TestDoneText(qint64 milliseconds);
QString CompareDoneText(qint64 differences, qint64 milliseconds);
QString BackupDoneText(const TBackupManifest& manifest, qint64 milliseconds);
QString RestoreDoneText(qint64 differencesSent, qint64 milliseconds);
