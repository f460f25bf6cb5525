#pragma once

#include <QString>

// The printer as a plain-text sink: one job per call, the text from the top
// of the first page, one line per line break.
namespace platform {

class Printer
{
public:
    virtual ~Printer() = default;
    // Prints text as one job named jobName. Returns false, with a description
    // of what went wrong in *error, when the job could not be printed.
    virtual bool printText(const QString &jobName, const QString &text, QString *error) = 0;
};

// The printer in use: the system's default printer unless a test installed another.
Printer &printer();
void setPrinter(Printer *p); // nullptr restores the default printer

// Prints through Qt's printing system in the printer's default font, with
// long lines wrapped and a new page when one is full. Given a file name it
// writes a PDF file there instead of using the default printer.
class QtTextPrinter : public Printer
{
public:
    QtTextPrinter() = default;
    explicit QtTextPrinter(const QString &pdfFile) : m_pdfFile(pdfFile) {}

    bool printText(const QString &jobName, const QString &text, QString *error) override;

private:
    QString m_pdfFile;
};

} // namespace platform
