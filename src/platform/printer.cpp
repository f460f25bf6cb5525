#include "platform/printer.h"

#include "platform/printlayout.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <array>
#include <memory>

namespace platform {

namespace {

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

Printer *g_override = nullptr;

} // namespace

Printer &printer()
{
    static QtTextPrinter real;
    return g_override ? *g_override : real;
}

void setPrinter(Printer *p)
{
    g_override = p;
}

bool QtTextPrinter::printText(const QString &jobName, const QString &text, QString *error)
{
    std::unique_ptr<QPrinter> device;
    QString target;
    if (m_pdfFile.isEmpty()) {
        const QPrinterInfo info = QPrinterInfo::defaultPrinter();
        if (info.isNull()) {
            setError(error, QStringLiteral("No printer is installed."));
            return false;
        }
        device = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
        target = QStringLiteral("The printer \"%1\"").arg(info.printerName());
    } else {
        device = std::make_unique<QPrinter>(QPrinter::HighResolution);
        device->setOutputFormat(QPrinter::PdfFormat);
        device->setOutputFileName(m_pdfFile);
        target = QStringLiteral("The file \"%1\"").arg(m_pdfFile);
    }
    device->setDocName(jobName);
    device->setFullPage(false);
    // Room for binding and for printers that cannot reach the paper's edge;
    // a printer that needs more keeps its own minimum.
    device->setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);

    QPainter painter;
    if (!painter.begin(device.get())) {
        setError(error, target + QStringLiteral(" could not start the print job."));
        return false;
    }
    const QFontMetricsF metrics(painter.font(), device.get());
    // Latin-1 text: the width of every character is looked up once.
    std::array<qreal, 256> widths{};
    for (int c = 0; c < 256; ++c)
        widths[size_t(c)] = metrics.horizontalAdvance(QChar(c));
    const auto width = [&](QChar c) {
        return c.unicode() < 256 ? widths[c.unicode()] : metrics.horizontalAdvance(c);
    };

    const qreal pageWidth = device->width();
    const qreal lineHeight = qMax<qreal>(1, metrics.lineSpacing());
    const int perPage = qMax(1, int(device->height() / lineHeight));

    QStringList lines;
    for (const QString &line : printlayout::splitLines(text))
        lines << printlayout::wrapLine(line, width, pageWidth);
    const QList<QStringList> pages = printlayout::paginate(lines, perPage);

    for (qsizetype p = 0; p < pages.size(); ++p) {
        if (p > 0 && !device->newPage()) {
            device->abort();
            painter.end();
            setError(error, target + QStringLiteral(" did not accept page %1.").arg(p + 1));
            return false;
        }
        qreal y = metrics.ascent();
        for (const QString &line : pages[p]) {
            if (!line.isEmpty())
                painter.drawText(QPointF(0, y), line);
            y += lineHeight;
        }
    }
    if (!painter.end() || device->printerState() == QPrinter::Error) {
        setError(error, target + QStringLiteral(" could not finish the print job."));
        return false;
    }
    return true;
}

} // namespace platform
