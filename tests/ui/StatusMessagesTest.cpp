// What the status bar says after a command went through: counts with their nouns, and times
// short enough to want tenths or long enough to want minutes.
#include "StatusMessages.h"
#include "BackupManifest.h"

#include <gtest/gtest.h>

namespace {

TEST(StatusMessages, SaysWhatWasMovedInWordsThatFitTheCounts) {
    struct Case {
        QString text;
        const char* expected;
    };
    TBackupManifest one;
    one.pluItems = 1;
    one.departments = 1;
    one.packagePrices = 0;
    const Case cases[] = {
        {TransferDoneText("Download", AllKinds, 1, 3000, 27000),
         "Download done: 3000 items, 8 departments, 100 package prices, parameters in 27 s"},
        {TransferDoneText("Upload", KindSet("0001"), 7, 7, 400), "Upload done: 1 item in 0.4 s"},
        {TransferDoneText("Download", KindSet("1000"), 1, 3000, 2049),
         "Download done: parameters in 2.0 s"},
        {TransferDoneText("Upload", KindSet("0101"), 9990, 10000, 61400),
         "Upload done: 11 items, 100 package prices in 1 min 01 s"},
        {TestDoneText(9949), "Test done: the register answered in 9.9 s"},
        {TestDoneText(9950), "Test done: the register answered in 10 s"},
        {CompareDoneText(0, 3000), "Compare done: no differences in 3.0 s"},
        {CompareDoneText(1, 3000), "Compare done: 1 difference in 3.0 s"},
        {CompareDoneText(2996, 3000), "Compare done: 2996 differences in 3.0 s"},
        {BackupDoneText(one, 125000),
         "Backup done: 1 item, 1 department, 0 package prices, parameters in 2 min 05 s"},
        {RestoreDoneText(1, 5000), "Restore done: 1 difference sent in 5.0 s"},
        {RestoreDoneText(0, 5000),
         "Restore done: the register already held the backup, checked in 5.0 s"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.text.toStdString(), c.expected);
}

} // namespace
