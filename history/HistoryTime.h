#pragma once
// Times in the history: kept in UTC as ISO-8601 texts with milliseconds, which sort as they
// happened in either database; shown and typed in the user's own time.

#include <QDateTime>
#include <QString>

#include <optional>

// "2026-01-31T13:03:22.120Z"
QString StoredTime(const QDateTime& time);
QDateTime FromStoredTime(const QString& stored);
// "2026-01-31 14:03:22" in local time.
QString LocalTimeText(const QString& stored);

// A date or time the user typed, in local time: "2026-01-31", "2026-01-31 14:03" or
// "2026-01-31T14:03:22". As the start of a span it is that moment (a day's midnight); as the end
// it is the first moment after it (the next day's midnight, the next minute or second), so that
// spans are start <= t < end and "--until 2026-01-31" takes in the whole day.
std::optional<QDateTime> ParseUserTime(const QString& text, bool end);
