#include "Counted.h"

QString Counted(qint64 count, const char* one, const char* many) {
    return QString::number(count) + ' ' + QLatin1String(count == 1 ? one : many);
}
