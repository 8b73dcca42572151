<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL">
<context>
    <name>Backup</name>
    <message>
        <source>the backup was made with %1 and the register counts money with %2: its prices would change, so nothing was sent</source>
        <translation>kwoty w kopii zapasowej mają %1, a kasa liczy pieniądze z liczbą miejsc po przecinku równą %2: ceny by się zmieniły, więc nic nie wysłano</translation>
    </message>
    <message>
        <source>no backup manifest</source>
        <translation>brak opisu kopii zapasowej</translation>
    </message>
    <message>
        <source>missing</source>
        <translation>brak pliku</translation>
    </message>
    <message>
        <source>changed since the backup was made</source>
        <translation>zmieniony od czasu zrobienia kopii zapasowej</translation>
    </message>
    <message>
        <source>Made: %1</source>
        <translation>Zrobiona: %1</translation>
    </message>
    <message>
        <source>Register: %1</source>
        <translation>Kasa: %1</translation>
    </message>
    <message>
        <source>PLU %1-%2: %3, %4</source>
        <translation>PLU %1-%2: %3, %4</translation>
    </message>
    <message>
        <source>Departments: %1 named</source>
        <translation>Działy: %1 z nazwą</translation>
    </message>
    <message>
        <source>Package prices: %1 set</source>
        <translation>Ceny opakowań: %1 ustawionych</translation>
    </message>
    <message>
        <source>Money decimals: %1</source>
        <translation>Miejsca po przecinku w kwotach: %1</translation>
    </message>
</context>
<context>
    <name>CellCheck</name>
    <message>
        <source>longer than %1 characters</source>
        <translation>dłuższe niż %1 znaków</translation>
    </message>
    <message>
        <source>not a number</source>
        <translation>to nie jest liczba</translation>
    </message>
    <message>
        <source>outside %1 to %2</source>
        <translation>poza zakresem od %1 do %2</translation>
    </message>
    <message>
        <source>above %1</source>
        <translation>powyżej %1</translation>
    </message>
    <message>
        <source>not a whole number from %1 to %2</source>
        <translation>to nie jest liczba całkowita od %1 do %2</translation>
    </message>
    <message>
        <source>not a whole number</source>
        <translation>to nie jest liczba całkowita</translation>
    </message>
    <message>
        <source>PLU name repeat: No. %1 and No. %2</source>
        <translation>Powtórzona nazwa PLU: nr %1 i nr %2</translation>
    </message>
    <message>
        <source>PLU name and Dept name repeat: No. %1 and No. %2</source>
        <translation>Nazwa PLU powtarza nazwę działu: nr %1 i nr %2</translation>
    </message>
    <message>
        <source>PLU BCode repeat: No. %1 and No. %2</source>
        <translation>Powtórzony kod kreskowy PLU: nr %1 i nr %2</translation>
    </message>
    <message>
        <source>Dept name repeat: No. %1 and No. %2</source>
        <translation>Powtórzona nazwa działu: nr %1 i nr %2</translation>
    </message>
    <message>
        <source>Dept name and PLU name repeat: No. %1 and No. %2</source>
        <translation>Nazwa działu powtarza nazwę PLU: nr %1 i nr %2</translation>
    </message>
</context>
<context>
    <name>CliText</name>
    <message>
        <source>history show takes the ID of a report</source>
        <translation>history show przyjmuje identyfikator raportu</translation>
    </message>
    <message>
        <source>history %1 takes no other argument</source>
        <translation>history %1 nie przyjmuje innych argumentów</translation>
    </message>
    <message>
        <source>history sales needs --from DATE and --to DATE</source>
        <translation>history sales wymaga --from DATA i --to DATA</translation>
    </message>
    <message>
        <source>history prune needs --before DATE</source>
        <translation>history prune wymaga --before DATA</translation>
    </message>
    <message>
        <source>--csv goes with history sales</source>
        <translation>--csv dotyczy tylko history sales</translation>
    </message>
    <message>
        <source>--keep takes the number of backups to keep (0 keeps all)</source>
        <translation>--keep przyjmuje liczbę zachowywanych kopii (0 zachowuje wszystkie)</translation>
    </message>
    <message>
        <source>--port needs COM1 to COM4 or a device path</source>
        <translation>--port wymaga COM1–COM4 lub ścieżki urządzenia</translation>
    </message>
    <message>
        <source>--baud takes 9600, 19200, 38400, 57600 or 115200</source>
        <translation>--baud przyjmuje 9600, 19200, 38400, 57600 lub 115200</translation>
    </message>
    <message>
        <source>--config needs the path of a SYSTEM.CFG</source>
        <translation>--config wymaga ścieżki pliku SYSTEM.CFG</translation>
    </message>
    <message>
        <source>--kinds takes plu, dept, recy and param, separated by commas</source>
        <translation>--kinds przyjmuje plu, dept, recy i param, rozdzielone przecinkami</translation>
    </message>
    <message>
        <source>Invalid PLU range: --range takes A-B with 1 &lt;= A &lt;= B &lt;= 10000</source>
        <translation>Nieprawidłowy zakres PLU: --range przyjmuje A-B, gdzie 1 &lt;= A &lt;= B &lt;= 10000</translation>
    </message>
    <message>
        <source>%1 needs a file name</source>
        <translation>%1 wymaga nazwy pliku</translation>
    </message>
    <message>
        <source>--base takes a hexadecimal page number of at most 8 digits</source>
        <translation>--base przyjmuje szesnastkowy numer strony o najwyżej 8 cyfrach</translation>
    </message>
    <message>
        <source>--count takes a number of pages</source>
        <translation>--count przyjmuje liczbę stron</translation>
    </message>
    <message>
        <source>--table takes plu, dept or recy</source>
        <translation>--table przyjmuje plu, dept lub recy</translation>
    </message>
    <message>
        <source>--mode takes replace or update</source>
        <translation>--mode przyjmuje replace lub update</translation>
    </message>
    <message>
        <source>--by needs a value</source>
        <translation>--by wymaga wartości</translation>
    </message>
    <message>
        <source>--map takes FILE-COLUMN=TABLE-COLUMN pairs separated by commas, each file column once: --map &quot;1=Barcode,2=Name,3=Unit price&quot;</source>
        <translation>--map przyjmuje pary KOLUMNA-PLIKU=KOLUMNA-TABELI rozdzielone przecinkami, każdą kolumnę pliku raz: --map &quot;1=Barcode,2=Name,3=Unit price&quot;</translation>
    </message>
    <message>
        <source>--header and --no-header do not go together</source>
        <translation>--header i --no-header wykluczają się</translation>
    </message>
    <message>
        <source>--dialect takes excel, calc or tsv</source>
        <translation>--dialect przyjmuje excel, calc lub tsv</translation>
    </message>
    <message>
        <source>%1 takes a date, YYYY-MM-DD, or a time, YYYY-MM-DDTHH:MM</source>
        <translation>%1 przyjmuje datę RRRR-MM-DD lub czas RRRR-MM-DDTGG:MM</translation>
    </message>
    <message>
        <source>--grep needs the words to look for</source>
        <translation>--grep wymaga szukanych słów</translation>
    </message>
    <message>
        <source>--operation takes download, send-changes, upload, compare, backup, restore, report, test, detect, dump, program or font</source>
        <translation>--operation przyjmuje download, send-changes, upload, compare, backup, restore, report, test, detect, dump, program lub font</translation>
    </message>
    <message>
        <source>--csv needs a file name</source>
        <translation>--csv wymaga nazwy pliku</translation>
    </message>
    <message>
        <source>--lang takes pl or en</source>
        <translation>--lang przyjmuje pl lub en</translation>
    </message>
    <message>
        <source>--history needs the path of a history file</source>
        <translation>--history wymaga ścieżki pliku historii</translation>
    </message>
    <message>
        <source>unknown option %1</source>
        <translation>nieznana opcja %1</translation>
    </message>
    <message>
        <source>unknown command %1</source>
        <translation>nieznane polecenie %1</translation>
    </message>
    <message>
        <source>--paths takes no command</source>
        <translation>--paths nie przyjmuje polecenia</translation>
    </message>
    <message>
        <source>no command given</source>
        <translation>nie podano polecenia</translation>
    </message>
    <message>
        <source>--by takes item or department</source>
        <translation>--by przyjmuje item lub department</translation>
    </message>
    <message>
        <source>--by takes number or barcode</source>
        <translation>--by przyjmuje number lub barcode</translation>
    </message>
    <message>
        <source>--no-archive goes with report</source>
        <translation>--no-archive dotyczy tylko report</translation>
    </message>
    <message>
        <source>this command takes no file</source>
        <translation>to polecenie nie przyjmuje pliku</translation>
    </message>
    <message>
        <source>this command takes at most one folder</source>
        <translation>to polecenie przyjmuje najwyżej jeden folder</translation>
    </message>
    <message>
        <source>this command takes exactly one file</source>
        <translation>to polecenie przyjmuje dokładnie jeden plik</translation>
    </message>
    <message>
        <source>this command takes exactly two files</source>
        <translation>to polecenie przyjmuje dokładnie dwa pliki</translation>
    </message>
    <message>
        <source>--by barcode matches PLU rows in --mode update only</source>
        <translation>--by barcode dopasowuje wiersze PLU tylko w --mode update</translation>
    </message>
    <message>
        <source>--map, --header and --no-header go with import</source>
        <translation>--map, --header i --no-header dotyczą tylko import</translation>
    </message>
    <message>
        <source>--changed goes with download</source>
        <translation>--changed dotyczy tylko download</translation>
    </message>
    <message>
        <source>--changed and --backup-first do not go together</source>
        <translation>--changed i --backup-first wykluczają się</translation>
    </message>
    <message>
        <source>The history is not kept: %1</source>
        <translation>Historia nie jest zapisywana: %1</translation>
    </message>
    <message>
        <source>The journal entry was not written (%1).</source>
        <translation>Nie zapisano wpisu dziennika (%1).</translation>
    </message>
    <message>
        <source>header on line %1</source>
        <translation>nagłówek w wierszu %1</translation>
    </message>
    <message>
        <source>no header line</source>
        <translation>bez wiersza nagłówka</translation>
    </message>
    <message>
        <source>%1: columns %2</source>
        <translation>%1: kolumny %2</translation>
    </message>
    <message>
        <source>%1: ignored columns: %2</source>
        <translation>%1: pominięte kolumny: %2</translation>
    </message>
    <message>
        <source>Rows are matched by PLU number unless --by barcode is given; --mode replace puts the file&apos;s rows in their order and empties the others.</source>
        <translation>Wiersze są dopasowywane według numeru PLU, chyba że podano --by barcode; --mode replace wstawia wiersze pliku po kolei i czyści pozostałe.</translation>
    </message>
    <message>
        <source>Imported %1 into %2: %3 added, %4 changed, %5 emptied.</source>
        <translation>Zaimportowano %1 do %2: dodano %3, zmieniono %4, wyczyszczono %5.</translation>
    </message>
    <message>
        <source>Exported %1 to %2.</source>
        <translation>Wyeksportowano %1 do %2.</translation>
    </message>
    <message>
        <source>No archived report matches.</source>
        <translation>Żaden zarchiwizowany raport nie pasuje.</translation>
    </message>
    <message>
        <source>history show takes the ID of a report, as history reports lists</source>
        <translation>history show przyjmuje identyfikator raportu, taki jak podaje history reports</translation>
    </message>
    <message>
        <source>no archived report has the ID %1</source>
        <translation>żaden zarchiwizowany raport nie ma identyfikatora %1</translation>
    </message>
    <message>
        <source>No journal entry matches.</source>
        <translation>Żaden wpis dziennika nie pasuje.</translation>
    </message>
    <message>
        <source>Nothing was sold between these dates, as far as the snapshots tell.</source>
        <translation>Według zapisanych stanów między tymi datami nic nie sprzedano.</translation>
    </message>
    <message>
        <source>%1 is damaged; a backup folder holds a copy of it.</source>
        <translation>%1 jest uszkodzony; kopia znajduje się w folderze kopii zapasowej.</translation>
    </message>
    <message>
        <source>%1, %2 and %3 (%4)</source>
        <translation>%1, %2 i %3 (%4)</translation>
    </message>
    <message>
        <source>Would delete %1 from before %2.</source>
        <translation>Zostałyby usunięte: %1 sprzed %2.</translation>
    </message>
    <message>
        <source>%1: nothing was deleted (%2)</source>
        <translation>%1: nic nie usunięto (%2)</translation>
    </message>
    <message>
        <source>Deleted %1 from before %2.</source>
        <translation>Usunięto: %1 sprzed %2.</translation>
    </message>
    <message>
        <source>The register was not asked for its report, so it keeps it.</source>
        <translation>Kasy nie poproszono o raport, więc go zachowuje.</translation>
    </message>
    <message>
        <source>The register answered on %1.</source>
        <translation>Kasa odpowiedziała na %1.</translation>
    </message>
    <message>
        <source>Register found on %1. Add --apply to use it as %2.</source>
        <translation>Znaleziono kasę na %1. Dodaj --apply, aby użyć jej jako %2.</translation>
    </message>
    <message>
        <source>%1 now opens %2 and is the port in %3.</source>
        <translation>%1 otwiera teraz %2 i jest portem w %3.</translation>
    </message>
    <message>
        <source>Cancelled.</source>
        <translation>Anulowano.</translation>
    </message>
    <message>
        <source>COM%1 is now the port in %2.</source>
        <translation>COM%1 jest teraz portem w %2.</translation>
    </message>
    <message>
        <source>Listing in %1, raw bytes in %2.</source>
        <translation>Wydruk w %1, surowe bajty w %2.</translation>
    </message>
    <message>
        <source>Nothing to send: the register holds what the document holds.</source>
        <translation>Nie ma czego wysyłać: kasa zawiera to, co dokument.</translation>
    </message>
    <message>
        <source>, the departments</source>
        <translation>, działy</translation>
    </message>
    <message>
        <source>, the package prices</source>
        <translation>, ceny kaucji</translation>
    </message>
    <message>
        <source>, the parameters</source>
        <translation>, parametry</translation>
    </message>
    <message>
        <source>The history file was not copied into the backup (%1).</source>
        <translation>Pliku historii nie skopiowano do kopii zapasowej (%1).</translation>
    </message>
    <message>
        <source>Backup made in %1.</source>
        <translation>Kopię zapasową utworzono w %1.</translation>
    </message>
    <message>
        <source>the register was not backed up, so nothing was sent</source>
        <translation>nie utworzono kopii zapasowej kasy, więc nic nie wysłano</translation>
    </message>
    <message>
        <source>Written %1 and its .DEP and .RCY files.</source>
        <translation>Zapisano %1 oraz jego pliki .DEP i .RCY.</translation>
    </message>
    <message>
        <source>No backup was made.</source>
        <translation>Nie utworzono kopii zapasowej.</translation>
    </message>
    <message>
        <source>No backups in %1.</source>
        <translation>Brak kopii zapasowych w %1.</translation>
    </message>
    <message>
        <source>The register already held this backup.</source>
        <translation>Kasa zawierała już tę kopię zapasową.</translation>
    </message>
    <message>
        <source>--group goes with registers add</source>
        <translation>--group dotyczy tylko registers add</translation>
    </message>
    <message>
        <source>registers takes add, remove, rename or detect</source>
        <translation>registers przyjmuje add, remove, rename lub detect</translation>
    </message>
    <message>
        <source>registers rename takes the old name and the new one</source>
        <translation>registers rename przyjmuje starą i nową nazwę</translation>
    </message>
    <message>
        <source>registers detect takes no name</source>
        <translation>registers detect nie przyjmuje nazwy</translation>
    </message>
    <message>
        <source>registers %1 takes the register&apos;s name</source>
        <translation>registers %1 przyjmuje nazwę kasy</translation>
    </message>
    <message>
        <source>--port, --baud and --group go with registers add</source>
        <translation>--port, --baud i --group dotyczą tylko registers add</translation>
    </message>
    <message>
        <source>history takes no --registers, --group or --all</source>
        <translation>history nie przyjmuje --registers, --group ani --all</translation>
    </message>
    <message>
        <source>registers takes no --register, --registers or --all</source>
        <translation>registers nie przyjmuje --register, --registers ani --all</translation>
    </message>
    <message>
        <source>--register names one register; --registers, --group and --all choose several</source>
        <translation>--register wskazuje jedną kasę; --registers, --group i --all wybierają kilka</translation>
    </message>
    <message>
        <source>a register of the list has its own settings file: --config goes with neither --register nor --registers, --group and --all</source>
        <translation>kasa z listy ma własny plik ustawień: --config nie łączy się z --register ani z --registers, --group i --all</translation>
    </message>
    <message>
        <source>--registers, --group and --all go with download, report, backup, compare and test</source>
        <translation>--registers, --group i --all dotyczą tylko download, report, backup, compare i test</translation>
    </message>
    <message>
        <source>each register has its own port: --port and --baud go with one register</source>
        <translation>każda kasa ma własny port: --port i --baud dotyczą jednej kasy</translation>
    </message>
    <message>
        <source>-o goes with one register for compare</source>
        <translation>-o przy compare dotyczy jednej kasy</translation>
    </message>
    <message>
        <source>history takes reports, show, journal, sales, check, prune or push</source>
        <translation>history przyjmuje reports, show, journal, sales, check, prune lub push</translation>
    </message>
    <message>
        <source>--registers needs names of registers or groups, separated by commas</source>
        <translation>--registers wymaga nazw kas lub grup rozdzielonych przecinkami</translation>
    </message>
    <message>
        <source>--group needs the name of a group</source>
        <translation>--group wymaga nazwy grupy</translation>
    </message>
    <message>
        <source>registers takes an action and at most two names</source>
        <translation>registers przyjmuje czynność i najwyżej dwie nazwy</translation>
    </message>
    <message>
        <source>The register list is empty, so the program works with %1 alone. Add a register with: quorve-plu-cli registers add NAME</source>
        <translation>Lista kas jest pusta, więc program pracuje tylko z %1. Kasę dodaje się poleceniem: quorve-plu-cli registers add NAZWA</translation>
    </message>
    <message>
        <source>%1 is on the list: %2 (%3) at %4, its settings in %5.</source>
        <translation>%1 jest na liście: %2 (%3) z prędkością %4, jej ustawienia w %5.</translation>
    </message>
    <message>
        <source>It starts from today&apos;s settings (%1), which commands without --register keep using.</source>
        <translation>Zaczyna od obecnych ustawień (%1), których nadal używają polecenia bez --register.</translation>
    </message>
    <message>
        <source>Add it with: quorve-plu-cli registers add NAME --port %1</source>
        <translation>Dodaj ją poleceniem: quorve-plu-cli registers add NAZWA --port %1</translation>
    </message>
    <message>
        <source>Press Enter when it is (n and Enter skips it).</source>
        <translation>Naciśnij Enter, gdy jest podłączona (n i Enter ją pomija).</translation>
    </message>
    <message>
        <source>%1 share %2: they run one after another.</source>
        <translation>%1 dzielą %2: pracują po kolei.</translation>
    </message>
    <message>
        <source>Cancelled: every register running is told the connection ends.</source>
        <translation>Anulowano: każda pracująca kasa dostaje informację o końcu połączenia.</translation>
    </message>
    <message>
        <source>%1: started on %2 (%3)</source>
        <translation>%1: rozpoczęto na %2 (%3)</translation>
    </message>
    <message>
        <source>No serial device is free: every one present belongs to a register of the list.</source>
        <translation>Żadne urządzenie szeregowe nie jest wolne: każde obecne należy do kasy z listy.</translation>
    </message>
    <message>
        <source>The report could not be written to %1.</source>
        <translation>Nie udało się zapisać raportu do %1.</translation>
    </message>
    <message>
        <source>It is kept in %1.</source>
        <translation>Jest przechowany w %1.</translation>
    </message>
    <message>
        <source>Nor could it be kept in %1; here it is:</source>
        <translation>Nie udało się go też przechować w %1; oto on:</translation>
    </message>
    <message>
        <source>the register &quot;%1&quot; has no document of its own: give FILE.PLU</source>
        <translation>kasa „%1” nie ma własnego dokumentu: podaj PLIK.PLU</translation>
    </message>
    <message>
        <source>the backup was made from register &quot;%1&quot;, not &quot;%2&quot;; add --force to restore it anyway</source>
        <translation>kopię zapasową zrobiono z kasy „%1”, nie „%2”; dodaj --force, aby mimo to ją przywrócić</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>%1 (see quorve-plu-cli --help)</source>
        <translation>%1 (zobacz quorve-plu-cli --help)</translation>
    </message>
    <message>
        <source>usage: quorve-plu-cli COMMAND [FILE] [OPTIONS]
       quorve-plu-cli --paths [--config PATH] [--json]

Moves a shop&apos;s PLU items, departments, package prices and parameters between the PC and the
Quorve register, as the window program does.

Commands:
  download FILE.PLU [--kinds K] [--range A-B]
        send the document (and the parameters of SYSTEM.CFG) to the register
        quorve-plu-cli download shop.PLU --kinds plu,dept --range 1-3000
  upload FILE.PLU [--kinds K] [--range A-B] [--force]
        read the register into a new document (and its parameters into SYSTEM.CFG);
        an existing document is replaced only with --force
        quorve-plu-cli upload register.PLU --force
  report [-o FILE] [--raw] [--no-archive]
        read the register&apos;s report text (UTF-8; the register&apos;s bytes with --raw); it is kept
        in the history before the register is told to clear it, and when it cannot be kept
        the register keeps it (exit 4); --no-archive clears it without keeping it
        quorve-plu-cli report -o z-report.txt
  test
        connect to the register and disconnect again
        quorve-plu-cli test --port COM1
  detect [--apply] [--others]
        look for the register on COM1 to COM4; --apply keeps the port found in SYSTEM.CFG;
        --others then tries the serial devices no COM name opens, and with --apply maps the
        one the register answered on to the configured COM name
        quorve-plu-cli detect --others --apply
  ports
        list the serial devices of this computer and the COM names that open them
        quorve-plu-cli ports --json
  dump [--base HEX] [--count N] [--ram] [-o FILE]
        copy register memory pages (default base 0, 8 pages, ROM) into a listing (default
        TEMP.LOG in the program&apos;s log folder, see --paths) and the raw bytes (TEMP.BIN)
        quorve-plu-cli dump --base 1F00 --count 16 --ram -o ram.log
  program IMAGE
        load a program image (.hex) into the register
        quorve-plu-cli program firmware.hex
  font FILE
        load a font (.fnt) into the register
        quorve-plu-cli font receipt.fnt
  check FILE.PLU
        check every cell as typing would; one line &quot;FILE:row:column: reason&quot; per problem
        quorve-plu-cli check shop.PLU
  import SHEET DOC.PLU [--table T] [--mode update|replace] [--by number|barcode]
         [--map MAP] [--header|--no-header]
        put a spreadsheet file (CSV or TSV as Excel, Calc or a shop system writes it; the
        separator, decimal separator and encoding are found and told on stderr) into a table
        of the document; every cell is checked as typing would check it, and on any problem
        nothing is written and the problems are listed; a missing DOC.PLU is made from a new
        document.
        update (the default): only the rows the file names change, matched by PLU number or
        barcode, and its empty cells keep the document&apos;s value; replace: the file&apos;s rows
        become the table (by their number column, else by their place in the file) and every
        other row is emptied.
        Columns are found by the header&apos;s names (English, Polish or German) or by position;
        --map assigns them: 1 is the file&apos;s first column, the names are the table&apos;s column
        titles, &quot;ignore&quot; feeds none, and columns --map leaves out are ignored
        quorve-plu-cli import prices.csv shop.PLU --by barcode
        quorve-plu-cli import list.csv shop.PLU --no-header --map &quot;1=Barcode,2=Name,3=Unit price&quot;
  export DOC.PLU SHEET [--table T] [--dialect excel|calc|tsv] [--codepage]
        write a table of the document as a spreadsheet file with a header row, UTF-8 with a
        BOM (the document&apos;s code page with --codepage)
        quorve-plu-cli export shop.PLU prices.csv --dialect calc
  compare FILE.PLU [--kinds K] [--range A-B] [-o FILE]
        read the register and list what a download would change, one line per difference
        (exit 0 when equal, 10 when different); -o also saves the list
        quorve-plu-cli compare shop.PLU --kinds plu --range 1-3000
  download --changed FILE.PLU [--kinds K] [--range A-B]
        compare first, then send only the PLU blocks, departments, package prices and
        parameters that differ
        quorve-plu-cli download --changed shop.PLU --range 1-3000
  backup [DIR] [--range A-B] [--keep N]
        read everything the register holds into a new dated folder of DIR (default
        ~/.local/share/quorve-plu/backups); the newest N (default 20, 0 = all) are kept
        quorve-plu-cli backup
  backups [DIR]
        list the backups, newest first: date, register, PLU range and counts, folder
        quorve-plu-cli backups
  restore DIR [--force]
        put a backup folder back on the register: what differs is sent; --force restores
        onto a register with another identification
        quorve-plu-cli restore ~/.local/share/quorve-plu/backups/2025-01-31_14-03-22
  registers [--json]
        the shop&apos;s registers: name, port and device, rate, groups, the identification each
        last answered with, its own document
        quorve-plu-cli registers --json
  registers add NAME [--port P] [--baud R] [--group G]
        put a register on the list; its own SYSTEM.CFG starts as a copy of today&apos;s (the first
        register so takes today&apos;s settings), with the port and rate given (default today&apos;s);
        G: its groups, separated by commas
        quorve-plu-cli registers add Till-2 --port /dev/serial/by-id/usb-FTDI_A1-if00-port0
  registers remove NAME
        take a register off the list; its folder is kept in the list&apos;s .removed folder
        quorve-plu-cli registers remove Till-2
  registers rename OLD NEW
        give a register another name
        quorve-plu-cli registers rename Till-2 Back-till
  registers detect
        try the serial devices no register of the list uses, and offer each one a register
        answers on
        quorve-plu-cli registers detect
  history reports [--since DATE] [--until DATE] [--register NAME] [--grep TEXT]
        the archived reports, newest first: ID, date, register, first line; --grep finds
        the reports holding every word of TEXT (or words starting so)
        quorve-plu-cli history reports --since 2026-01-01 --grep refund
  history show ID [-o FILE] [--raw]
        one archived report&apos;s text (the register&apos;s bytes with --raw)
        quorve-plu-cli history show 1021 -o z-report.txt
  history journal [--since DATE] [--operation OP] [--failed]
        every operation with a register: when, which register and port, what, the result,
        blocks and bytes moved
        quorve-plu-cli history journal --operation download --failed
  history sales --from DATE --to DATE [--by item|department] [--csv FILE] [--dialect D]
        what was sold between the dates (from the sales counters of the uploads and
        backups), per item or per department, largest total first; --csv writes it as a
        spreadsheet file
        quorve-plu-cli history sales --from 2026-01-01 --to 2026-01-31 --by department
  history check
        SQLite&apos;s check of the whole history file (&quot;ok&quot;, or what is damaged: exit 5)
  history push [--wait SECONDS]
        sends what is new in the history file to the chain&apos;s server (--history
        postgresql://..., or Server in SYSTEM.CFG&apos;s [History]); each row once, however
        often it runs; waits up to SECONDS (default 60) for a server that is down
        quorve-plu-cli history push --history postgresql://shop1@hq.example.com/chain
  history prune --before DATE [--dry-run]
        delete the reports, journal entries and sales snapshots from before DATE (nothing is
        ever deleted otherwise); --dry-run only says what would be deleted
        quorve-plu-cli history prune --before 2016-01-01 --dry-run

Options:
  --kinds K      plu, dept, recy, param, separated by commas (default all four)
  --range A-B    PLU numbers, 1 &lt;= A &lt;= B &lt;= 10000 (default 1-10000)
  --port P       COM1 to COM4 (mapped to a device by [Ports] of SYSTEM.CFG), or a device
                 path used as it is (default the port SYSTEM.CFG configures)
  --baud R       9600, 19200, 38400, 57600 or 115200 (default from SYSTEM.CFG)
  --config PATH  the SYSTEM.CFG to use (default the program&apos;s own, see --paths)
  --table T      plu, dept or recy: the PLU items, the departments or the package prices
                 (default plu)
  --map MAP      import: which table column each file column feeds, e.g.
                 &quot;1=Barcode,2=Name,3=Unit price,4=ignore&quot;
  --header       import: the first line names the columns (found by its names otherwise)
  --no-header    import: the first line is a row like the others
  --dialect D    excel: &apos;;&apos; and decimal comma where the locale writes a decimal comma, &apos;,&apos;
                 and point otherwise (the default); calc: &apos;,&apos; and the locale&apos;s decimal
                 separator; tsv: tabs
  --backup-first download: back the register up (as backup does) and send nothing if
                 that fails
  --register NAME
                 the register of the list to talk to: its own SYSTEM.CFG (port, rate,
                 parameters), its DEBUG.LOG and its own backup folder; download without
                 FILE.PLU sends its own document
  --registers A,B
                 download, report, backup, compare or test for several registers (or groups)
                 of the list, each in a job of its own: registers on different ports at the
                 same time, registers that share a port one after another; one failing
                 stops only its own job. With --json one object per register; exit 0 when
                 all are done, 1 when any failed (named on stderr), 10 when compare found
                 differences; report -o takes a folder (a dated file per register)
                 quorve-plu-cli download shop.PLU --registers Till-1,Till-2 --changed
  --group G      the registers of a group, as --registers (registers add: the new
                 register&apos;s groups)
  --all          every register of the list, as --registers
  --history FILE the history file (default ~/.local/share/quorve-plu/history.sqlite,
                 XDG_DATA_HOME)
  --history postgresql://USER@HOST[:PORT]/DATABASE[?sslmode=verify-full&amp;...]
                 the chain&apos;s shared server (or service=NAME); never with a password in it:
                 ~/.pgpass or pg_service.conf holds it. The history commands read it
  DATE           YYYY-MM-DD or YYYY-MM-DDTHH:MM in local time; --until and --to take in the
                 whole day (or minute) they name
  --json         one JSON object per line on standard output: progress events and a final
                 {&quot;result&quot;: ...}
  --quiet        no progress, only errors
  --lang L       pl or en: the language of the texts for people (default from LANG and
                 LANGUAGE); --json output and check&apos;s lines stay English
  --paths        where SYSTEM.CFG, the language file, DEBUG.LOG, the dumps and the guide
                 are: beside the program when its folder is writable, otherwise (installed)
                 ~/.config/quorve-plu/ and ~/.local/state/quorve-plu/ (XDG_CONFIG_HOME,
                 XDG_STATE_HOME)
  --help         this text
  --version      the program&apos;s version

Exit codes: 0 done; 1 the register failed or refused; 2 wrong command line; 3 the port could not
be opened; 4 a file could not be read or written (also: upload would replace a document without
--force; report: the report could not be archived); 5 check, import or history check found
problems; 10 compare found differences; 130 cancelled
(Ctrl+C, SIGTERM).
</source>
        <translation>użycie: quorve-plu-cli POLECENIE [PLIK] [OPCJE]
        quorve-plu-cli --paths [--config ŚCIEŻKA] [--json]

Przenosi towary PLU sklepu, działy, ceny kaucji i parametry między komputerem a kasą
Quorve, tak jak program okienkowy.

Polecenia:
  download PLIK.PLU [--kinds K] [--range A-B]
        wysyła dokument (i parametry z SYSTEM.CFG) do kasy
        quorve-plu-cli download sklep.PLU --kinds plu,dept --range 1-3000
  upload PLIK.PLU [--kinds K] [--range A-B] [--force]
        odczytuje kasę do nowego dokumentu (a jej parametry do SYSTEM.CFG);
        istniejący dokument jest zastępowany tylko z --force
        quorve-plu-cli upload kasa.PLU --force
  report [-o PLIK] [--raw] [--no-archive]
        odczytuje tekst raportu kasy (UTF-8; bajty kasy z --raw); zanim kasa dostanie
        polecenie wyzerowania, raport trafia do historii, a gdy nie da się go zachować,
        kasa go zachowuje (kod 4); --no-archive zeruje go bez zachowania
        quorve-plu-cli report -o raport-z.txt
  test
        łączy się z kasą i rozłącza
        quorve-plu-cli test --port COM1
  detect [--apply] [--others]
        szuka kasy na COM1–COM4; --apply zapisuje znaleziony port w SYSTEM.CFG;
        --others sprawdza potem urządzenia szeregowe, których nie otwiera żadna nazwa COM,
        a z --apply przypisuje to, na którym kasa odpowiedziała, do ustawionej nazwy COM
        quorve-plu-cli detect --others --apply
  ports
        wymienia urządzenia szeregowe tego komputera i nazwy COM, które je otwierają
        quorve-plu-cli ports --json
  dump [--base HEX] [--count N] [--ram] [-o PLIK]
        kopiuje strony pamięci kasy (domyślnie od 0, 8 stron, ROM) do wydruku (domyślnie
        TEMP.LOG w folderze dzienników programu, zobacz --paths) i surowe bajty (TEMP.BIN)
        quorve-plu-cli dump --base 1F00 --count 16 --ram -o ram.log
  program OBRAZ
        wgrywa obraz programu (.hex) do kasy
        quorve-plu-cli program firmware.hex
  font PLIK
        wgrywa czcionkę (.fnt) do kasy
        quorve-plu-cli font paragon.fnt
  check PLIK.PLU
        sprawdza każdą komórkę tak jak przy wpisywaniu; jeden wiersz
        &quot;PLIK:wiersz:kolumna: przyczyna&quot; na problem (po angielsku, dla skryptów)
        quorve-plu-cli check sklep.PLU
  import ARKUSZ DOK.PLU [--table T] [--mode update|replace] [--by number|barcode]
         [--map MAPA] [--header|--no-header]
        wstawia plik arkusza (CSV lub TSV, tak jak zapisuje go Excel, Calc lub system
        sklepowy; separator, separator dziesiętny i kodowanie są rozpoznawane i podawane na
        stderr) do tabeli dokumentu; każda komórka jest sprawdzana tak jak przy wpisywaniu,
        a przy jakimkolwiek problemie nic nie jest zapisywane i problemy są wymieniane;
        brakujący DOK.PLU powstaje z nowego dokumentu.
        update (domyślnie): zmieniają się tylko wiersze wskazane w pliku, dopasowane według
        numeru PLU lub kodu kreskowego, a puste komórki pliku zachowują wartość dokumentu;
        replace: wiersze pliku stają się tabelą (według kolumny numeru, a bez niej według
        kolejności w pliku) i każdy inny wiersz jest czyszczony.
        Kolumny są rozpoznawane po nazwach w nagłówku (angielskich, polskich lub
        niemieckich) albo po położeniu; --map je przypisuje: 1 to pierwsza kolumna pliku,
        nazwy to tytuły kolumn tabeli, &quot;ignore&quot; nie zasila żadnej, a kolumny pominięte
        w --map są ignorowane
        quorve-plu-cli import ceny.csv sklep.PLU --by barcode
        quorve-plu-cli import lista.csv sklep.PLU --no-header --map &quot;1=Barcode,2=Name,3=Unit price&quot;
  export DOK.PLU ARKUSZ [--table T] [--dialect excel|calc|tsv] [--codepage]
        zapisuje tabelę dokumentu jako plik arkusza z wierszem nagłówka, w UTF-8 z BOM
        (w stronie kodowej dokumentu z --codepage)
        quorve-plu-cli export sklep.PLU ceny.csv --dialect calc
  compare PLIK.PLU [--kinds K] [--range A-B] [-o PLIK]
        odczytuje kasę i wymienia, co zmieniłoby wysłanie, po jednym wierszu na różnicę
        (kod 0, gdy są równe, 10, gdy się różnią); -o dodatkowo zapisuje listę
        quorve-plu-cli compare sklep.PLU --kinds plu --range 1-3000
  download --changed PLIK.PLU [--kinds K] [--range A-B]
        najpierw porównuje, potem wysyła tylko te bloki PLU, działy, ceny kaucji i
        parametry, które się różnią
        quorve-plu-cli download --changed sklep.PLU --range 1-3000
  backup [FOLDER] [--range A-B] [--keep N]
        odczytuje całą zawartość kasy do nowego folderu z datą w FOLDER (domyślnie
        ~/.local/share/quorve-plu/backups); zachowywanych jest N najnowszych (domyślnie 20,
        0 = wszystkie)
        quorve-plu-cli backup
  backups [FOLDER]
        wymienia kopie zapasowe od najnowszej: data, kasa, zakres i liczby PLU, folder
        quorve-plu-cli backups
  restore FOLDER [--force]
        przywraca folder kopii zapasowej do kasy: wysyłane jest to, co się różni; --force
        przywraca do kasy o innej identyfikacji
        quorve-plu-cli restore ~/.local/share/quorve-plu/backups/2025-01-31_14-03-22
  registers [--json]
        kasy sklepu: nazwa, port i urządzenie, prędkość, grupy, identyfikacja, którą każda
        ostatnio podała, jej własny dokument
        quorve-plu-cli registers --json
  registers add NAZWA [--port P] [--baud R] [--group G]
        dodaje kasę do listy; jej własny SYSTEM.CFG zaczyna jako kopia obecnego (pierwsza
        kasa przejmuje więc obecne ustawienia), z podanym portem i prędkością (domyślnie
        obecne); G: jej grupy, rozdzielone przecinkami
        quorve-plu-cli registers add Kasa-2 --port /dev/serial/by-id/usb-FTDI_A1-if00-port0
  registers remove NAZWA
        usuwa kasę z listy; jej folder zostaje w folderze .removed listy
        quorve-plu-cli registers remove Kasa-2
  registers rename STARA NOWA
        nadaje kasie inną nazwę
        quorve-plu-cli registers rename Kasa-2 Kasa-tyl
  registers detect
        sprawdza urządzenia szeregowe nieużywane przez żadną kasę z listy i proponuje
        każde, na którym odpowiada kasa
        quorve-plu-cli registers detect
  history reports [--since DATA] [--until DATA] [--register NAZWA] [--grep TEKST]
        zarchiwizowane raporty od najnowszego: identyfikator, data, kasa, pierwszy wiersz;
        --grep znajduje raporty zawierające każde słowo TEKSTU (lub słowa tak zaczynające się)
        quorve-plu-cli history reports --since 2026-01-01 --grep zwrot
  history show ID [-o PLIK] [--raw]
        tekst jednego zarchiwizowanego raportu (bajty kasy z --raw)
        quorve-plu-cli history show 1021 -o raport-z.txt
  history journal [--since DATA] [--operation OP] [--failed]
        każda operacja z kasą: kiedy, która kasa i port, co, wynik, przeniesione bloki i
        bajty
        quorve-plu-cli history journal --operation download --failed
  history sales --from DATA --to DATA [--by item|department] [--csv PLIK] [--dialect D]
        co sprzedano między datami (z liczników sprzedaży odczytów i kopii zapasowych),
        według towaru lub działu, od największej wartości; --csv zapisuje to jako plik
        arkusza
        quorve-plu-cli history sales --from 2026-01-01 --to 2026-01-31 --by department
  history check
        sprawdzenie całego pliku historii przez SQLite (&quot;ok&quot; albo co jest uszkodzone: kod 5)
  history prune --before DATA [--dry-run]
        usuwa raporty, wpisy dziennika i stany sprzedaży sprzed DATY (poza tym nic nigdy
        nie jest usuwane); --dry-run tylko mówi, co zostałoby usunięte
        quorve-plu-cli history prune --before 2016-01-01 --dry-run
  history push [--wait SEKUNDY]
        wysyła to, co nowe w pliku historii, na serwer sieci (--history
        postgresql://... lub Server w sekcji [History] pliku SYSTEM.CFG); każdy wiersz raz,
        bez względu na liczbę uruchomień; czeka do SEKUND (domyślnie 60) na niedziałający
        serwer
        quorve-plu-cli history push --history postgresql://shop1@hq.example.com/chain

Opcje:
  --kinds K      plu, dept, recy, param, rozdzielone przecinkami (domyślnie wszystkie cztery)
  --range A-B    numery PLU, 1 &lt;= A &lt;= B &lt;= 10000 (domyślnie 1-10000)
  --port P       COM1–COM4 (przypisane do urządzenia w sekcji [Ports] pliku SYSTEM.CFG)
                 lub ścieżka urządzenia użyta wprost (domyślnie port z SYSTEM.CFG)
  --baud R       9600, 19200, 38400, 57600 lub 115200 (domyślnie z SYSTEM.CFG)
  --config ŚCIEŻKA  używany plik SYSTEM.CFG (domyślnie własny plik programu, zobacz
                 --paths)
  --table T      plu, dept lub recy: towary PLU, działy lub ceny kaucji (domyślnie plu)
  --map MAPA     import: którą kolumnę tabeli zasila każda kolumna pliku, np.
                 &quot;1=Barcode,2=Name,3=Unit price,4=ignore&quot;
  --header       import: pierwszy wiersz zawiera nazwy kolumn (inaczej rozpoznawany po
                 nazwach)
  --no-header    import: pierwszy wiersz jest zwykłym wierszem danych
  --dialect D    excel: &apos;;&apos; i przecinek dziesiętny, gdy ustawienia regionalne piszą
                 przecinek dziesiętny, a &apos;,&apos; i kropka w przeciwnym razie (domyślnie);
                 calc: &apos;,&apos; i separator dziesiętny ustawień regionalnych; tsv: tabulatory
  --backup-first download: najpierw zrób kopię zapasową kasy (jak backup) i nic nie
                 wysyłaj, jeśli się nie uda
  --history PLIK plik historii (domyślnie ~/.local/share/quorve-plu/history.sqlite,
                 XDG_DATA_HOME)
  --history postgresql://UŻYTKOWNIK@HOST[:PORT]/BAZA[?sslmode=verify-full&amp;...]
                 wspólny serwer sieci (lub service=NAZWA); nigdy z hasłem w adresie:
                 przechowuje je ~/.pgpass lub pg_service.conf. Polecenia historii go czytają
  --register NAZWA
                 kasa z listy, z którą rozmawiać: jej własny SYSTEM.CFG (port, prędkość,
                 parametry), jej DEBUG.LOG i własny folder kopii; download bez PLIK.PLU
                 wysyła jej własny dokument
  --registers A,B
                 download, report, backup, compare lub test dla kilku kas (lub grup) z
                 listy, każda we własnym zadaniu: kasy na różnych portach jednocześnie, kasy
                 dzielące port po kolei; kasa, która zawiedzie, zatrzymuje tylko swoje
                 zadanie. Z --json jeden obiekt na kasę; kod 0, gdy wszystkie się udały, 1,
                 gdy któraś zawiodła (wymieniona na stderr), 10, gdy compare znalazło
                 różnice; report -o przyjmuje folder (plik z datą dla każdej kasy)
                 quorve-plu-cli download sklep.PLU --registers Kasa-1,Kasa-2 --changed
  --group G      kasy grupy, jak --registers (registers add: grupy nowej kasy)
  --all          każda kasa z listy, jak --registers
  DATA           RRRR-MM-DD lub RRRR-MM-DDTGG:MM w czasie lokalnym; --until i --to
                 obejmują cały wskazany dzień (lub minutę)
  --json         jeden obiekt JSON na wiersz na standardowym wyjściu: zdarzenia postępu
                 i końcowy {&quot;result&quot;: ...}; zawsze po angielsku
  --quiet        bez postępu, tylko błędy
  --lang L       pl lub en: język tekstów dla ludzi (domyślnie z LANG i LANGUAGE);
                 wyjście --json i wiersze check pozostają po angielsku
  --paths        gdzie są SYSTEM.CFG, plik językowy, DEBUG.LOG, zrzuty i podręcznik:
                 obok programu, gdy jego folder jest zapisywalny, a w przeciwnym razie
                 (instalacja) ~/.config/quorve-plu/ i ~/.local/state/quorve-plu/
                 (XDG_CONFIG_HOME, XDG_STATE_HOME)
  --help         ten tekst
  --version      wersja programu

Kody wyjścia: 0 wykonano; 1 kasa zawiodła lub odmówiła; 2 błędny wiersz poleceń; 3 nie
udało się otworzyć portu; 4 nie udało się odczytać lub zapisać pliku (także: upload
zastąpiłby dokument bez --force; report: nie udało się zarchiwizować raportu); 5 check,
import lub history check znalazły problemy; 10 compare znalazło różnice; 130 anulowano
(Ctrl+C, SIGTERM).
</translation>
    </message>
</context>
<context>
    <name>Counted</name>
    <message numerus="yes">
        <source>%n items</source>
        <translation>
            <numerusform>%n towar</numerusform>
            <numerusform>%n towary</numerusform>
            <numerusform>%n towarów</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n departments</source>
        <translation>
            <numerusform>%n dział</numerusform>
            <numerusform>%n działy</numerusform>
            <numerusform>%n działów</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n package prices</source>
        <translation>
            <numerusform>%n cena kaucji</numerusform>
            <numerusform>%n ceny kaucji</numerusform>
            <numerusform>%n cen kaucji</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n differences</source>
        <translation>
            <numerusform>%n różnica</numerusform>
            <numerusform>%n różnice</numerusform>
            <numerusform>%n różnic</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n matches</source>
        <translation>
            <numerusform>%n trafienie</numerusform>
            <numerusform>%n trafienia</numerusform>
            <numerusform>%n trafień</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n named items</source>
        <translation>
            <numerusform>%n nazwany towar</numerusform>
            <numerusform>%n nazwane towary</numerusform>
            <numerusform>%n nazwanych towarów</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n sales records</source>
        <translation>
            <numerusform>%n zapis sprzedaży</numerusform>
            <numerusform>%n zapisy sprzedaży</numerusform>
            <numerusform>%n zapisów sprzedaży</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n rows</source>
        <translation>
            <numerusform>%n wiersz</numerusform>
            <numerusform>%n wiersze</numerusform>
            <numerusform>%n wierszy</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n decimals</source>
        <translation>
            <numerusform>%n miejsce po przecinku</numerusform>
            <numerusform>%n miejsca po przecinku</numerusform>
            <numerusform>%n miejsc po przecinku</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>DisplayTexts</name>
    <message>
        <source>Wait 1 second</source>
        <translation>Czekaj 1 sekundę</translation>
    </message>
    <message>
        <source>Check ecr status</source>
        <translation>Sprawdzanie stanu kasy</translation>
    </message>
    <message>
        <source>Upload report</source>
        <translation>Odczyt raportu</translation>
    </message>
    <message>
        <source>Clear report</source>
        <translation>Zerowanie raportu</translation>
    </message>
    <message>
        <source>Download Program</source>
        <translation>Wysyłanie programu</translation>
    </message>
    <message>
        <source>Download font</source>
        <translation>Wysyłanie czcionki</translation>
    </message>
    <message>
        <source>Receive Data</source>
        <translation>Odbiór danych</translation>
    </message>
    <message>
        <source>NO.</source>
        <translation>Nr</translation>
    </message>
    <message>
        <source>Barcode</source>
        <translation>Kod kreskowy</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nazwa</translation>
    </message>
    <message>
        <source>Unit price</source>
        <translation>Cena</translation>
    </message>
    <message>
        <source>Department</source>
        <translation>Dział</translation>
    </message>
    <message>
        <source>Stocks</source>
        <translation>Stan</translation>
    </message>
    <message>
        <source>Flag</source>
        <translation>Flaga</translation>
    </message>
    <message>
        <source>Quantity</source>
        <translation>Sprzedano</translation>
    </message>
    <message>
        <source>Total</source>
        <translation>Utarg</translation>
    </message>
    <message>
        <source>Tax</source>
        <translation>VAT</translation>
    </message>
    <message>
        <source>No.</source>
        <translation>Nr</translation>
    </message>
    <message>
        <source>Package price</source>
        <translation>Cena kaucji</translation>
    </message>
    <message>
        <source>PLU</source>
        <translation>PLU</translation>
    </message>
    <message>
        <source>department</source>
        <translation>działy</translation>
    </message>
    <message>
        <source>recycling</source>
        <translation>kaucje</translation>
    </message>
    <message>
        <source>parameter</source>
        <translation>parametry</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Łączenie</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Rozłączanie</translation>
    </message>
    <message>
        <source>Download:</source>
        <translation>Wysyłanie:</translation>
    </message>
    <message>
        <source>Upload:</source>
        <translation>Odczyt:</translation>
    </message>
</context>
<context>
    <name>EditStep</name>
    <message>
        <source>Move row</source>
        <translation>Przeniesienie wiersza</translation>
    </message>
    <message>
        <source>Typing</source>
        <translation>Pisanie</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Czyszczenie</translation>
    </message>
    <message>
        <source>Test data</source>
        <translation>Dane testowe</translation>
    </message>
    <message>
        <source>Recycling</source>
        <translation>Kaucje</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Import</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Wklejenie</translation>
    </message>
    <message>
        <source>Change prices</source>
        <translation>Zmiana cen</translation>
    </message>
</context>
<context>
    <name>ErrorBox</name>
    <message>
        <source>Serial adapter</source>
        <translation>Przejściówka szeregowa</translation>
    </message>
    <message>
        <source>the port could not be opened</source>
        <translation>nie udało się otworzyć portu</translation>
    </message>
    <message>
        <source>cancelled</source>
        <translation>anulowano</translation>
    </message>
</context>
<context>
    <name>MemoryDump</name>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>Nie można zapisać %1: %2</translation>
    </message>
</context>
<context>
    <name>Messages</name>
    <message>
        <source>File not found</source>
        <translation>Nie znaleziono pliku</translation>
    </message>
    <message>
        <source>Invalid filename</source>
        <translation>Nieprawidłowa nazwa pliku</translation>
    </message>
    <message>
        <source>Too many open files</source>
        <translation>Za dużo otwartych plików</translation>
    </message>
    <message>
        <source>File access denied</source>
        <translation>Brak dostępu do pliku</translation>
    </message>
    <message>
        <source>Disk full</source>
        <translation>Dysk jest pełny</translation>
    </message>
    <message>
        <source>Testing...</source>
        <translation>Sprawdzanie...</translation>
    </message>
    <message>
        <source>Tolv found!</source>
        <translation>Znaleziono kasę!</translation>
    </message>
    <message>
        <source>No tolv found.</source>
        <translation>Nie znaleziono kasy.</translation>
    </message>
    <message>
        <source>Port found! Do you want to apply it?</source>
        <translation>Znaleziono port! Czy go użyć?</translation>
    </message>
</context>
<context>
    <name>Plural</name>
    <message numerus="yes">
        <source>Backups in %1 (the newest %n are kept)</source>
        <translation>
            <numerusform>Kopie zapasowe w %1 (zachowywana jest najnowsza %n)</numerusform>
            <numerusform>Kopie zapasowe w %1 (zachowywane są najnowsze %n)</numerusform>
            <numerusform>Kopie zapasowe w %1 (zachowywanych jest najnowszych %n)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Nothing changes: %n cells would not pass the check.</source>
        <translation>
            <numerusform>Nic się nie zmieni: %n komórka nie przeszłaby sprawdzenia.</numerusform>
            <numerusform>Nic się nie zmieni: %n komórki nie przeszłyby sprawdzenia.</numerusform>
            <numerusform>Nic się nie zmieni: %n komórek nie przeszłoby sprawdzenia.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n rows change</source>
        <translation>
            <numerusform>Zmieni się %n wiersz</numerusform>
            <numerusform>Zmienią się %n wiersze</numerusform>
            <numerusform>Zmieni się %n wierszy</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>; %n unused rows left alone</source>
        <translation>
            <numerusform>; %n nieużywany wiersz pozostaje bez zmian</numerusform>
            <numerusform>; %n nieużywane wiersze pozostają bez zmian</numerusform>
            <numerusform>; %n nieużywanych wierszy pozostaje bez zmian</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n rows are set</source>
        <translation>
            <numerusform>%n wiersz zostanie zapisany</numerusform>
            <numerusform>%n wiersze zostaną zapisane</numerusform>
            <numerusform>%n wierszy zostanie zapisanych</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n rows are emptied</source>
        <translation>
            <numerusform>%n wiersz zostanie wyczyszczony</numerusform>
            <numerusform>%n wiersze zostaną wyczyszczone</numerusform>
            <numerusform>%n wierszy zostanie wyczyszczonych</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Nothing was imported: %n problems in the file.</source>
        <translation>
            <numerusform>Nic nie zaimportowano: %n problem w pliku.</numerusform>
            <numerusform>Nic nie zaimportowano: %n problemy w pliku.</numerusform>
            <numerusform>Nic nie zaimportowano: %n problemów w pliku.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Changed %n rows.</source>
        <translation>
            <numerusform>Zmieniono %n wiersz.</numerusform>
            <numerusform>Zmieniono %n wiersze.</numerusform>
            <numerusform>Zmieniono %n wierszy.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Restored the backup of %1: %n differences were sent.</source>
        <translation>
            <numerusform>Przywrócono kopię z %1: wysłano %n różnicę.</numerusform>
            <numerusform>Przywrócono kopię z %1: wysłano %n różnice.</numerusform>
            <numerusform>Przywrócono kopię z %1: wysłano %n różnic.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Imported %1: %n rows added, %2 changed</source>
        <translation>
            <numerusform>Zaimportowano %1: dodano %n wiersz, zmieniono %2</numerusform>
            <numerusform>Zaimportowano %1: dodano %n wiersze, zmieniono %2</numerusform>
            <numerusform>Zaimportowano %1: dodano %n wierszy, zmieniono %2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Exported %n rows to %1.</source>
        <translation>
            <numerusform>Wyeksportowano %n wiersz do %1.</numerusform>
            <numerusform>Wyeksportowano %n wiersze do %1.</numerusform>
            <numerusform>Wyeksportowano %n wierszy do %1.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n problems: cells the grids would not take as they stand. Double-click a line to go to its cell.</source>
        <translation>
            <numerusform>%n problem: komórka, której siatka nie przyjęłaby w obecnej postaci. Kliknij dwukrotnie wiersz, aby przejść do komórki.</numerusform>
            <numerusform>%n problemy: komórki, których siatki nie przyjęłyby w obecnej postaci. Kliknij dwukrotnie wiersz, aby przejść do komórki.</numerusform>
            <numerusform>%n problemów: komórki, których siatki nie przyjęłyby w obecnej postaci. Kliknij dwukrotnie wiersz, aby przejść do komórki.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The data to download has %n problems that the grids would not take as they stand.</source>
        <translation>
            <numerusform>Dane do wysłania mają %n problem, którego siatki nie przyjęłyby w obecnej postaci.</numerusform>
            <numerusform>Dane do wysłania mają %n problemy, których siatki nie przyjęłyby w obecnej postaci.</numerusform>
            <numerusform>Dane do wysłania mają %n problemów, których siatki nie przyjęłyby w obecnej postaci.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n problems in %1.</source>
        <translation>
            <numerusform>%n problem w %1.</numerusform>
            <numerusform>%n problemy w %1.</numerusform>
            <numerusform>%n problemów w %1.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Nothing imported: %n problems; %1 is as it was.</source>
        <translation>
            <numerusform>Nic nie zaimportowano: %n problem; %1 pozostaje bez zmian.</numerusform>
            <numerusform>Nic nie zaimportowano: %n problemy; %1 pozostaje bez zmian.</numerusform>
            <numerusform>Nic nie zaimportowano: %n problemów; %1 pozostaje bez zmian.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n lines written to %1.</source>
        <translation>
            <numerusform>Zapisano %n wiersz do %1.</numerusform>
            <numerusform>Zapisano %n wiersze do %1.</numerusform>
            <numerusform>Zapisano %n wierszy do %1.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n reports</source>
        <translation>
            <numerusform>%n raport</numerusform>
            <numerusform>%n raporty</numerusform>
            <numerusform>%n raportów</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n journal entries</source>
        <translation>
            <numerusform>%n wpis dziennika</numerusform>
            <numerusform>%n wpisy dziennika</numerusform>
            <numerusform>%n wpisów dziennika</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n sales snapshots</source>
        <translation>
            <numerusform>%n stan sprzedaży</numerusform>
            <numerusform>%n stany sprzedaży</numerusform>
            <numerusform>%n stanów sprzedaży</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n sales lines</source>
        <translation>
            <numerusform>%n wiersz sprzedaży</numerusform>
            <numerusform>%n wiersze sprzedaży</numerusform>
            <numerusform>%n wierszy sprzedaży</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n other serial devices are present; --others tries them too.</source>
        <translation>
            <numerusform>Jest jeszcze %n inne urządzenie szeregowe; --others sprawdza je także.</numerusform>
            <numerusform>Są jeszcze %n inne urządzenia szeregowe; --others sprawdza je także.</numerusform>
            <numerusform>Jest jeszcze %n innych urządzeń szeregowych; --others sprawdza je także.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Sent %n PLU blocks%1%2%3.</source>
        <translation>
            <numerusform>Wysłano %n blok PLU%1%2%3.</numerusform>
            <numerusform>Wysłano %n bloki PLU%1%2%3.</numerusform>
            <numerusform>Wysłano %n bloków PLU%1%2%3.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Restored: %n differences were sent.</source>
        <translation>
            <numerusform>Przywrócono: wysłano %n różnicę.</numerusform>
            <numerusform>Przywrócono: wysłano %n różnice.</numerusform>
            <numerusform>Przywrócono: wysłano %n różnic.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n items (in)</source>
        <translation>
            <numerusform>%n pozycji</numerusform>
            <numerusform>%n pozycjach</numerusform>
            <numerusform>%n pozycjach</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>PortFailure</name>
    <message>
        <source>a program</source>
        <translation>program</translation>
    </message>
    <message>
        <source>%1 (process %2, this program)</source>
        <translation>%1 (proces %2, ten program)</translation>
    </message>
    <message>
        <source>%1 (process %2)</source>
        <translation>%1 (proces %2)</translation>
    </message>
    <message>
        <source>USB serial</source>
        <translation>USB-szeregowa</translation>
    </message>
    <message>
        <source>%1 adapter (%2:%3)</source>
        <translation>przejściówka %1 (%2:%3)</translation>
    </message>
    <message>
        <source>Fix: sudo systemctl mask brltty-udev.service (or, without a braille display: sudo apt remove brltty), then unplug the adapter and plug it in again.</source>
        <translation>Rozwiązanie: sudo systemctl mask brltty-udev.service (albo, bez monitora brajlowskiego: sudo apt remove brltty), potem odłącz przejściówkę i podłącz ją ponownie.</translation>
    </message>
    <message>
        <source>No serial device is present now.</source>
        <translation>Teraz nie ma żadnego urządzenia szeregowego.</translation>
    </message>
    <message>
        <source>Serial devices present now:</source>
        <translation>Obecne urządzenia szeregowe:</translation>
    </message>
    <message>
        <source>To keep ModemManager away from it, a udev rule can set ID_MM_DEVICE_IGNORE (the program ships one as %1), for this device:</source>
        <translation>Aby ModemManager go nie zajmował, reguła udev może ustawić ID_MM_DEVICE_IGNORE (program dostarcza ją jako %1), dla tego urządzenia:</translation>
    </message>
    <message>
        <source>Without a modem on this machine: sudo systemctl disable --now ModemManager</source>
        <translation>Jeśli ten komputer nie ma modemu: sudo systemctl disable --now ModemManager</translation>
    </message>
    <message>
        <source>a regular file</source>
        <translation>zwykły plik</translation>
    </message>
    <message>
        <source>a directory</source>
        <translation>katalog</translation>
    </message>
    <message>
        <source>a block device</source>
        <translation>urządzenie blokowe</translation>
    </message>
    <message>
        <source>not a device</source>
        <translation>to nie urządzenie</translation>
    </message>
    <message>
        <source>a %1 device</source>
        <translation>urządzenie klasy %1</translation>
    </message>
    <message>
        <source>You may not open %1: it belongs to group %2 (%3).</source>
        <translation>Nie masz prawa otworzyć %1: należy do grupy %2 (%3).</translation>
    </message>
    <message>
        <source>A udev rule can give it to group dialout: GROUP=&quot;dialout&quot;, MODE=&quot;0660&quot;.</source>
        <translation>Reguła udev może przydzielić go grupie dialout: GROUP=&quot;dialout&quot;, MODE=&quot;0660&quot;.</translation>
    </message>
    <message>
        <source>This login has group %1 already; something else keeps it out (an access list, a security module).</source>
        <translation>Ta sesja ma już grupę %1; dostęp blokuje coś innego (lista kontroli dostępu, moduł bezpieczeństwa).</translation>
    </message>
    <message>
        <source>You are in group %1, but this login began before you were added: log out and back in.</source>
        <translation>Należysz do grupy %1, ale ta sesja zaczęła się przed dodaniem: wyloguj się i zaloguj ponownie.</translation>
    </message>
    <message>
        <source>Add yourself to that group: sudo usermod -aG %1 %2</source>
        <translation>Dodaj się do tej grupy: sudo usermod -aG %1 %2</translation>
    </message>
    <message>
        <source>then log out and back in: a new group counts from the next login.</source>
        <translation>potem wyloguj się i zaloguj ponownie: nowa grupa działa od następnego logowania.</translation>
    </message>
    <message>
        <source>%1 is in use by %2.</source>
        <translation>%1 jest używany przez: %2.</translation>
    </message>
    <message>
        <source>%1 is claimed by the lock file %2 of %3.</source>
        <translation>%1 jest zajęty przez plik blokady %2 procesu %3.</translation>
    </message>
    <message>
        <source>%1 is in use by another program, which cannot be named from here (it may run as another user).</source>
        <translation>%1 jest używany przez inny program, którego nie da się stąd wskazać (może działać jako inny użytkownik).</translation>
    </message>
    <message>
        <source>ModemManager runs on this machine and may be probing it.</source>
        <translation>Na tym komputerze działa ModemManager i może go właśnie sprawdzać.</translation>
    </message>
    <message>
        <source>brltty, the braille display service, takes such adapters.</source>
        <translation>brltty, usługa monitorów brajlowskich, przejmuje takie przejściówki.</translation>
    </message>
    <message>
        <source>ModemManager looks for modems on new serial devices and lets go after some seconds; try again then.</source>
        <translation>ModemManager szuka modemów na nowych urządzeniach szeregowych i zwalnia je po kilku sekundach; spróbuj wtedy ponownie.</translation>
    </message>
    <message>
        <source>Close that program, or choose another port.</source>
        <translation>Zamknij ten program albo wybierz inny port.</translation>
    </message>
    <message>
        <source>No serial device is chosen for this port.</source>
        <translation>Dla tego portu nie wybrano urządzenia szeregowego.</translation>
    </message>
    <message>
        <source>%1 is not present (unplugged?)</source>
        <translation>Nie ma %1 (odłączony?)</translation>
    </message>
    <message>
        <source>A %1 is plugged in, but brltty, the braille display service, took it from its serial driver.</source>
        <translation>Podłączona jest %1, ale brltty, usługa monitorów brajlowskich, zabrała ją sterownikowi portu szeregowego.</translation>
    </message>
    <message>
        <source>%1 has no port behind it: the kernel keeps ttyS names for ports the machine may not have.</source>
        <translation>Za %1 nie ma portu: jądro rezerwuje nazwy ttyS dla portów, których komputer może nie mieć.</translation>
    </message>
    <message>
        <source>%1 is there, but its device does not answer (unplugged?)</source>
        <translation>%1 istnieje, ale jego urządzenie nie odpowiada (odłączone?)</translation>
    </message>
    <message>
        <source>%1 is not a serial device (%2).</source>
        <translation>%1 nie jest urządzeniem szeregowym (%2).</translation>
    </message>
    <message>
        <source>no terminal</source>
        <translation>nie terminal</translation>
    </message>
    <message>
        <source>%1 holds received bytes up to %2 ms before passing them on (its latency timer), which slows every exchange.</source>
        <translation>%1 przetrzymuje odebrane bajty do %2 ms, zanim je przekaże (jego licznik opóźnienia), co spowalnia każdą wymianę.</translation>
    </message>
    <message>
        <source>The udev rule %1 that sets it to 1 ms is installed; it applies once the adapter is unplugged and plugged in again.</source>
        <translation>Reguła udev %1, która ustawia go na 1 ms, jest zainstalowana; zadziała po odłączeniu i ponownym podłączeniu przejściówki.</translation>
    </message>
    <message>
        <source>A udev rule sets it to 1 ms whenever the adapter is plugged in; the program ships it as %1 for /etc/udev/rules.d/:</source>
        <translation>Reguła udev ustawia go na 1 ms przy każdym podłączeniu przejściówki; program dostarcza ją jako %1 do /etc/udev/rules.d/:</translation>
    </message>
</context>
<context>
    <name>ReportArchive</name>
    <message>
        <source>no history file is open</source>
        <translation>plik historii nie jest otwarty</translation>
    </message>
    <message>
        <source>The report was not archived (%1), so the register keeps it.</source>
        <translation>Raportu nie zarchiwizowano (%1), więc kasa go zachowuje.</translation>
    </message>
</context>
<context>
    <name>Sheet</name>
    <message>
        <source>PLU</source>
        <translation>PLU</translation>
    </message>
    <message>
        <source>Department</source>
        <translation>Dział</translation>
    </message>
    <message>
        <source>Entry</source>
        <translation>Pozycja</translation>
    </message>
    <message>
        <source>the clipboard holds no cells</source>
        <translation>schowek nie zawiera komórek</translation>
    </message>
    <message>
        <source>%1 columns do not fit from %2 on: the table has %3 more</source>
        <translation>kolumny (%1) nie mieszczą się od %2: tabela ma ich jeszcze %3</translation>
    </message>
    <message>
        <source>%1 rows do not fit from %2 %3 on: the table ends at %4</source>
        <translation>wiersze (%1) nie mieszczą się od %2 %3: tabela kończy się na %4</translation>
    </message>
    <message>
        <source>holds a line break</source>
        <translation>zawiera znak końca wiersza</translation>
    </message>
    <message>
        <source>department</source>
        <translation>dział</translation>
    </message>
    <message>
        <source>recycling entry</source>
        <translation>pozycja kaucji</translation>
    </message>
    <message>
        <source>column %1</source>
        <translation>kolumna %1</translation>
    </message>
    <message>
        <source>%1 and %2 both feed %3</source>
        <translation>%1 i %2 trafiają obie do %3</translation>
    </message>
    <message>
        <source>%1 names the same column as %2</source>
        <translation>%1 wskazuje tę samą kolumnę co %2</translation>
    </message>
    <message>
        <source>column %1 is to feed %2, but the file has %3 columns</source>
        <translation>kolumna %1 ma trafiać do %2, ale plik ma kolumn: %3</translation>
    </message>
    <message>
        <source>no column of the %1 table</source>
        <translation>to nie jest kolumna tabeli: %1</translation>
    </message>
    <message>
        <source>not a %1 number from 1 to %2</source>
        <translation>to nie jest numer (%1) od 1 do %2</translation>
    </message>
    <message>
        <source>becomes %1, longer than %2 characters</source>
        <translation>daje %1, czyli więcej niż %2 znaków</translation>
    </message>
    <message>
        <source>holds a tab, line break or other control character</source>
        <translation>zawiera tabulator, koniec wiersza lub inny znak sterujący</translation>
    </message>
    <message>
        <source>%1 is not in the code page %2</source>
        <translation>znaku %1 nie ma w stronie kodowej %2</translation>
    </message>
    <message>
        <source>holds %1 but the file&apos;s decimal separator is %2</source>
        <translation>zawiera %1, a separatorem dziesiętnym pliku jest %2</translation>
    </message>
    <message>
        <source>may hold digits only</source>
        <translation>może zawierać tylko cyfry</translation>
    </message>
    <message>
        <source>not a number</source>
        <translation>to nie jest liczba</translation>
    </message>
    <message>
        <source>%1 decimals where the column keeps %2</source>
        <translation>miejsc po przecinku: %1, a kolumna przechowuje %2</translation>
    </message>
    <message>
        <source>the file holds no rows</source>
        <translation>plik nie zawiera wierszy</translation>
    </message>
    <message>
        <source>only PLU rows have barcodes to match by</source>
        <translation>tylko wiersze PLU mają kody kreskowe do dopasowania</translation>
    </message>
    <message>
        <source>no barcode column to match rows by</source>
        <translation>brak kolumny kodu kreskowego do dopasowania wierszy</translation>
    </message>
    <message>
        <source>%1 fields where the header has %2</source>
        <translation>pól: %1, a nagłówek ma %2</translation>
    </message>
    <message>
        <source>more rows than the %1 table holds (%2)</source>
        <translation>więcej wierszy, niż mieści tabela %1 (%2)</translation>
    </message>
    <message>
        <source>no barcode to match</source>
        <translation>brak kodu kreskowego do dopasowania</translation>
    </message>
    <message>
        <source>PLU %1 already holds another item</source>
        <translation>PLU %1 zawiera już inny towar</translation>
    </message>
    <message>
        <source>no free PLU row left for a new item</source>
        <translation>brak wolnego wiersza PLU dla nowego towaru</translation>
    </message>
    <message>
        <source>%1 %2 is already given on line %3</source>
        <translation>%1 %2 podano już w wierszu %3</translation>
    </message>
    <message>
        <source>more problems follow; the first %1 are listed</source>
        <translation>jest więcej problemów; wymieniono pierwsze %1</translation>
    </message>
    <message>
        <source>no number column to match rows by</source>
        <translation>brak kolumny numeru do dopasowania wierszy</translation>
    </message>
    <message>
        <source>not valid UTF-8</source>
        <translation>nieprawidłowy UTF-8</translation>
    </message>
    <message>
        <source>not valid UTF-16</source>
        <translation>nieprawidłowy UTF-16</translation>
    </message>
    <message>
        <source>more rows than a table holds (%1)</source>
        <translation>więcej wierszy, niż mieści tabela (%1)</translation>
    </message>
    <message>
        <source>a quoted field is never closed</source>
        <translation>pole w cudzysłowie nie zostało zamknięte</translation>
    </message>
    <message>
        <source>the file is larger than %1 MiB</source>
        <translation>plik jest większy niż %1 MiB</translation>
    </message>
    <message>
        <source>UTF-8 with BOM</source>
        <translation>UTF-8 z BOM</translation>
    </message>
    <message>
        <source>UTF-8</source>
        <translation>UTF-8</translation>
    </message>
    <message>
        <source>semicolon</source>
        <translation>średnik</translation>
    </message>
    <message>
        <source>comma</source>
        <translation>przecinek</translation>
    </message>
    <message>
        <source>tab</source>
        <translation>tabulator</translation>
    </message>
    <message>
        <source>%1, %2 between fields, decimal %3</source>
        <translation>%1, %2 między polami, separator dziesiętny: %3</translation>
    </message>
    <message>
        <source>point</source>
        <translation>kropka</translation>
    </message>
    <message>
        <source>line %1</source>
        <translation>wiersz %1</translation>
    </message>
</context>
<context>
    <name>StatusMessages</name>
    <message>
        <source>Download</source>
        <translation>Wysyłanie</translation>
    </message>
    <message>
        <source>Upload</source>
        <translation>Odczyt</translation>
    </message>
    <message>
        <source>%1 s</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>%1 min %2 s</source>
        <translation>%1 min %2 s</translation>
    </message>
    <message>
        <source>parameters</source>
        <translation>parametry</translation>
    </message>
    <message>
        <source>%1 done: %2 in %3</source>
        <translation>%1 zakończone: %2 w %3</translation>
    </message>
    <message>
        <source>Test done: the register answered in %1</source>
        <translation>Test zakończony: kasa odpowiedziała w %1</translation>
    </message>
    <message>
        <source>Compare done: %1 in %2</source>
        <translation>Porównanie zakończone: %1 w %2</translation>
    </message>
    <message>
        <source>no differences</source>
        <translation>brak różnic</translation>
    </message>
    <message>
        <source>Backup done: %1, %2, %3, parameters in %4</source>
        <translation>Kopia zapasowa zakończona: %1, %2, %3, parametry w %4</translation>
    </message>
    <message>
        <source>Restore done: the register already held the backup, checked in %1</source>
        <translation>Przywracanie zakończone: kasa miała już zawartość kopii, sprawdzono w %1</translation>
    </message>
    <message>
        <source>Restore done: %1 sent in %2</source>
        <translation>Przywracanie zakończone: wysłano %1 w %2</translation>
    </message>
</context>
<context>
    <name>TAboutBox</name>
    <message>
        <source>About...</source>
        <translation>O programie...</translation>
    </message>
    <message>
        <source>Quorve PLU manager</source>
        <translation>Menedżer PLU Quorve</translation>
    </message>
    <message>
        <source>Version 3.81</source>
        <translation>Wersja 3.81</translation>
    </message>
    <message>
        <source>Build 20050531</source>
        <translation>Kompilacja 20050531</translation>
    </message>
    <message>
        <source>Copyright 2026 the Quorve PLU manager developers.
Free software under the GNU General Public License,
version 3 or later (GPL-3.0-or-later), without any warranty.</source>
        <translation>Copyright 2026 autorzy menedżera PLU Quorve.
Wolne oprogramowanie na licencji GNU General Public License,
w wersji 3 lub późniejszej (GPL-3.0-or-later), bez żadnej gwarancji.</translation>
    </message>
    <message>
        <source>Settings:</source>
        <translation>Ustawienia:</translation>
    </message>
    <message>
        <source>Logs:</source>
        <translation>Dzienniki:</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>Release %1</source>
        <translation>Wydanie %1</translation>
    </message>
</context>
<context>
    <name>TAddRegisterDlg</name>
    <message>
        <source>Add register</source>
        <translation>Dodaj kasę</translation>
    </message>
    <message>
        <source>COM1 to COM4 as the communication settings map them, or a serial device of this computer</source>
        <translation>COM1–COM4 według ustawień komunikacji albo urządzenie szeregowe tego komputera</translation>
    </message>
    <message>
        <source>The groups this register is in, separated by commas</source>
        <translation>Grupy, do których należy ta kasa, rozdzielone przecinkami</translation>
    </message>
    <message>
        <source>The first register of the list takes today&apos;s settings: its port, rate and parameters.</source>
        <translation>Pierwsza kasa na liście przejmuje obecne ustawienia: port, prędkość i parametry.</translation>
    </message>
    <message>
        <source>&amp;Name:</source>
        <translation>&amp;Nazwa:</translation>
    </message>
    <message>
        <source>&amp;Port:</source>
        <translation>&amp;Port:</translation>
    </message>
    <message>
        <source>&amp;Rate:</source>
        <translation>Pręd&amp;kość:</translation>
    </message>
    <message>
        <source>&amp;Groups:</source>
        <translation>&amp;Grupy:</translation>
    </message>
    <message>
        <source>Serial devices no register of the list uses; click a register found to take its port</source>
        <translation>Urządzenia szeregowe nieużywane przez żadną kasę z listy; kliknij znalezioną kasę, aby przejąć jej port</translation>
    </message>
    <message>
        <source>&amp;Detect</source>
        <translation>&amp;Wykryj</translation>
    </message>
    <message>
        <source>Look for registers on the serial devices no register of the list uses</source>
        <translation>Szukaj kas na urządzeniach szeregowych nieużywanych przez żadną kasę z listy</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Anuluj</translation>
    </message>
    <message>
        <source>Registers found:</source>
        <translation>Znalezione kasy:</translation>
    </message>
    <message>
        <source>Every serial device present belongs to a register of the list.</source>
        <translation>Każde obecne urządzenie szeregowe należy do kasy z listy.</translation>
    </message>
</context>
<context>
    <name>TBackupForm</name>
    <message>
        <source>Register backups</source>
        <translation>Kopie zapasowe kasy</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Data</translation>
    </message>
    <message>
        <source>Register</source>
        <translation>Kasa</translation>
    </message>
    <message>
        <source>PLU range</source>
        <translation>Zakres PLU</translation>
    </message>
    <message>
        <source>Named items</source>
        <translation>Nazwane towary</translation>
    </message>
    <message>
        <source>Departments</source>
        <translation>Działy</translation>
    </message>
    <message>
        <source>Package prices</source>
        <translation>Ceny kaucji</translation>
    </message>
    <message>
        <source>PLU items with a name</source>
        <translation>Towary PLU z nazwą</translation>
    </message>
    <message>
        <source>Departments with a name</source>
        <translation>Działy z nazwą</translation>
    </message>
    <message>
        <source>Package prices other than 0</source>
        <translation>Ceny kaucji inne niż 0</translation>
    </message>
    <message>
        <source>PLU &amp;from:</source>
        <translation>PLU &amp;od:</translation>
    </message>
    <message>
        <source>&amp;to:</source>
        <translation>&amp;do:</translation>
    </message>
    <message>
        <source>&amp;Back up now</source>
        <translation>&amp;Utwórz kopię teraz</translation>
    </message>
    <message>
        <source>&amp;Restore...</source>
        <translation>&amp;Przywróć...</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Zamknij</translation>
    </message>
    <message>
        <source>No backups yet.</source>
        <translation>Nie ma jeszcze kopii zapasowych.</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Informacja</translation>
    </message>
    <message>
        <source>Invalid PLU range</source>
        <translation>Nieprawidłowy zakres PLU</translation>
    </message>
    <message>
        <source>Backup made in %1</source>
        <translation>Kopię zapasową utworzono w %1</translation>
    </message>
    <message>
        <source>No backup was made: %1</source>
        <translation>Nie utworzono kopii zapasowej: %1</translation>
    </message>
</context>
<context>
    <name>TBulkChangeDlg</name>
    <message>
        <source>Change prices</source>
        <translation>Zmiana cen</translation>
    </message>
    <message>
        <source>Rows</source>
        <translation>Wiersze</translation>
    </message>
    <message>
        <source>PLU &amp;range:</source>
        <translation>Za&amp;kres PLU:</translation>
    </message>
    <message>
        <source>to</source>
        <translation>do</translation>
    </message>
    <message>
        <source>Change</source>
        <translation>Zmiana</translation>
    </message>
    <message>
        <source>Keep</source>
        <translation>Bez zmian</translation>
    </message>
    <message>
        <source>Raise by %</source>
        <translation>Podnieś o %</translation>
    </message>
    <message>
        <source>Lower by %</source>
        <translation>Obniż o %</translation>
    </message>
    <message>
        <source>Raise by amount</source>
        <translation>Podnieś o kwotę</translation>
    </message>
    <message>
        <source>Lower by amount</source>
        <translation>Obniż o kwotę</translation>
    </message>
    <message>
        <source>Set to</source>
        <translation>Ustaw na</translation>
    </message>
    <message>
        <source>Unit &amp;price:</source>
        <translation>&amp;Cena jednostkowa:</translation>
    </message>
    <message>
        <source>R&amp;ounded to:</source>
        <translation>Za&amp;okrąglij do:</translation>
    </message>
    <message>
        <source>Set &amp;department:</source>
        <translation>Ustaw &amp;dział:</translation>
    </message>
    <message>
        <source>Set &amp;flag:</source>
        <translation>Ustaw &amp;flagę:</translation>
    </message>
    <message>
        <source>C&amp;hange</source>
        <translation>Z&amp;mień</translation>
    </message>
    <message>
        <source>&amp;Selected rows (none)</source>
        <translation>&amp;Zaznaczone wiersze (brak)</translation>
    </message>
    <message>
        <source>&amp;Selected rows (%1)</source>
        <translation>&amp;Zaznaczone wiersze (%1)</translation>
    </message>
    <message>
        <source>Type the percentage or the amount as a number, for example %1.</source>
        <translation>Wpisz procent lub kwotę jako liczbę, na przykład %1.</translation>
    </message>
</context>
<context>
    <name>TCommDlg</name>
    <message>
        <source>Communication setting</source>
        <translation>Ustawienia komunikacji</translation>
    </message>
    <message>
        <source>&amp;Baud rate</source>
        <translation>P&amp;rędkość transmisji</translation>
    </message>
    <message>
        <source>&amp;Parity</source>
        <translation>&amp;Parzystość</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Brak</translation>
    </message>
    <message>
        <source>Odd</source>
        <translation>Nieparzysta</translation>
    </message>
    <message>
        <source>Even</source>
        <translation>Parzysta</translation>
    </message>
    <message>
        <source>Mark</source>
        <translation>Znacznik</translation>
    </message>
    <message>
        <source>Space</source>
        <translation>Odstęp</translation>
    </message>
    <message>
        <source>&amp;StopBits</source>
        <translation>Bity &amp;stopu</translation>
    </message>
    <message>
        <source>&amp;Device:</source>
        <translation>&amp;Urządzenie:</translation>
    </message>
    <message>
        <source>Device path, e.g. /dev/ttyUSB0</source>
        <translation>Ścieżka urządzenia, np. /dev/ttyUSB0</translation>
    </message>
    <message>
        <source>not present</source>
        <translation>niedostępne</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Anuluj</translation>
    </message>
    <message>
        <source>Other...</source>
        <translation>Inne...</translation>
    </message>
</context>
<context>
    <name>TCommandLine</name>
    <message>
        <source>--wait takes the seconds to wait for the history server, 0 to 86400</source>
        <translation>--wait przyjmuje liczbę sekund oczekiwania na serwer historii, od 0 do 86400</translation>
    </message>
</context>
<context>
    <name>TCompareForm</name>
    <message>
        <source>Compare with register</source>
        <translation>Porównanie z kasą</translation>
    </message>
    <message>
        <source>Save &amp;list...</source>
        <translation>Zapisz &amp;listę...</translation>
    </message>
    <message>
        <source>Send &amp;these changes</source>
        <translation>Wyślij &amp;te zmiany</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Zamknij</translation>
    </message>
    <message>
        <source>Save list</source>
        <translation>Zapisz listę</translation>
    </message>
    <message>
        <source>Text files (*.txt);;All files (*)</source>
        <translation>Pliki tekstowe (*.txt);;Wszystkie pliki (*)</translation>
    </message>
    <message>
        <source>A download would change nothing: the register holds what the document holds.</source>
        <translation>Wysłanie niczego by nie zmieniło: kasa zawiera to, co dokument.</translation>
    </message>
    <message>
        <source>Register</source>
        <translation>Kasa</translation>
    </message>
    <message>
        <source>The list could not be saved.</source>
        <translation>Nie udało się zapisać listy.</translation>
    </message>
    <message>
        <source>Sending was cancelled.</source>
        <translation>Wysyłanie anulowano.</translation>
    </message>
    <message>
        <source>Sending stopped: %1</source>
        <translation>Wysyłanie przerwane: %1</translation>
    </message>
    <message>
        <source>The changes have been sent.</source>
        <translation>Zmiany zostały wysłane.</translation>
    </message>
    <message>
        <source>The changes have been sent, except those of %1.</source>
        <translation>Zmiany zostały wysłane, z wyjątkiem: %1.</translation>
    </message>
</context>
<context>
    <name>TDataDlg</name>
    <message>
        <source>Upload data range</source>
        <translation>Zakres odczytu pamięci</translation>
    </message>
    <message>
        <source>Base addr(hex):</source>
        <translation>Adres bazowy (hex):</translation>
    </message>
    <message>
        <source>Package count::</source>
        <translation>Liczba pakietów:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Anuluj</translation>
    </message>
</context>
<context>
    <name>TDetectPortDlg</name>
    <message>
        <source>Detect port</source>
        <translation>Wykryj port</translation>
    </message>
    <message>
        <source>&amp;Detect</source>
        <translation>&amp;Wykryj</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Zamknij</translation>
    </message>
    <message>
        <source>No register answered on COM1 to COM4. Look for it on the other serial devices of this computer?</source>
        <translation>Żadna kasa nie odpowiedziała na portach COM1–COM4. Szukać jej na innych urządzeniach szeregowych tego komputera?</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>Nie można zapisać %1: %2</translation>
    </message>
    <message>
        <source>Register found on %1. Use it as COM%2?</source>
        <translation>Znaleziono kasę na %1. Użyć jej jako COM%2?</translation>
    </message>
</context>
<context>
    <name>TDifferenceModel</name>
    <message>
        <source> (sent)</source>
        <translation> (wysłano)</translation>
    </message>
    <message>
        <source>Item</source>
        <translation>Pozycja</translation>
    </message>
    <message>
        <source>Field</source>
        <translation>Pole</translation>
    </message>
    <message>
        <source>PC</source>
        <translation>Komputer</translation>
    </message>
    <message>
        <source>Register</source>
        <translation>Kasa</translation>
    </message>
    <message>
        <source>%1: no difference</source>
        <translation>%1: brak różnic</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>%1: %2 in %3</source>
        <translation>%1: %2 w %3</translation>
    </message>
    <message>
        <source>PLU %1</source>
        <translation>PLU %1</translation>
    </message>
    <message>
        <source>department %1</source>
        <translation>dział %1</translation>
    </message>
    <message>
        <source>recycling %1</source>
        <translation>kaucja %1</translation>
    </message>
</context>
<context>
    <name>TDownloadDlg</name>
    <message>
        <source>&amp;Back up the register first</source>
        <translation>&amp;Najpierw zrób kopię zapasową kasy</translation>
    </message>
    <message>
        <source>Before sending, read everything the register holds into a backup; nothing is sent when that fails</source>
        <translation>Przed wysłaniem odczytaj całą zawartość kasy do kopii zapasowej; jeśli to się nie uda, nic nie zostanie wysłane</translation>
    </message>
    <message>
        <source>Send each register only what &amp;differs from it</source>
        <translation>Wyślij każdej kasie tylko to, co się &amp;różni</translation>
    </message>
    <message>
        <source>Each register is compared with the document first, and only the blocks that differ are sent</source>
        <translation>Każda kasa jest najpierw porównywana z dokumentem i wysyłane są tylko bloki, które się różnią</translation>
    </message>
</context>
<context>
    <name>TExportDlg</name>
    <message>
        <source>Export</source>
        <translation>Eksport</translation>
    </message>
    <message>
        <source>PLU items</source>
        <translation>Towary PLU</translation>
    </message>
    <message>
        <source>Departments</source>
        <translation>Działy</translation>
    </message>
    <message>
        <source>Package prices (recycling)</source>
        <translation>Ceny kaucji (opakowania zwrotne)</translation>
    </message>
    <message>
        <source>Tab-separated text</source>
        <translation>Tekst rozdzielony tabulatorami</translation>
    </message>
    <message>
        <source>UTF-8 with BOM</source>
        <translation>UTF-8 z BOM</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Anuluj</translation>
    </message>
    <message>
        <source>&amp;Table:</source>
        <translation>&amp;Tabela:</translation>
    </message>
    <message>
        <source>&amp;Written for:</source>
        <translation>&amp;Przeznaczenie:</translation>
    </message>
    <message>
        <source>&amp;Encoding:</source>
        <translation>&amp;Kodowanie:</translation>
    </message>
    <message>
        <source>Tab</source>
        <translation>Tabulator</translation>
    </message>
    <message>
        <source>Semicolon</source>
        <translation>Średnik</translation>
    </message>
    <message>
        <source>Comma</source>
        <translation>Przecinek</translation>
    </message>
    <message>
        <source>%1 between fields, decimal %2, lines ended by %3</source>
        <translation>%1 między polami, separator dziesiętny: %2, koniec wiersza: %3</translation>
    </message>
    <message>
        <source>comma</source>
        <translation>przecinek</translation>
    </message>
    <message>
        <source>point</source>
        <translation>kropka</translation>
    </message>
</context>
<context>
    <name>TFindBar</name>
    <message>
        <source>Fi&amp;nd:</source>
        <translation>Zn&amp;ajdź:</translation>
    </message>
    <message>
        <source>Name or barcode</source>
        <translation>Nazwa lub kod kreskowy</translation>
    </message>
    <message>
        <source>Name and barcode</source>
        <translation>Nazwa i kod kreskowy</translation>
    </message>
    <message>
        <source>Ignore &amp;accents</source>
        <translation>Ignoruj &amp;znaki diakrytyczne</translation>
    </message>
    <message>
        <source>Show &amp;only matches</source>
        <translation>Pokaż &amp;tylko trafienia</translation>
    </message>
    <message>
        <source>Previous match (Shift+Enter)</source>
        <translation>Poprzednie trafienie (Shift+Enter)</translation>
    </message>
    <message>
        <source>Next match (Enter)</source>
        <translation>Następne trafienie (Enter)</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 z %2</translation>
    </message>
    <message>
        <source>Close (Esc)</source>
        <translation>Zamknij (Esc)</translation>
    </message>
    <message>
        <source>No match</source>
        <translation>Brak trafień</translation>
    </message>
</context>
<context>
    <name>THistoryForm</name>
    <message>
        <source>History</source>
        <translation>Historia</translation>
    </message>
    <message>
        <source>&amp;Reports</source>
        <translation>&amp;Raporty</translation>
    </message>
    <message>
        <source>&amp;Journal</source>
        <translation>D&amp;ziennik</translation>
    </message>
    <message>
        <source>S&amp;ales</source>
        <translation>&amp;Sprzedaż</translation>
    </message>
    <message>
        <source>Save the report</source>
        <translation>Zapisz raport</translation>
    </message>
    <message>
        <source>Text files (*.txt)</source>
        <translation>Pliki tekstowe (*.txt)</translation>
    </message>
    <message>
        <source>Excel CSV (*.csv)</source>
        <translation>CSV dla Excela (*.csv)</translation>
    </message>
    <message>
        <source>Calc CSV (*.csv)</source>
        <translation>CSV dla Calc (*.csv)</translation>
    </message>
    <message>
        <source>Tab-separated text (*.tsv)</source>
        <translation>Tekst rozdzielony tabulatorami (*.tsv)</translation>
    </message>
    <message>
        <source>Export the sales</source>
        <translation>Eksportuj sprzedaż</translation>
    </message>
</context>
<context>
    <name>THistoryJournalTab</name>
    <message>
        <source>Any</source>
        <translation>Dowolna</translation>
    </message>
    <message>
        <source>All</source>
        <translation>Wszystkie</translation>
    </message>
    <message>
        <source>&amp;From</source>
        <translation>O&amp;d</translation>
    </message>
    <message>
        <source>Re&amp;gister:</source>
        <translation>&amp;Kasa:</translation>
    </message>
    <message>
        <source>&amp;Operation:</source>
        <translation>O&amp;peracja:</translation>
    </message>
    <message>
        <source>Res&amp;ult:</source>
        <translation>&amp;Wynik:</translation>
    </message>
    <message>
        <source>&amp;to</source>
        <translation>d&amp;o</translation>
    </message>
    <message>
        <source>Started</source>
        <translation>Początek</translation>
    </message>
    <message>
        <source>Register</source>
        <translation>Kasa</translation>
    </message>
    <message>
        <source>Shop</source>
        <translation>Sklep</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>Operation</source>
        <translation>Operacja</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Wynik</translation>
    </message>
    <message>
        <source>Blocks</source>
        <translation>Bloki</translation>
    </message>
    <message>
        <source>Bytes</source>
        <translation>Bajty</translation>
    </message>
    <message>
        <source>Seconds</source>
        <translation>Sekundy</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Błąd</translation>
    </message>
    <message>
        <source>The journal could not be read (%1).</source>
        <translation>Nie udało się odczytać dziennika (%1).</translation>
    </message>
    <message>
        <source>done</source>
        <translation>wykonano</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>nie udało się</translation>
    </message>
    <message>
        <source>cancelled</source>
        <translation>anulowano</translation>
    </message>
    <message>
        <source>unfinished</source>
        <translation>niedokończone</translation>
    </message>
    <message>
        <source>%1 on %2, %3 to %4: %5</source>
        <translation>%1, %2, od %3 do %4: %5</translation>
    </message>
    <message>
        <source>no port</source>
        <translation>brak portu</translation>
    </message>
    <message>
        <source>Register: %1</source>
        <translation>Kasa: %1</translation>
    </message>
    <message>
        <source>PLU %1</source>
        <translation>PLU %1</translation>
    </message>
    <message>
        <source>Chosen: %1</source>
        <translation>Wybrano: %1</translation>
    </message>
    <message numerus="yes">
        <source>%1 at %2 baud: %n block(s), %3 bytes in %4 s</source>
        <translation>
            <numerusform>%1 przy %2 bodów: %n blok, %3 bajtów w %4 s</numerusform>
            <numerusform>%1 przy %2 bodów: %n bloki, %3 bajtów w %4 s</numerusform>
            <numerusform>%1 przy %2 bodów: %n bloków, %3 bajtów w %4 s</numerusform>
        </translation>
    </message>
    <message>
        <source>Document: %1</source>
        <translation>Dokument: %1</translation>
    </message>
    <message>
        <source>SHA-256 of the data sent: %1</source>
        <translation>SHA-256 wysłanych danych: %1</translation>
    </message>
    <message>
        <source>download</source>
        <translation>wysyłanie</translation>
    </message>
    <message>
        <source>send-changes</source>
        <translation>wysłanie zmian</translation>
    </message>
    <message>
        <source>upload</source>
        <translation>odczyt</translation>
    </message>
    <message>
        <source>compare</source>
        <translation>porównanie</translation>
    </message>
    <message>
        <source>backup</source>
        <translation>kopia zapasowa</translation>
    </message>
    <message>
        <source>restore</source>
        <translation>przywracanie</translation>
    </message>
    <message>
        <source>report</source>
        <translation>raport</translation>
    </message>
    <message>
        <source>test</source>
        <translation>test</translation>
    </message>
    <message>
        <source>detect</source>
        <translation>wykrywanie portu</translation>
    </message>
    <message>
        <source>dump</source>
        <translation>zrzut pamięci</translation>
    </message>
    <message>
        <source>program</source>
        <translation>wgrywanie programu</translation>
    </message>
    <message>
        <source>font</source>
        <translation>wgrywanie czcionki</translation>
    </message>
    <message>
        <source>plu</source>
        <translation>PLU</translation>
    </message>
    <message>
        <source>dept</source>
        <translation>działy</translation>
    </message>
    <message>
        <source>recy</source>
        <translation>kaucje</translation>
    </message>
    <message>
        <source>param</source>
        <translation>parametry</translation>
    </message>
</context>
<context>
    <name>THistoryReportsTab</name>
    <message>
        <source>Words in the report&apos;s text</source>
        <translation>Słowa w tekście raportu</translation>
    </message>
    <message>
        <source>&amp;Search:</source>
        <translation>&amp;Szukaj:</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Data</translation>
    </message>
    <message>
        <source>Register</source>
        <translation>Kasa</translation>
    </message>
    <message>
        <source>Shop</source>
        <translation>Sklep</translation>
    </message>
    <message>
        <source>First line</source>
        <translation>Pierwszy wiersz</translation>
    </message>
    <message>
        <source>The reports could not be read (%1).</source>
        <translation>Nie udało się odczytać raportów (%1).</translation>
    </message>
    <message>
        <source>Sa&amp;ve as text file...</source>
        <translation>Zapisz jako plik &amp;tekstowy...</translation>
    </message>
    <message>
        <source>&amp;Print...</source>
        <translation>&amp;Drukuj...</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopiuj</translation>
    </message>
    <message numerus="yes">
        <source>%n report(s)</source>
        <translation>
            <numerusform>%n raport</numerusform>
            <numerusform>%n raporty</numerusform>
            <numerusform>%n raportów</numerusform>
        </translation>
    </message>
    <message>
        <source>The report could not be read (%1).</source>
        <translation>Nie udało się odczytać raportu (%1).</translation>
    </message>
    <message>
        <source>The report was saved as %1.</source>
        <translation>Raport zapisano jako %1.</translation>
    </message>
    <message>
        <source>The report was sent to the printer.</source>
        <translation>Raport wysłano do drukarki.</translation>
    </message>
    <message>
        <source>The report was copied.</source>
        <translation>Raport skopiowano.</translation>
    </message>
</context>
<context>
    <name>THistorySalesTab</name>
    <message>
        <source>Between &amp;dates</source>
        <translation>Między &amp;datami</translation>
    </message>
    <message>
        <source>Between s&amp;napshots</source>
        <translation>Między s&amp;tanami</translation>
    </message>
    <message>
        <source>Item</source>
        <translation>Pozycja</translation>
    </message>
    <message>
        <source>Department</source>
        <translation>Dział</translation>
    </message>
    <message>
        <source>&amp;Export CSV...</source>
        <translation>&amp;Eksportuj CSV...</translation>
    </message>
    <message>
        <source>&amp;to</source>
        <translation>d&amp;o</translation>
    </message>
    <message>
        <source>a&amp;fter</source>
        <translation>&amp;po</translation>
    </message>
    <message>
        <source>&amp;up to</source>
        <translation>&amp;aż do</translation>
    </message>
    <message>
        <source>&amp;By:</source>
        <translation>&amp;Według:</translation>
    </message>
    <message>
        <source>The sales could not be read (%1).</source>
        <translation>Nie udało się odczytać sprzedaży (%1).</translation>
    </message>
    <message>
        <source>The sales could not be shown (%1).</source>
        <translation>Nie udało się pokazać sprzedaży (%1).</translation>
    </message>
    <message>
        <source>Barcode</source>
        <translation>Kod kreskowy</translation>
    </message>
    <message>
        <source>PLU</source>
        <translation>PLU</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nazwa</translation>
    </message>
    <message>
        <source>Quantity</source>
        <translation>Sprzedano</translation>
    </message>
    <message>
        <source>Total</source>
        <translation>Utarg</translation>
    </message>
    <message>
        <source>none</source>
        <translation>brak</translation>
    </message>
    <message numerus="yes">
        <source>%n item(s)</source>
        <translation>
            <numerusform>%n towar</numerusform>
            <numerusform>%n towary</numerusform>
            <numerusform>%n towarów</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n department(s)</source>
        <translation>
            <numerusform>%n dział</numerusform>
            <numerusform>%n działy</numerusform>
            <numerusform>%n działów</numerusform>
        </translation>
    </message>
    <message>
        <source>Total: %1</source>
        <translation>Razem: %1</translation>
    </message>
    <message>
        <source>Top items by total</source>
        <translation>Towary o największej wartości</translation>
    </message>
    <message>
        <source>Departments by total</source>
        <translation>Działy według wartości</translation>
    </message>
    <message>
        <source>Department %1</source>
        <translation>Dział %1</translation>
    </message>
    <message>
        <source>Total per day</source>
        <translation>Wartość dzienna</translation>
    </message>
    <message numerus="yes">
        <source>%n line(s) written to %1.</source>
        <translation>
            <numerusform>Zapisano %n wiersz do %1.</numerusform>
            <numerusform>Zapisano %n wiersze do %1.</numerusform>
            <numerusform>Zapisano %n wierszy do %1.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>THistoryStore</name>
    <message>
        <source>unknown error</source>
        <translation>nieznany błąd</translation>
    </message>
    <message>
        <source>its folder cannot be made: %1</source>
        <translation>nie można utworzyć jego folderu: %1</translation>
    </message>
    <message>
        <source>it is not a file</source>
        <translation>to nie jest plik</translation>
    </message>
    <message>
        <source>Qt&apos;s SQLite driver is not installed (package libqt6sql6-sqlite)</source>
        <translation>sterownik SQLite dla Qt nie jest zainstalowany (pakiet libqt6sql6-sqlite)</translation>
    </message>
    <message>
        <source>it is damaged or is no history file: %1; it is left as it is</source>
        <translation>jest uszkodzony albo nie jest plikiem historii: %1; pozostaje nietknięty</translation>
    </message>
    <message>
        <source>it was written by a newer version of this program: history version %1, this one knows %2; it is left as it is</source>
        <translation>zapisała go nowsza wersja programu: wersja historii %1, ta zna %2; pozostaje nietknięty</translation>
    </message>
    <message>
        <source>it cannot be brought up to this version: %1</source>
        <translation>nie da się go dostosować do tej wersji: %1</translation>
    </message>
    <message>
        <source>the history file is not open</source>
        <translation>plik historii nie jest otwarty</translation>
    </message>
</context>
<context>
    <name>TImportDlg</name>
    <message>
        <source>PLU table</source>
        <translation>tabelę PLU</translation>
    </message>
    <message>
        <source>department table</source>
        <translation>tabelę działów</translation>
    </message>
    <message>
        <source>recycling table</source>
        <translation>tabelę kaucji</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Import</translation>
    </message>
    <message>
        <source>PLU items</source>
        <translation>Towary PLU</translation>
    </message>
    <message>
        <source>Departments</source>
        <translation>Działy</translation>
    </message>
    <message>
        <source>Package prices (recycling)</source>
        <translation>Ceny kaucji (opakowania zwrotne)</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Plik</translation>
    </message>
    <message>
        <source>; (semicolon)</source>
        <translation>; (średnik)</translation>
    </message>
    <message>
        <source>, (comma)</source>
        <translation>, (przecinek)</translation>
    </message>
    <message>
        <source>Tab</source>
        <translation>Tabulator</translation>
    </message>
    <message>
        <source>. (point)</source>
        <translation>. (kropka)</translation>
    </message>
    <message>
        <source>&amp;First line names the columns</source>
        <translation>&amp;Pierwszy wiersz zawiera nazwy kolumn</translation>
    </message>
    <message>
        <source>&amp;Separator:</source>
        <translation>&amp;Separator:</translation>
    </message>
    <message>
        <source>&amp;Decimal separator:</source>
        <translation>Separator &amp;dziesiętny:</translation>
    </message>
    <message>
        <source>&amp;Encoding:</source>
        <translation>&amp;Kodowanie:</translation>
    </message>
    <message>
        <source>Rows</source>
        <translation>Wiersze</translation>
    </message>
    <message>
        <source>&amp;Replace: the file&apos;s rows become the table</source>
        <translation>&amp;Zastąp: wiersze pliku stają się tabelą</translation>
    </message>
    <message>
        <source>&amp;Update: only the rows the file names, empty cells kept</source>
        <translation>&amp;Aktualizuj: tylko wiersze wskazane w pliku, puste komórki bez zmian</translation>
    </message>
    <message>
        <source>PLU number</source>
        <translation>Numer PLU</translation>
    </message>
    <message>
        <source>Barcode</source>
        <translation>Kod kreskowy</translation>
    </message>
    <message>
        <source>&amp;Match rows by:</source>
        <translation>Dopasuj wiersze &amp;według:</translation>
    </message>
    <message>
        <source>C&amp;olumns: the table column each column of the file feeds</source>
        <translation>K&amp;olumny: kolumna tabeli, do której trafia każda kolumna pliku</translation>
    </message>
    <message>
        <source>&amp;Import</source>
        <translation>&amp;Importuj</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Anuluj</translation>
    </message>
    <message>
        <source>&amp;Table:</source>
        <translation>&amp;Tabela:</translation>
    </message>
    <message>
        <source>Import problems</source>
        <translation>Problemy importu</translation>
    </message>
    <message>
        <source>Found: %1</source>
        <translation>Rozpoznano: %1</translation>
    </message>
    <message>
        <source>column %1</source>
        <translation>kolumna %1</translation>
    </message>
    <message>
        <source>(ignore)</source>
        <translation>(pomiń)</translation>
    </message>
    <message>
        <source>Every column of the file is used.</source>
        <translation>Używana jest każda kolumna pliku.</translation>
    </message>
    <message>
        <source>Ignored columns: %1</source>
        <translation>Pominięte kolumny: %1</translation>
    </message>
    <message>
        <source> The columns are as chosen before for files with this header.</source>
        <translation> Kolumny ustawiono tak, jak wybrano wcześniej dla plików z tym nagłówkiem.</translation>
    </message>
    <message>
        <source> (%1 problems in all)</source>
        <translation> (łącznie problemów: %1)</translation>
    </message>
    <message>
        <source>Replace the %1? %2 and %3.</source>
        <translation>Zastąpić %1? %2, a %3.</translation>
    </message>
    <message>
        <source>Nothing was imported: more than %1 problems in the file.</source>
        <translation>Nic nie zaimportowano: w pliku jest ponad %1 problemów.</translation>
    </message>
    <message>
        <source>Line</source>
        <translation>Wiersz</translation>
    </message>
    <message>
        <source>Column</source>
        <translation>Kolumna</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Wartość</translation>
    </message>
    <message>
        <source>Reason</source>
        <translation>Przyczyna</translation>
    </message>
</context>
<context>
    <name>TJobModel</name>
    <message>
        <source>Waiting for its port</source>
        <translation>Czeka na swój port</translation>
    </message>
    <message>
        <source>Starting</source>
        <translation>Uruchamianie</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Wykonano</translation>
    </message>
    <message>
        <source>Differs</source>
        <translation>Różni się</translation>
    </message>
    <message>
        <source>Failed</source>
        <translation>Nie udało się</translation>
    </message>
    <message>
        <source>Cancelled</source>
        <translation>Anulowano</translation>
    </message>
    <message>
        <source>Register</source>
        <translation>Kasa</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Stan</translation>
    </message>
    <message>
        <source>Block</source>
        <translation>Blok</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Czas</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Błąd</translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n done</source>
        <translation>
            <numerusform>Wykonano %1 z %n</numerusform>
            <numerusform>Wykonano %1 z %n</numerusform>
            <numerusform>Wykonano %1 z %n</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n running</source>
        <translation>
            <numerusform>%n w toku</numerusform>
            <numerusform>%n w toku</numerusform>
            <numerusform>%n w toku</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n failed</source>
        <translation>
            <numerusform>%n nieudana</numerusform>
            <numerusform>%n nieudane</numerusform>
            <numerusform>%n nieudanych</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n cancelled</source>
        <translation>
            <numerusform>%n anulowana</numerusform>
            <numerusform>%n anulowane</numerusform>
            <numerusform>%n anulowanych</numerusform>
        </translation>
    </message>
    <message>
        <source>, </source>
        <translation>, </translation>
    </message>
    <message>
        <source>.</source>
        <translation>.</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 z %2</translation>
    </message>
</context>
<context>
    <name>TJobRunner</name>
    <message>
        <source>Cannot start %1: %2</source>
        <translation>Nie można uruchomić %1: %2</translation>
    </message>
    <message>
        <source>quorve-plu-cli ended by signal %1</source>
        <translation>quorve-plu-cli zakończony sygnałem %1</translation>
    </message>
    <message>
        <source>quorve-plu-cli ended with exit %1</source>
        <translation>quorve-plu-cli zakończony z kodem wyjścia %1</translation>
    </message>
</context>
<context>
    <name>TJobsForm</name>
    <message>
        <source>&amp;Retry failed</source>
        <translation>&amp;Ponów nieudane</translation>
    </message>
    <message>
        <source>Run again every register that failed or was cancelled</source>
        <translation>Uruchom ponownie każdą kasę, która zawiodła lub została anulowana</translation>
    </message>
    <message>
        <source>&amp;Show report</source>
        <translation>Pokaż &amp;raport</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Anuluj</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Zamknij</translation>
    </message>
    <message>
        <source>Connect the register &quot;%1&quot; to %2, then press OK.</source>
        <translation>Podłącz kasę „%1” do %2, a potem naciśnij OK.</translation>
    </message>
    <message>
        <source>Cancel leaves this register out.</source>
        <translation>Anuluj pomija tę kasę.</translation>
    </message>
</context>
<context>
    <name>TMainForm</name>
    <message>
        <source>&amp;Language</source>
        <translation>&amp;Język</translation>
    </message>
    <message>
        <source>&amp;System</source>
        <translation>&amp;Systemowy</translation>
    </message>
    <message>
        <source>The language could not be kept in SYSTEM.CFG: %1</source>
        <translation>Nie udało się zapisać języka w SYSTEM.CFG: %1</translation>
    </message>
    <message>
        <source>The new language is shown from the next start of the program.</source>
        <translation>Nowy język pojawi się przy następnym uruchomieniu programu.</translation>
    </message>
    <message>
        <source>Quorve PLU manager</source>
        <translation>Menedżer PLU Quorve</translation>
    </message>
    <message>
        <source>PLU</source>
        <translation>PLU</translation>
    </message>
    <message>
        <source>Department</source>
        <translation>Dział</translation>
    </message>
    <message>
        <source>Report</source>
        <translation>Raport</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Plik</translation>
    </message>
    <message>
        <source>&amp;New</source>
        <translation>&amp;Nowy</translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation>&amp;Otwórz...</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Zapisz</translation>
    </message>
    <message>
        <source>Save &amp;as...</source>
        <translation>Zapisz &amp;jako...</translation>
    </message>
    <message>
        <source>&amp;Import...</source>
        <translation>&amp;Importuj...</translation>
    </message>
    <message>
        <source>&amp;Export...</source>
        <translation>&amp;Eksportuj...</translation>
    </message>
    <message>
        <source>Recycling...</source>
        <translation>Kaucje...</translation>
    </message>
    <message>
        <source>Parameter...</source>
        <translation>Parametry...</translation>
    </message>
    <message>
        <source>Print...</source>
        <translation>Drukuj...</translation>
    </message>
    <message>
        <source>Font...</source>
        <translation>Czcionka...</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>Za&amp;kończ</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Edycja</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Cofnij</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Ponów</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>&amp;Wytnij</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopiuj</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>Wk&amp;lej</translation>
    </message>
    <message>
        <source>&amp;Find...</source>
        <translation>&amp;Znajdź...</translation>
    </message>
    <message>
        <source>C&amp;hange prices...</source>
        <translation>Zmień ce&amp;ny...</translation>
    </message>
    <message>
        <source>Check &amp;document</source>
        <translation>Sprawdź &amp;dokument</translation>
    </message>
    <message>
        <source>&amp;Communication</source>
        <translation>&amp;Komunikacja</translation>
    </message>
    <message>
        <source>&amp;Setting...</source>
        <translation>&amp;Ustawienia...</translation>
    </message>
    <message>
        <source>&amp;Detect port...</source>
        <translation>&amp;Wykryj port...</translation>
    </message>
    <message>
        <source>Test</source>
        <translation>Test</translation>
    </message>
    <message>
        <source>Download data...</source>
        <translation>Wyślij do kasy...</translation>
    </message>
    <message>
        <source>Upload data...</source>
        <translation>Odczytaj z kasy...</translation>
    </message>
    <message>
        <source>Upload report</source>
        <translation>Odczytaj raport</translation>
    </message>
    <message>
        <source>Download font...</source>
        <translation>Wyślij czcionkę...</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>Pomo&amp;c</translation>
    </message>
    <message>
        <source>&amp;Contents</source>
        <translation>&amp;Spis treści</translation>
    </message>
    <message>
        <source>&amp;About...</source>
        <translation>&amp;O programie...</translation>
    </message>
    <message>
        <source>Menu Bar</source>
        <translation>Pasek menu</translation>
    </message>
    <message>
        <source>Main</source>
        <translation>Główny</translation>
    </message>
    <message>
        <source>New</source>
        <translation>Nowy</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Otwórz</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Zapisz</translation>
    </message>
    <message>
        <source>Preferences</source>
        <translation>Parametry</translation>
    </message>
    <message>
        <source>Communication setting</source>
        <translation>Ustawienia komunikacji</translation>
    </message>
    <message>
        <source>Download data</source>
        <translation>Wyślij do kasy</translation>
    </message>
    <message>
        <source>Upload data</source>
        <translation>Odczytaj z kasy</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Zakończ</translation>
    </message>
    <message>
        <source>File has not been saved,save it now?</source>
        <translation>Plik nie został zapisany. Zapisać go teraz?</translation>
    </message>
    <message>
        <source>The user guide was not found</source>
        <translation>Nie znaleziono podręcznika użytkownika</translation>
    </message>
    <message>
        <source>No web browser could be started to show the user guide</source>
        <translation>Nie udało się uruchomić przeglądarki, aby pokazać podręcznik użytkownika</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Cofnij</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Ponów</translation>
    </message>
    <message>
        <source>Undone: %1.</source>
        <translation>Cofnięto: %1.</translation>
    </message>
    <message>
        <source>Redone: %1.</source>
        <translation>Ponowiono: %1.</translation>
    </message>
    <message>
        <source>PLU files(*.PLU)</source>
        <translation>Pliki PLU (*.PLU)</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Import</translation>
    </message>
    <message>
        <source>Spreadsheet text (*.csv *.tsv *.txt);;All files (*)</source>
        <translation>Tekst arkusza (*.csv *.tsv *.txt);;Wszystkie pliki (*)</translation>
    </message>
    <message>
        <source>Tab-separated text (*.tsv *.txt)</source>
        <translation>Tekst rozdzielony tabulatorami (*.tsv *.txt)</translation>
    </message>
    <message>
        <source>Comma-separated values (*.csv)</source>
        <translation>Wartości rozdzielone przecinkami (*.csv)</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Eksport</translation>
    </message>
    <message>
        <source>Save list</source>
        <translation>Zapisz listę</translation>
    </message>
    <message>
        <source>Text files (*.txt);;All files (*)</source>
        <translation>Pliki tekstowe (*.txt);;Wszystkie pliki (*)</translation>
    </message>
    <message>
        <source>The history is not kept: %1</source>
        <translation>Historia nie jest zapisywana: %1</translation>
    </message>
    <message>
        <source>The journal entry was not written (%1).</source>
        <translation>Nie zapisano wpisu dziennika (%1).</translation>
    </message>
    <message>
        <source>The history file was not copied into the backup (%1).</source>
        <translation>Pliku historii nie skopiowano do kopii zapasowej (%1).</translation>
    </message>
    <message>
        <source>Save as...</source>
        <translation>Zapisz jako...</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Drukuj</translation>
    </message>
    <message>
        <source>Text files (*.txt)</source>
        <translation>Pliki tekstowe (*.txt)</translation>
    </message>
    <message>
        <source>The report was saved as %1.</source>
        <translation>Raport zapisano jako %1.</translation>
    </message>
    <message>
        <source>Co&amp;mpare with register...</source>
        <translation>Po&amp;równaj z kasą...</translation>
    </message>
    <message>
        <source>&amp;Back up register...</source>
        <translation>Kopia &amp;zapasowa kasy...</translation>
    </message>
    <message>
        <source>&amp;Restore register...</source>
        <translation>&amp;Przywróć kasę...</translation>
    </message>
    <message>
        <source>Tick the kinds of data to compare.</source>
        <translation>Zaznacz rodzaje danych do porównania.</translation>
    </message>
    <message>
        <source>The register could not be compared.</source>
        <translation>Nie udało się porównać z kasą.</translation>
    </message>
    <message>
        <source>The register was not backed up, so nothing was sent.</source>
        <translation>Nie utworzono kopii zapasowej kasy, więc nic nie wysłano.</translation>
    </message>
    <message>
        <source>This backup cannot be restored.</source>
        <translation>Tej kopii zapasowej nie można przywrócić.</translation>
    </message>
    <message>
        <source>Not restored: %1</source>
        <translation>Nie przywrócono: %1</translation>
    </message>
    <message>
        <source>Put this backup back on the register?</source>
        <translation>Przywrócić tę kopię zapasową do kasy?</translation>
    </message>
    <message>
        <source>
What differs on the register is replaced by the backup&apos;s PLU items, departments, package prices and parameters. Sales counters are not sent.</source>
        <translation>
To, co w kasie się różni, zostanie zastąpione towarami PLU, działami, cenami kaucji i parametrami z kopii. Liczniki sprzedaży nie są wysyłane.</translation>
    </message>
    <message>
        <source>This backup was made from another register. Restore it anyway?</source>
        <translation>Ta kopia zapasowa pochodzi z innej kasy. Mimo to przywrócić?</translation>
    </message>
    <message>
        <source>Backup: %1
Connected: %2</source>
        <translation>Kopia: %1
Podłączona: %2</translation>
    </message>
    <message>
        <source>The register already held this backup; nothing was sent.</source>
        <translation>Kasa zawierała już tę kopię; nic nie wysłano.</translation>
    </message>
    <message>
        <source>Not restored.</source>
        <translation>Nie przywrócono.</translation>
    </message>
    <message>
        <source>Binary Files (*.hex)</source>
        <translation>Pliki binarne (*.hex)</translation>
    </message>
    <message>
        <source>Font Files (*.fnt)</source>
        <translation>Pliki czcionek (*.fnt)</translation>
    </message>
    <message>
        <source>PLU list</source>
        <translation>Lista PLU</translation>
    </message>
    <message>
        <source>Upload data range</source>
        <translation>Zakres odczytu pamięci</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Błąd</translation>
    </message>
    <message>
        <source>Check document</source>
        <translation>Sprawdzenie dokumentu</translation>
    </message>
    <message>
        <source>, %1 emptied</source>
        <translation>, wyczyszczono %1</translation>
    </message>
    <message>
        <source> The columns chosen could not be remembered: %1.</source>
        <translation> Nie udało się zapamiętać wybranych kolumn: %1.</translation>
    </message>
    <message>
        <source>No problems: every cell passes its check.</source>
        <translation>Brak problemów: każda komórka przechodzi sprawdzenie.</translation>
    </message>
    <message>
        <source>Table</source>
        <translation>Tabela</translation>
    </message>
    <message>
        <source>Row</source>
        <translation>Wiersz</translation>
    </message>
    <message>
        <source>Column</source>
        <translation>Kolumna</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Wartość</translation>
    </message>
    <message>
        <source>Reason</source>
        <translation>Przyczyna</translation>
    </message>
    <message>
        <source>Download anyway?</source>
        <translation>Mimo to wysłać?</translation>
    </message>
    <message>
        <source>Show &amp;problems</source>
        <translation>Pokaż &amp;problemy</translation>
    </message>
    <message>
        <source>[History] Server is not a postgresql:// address</source>
        <translation>[History] Server nie jest adresem postgresql://</translation>
    </message>
    <message>
        <source>The history was not sent to the server (%1); it is kept here and sent later.</source>
        <translation>Historii nie wysłano na serwer (%1); jest przechowywana tutaj i zostanie wysłana później.</translation>
    </message>
    <message>
        <source>The history server cannot be read: %1</source>
        <translation>Nie można odczytać serwera historii: %1</translation>
    </message>
    <message>
        <source>&amp;History...</source>
        <translation>&amp;Historia...</translation>
    </message>
    <message>
        <source>No history file is open.</source>
        <translation>Żaden plik historii nie jest otwarty.</translation>
    </message>
    <message>
        <source>Re&amp;gisters...</source>
        <translation>&amp;Lista kas...</translation>
    </message>
    <message>
        <source>Upload reports &amp;from registers...</source>
        <translation>Odczytaj raporty z &amp;kas...</translation>
    </message>
    <message>
        <source>Bac&amp;k up registers...</source>
        <translation>Kopie zapasowe k&amp;as...</translation>
    </message>
    <message>
        <source> Register: </source>
        <translation> Kasa: </translation>
    </message>
    <message>
        <source>The register every command talks to</source>
        <translation>Kasa, z którą rozmawia każde polecenie</translation>
    </message>
    <message>
        <source>Tick the registers to send to.</source>
        <translation>Zaznacz kasy, do których wysłać.</translation>
    </message>
    <message>
        <source>Tick the kinds of data to send.</source>
        <translation>Zaznacz rodzaje danych do wysłania.</translation>
    </message>
    <message>
        <source>The document to send could not be written.</source>
        <translation>Nie udało się zapisać dokumentu do wysłania.</translation>
    </message>
    <message>
        <source>Download to registers</source>
        <translation>Wysyłanie do kas</translation>
    </message>
    <message>
        <source>Upload reports from registers</source>
        <translation>Odczyt raportów z kas</translation>
    </message>
    <message>
        <source>Back up registers</source>
        <translation>Kopie zapasowe kas</translation>
    </message>
</context>
<context>
    <name>TOperationRecorder</name>
    <message>
        <source>the sales were not kept (%1)</source>
        <translation>sprzedaży nie zapisano (%1)</translation>
    </message>
</context>
<context>
    <name>TParaDlg</name>
    <message>
        <source>Not print subtotal</source>
        <translation>Nie drukuj sumy częściowej</translation>
    </message>
    <message>
        <source>Angel</source>
        <translation>Angel</translation>
    </message>
    <message>
        <source>Print while item value is zero in report</source>
        <translation>Drukuj w raporcie pozycje o wartości zero</translation>
    </message>
    <message>
        <source>ForceTender</source>
        <translation>Wymuś formę płatności</translation>
    </message>
    <message>
        <source>Don&apos;t erase counters of report KASOWY automatically</source>
        <translation>Nie zeruj automatycznie liczników raportu KASOWY</translation>
    </message>
    <message>
        <source>Don&apos;t erase counters of report KASJEROW automatically</source>
        <translation>Nie zeruj automatycznie liczników raportu KASJEROW</translation>
    </message>
    <message>
        <source>Don&apos;t erase counters of report SPRZEDAZY automatically</source>
        <translation>Nie zeruj automatycznie liczników raportu SPRZEDAZY</translation>
    </message>
    <message>
        <source>Not warning when AC lost.</source>
        <translation>Bez ostrzeżenia przy zaniku zasilania.</translation>
    </message>
    <message>
        <source>Z report must be done after data changing</source>
        <translation>Po zmianie danych wymagany raport Z</translation>
    </message>
    <message>
        <source>Price without cents (depends from currency)</source>
        <translation>Ceny bez groszy (zależnie od waluty)</translation>
    </message>
    <message>
        <source>Item check and confirm, during sale</source>
        <translation>Sprawdzanie i potwierdzanie towaru podczas sprzedaży</translation>
    </message>
    <message>
        <source>Parameter</source>
        <translation>Parametry</translation>
    </message>
    <message>
        <source>-% rate:</source>
        <translation>Rabat %:</translation>
    </message>
    <message>
        <source>+% rate:</source>
        <translation>Narzut %:</translation>
    </message>
    <message>
        <source>Print speed:</source>
        <translation>Szybkość druku:</translation>
    </message>
    <message>
        <source>Clerk%1</source>
        <translation>Kasjer%1</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Nazwa:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Hasło:</translation>
    </message>
    <message>
        <source>&amp;Header message</source>
        <translation>&amp;Nagłówek paragonu</translation>
    </message>
    <message>
        <source>&amp;Tail message</source>
        <translation>&amp;Stopka paragonu</translation>
    </message>
    <message>
        <source>&amp;Barcode type</source>
        <translation>&amp;Typy kodów kreskowych</translation>
    </message>
    <message>
        <source>&amp;VAT Rate</source>
        <translation>Stawki &amp;VAT</translation>
    </message>
    <message>
        <source>VAT %1</source>
        <translation>VAT %1</translation>
    </message>
    <message>
        <source>Tax-free:</source>
        <translation>Zwolniona:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Anuluj</translation>
    </message>
</context>
<context>
    <name>TPrinterJob</name>
    <message>
        <source>Cannot start printing on %1</source>
        <translation>Nie można rozpocząć drukowania na %1</translation>
    </message>
    <message>
        <source>Cannot start page %1 on %2</source>
        <translation>Nie można rozpocząć strony %1 na %2</translation>
    </message>
    <message>
        <source>Printing failed on %1</source>
        <translation>Drukowanie na %1 nie powiodło się</translation>
    </message>
    <message>
        <source>There is no default printer currently selected</source>
        <translation>Nie wybrano drukarki domyślnej</translation>
    </message>
</context>
<context>
    <name>TProblemList</name>
    <message>
        <source>Problems</source>
        <translation>Problemy</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopiuj</translation>
    </message>
    <message>
        <source>Copy every line, tab-separated, for a spreadsheet or a message</source>
        <translation>Kopiuj wszystkie wiersze rozdzielone tabulatorami, do arkusza lub wiadomości</translation>
    </message>
    <message>
        <source>Check &amp;again</source>
        <translation>Sprawdź &amp;ponownie</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Zamknij</translation>
    </message>
    <message>
        <source>Quorve PLU manager</source>
        <translation>Menedżer PLU Quorve</translation>
    </message>
    <message>
        <source>Nothing was pasted: %1</source>
        <translation>Nic nie wklejono: %1</translation>
    </message>
    <message>
        <source>More than %1 cells in all do not pass their check.</source>
        <translation>Łącznie ponad %1 komórek nie przechodzi sprawdzenia.</translation>
    </message>
    <message>
        <source>%1 cells in all do not pass their check.</source>
        <translation>Łącznie komórek, które nie przechodzą sprawdzenia: %1.</translation>
    </message>
</context>
<context>
    <name>TProgressForm</name>
    <message>
        <source>Progress</source>
        <translation>Postęp</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Anuluj</translation>
    </message>
    <message>
        <source>Status:</source>
        <translation>Stan:</translation>
    </message>
    <message>
        <source>Current package:</source>
        <translation>Bieżący pakiet:</translation>
    </message>
    <message>
        <source>Total Packages:</source>
        <translation>Wszystkie pakiety:</translation>
    </message>
    <message>
        <source>...Error!</source>
        <translation>...Błąd!</translation>
    </message>
</context>
<context>
    <name>TRecyForm</name>
    <message>
        <source>Recycling</source>
        <translation>Kaucje</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Anuluj</translation>
    </message>
</context>
<context>
    <name>TRegisterList</name>
    <message>
        <source>Cannot rename %1 to %2</source>
        <translation>Nie można zmienić nazwy %1 na %2</translation>
    </message>
    <message>
        <source>Cannot read %1</source>
        <translation>Nie można odczytać %1</translation>
    </message>
    <message>
        <source>Cannot create the folder %1</source>
        <translation>Nie można utworzyć folderu %1</translation>
    </message>
    <message>
        <source>Cannot create a folder in %1</source>
        <translation>Nie można utworzyć folderu w %1</translation>
    </message>
    <message>
        <source>Cannot write %1</source>
        <translation>Nie można zapisać %1</translation>
    </message>
    <message>
        <source>Cannot move %1 to %2</source>
        <translation>Nie można przenieść %1 do %2</translation>
    </message>
</context>
<context>
    <name>TRegisterPickDlg</name>
    <message>
        <source>Cancel</source>
        <translation>Anuluj</translation>
    </message>
</context>
<context>
    <name>TRegisterPicker</name>
    <message>
        <source>Registers:</source>
        <translation>Kasy:</translation>
    </message>
    <message>
        <source>Groups:</source>
        <translation>Grupy:</translation>
    </message>
</context>
<context>
    <name>TRegistersDlg</name>
    <message>
        <source>Registers</source>
        <translation>Kasy</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nazwa</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>Rate</source>
        <translation>Prędkość</translation>
    </message>
    <message>
        <source>Groups</source>
        <translation>Grupy</translation>
    </message>
    <message>
        <source>Document</source>
        <translation>Dokument</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Stan</translation>
    </message>
    <message>
        <source>Identification</source>
        <translation>Identyfikacja</translation>
    </message>
    <message>
        <source>Last contact</source>
        <translation>Ostatni kontakt</translation>
    </message>
    <message>
        <source>&amp;Add...</source>
        <translation>&amp;Dodaj...</translation>
    </message>
    <message>
        <source>Put a register on the list</source>
        <translation>Dodaj kasę do listy</translation>
    </message>
    <message>
        <source>Re&amp;name...</source>
        <translation>Zmień &amp;nazwę...</translation>
    </message>
    <message>
        <source>Give the register another name</source>
        <translation>Nadaj kasie inną nazwę</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>&amp;Usuń</translation>
    </message>
    <message>
        <source>Take the register off the list</source>
        <translation>Usuń kasę z listy</translation>
    </message>
    <message>
        <source>&amp;Groups...</source>
        <translation>&amp;Grupy...</translation>
    </message>
    <message>
        <source>The groups the register is in</source>
        <translation>Grupy, do których należy kasa</translation>
    </message>
    <message>
        <source>&amp;Document...</source>
        <translation>D&amp;okument...</translation>
    </message>
    <message>
        <source>The register&apos;s own document, opened when it is chosen</source>
        <translation>Własny dokument kasy, otwierany po jej wybraniu</translation>
    </message>
    <message>
        <source>&amp;Test all</source>
        <translation>&amp;Testuj wszystkie</translation>
    </message>
    <message>
        <source>Test every register at once</source>
        <translation>Testuj wszystkie kasy naraz</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Zamknij</translation>
    </message>
    <message>
        <source>The register&apos;s own document is %1.</source>
        <translation>Własny dokument kasy to %1.</translation>
    </message>
    <message>
        <source>&amp;Another...</source>
        <translation>&amp;Inny...</translation>
    </message>
    <message>
        <source>&amp;None</source>
        <translation>&amp;Brak</translation>
    </message>
    <message>
        <source>The register&apos;s own document</source>
        <translation>Własny dokument kasy</translation>
    </message>
    <message>
        <source>PLU files(*.PLU)</source>
        <translation>Pliki PLU (*.PLU)</translation>
    </message>
    <message>
        <source>New name of &quot;%1&quot;:</source>
        <translation>Nowa nazwa kasy „%1”:</translation>
    </message>
    <message>
        <source>Take &quot;%1&quot; off the list?

Its settings are kept in %2.removed/.</source>
        <translation>Usunąć „%1” z listy?

Jej ustawienia zostaną zachowane w %2.removed/.</translation>
    </message>
    <message>
        <source>Groups of &quot;%1&quot;, separated by commas:</source>
        <translation>Grupy kasy „%1”, rozdzielone przecinkami:</translation>
    </message>
    <message>
        <source>Testing...</source>
        <translation>Sprawdzanie...</translation>
    </message>
    <message>
        <source>Answers</source>
        <translation>Odpowiada</translation>
    </message>
    <message>
        <source>Not tested</source>
        <translation>Nie sprawdzono</translation>
    </message>
    <message>
        <source>No answer: </source>
        <translation>Brak odpowiedzi: </translation>
    </message>
</context>
<context>
    <name>TTransferRangeDlg</name>
    <message>
        <source>PLU range</source>
        <translation>Zakres PLU</translation>
    </message>
    <message>
        <source>From:</source>
        <translation>Od:</translation>
    </message>
    <message>
        <source>To:</source>
        <translation>Do:</translation>
    </message>
    <message>
        <source>PLU No.</source>
        <translation>Nr PLU</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Anuluj</translation>
    </message>
    <message>
        <source>Tick the kinds of data first</source>
        <translation>Najpierw zaznacz rodzaje danych</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Informacja</translation>
    </message>
    <message>
        <source>Invalid PLU range</source>
        <translation>Nieprawidłowy zakres PLU</translation>
    </message>
    <message>
        <source>Download data</source>
        <translation>Wysyłanie do kasy</translation>
    </message>
    <message>
        <source>Compare with register</source>
        <translation>Porównanie z kasą</translation>
    </message>
    <message>
        <source>Upload data</source>
        <translation>Odczyt z kasy</translation>
    </message>
</context>
<context>
    <name>history</name>
    <message>
        <source>[History] Server in %1 is not a postgresql:// address: %2</source>
        <translation>[History] Server w %1 nie jest adresem postgresql://: %2</translation>
    </message>
    <message>
        <source>The history was not sent to the server (%1); quorve-plu-cli history push sends it later.</source>
        <translation>Historii nie wysłano na serwer (%1); quorve-plu-cli history push wyśle ją później.</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Changed settings and the communication log cannot be kept until this is mended.</source>
        <translation>Zmienione ustawienia i dziennik komunikacji nie mogą być zachowane, dopóki nie zostanie to naprawione.</translation>
    </message>
</context>
</TS>
