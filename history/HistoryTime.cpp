#include "HistoryTime.h"

#include <QRegularExpression>

QString StoredTime(const QDateTime& time) {
    return time.toUTC().toString("yyyy-MM-ddTHH:mm:ss.zzzZ");
}

QDateTime FromStoredTime(const QString& stored) {
    return QDateTime::fromString(stored, Qt::ISODateWithMs);
}

QString LocalTimeText(const QString& stored) {
    return FromStoredTime(stored).toLocalTime().toString("yyyy-MM-dd HH:mm:ss");
}

std::optional<QDateTime> ParseUserTime(const QString& text, bool end) {
    static const QRegularExpression form(
        R"(^(\d{4})-(\d{2})-(\d{2})(?:[T ](\d{2}):(\d{2})(?::(\d{2}))?)?$)");
    const QRegularExpressionMatch match = form.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const QDate date(match.captured(1).toInt(), match.captured(2).toInt(),
                     match.captured(3).toInt());
    if (!date.isValid())
        return std::nullopt;
    if (match.captured(4).isEmpty()) {
        const QDateTime start = date.startOfDay();
        return end ? date.addDays(1).startOfDay() : start;
    }
    const bool seconds = !match.captured(6).isEmpty();
    const QTime time(match.captured(4).toInt(), match.captured(5).toInt(),
                     seconds ? match.captured(6).toInt() : 0);
    if (!time.isValid())
        return std::nullopt;
    const QDateTime at(date, time);
    if (!end)
        return at;
    return seconds ? at.addSecs(1) : at.addSecs(60);
}
