#include "CheckTexts.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace {

struct ReasonPattern {
    const char* pattern; // the English reason, its numbers captured
    const char* text;    // the same with %1, %2 in their place
};

// Every reason Document.cpp gives, in the words lupdate sees.
const ReasonPattern Patterns[] = {
    {R"(longer than (\d+) characters)",
     QT_TRANSLATE_NOOP("CellCheck", "longer than %1 characters")},
    {R"(not a number)", QT_TRANSLATE_NOOP("CellCheck", "not a number")},
    {R"(outside (-[\d.,]+) to ([\d.,]+))", QT_TRANSLATE_NOOP("CellCheck", "outside %1 to %2")},
    {R"(above ([\d.,]+))", QT_TRANSLATE_NOOP("CellCheck", "above %1")},
    {R"(not a whole number from (-?\d+) to (-?\d+))",
     QT_TRANSLATE_NOOP("CellCheck", "not a whole number from %1 to %2")},
    {R"(not a whole number)", QT_TRANSLATE_NOOP("CellCheck", "not a whole number")},
    {R"(PLU name repeat: No\. (\d+) and No\. (\d+))",
     QT_TRANSLATE_NOOP("CellCheck", "PLU name repeat: No. %1 and No. %2")},
    {R"(PLU name and Dept name repeat: No\. (\d+) and No\. (\d+))",
     QT_TRANSLATE_NOOP("CellCheck", "PLU name and Dept name repeat: No. %1 and No. %2")},
    {R"(PLU BCode repeat: No\. (\d+) and No\. (\d+))",
     QT_TRANSLATE_NOOP("CellCheck", "PLU BCode repeat: No. %1 and No. %2")},
    {R"(Dept name repeat: No\. (\d+) and No\. (\d+))",
     QT_TRANSLATE_NOOP("CellCheck", "Dept name repeat: No. %1 and No. %2")},
    {R"(Dept name and PLU name repeat: No\. (\d+) and No\. (\d+))",
     QT_TRANSLATE_NOOP("CellCheck", "Dept name and PLU name repeat: No. %1 and No. %2")},
};

} // namespace

QString CheckReasonText(const std::string& reason) {
    const QString english = QString::fromStdString(reason);
    for (const ReasonPattern& p : Patterns) {
        const QRegularExpression whole(QRegularExpression::anchoredPattern(p.pattern));
        const QRegularExpressionMatch match = whole.match(english);
        if (!match.hasMatch())
            continue;
        QString text = QCoreApplication::translate("CellCheck", p.text);
        // One pass: a number never holds a placeholder, but keep it a single substitution.
        if (match.lastCapturedIndex() == 1)
            return text.arg(match.captured(1));
        if (match.lastCapturedIndex() == 2)
            return text.arg(match.captured(1), match.captured(2));
        return text;
    }
    return english;
}
