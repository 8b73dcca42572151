#pragma once
// A number with its noun for the texts a person reads: "1 item", "3000 items". Both English
// forms are given, so "1 package price" needs no rule of spelling; a translation finds the noun
// by "%n " and the many form in the context "Counted" and brings its own plural forms.

#include <QString>

QString Counted(qint64 count, const char* one, const char* many);

// A sentence with a number in a translation's plural forms: key is "%n ..." in the context
// "Plural" (marked for lupdate with QT_TRANSLATE_N_NOOP("Plural", ...)); without a translation
// it is english, the sentence as the program has always built it.
QString PluralOr(const char* key, qint64 n, const QString& english);
