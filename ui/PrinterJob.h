#pragma once
// Printing of the PLU list: every PLU row that has a name as one line of tab-separated fields,
// on the default printer, with no headings.

#include <QString>

#include <memory>
#include <string>

class QPrinter;
class QWidget;
class TextTable;

inline constexpr char NoDefaultPrinterText[] =
    QT_TRANSLATE_NOOP("TPrinterJob", "There is no default printer currently selected");

// Row's columns 1 to the last, joined by single tabs; cells are code-page bytes.
std::string PLUPrintLine(const TextTable& table, int row);

// A plain text job, line by line. Each step returns false on failure, ErrorText() says why.
class TTextPrintJob {
public:
    virtual ~TTextPrintJob() = default;
    virtual bool Begin() = 0;
    virtual bool PrintLine(const QString& line) = 0;
    virtual bool End() = 0;
    virtual QString ErrorText() const = 0;
};

// Lines in the painter's font from the top of the page, tabs expanded to fixed stops, a new page
// when the next line does not fit.
class TPrinterJob : public TTextPrintJob {
public:
    explicit TPrinterJob(QPrinter& printer);
    ~TPrinterJob() override;
    bool Begin() override;
    bool PrintLine(const QString& line) override;
    bool End() override;
    QString ErrorText() const override { return error_; }
    int Pages() const { return pages_; }

private:
    struct Painting;
    QPrinter& printer_;
    std::unique_ptr<Painting> painting_;
    QString error_;
    int pages_ = 0;
};

// The system's default printer; nullptr with the message when there is none.
std::unique_ptr<QPrinter> OpenDefaultPrinter(QString& error);

// The print dialog, with printing to a PDF file among its choices; a PDF is proposed under
// documentName. nullptr when cancelled.
std::unique_ptr<QPrinter> ChoosePrinter(QWidget* parent, const QString& documentName);

// Prints the named rows of the PLU table. Returns an empty text when the job went through,
// else the printing layer's message; lines already printed stay in the job.
QString PrintPLUList(const TextTable& table, TTextPrintJob& job);
