<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>Counted</name>
    <message numerus="yes">
        <source>%n items</source>
        <translation>
            <numerusform>%n item</numerusform>
            <numerusform>%n items</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n departments</source>
        <translation>
            <numerusform>%n department</numerusform>
            <numerusform>%n departments</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n package prices</source>
        <translation>
            <numerusform>%n package price</numerusform>
            <numerusform>%n package prices</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n differences</source>
        <translation>
            <numerusform>%n difference</numerusform>
            <numerusform>%n differences</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n matches</source>
        <translation>
            <numerusform>%n match</numerusform>
            <numerusform>%n matches</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n named items</source>
        <translation>
            <numerusform>%n named item</numerusform>
            <numerusform>%n named items</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n sales records</source>
        <translation>
            <numerusform>%n sales record</numerusform>
            <numerusform>%n sales records</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n rows</source>
        <translation>
            <numerusform>%n row</numerusform>
            <numerusform>%n rows</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n decimals</source>
        <translation>
            <numerusform>%n decimal</numerusform>
            <numerusform>%n decimals</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>Plural</name>
    <message numerus="yes">
        <source>Backups in %1 (the newest %n are kept)</source>
        <translation>
            <numerusform>Backups in %1 (the newest %n are kept)</numerusform>
            <numerusform>Backups in %1 (the newest %n are kept)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Nothing changes: %n cells would not pass the check.</source>
        <translation>
            <numerusform>Nothing changes: %n cell would not pass the check.</numerusform>
            <numerusform>Nothing changes: %n cells would not pass the check.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n rows change</source>
        <translation>
            <numerusform>%n row change</numerusform>
            <numerusform>%n rows change</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>; %n unused rows left alone</source>
        <translation>
            <numerusform>; %n unused row left alone</numerusform>
            <numerusform>; %n unused rows left alone</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n rows are set</source>
        <translation>
            <numerusform>%n row is set</numerusform>
            <numerusform>%n rows are set</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n rows are emptied</source>
        <translation>
            <numerusform>%n row is emptied</numerusform>
            <numerusform>%n rows are emptied</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Nothing was imported: %n problems in the file.</source>
        <translation>
            <numerusform>Nothing was imported: %n problem in the file.</numerusform>
            <numerusform>Nothing was imported: %n problems in the file.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Changed %n rows.</source>
        <translation>
            <numerusform>Changed %n row.</numerusform>
            <numerusform>Changed %n rows.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Restored the backup of %1: %n differences were sent.</source>
        <translation>
            <numerusform>Restored the backup of %1: %n difference was sent.</numerusform>
            <numerusform>Restored the backup of %1: %n differences were sent.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Imported %1: %n rows added, %2 changed</source>
        <translation>
            <numerusform>Imported %1: %n row added, %2 changed</numerusform>
            <numerusform>Imported %1: %n rows added, %2 changed</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Exported %n rows to %1.</source>
        <translation>
            <numerusform>Exported %n row to %1.</numerusform>
            <numerusform>Exported %n rows to %1.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n problems: cells the grids would not take as they stand. Double-click a line to go to its cell.</source>
        <translation>
            <numerusform>%n problem: cells the grids would not take as they stand. Double-click a line to go to its cell.</numerusform>
            <numerusform>%n problems: cells the grids would not take as they stand. Double-click a line to go to its cell.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The data to download has %n problems that the grids would not take as they stand.</source>
        <translation>
            <numerusform>The data to download has %n problem that the grids would not take as they stand.</numerusform>
            <numerusform>The data to download has %n problems that the grids would not take as they stand.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n problems in %1.</source>
        <translation>
            <numerusform>%n problem in %1.</numerusform>
            <numerusform>%n problems in %1.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Nothing imported: %n problems; %1 is as it was.</source>
        <translation>
            <numerusform>Nothing imported: %n problem; %1 is as it was.</numerusform>
            <numerusform>Nothing imported: %n problems; %1 is as it was.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n lines written to %1.</source>
        <translation>
            <numerusform>%n line written to %1.</numerusform>
            <numerusform>%n lines written to %1.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n reports</source>
        <translation>
            <numerusform>%n report</numerusform>
            <numerusform>%n reports</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n journal entries</source>
        <translation>
            <numerusform>%n journal entry</numerusform>
            <numerusform>%n journal entries</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n sales snapshots</source>
        <translation>
            <numerusform>%n sales snapshot</numerusform>
            <numerusform>%n sales snapshots</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n sales lines</source>
        <translation>
            <numerusform>%n sales line</numerusform>
            <numerusform>%n sales lines</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n other serial devices are present; --others tries them too.</source>
        <translation>
            <numerusform>%n other serial device is present; --others tries it too.</numerusform>
            <numerusform>%n other serial devices are present; --others tries them too.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Sent %n PLU blocks%1%2%3.</source>
        <translation>
            <numerusform>Sent %n PLU block%1%2%3.</numerusform>
            <numerusform>Sent %n PLU blocks%1%2%3.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Restored: %n differences were sent.</source>
        <translation>
            <numerusform>Restored: %n difference was sent.</numerusform>
            <numerusform>Restored: %n differences were sent.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n items (in)</source>
        <translation>
            <numerusform>%n item</numerusform>
            <numerusform>%n items</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>THistoryJournalTab</name>
    <message numerus="yes">
        <source>%1 at %2 baud: %n block(s), %3 bytes in %4 s</source>
        <translation>
            <numerusform>%1 at %2 baud: %n block, %3 bytes in %4 s</numerusform>
            <numerusform>%1 at %2 baud: %n blocks, %3 bytes in %4 s</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>THistoryReportsTab</name>
    <message numerus="yes">
        <source>%n report(s)</source>
        <translation>
            <numerusform>%n report</numerusform>
            <numerusform>%n reports</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>THistorySalesTab</name>
    <message numerus="yes">
        <source>%n item(s)</source>
        <translation>
            <numerusform>%n item</numerusform>
            <numerusform>%n items</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n department(s)</source>
        <translation>
            <numerusform>%n department</numerusform>
            <numerusform>%n departments</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n line(s) written to %1.</source>
        <translation>
            <numerusform>%n line written to %1.</numerusform>
            <numerusform>%n lines written to %1.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TJobModel</name>
    <message numerus="yes">
        <source>%1 of %n done</source>
        <translation>
            <numerusform>%1 of %n done</numerusform>
            <numerusform>%1 of %n done</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n running</source>
        <translation>
            <numerusform>%n running</numerusform>
            <numerusform>%n running</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n failed</source>
        <translation>
            <numerusform>%n failed</numerusform>
            <numerusform>%n failed</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n cancelled</source>
        <translation>
            <numerusform>%n cancelled</numerusform>
            <numerusform>%n cancelled</numerusform>
        </translation>
    </message>
</context>
</TS>
