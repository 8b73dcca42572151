#pragma once
// A number with its noun for the texts a person reads: "1 item", "3000 items". Both forms are
// given, so "1 package price" needs no rule of spelling.

#include <QString>

QString Counted(qint64 count, const char* one, const char* many);
