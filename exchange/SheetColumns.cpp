#include "SheetColumns.h"

#include "CodePage.h"
#include "Defs.h"

#include <QCoreApplication>
#include <QHash>

#include <algorithm>
#include <span>

namespace {

struct Alias {
    int col;
    const char* name;
};
// Besides the grid's own titles, in English, Polish and German; compared after FoldedName, so
// without case or accents ("Dział" is "dzial"). VAT and Stawka name no PLU column: a shop
// system's tax rate is no department, so the user maps it by hand if it is meant as one.
constexpr Alias PLUAliases[] = {
    {0, "plu"},          {0, "number"},       {0, "no"},          {0, "plu number"},
    {0, "plu no"},       {0, "nr"},           {0, "numer"},       {0, "nummer"},
    {0, "plu nr"},       {0, "numer plu"},    {1, "barcode"},     {1, "bar code"},
    {1, "ean"},          {1, "gtin"},         {1, "kod"},         {1, "kod kreskowy"},
    {1, "strichcode"},   {2, "name"},         {2, "description"}, {2, "nazwa"},
    {2, "bezeichnung"},  {2, "nazwa towaru"}, {3, "unit price"},  {3, "price"},
    {3, "cena"},         {3, "cena brutto"},  {3, "preis"},       {3, "einzelpreis"},
    {4, "department"},   {4, "dept"},         {4, "dzial"},       {4, "grupa"},
    {4, "abteilung"},    {4, "warengruppe"},  {5, "stocks"},      {5, "stock"},
    {5, "stan"},         {5, "ilosc"},        {5, "bestand"},     {5, "stan magazynowy"},
    {5, "lagerbestand"}, {6, "flag"},         {6, "flaga"},       {7, "quantity"},
    {8, "total"},
};
constexpr Alias DeptAliases[] = {
    {0, "number"},     {0, "no"},          {0, "nr"},         {0, "numer"},       {0, "nummer"},
    {1, "name"},       {1, "description"}, {1, "nazwa"},      {1, "bezeichnung"}, {2, "tax"},
    {2, "vat"},        {2, "stawka"},      {2, "stawka vat"}, {2, "mwst"},        {2, "steuer"},
    {3, "unit price"}, {3, "price"},       {3, "cena"},       {3, "cena brutto"}, {3, "preis"},
};
constexpr Alias RecyAliases[] = {
    {0, "number"},        {0, "no"},    {0, "nr"},   {0, "numer"}, {0, "nummer"},
    {1, "package price"}, {1, "price"}, {1, "cena"}, {1, "preis"}, {1, "pfand"},
};

std::span<const Alias> AliasesOf(SheetTable table) {
    switch (table) {
    case SheetTable::PLU:
        return PLUAliases;
    case SheetTable::Department:
        return DeptAliases;
    default:
        return RecyAliases;
    }
}

QHash<QString, int> KnownNames(SheetTable table) {
    QHash<QString, int> known;
    // The titles first: a language file's title outranks an English alias of another column.
    auto add = [&](const QString& name, int col) {
        if (!known.contains(name))
            known.insert(name, col);
    };
    for (int col = 0; col <= SheetColumns(table); ++col)
        add(FoldedName(SheetColumnTitle(table, col)), col);
    for (const Alias& alias : AliasesOf(table))
        add(QString::fromLatin1(alias.name), alias.col);
    return known;
}

} // namespace

const char* SheetRowWord(SheetTable table) {
    switch (table) {
    case SheetTable::PLU:
        return QT_TRANSLATE_NOOP("Sheet", "PLU");
    case SheetTable::Department:
        return QT_TRANSLATE_NOOP("Sheet", "department");
    default:
        return QT_TRANSLATE_NOOP("Sheet", "recycling entry");
    }
}

SheetColumnKind ColumnKind(SheetTable table, int col) {
    using enum SheetColumnKind;
    switch (table) {
    case SheetTable::PLU:
        return col == 2 ? Text : (col == 1 || col == 4 || col == 6) ? Digits : Number;
    case SheetTable::Department:
        return col == 1 ? Text : col == 2 ? Digits : Number;
    default:
        return Number;
    }
}

int SheetColumns(SheetTable table) {
    switch (table) {
    case SheetTable::PLU:
        return PLUColCount - 1;
    case SheetTable::Department:
        return DeptColCount - 1;
    default:
        return 1;
    }
}

int SheetRows(SheetTable table) {
    switch (table) {
    case SheetTable::PLU:
        return PLURowCount;
    case SheetTable::Department:
        return DeptRowCount;
    default:
        return RecyEntryCount;
    }
}

QString SheetColumnTitle(SheetTable table, int col) {
    const std::string& title = table == SheetTable::PLU          ? PLUTitles[size_t(col)]
                               : table == SheetTable::Department ? DeptTitles[size_t(col)]
                                                                 : RecyTitles[size_t(col)];
    return DocumentCodePage().ToUnicode(title);
}

QString ColumnMap::Name(int fileCol) const {
    if (fileCol >= 0 && size_t(fileCol) < names.size() && !names[size_t(fileCol)].isEmpty())
        return names[size_t(fileCol)];
    if (fileCol >= 0 && size_t(fileCol) < feeds.size() && feeds[size_t(fileCol)] >= 0)
        return SheetColumnTitle(table, feeds[size_t(fileCol)]);
    return QCoreApplication::translate("Sheet", "column %1").arg(fileCol + 1);
}

QString FoldedName(QStringView name) {
    // Case folding leaves ß and ł as they are, and ł has no decomposition to take the accent off.
    const QString decomposed =
        name.toString().toCaseFolded().normalized(QString::NormalizationForm_D);
    QString n;
    n.reserve(decomposed.size());
    for (QChar c : decomposed) {
        if (c.category() == QChar::Mark_NonSpacing)
            continue;
        if (c == u'ł')
            n += u'l';
        else if (c == u'ß')
            n += QStringLiteral("ss");
        else if (c == u'_' || c == u'-')
            n += u' ';
        else
            n += c;
    }
    n = n.simplified();
    if (n.endsWith(u'.'))
        n.chop(1);
    return n;
}

int ColumnNamed(SheetTable table, QStringView name) {
    return KnownNames(table).value(FoldedName(name), -1);
}

ColumnMap MapColumns(const SheetText& sheet, SheetTable table, std::optional<bool> header,
                     const std::optional<ColumnChoice>& chosen) {
    ColumnMap map;
    map.table = table;
    map.fileColumn.assign(size_t(SheetColumns(table) + 1), -1);
    const QHash<QString, int> known = KnownNames(table);
    const bool any = sheet.Records() > 0;
    for (int fc = 0; any && !header && fc < sheet.Fields(0); ++fc)
        if (known.contains(FoldedName(sheet.Field(0, fc))))
            header = true;
    map.header = any && header.value_or(false);
    // With a header the file has its columns; without, as many as its widest record.
    int columns = 0;
    if (map.header) {
        columns = sheet.Fields(0);
        for (int fc = 0; fc < columns; ++fc)
            map.names.push_back(sheet.Field(0, fc).toString());
    } else {
        for (size_t r = 0; r < sheet.Records(); ++r)
            columns = std::max(columns, sheet.Fields(r));
        map.names.assign(size_t(columns), QString());
    }
    map.feeds.assign(size_t(columns), -1);
    // A column that names a taken one is a problem, not an ignored column.
    std::vector<bool> named(size_t(columns), false);
    auto ownName = [&](int fc) {
        return map.header ? map.names[size_t(fc)]
                          : QCoreApplication::translate("Sheet", "column %1").arg(fc + 1);
    };
    auto assign = [&](int fc, int col) {
        int& slot = map.fileColumn[size_t(col)];
        if (slot >= 0) {
            map.problems.push_back(
                {map.header ? sheet.Line(0) : 0,
                 {},
                 {},
                 chosen ? QCoreApplication::translate("Sheet", "%1 and %2 both feed %3")
                              .arg(ownName(slot), ownName(fc), SheetColumnTitle(table, col))
                        : QCoreApplication::translate("Sheet", "%1 names the same column as %2")
                              .arg(map.Name(fc), map.Name(slot))});
            named[size_t(fc)] = true;
            return;
        }
        slot = fc;
        map.feeds[size_t(fc)] = col;
    };
    if (chosen) {
        for (size_t fc = 0; fc < chosen->size(); ++fc) {
            const int col = (*chosen)[fc];
            if (col < 0 || col > SheetColumns(table))
                continue;
            if (int(fc) < columns)
                assign(int(fc), col);
            else
                map.problems.push_back(
                    {0,
                     {},
                     {},
                     QCoreApplication::translate(
                         "Sheet", "column %1 is to feed %2, but the file has %3 columns")
                         .arg(fc + 1)
                         .arg(SheetColumnTitle(table, col))
                         .arg(columns)});
        }
    } else if (map.header) {
        for (int fc = 0; fc < columns; ++fc)
            if (const int col = known.value(FoldedName(map.names[size_t(fc)]), -1); col >= 0)
                assign(fc, col);
    } else {
        // The recycling file begins with the entry's number, the grid files with their cells.
        const int offset = table == SheetTable::Recycling ? 0 : 1;
        for (int fc = 0; fc < columns && fc + offset <= SheetColumns(table); ++fc)
            assign(fc, fc + offset);
    }
    for (int fc = 0; fc < columns; ++fc)
        if (map.feeds[size_t(fc)] < 0 && !named[size_t(fc)])
            map.ignored.push_back(map.Name(fc));
    if (any && std::all_of(map.fileColumn.begin() + 1, map.fileColumn.end(),
                           [](int fc) { return fc < 0; }))
        map.problems.push_back(
            {map.header ? sheet.Line(0) : 0,
             {},
             {},
             QCoreApplication::translate("Sheet", "no column of the %1 table")
                 .arg(QCoreApplication::translate("Sheet", SheetRowWord(table)))});
    return map;
}
