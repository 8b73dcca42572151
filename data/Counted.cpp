#include "Counted.h"

#include <QCoreApplication>

#include <limits>

namespace {

// The nouns the program counts, for lupdate; Counted builds the same keys at run time.
[[maybe_unused]] const char* const CountedNouns[] = {
    QT_TRANSLATE_N_NOOP("Counted", "%n items"),
    QT_TRANSLATE_N_NOOP("Counted", "%n departments"),
    QT_TRANSLATE_N_NOOP("Counted", "%n package prices"),
    QT_TRANSLATE_N_NOOP("Counted", "%n differences"),
    QT_TRANSLATE_N_NOOP("Counted", "%n matches"),
    QT_TRANSLATE_N_NOOP("Counted", "%n named items"),
    QT_TRANSLATE_N_NOOP("Counted", "%n sales records"),
    QT_TRANSLATE_N_NOOP("Counted", "%n rows"),
    QT_TRANSLATE_N_NOOP("Counted", "%n decimals"),
};

QString TranslatedOr(const char* context, const char* key, qint64 n, const QString& english) {
    // Plural rules take an int; a count past it has no translation worth the risk.
    if (n < 0 || n > std::numeric_limits<int>::max())
        return english;
    const QString translated = QCoreApplication::translate(context, key, nullptr, int(n));
    // Untranslated, translate() gives back the key with the number in it.
    if (translated == QString::fromUtf8(key).replace("%n", QString::number(n)))
        return english;
    return translated;
}

} // namespace

QString Counted(qint64 count, const char* one, const char* many) {
    const QString english = QString::number(count) + ' ' + QLatin1String(count == 1 ? one : many);
    return TranslatedOr("Counted", (QByteArray("%n ") + many).constData(), count, english);
}

QString PluralOr(const char* key, qint64 n, const QString& english) {
    return TranslatedOr("Plural", key, n, english);
}
