#include "SheetColumnMemory.h"

#include "AtomicFile.h"
#include "DocumentFile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cerrno>

namespace {

constexpr std::pair<SheetTable, const char*> TableKeys[] = {
    {SheetTable::PLU, "plu"}, {SheetTable::Department, "dept"}, {SheetTable::Recycling, "recy"}};

QString KeyOf(SheetTable table) {
    for (auto [t, key] : TableKeys)
        if (t == table)
            return QString::fromLatin1(key);
    return {};
}

std::optional<SheetTable> TableOf(const QString& key) {
    for (auto [t, name] : TableKeys)
        if (key == QLatin1String(name))
            return t;
    return std::nullopt;
}

QStringList HeaderOf(const SheetText& sheet) {
    QStringList header;
    for (int f = 0; sheet.Records() > 0 && f < sheet.Fields(0); ++f)
        header << sheet.Field(0, f).toString();
    return header;
}

bool SameHeader(const QJsonArray& stored, const QStringList& header) {
    if (stored.size() != header.size())
        return false;
    for (qsizetype i = 0; i < header.size(); ++i)
        if (FoldedName(stored[i].toString()) != FoldedName(header[i]))
            return false;
    return true;
}

QJsonArray Entries(const std::string& path) {
    const SheetFile file = LoadSheetFile(path);
    if (!file.error.isEmpty())
        return {};
    const QJsonDocument doc = QJsonDocument::fromJson(
        QByteArray::fromRawData(file.bytes.data(), qsizetype(file.bytes.size())));
    return doc.object().value("headers").toArray();
}

} // namespace

std::optional<RememberedColumns> SheetColumnMemory::Find(const SheetText& sheet) const {
    const QStringList header = HeaderOf(sheet);
    if (header.isEmpty())
        return std::nullopt;
    for (const QJsonValue& value : Entries(path_)) {
        const QJsonObject entry = value.toObject();
        if (!SameHeader(entry.value("header").toArray(), header))
            continue;
        const std::optional<SheetTable> table = TableOf(entry.value("table").toString());
        if (!table)
            return std::nullopt;
        RememberedColumns found{*table, {}};
        // Hand-edited or from another version: anything out of range feeds nothing.
        const QJsonArray columns = entry.value("columns").toArray();
        for (qsizetype fc = 0; fc < header.size(); ++fc) {
            const int col = fc < columns.size() ? columns[fc].toInt(-1) : -1;
            found.feeds.push_back(col >= 0 && col <= SheetColumns(*table) ? col : -1);
        }
        return found;
    }
    return std::nullopt;
}

QString SheetColumnMemory::Remember(const SheetText& sheet,
                                    const std::optional<RememberedColumns>& columns) {
    const QStringList header = HeaderOf(sheet);
    if (header.isEmpty())
        return {};
    QJsonArray kept;
    bool changed = false;
    if (columns) {
        QJsonArray feeds;
        for (int col : columns->feeds)
            feeds.append(col);
        kept.append(QJsonObject{{"header", QJsonArray::fromStringList(header)},
                                {"table", KeyOf(columns->table)},
                                {"columns", feeds}});
        changed = Find(sheet) != columns;
    }
    for (const QJsonValue& value : Entries(path_)) {
        if (SameHeader(value.toObject().value("header").toArray(), header)) {
            changed = changed || !columns;
            continue;
        }
        if (size_t(kept.size()) < MaxHeaders)
            kept.append(value);
    }
    if (!changed)
        return {};
    const QByteArray bytes = QJsonDocument(QJsonObject{{"version", 1}, {"headers", kept}})
                                 .toJson(QJsonDocument::Indented);
    if (!WriteFileAtomically(path_, std::string_view(bytes.constData(), size_t(bytes.size()))))
        return QString::fromStdString(FileErrorText(errno));
    return {};
}
