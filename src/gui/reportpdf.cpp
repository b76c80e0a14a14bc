#include "gui/reportpdf.h"

#include "base/error.h"
#include "base/safefilewriter.h"
#include "gui/qtcanvas.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace kalydor::gui {

PdfPrintout writeReportPdf(const std::string& fileName, const std::vector<ReportSource>& sources,
                           const PrintOptions& options, const PrintChoices& choices,
                           std::string_view onlyPages,
                           const std::function<bool(std::size_t, std::size_t)>& progress) {
    const auto failed = [&](const char* reason) {
        return Error("IDS_FILEWRITEERROR", {fileName, std::string(reason)},
                     "The file %s cannot be written: %s.");
    };
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(kPdfResolution);
    writer.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    writer.setCreator(QStringLiteral("Kalydor"));
    writer.setTitle(QString::fromStdString(choices.title));
    QPainter painter;
    if (!painter.begin(&writer))
        throw failed("the PDF could not be started");
    QtCanvas canvas(painter, kPdfResolution);
    PaperGeometry paper;
    paper.widthPixels = writer.width();
    paper.heightPixels = writer.height();
    paper.widthMillimetres = 210;
    paper.heightMillimetres = 297;
    PdfPrintout printout;
    {
        ReportLayout layout(canvas, paper, options, choices);
        if (!layout.layout(sources, progress)) {
            painter.end();
            printout.stopped = true;
            return printout;
        }
        printout.pages = layout.pageCount();
        const int first = layout.page(0).printedNumber;
        const std::set<int> chosen =
            onlyPages.empty()
                ? std::set<int>()
                : parsePageList(onlyPages, first, first + static_cast<int>(layout.pageCount()) - 1);
        for (std::size_t p = 0; p < layout.pageCount(); ++p) {
            if (!chosen.empty() && chosen.count(layout.page(p).printedNumber) == 0)
                continue;
            if (progress && !progress(p, layout.pageCount())) {
                painter.end();
                printout.stopped = true;
                return printout; // stopped while drawing: no file is written
            }
            if (printout.printed > 0 && !writer.newPage())
                throw failed("a page could not be added");
            layout.drawPage(p, canvas);
            ++printout.printed;
        }
    }
    if (!painter.end())
        throw failed("the PDF could not be finished");
    const QByteArray& bytes = buffer.data();
    writeFileSafely(fileName,
                    std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    return printout;
}

void loadLogo(const std::string& fileName, PrintOptions& options) {
    if (fileName.empty())
        return;
    const QString name = QString::fromStdString(fileName);
    const QImage logo(name);
    QFile file(name);
    if (logo.isNull() || !file.open(QIODevice::ReadOnly))
        return;
    options.logo = file.readAll().toStdString();
    options.logoWidth = logo.width();
    options.logoHeight = logo.height();
}

} // namespace kalydor::gui
