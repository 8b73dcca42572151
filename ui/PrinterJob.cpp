#include "PrinterJob.h"

#include "CodePage.h"
#include "TextTable.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include <cmath>

namespace {

constexpr int NameColumn = 2;

QString PrinterLabel(const QPrinter& printer) {
    return printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName()
                                                         : printer.printerName();
}

QString Tr(const char* text) {
    return QCoreApplication::translate("TPrinterJob", text);
}

} // namespace

std::string PLUPrintLine(const TextTable& table, int row) {
    std::string line = table.Cell(row, 1);
    for (int col = 2; col <= table.Cols(); ++col) {
        line += '\t';
        line += table.Cell(row, col);
    }
    return line;
}

struct TPrinterJob::Painting {
    QPainter painter;
    double lineHeight = 0;
    double ascent = 0;
    double tabWidth = 0;
    double pageHeight = 0;
    double y = 0;
    bool pageUsed = false;
};

TPrinterJob::TPrinterJob(QPrinter& printer) : printer_(printer) {}

TPrinterJob::~TPrinterJob() {
    if (painting_ && painting_->painter.isActive())
        painting_->painter.end();
}

bool TPrinterJob::Begin() {
    painting_ = std::make_unique<Painting>();
    if (!painting_->painter.begin(&printer_)) {
        error_ = Tr(QT_TRANSLATE_NOOP("TPrinterJob", "Cannot start printing on %1"))
                     .arg(PrinterLabel(printer_));
        return false;
    }
    QFont font = painting_->painter.font();
    font.setPointSize(10);
    painting_->painter.setFont(font);
    const QFontMetricsF metrics(font, &printer_);
    painting_->lineHeight = metrics.lineSpacing();
    painting_->ascent = metrics.ascent();
    painting_->tabWidth = 8 * metrics.averageCharWidth();
    painting_->pageHeight = printer_.pageLayout().paintRectPixels(printer_.resolution()).height();
    pages_ = 1;
    return true;
}

bool TPrinterJob::PrintLine(const QString& line) {
    Painting& p = *painting_;
    if (p.pageUsed && p.y + p.lineHeight > p.pageHeight) {
        if (!printer_.newPage()) {
            error_ = Tr(QT_TRANSLATE_NOOP("TPrinterJob", "Cannot start page %1 on %2"))
                         .arg(QString::number(pages_ + 1), PrinterLabel(printer_));
            return false;
        }
        ++pages_;
        p.y = 0;
    }
    const QFontMetricsF metrics(p.painter.font(), &printer_);
    double x = 0;
    qsizetype start = 0;
    for (;;) {
        const qsizetype tab = line.indexOf('\t', start);
        const QString field = line.mid(start, tab < 0 ? -1 : tab - start);
        if (!field.isEmpty()) {
            p.painter.drawText(QPointF(x, p.y + p.ascent), field);
            x += metrics.horizontalAdvance(field);
        }
        if (tab < 0)
            break;
        x = (std::floor(x / p.tabWidth) + 1) * p.tabWidth;
        start = tab + 1;
    }
    p.y += p.lineHeight;
    p.pageUsed = true;
    return true;
}

bool TPrinterJob::End() {
    if (!painting_->painter.end() || printer_.printerState() == QPrinter::Error) {
        error_ = Tr(QT_TRANSLATE_NOOP("TPrinterJob", "Printing failed on %1"))
                     .arg(PrinterLabel(printer_));
        return false;
    }
    return true;
}

std::unique_ptr<QPrinter> OpenDefaultPrinter(QString& error) {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        error = Tr(NoDefaultPrinterText);
        return nullptr;
    }
    return std::make_unique<QPrinter>(info);
}

std::unique_ptr<QPrinter> ChoosePrinter(QWidget* parent, const QString& documentName) {
    auto printer = std::make_unique<QPrinter>();
    printer->setDocName(documentName);
    QPrintDialog dialog(printer.get(), parent);
    dialog.setObjectName("PrintDialog");
    // Every named row is printed: a page range would promise what the list does not do.
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    if (dialog.exec() != QDialog::Accepted)
        return nullptr;
    return printer;
}

QString PrintPLUList(const TextTable& table, TTextPrintJob& job) {
    if (!job.Begin())
        return job.ErrorText();
    const CodePage& codePage = DocumentCodePage();
    for (int row = 1; row <= table.Rows(); ++row) {
        if (table.Cell(row, NameColumn).empty())
            continue;
        if (!job.PrintLine(codePage.ToUnicode(PLUPrintLine(table, row))))
            return job.ErrorText();
    }
    if (!job.End())
        return job.ErrorText();
    return {};
}
