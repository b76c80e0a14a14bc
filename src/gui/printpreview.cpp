#include "gui/printpreview.h"

#include "base/error.h"
#include "gui/filechooser.h"
#include "gui/qtcanvas.h"
#include "gui/widgets.h"
#include "platform/prompter.h"

#include <QBuffer>
#include <QHBoxLayout>
#include <QLabel>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QVBoxLayout>

#include <set>

namespace kalydor::gui {

PrintJob::PrintJob(std::vector<ReportSource> sources, PrintOptions options, PrintChoices choices,
                   std::string onlyPages,
                   const std::function<bool(std::size_t, std::size_t)>& progress)
    : m_sources(std::move(sources))
    , m_options(std::move(options))
    , m_choices(std::move(choices))
    , m_onlyPages(std::move(onlyPages))
    , m_buffer(std::make_unique<QBuffer>()) {
    m_buffer->open(QIODevice::WriteOnly);
    m_writer = std::make_unique<QPdfWriter>(m_buffer.get());
    m_writer->setResolution(kPdfResolution);
    m_writer->setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    m_painter = std::make_unique<QPainter>(m_writer.get());
    m_canvas = std::make_unique<QtCanvas>(*m_painter, kPdfResolution);
    PaperGeometry paper;
    paper.widthPixels = m_writer->width();
    paper.heightPixels = m_writer->height();
    m_layout = std::make_unique<ReportLayout>(*m_canvas, paper, m_options, m_choices);
    m_stopped = !m_layout->layout(m_sources, progress);
}

PrintJob::~PrintJob() {
    m_layout.reset();
    m_canvas.reset();
    if (m_painter && m_painter->isActive())
        m_painter->end();
}

int PrintJob::dpi() const {
    return kPdfResolution;
}

QSize PrintJob::paperPixels() const {
    return {m_writer->width(), m_writer->height()};
}

PdfPrintout
PrintJob::writePdf(const std::string& fileName,
                   const std::function<bool(std::size_t, std::size_t)>& progress) const {
    return writeReportPdf(fileName, m_sources, m_options, m_choices, m_onlyPages, progress);
}

std::size_t PrintJob::print(QPrinter& printer,
                            const std::function<bool(std::size_t, std::size_t)>& progress) const {
    QPainter painter;
    if (!painter.begin(&printer))
        throw Error("IDS_PRINTERERROR", {}, "The printer cannot be started.");
    const int resolution = printer.resolution();
    QtCanvas canvas(painter, resolution);
    const QPageLayout page = printer.pageLayout();
    const QRect full = page.fullRectPixels(resolution);
    const QRect paint = page.paintRectPixels(resolution);
    PaperGeometry paper;
    paper.widthPixels = full.width();
    paper.heightPixels = full.height();
    paper.widthMillimetres = page.fullRect(QPageLayout::Millimeter).width();
    paper.heightMillimetres = page.fullRect(QPageLayout::Millimeter).height();
    // The painter's origin is the printable area's corner, not the paper's.
    paper.offsetX = paint.left() - full.left();
    paper.offsetY = paint.top() - full.top();
    PrintOptions options = m_options;
    options.colorPrinting = options.colorPrinting && printer.colorMode() == QPrinter::Color;
    ReportLayout layout(canvas, paper, options, m_choices);
    layout.layout(m_sources);
    const int first = layout.page(0).printedNumber;
    const std::set<int> chosen =
        m_onlyPages.empty()
            ? std::set<int>()
            : parsePageList(m_onlyPages, first, first + static_cast<int>(layout.pageCount()) - 1);
    std::size_t printed = 0;
    for (std::size_t p = 0; p < layout.pageCount(); ++p) {
        if (!chosen.empty() && chosen.count(layout.page(p).printedNumber) == 0)
            continue;
        if (progress && !progress(p, layout.pageCount())) {
            printer.abort();
            return 0;
        }
        if (printed > 0)
            printer.newPage();
        layout.drawPage(p, canvas);
        ++printed;
    }
    painter.end();
    return printed;
}

// One page of the layout drawn white on grey, scaled to the size the dialog gives it.
class PreviewDialog::PageView : public QWidget {
public:
    PageView(const PrintJob& job, QWidget* parent)
        : QWidget(parent)
        , m_job(job) {}
    std::size_t page = 0;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(128, 128, 128));
        const QSize paper = m_job.paperPixels();
        if (paper.isEmpty() || m_job.layout().pageCount() == 0)
            return;
        const double scale = std::min(static_cast<double>(width() - 16) / paper.width(),
                                      static_cast<double>(height() - 16) / paper.height());
        const double w = paper.width() * scale;
        const double h = paper.height() * scale;
        const QRectF sheet((width() - w) / 2, (height() - h) / 2, w, h);
        painter.fillRect(sheet, Qt::white);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.translate(sheet.topLeft());
        painter.scale(scale, scale);
        painter.setClipRect(QRect(QPoint(0, 0), paper));
        QtCanvas canvas(painter, m_job.dpi());
        m_job.layout().drawPage(page, canvas);
    }

private:
    const PrintJob& m_job;
};

PreviewDialog::PreviewDialog(const PrintJob& job, platform::SettingsStore* settings,
                             QWidget* parent)
    : QDialog(parent)
    , m_job(job)
    , m_settings(settings)
    , m_view(new PageView(job, this))
    , m_scroll(new QScrollArea(this))
    , m_pageLabel(named<QLabel>("PageValue"))
    , m_goTo(named<QSpinBox>("GoToPageEdit"))
    , m_first(named<QPushButton>("FirstPageButton", QStringLiteral("|<")))
    , m_previous(named<QPushButton>("PreviousPageButton", QStringLiteral("<")))
    , m_next(named<QPushButton>("NextPageButton", QStringLiteral(">")))
    , m_last(named<QPushButton>("LastPageButton", QStringLiteral(">|"))) {
    setObjectName(QStringLiteral("PreviewForm"));
    setWindowTitle(QStringLiteral("Preview"));
    setSizeGripEnabled(true);
    resize(760, 900);
    m_scroll->setWidget(m_view);
    // The page view fills the area's width; whole pages fill its height as well.
    m_scroll->setWidgetResizable(true);
    m_scroll->setAlignment(Qt::AlignCenter);
    m_scroll->setBackgroundRole(QPalette::Dark);
    chooseFile = [this] {
        int chosen = 0;
        return dialogFileChooser()
            .save(this, windowTitle(), {QStringLiteral("PDF (*.pdf)")}, chosen)
            .toStdString();
    };

    const std::size_t count = job.layout().pageCount();
    const int first = count > 0 ? job.layout().page(0).printedNumber : 1;
    m_goTo->setRange(first, first + static_cast<int>(std::max<std::size_t>(count, 1)) - 1);
    connect(m_goTo, &QSpinBox::valueChanged, this,
            [this, first](int printed) { showPage(static_cast<std::size_t>(printed - first)); });
    connect(m_first, &QPushButton::clicked, this, [this] { showPage(0); });
    connect(m_previous, &QPushButton::clicked, this,
            [this] { showPage(m_page > 0 ? m_page - 1 : 0); });
    connect(m_next, &QPushButton::clicked, this, [this] { showPage(m_page + 1); });
    connect(m_last, &QPushButton::clicked, this,
            [this] { showPage(m_job.layout().pageCount() - 1); });
    auto* fitPage = named<QPushButton>("FitPageButton", QStringLiteral("Whole page"));
    auto* fitWidth = named<QPushButton>("FitWidthButton", QStringLiteral("Page width"));
    connect(fitPage, &QPushButton::clicked, this, [this] { setFitWidth(false); });
    connect(fitWidth, &QPushButton::clicked, this, [this] { setFitWidth(true); });
    auto* printButton = named<QPushButton>("PrintButton", QStringLiteral("Print..."));
    auto* pdfButton = named<QPushButton>("PdfButton", QStringLiteral("Save as PDF..."));
    auto* closeButton = named<QPushButton>("CloseButton", QStringLiteral("Close"));
    connect(printButton, &QPushButton::clicked, this, &PreviewDialog::print);
    connect(pdfButton, &QPushButton::clicked, this, &PreviewDialog::savePdf);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);

    auto* bar = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{m_first, m_previous, m_goTo, m_next, m_last,
                                                      m_pageLabel, fitPage, fitWidth})
        bar->addWidget(w);
    bar->addStretch();
    for (QWidget* w : std::initializer_list<QWidget*>{printButton, pdfButton, closeButton})
        bar->addWidget(w);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(m_scroll, 1);
    showPage(0);
}

void PreviewDialog::showPage(std::size_t index) {
    const std::size_t count = m_job.layout().pageCount();
    if (count == 0)
        return;
    m_page = std::min(index, count - 1);
    m_view->page = m_page;
    const QSignalBlocker blocker(m_goTo);
    m_goTo->setValue(m_job.layout().page(m_page).printedNumber);
    m_pageLabel->setText(QStringLiteral("%1 / %2").arg(m_page + 1).arg(count));
    m_first->setEnabled(m_page > 0);
    m_previous->setEnabled(m_page > 0);
    m_next->setEnabled(m_page + 1 < count);
    m_last->setEnabled(m_page + 1 < count);
    refreshView();
}

void PreviewDialog::setFitWidth(bool width) {
    m_fitWidth = width;
    refreshView();
}

void PreviewDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    refreshView();
}

void PreviewDialog::refreshView() {
    // At the page width the page is as high as its width asks and the area scrolls down.
    const QSize paper = m_job.paperPixels();
    const int width = m_scroll->viewport()->width();
    m_view->setMinimumHeight(
        m_fitWidth && paper.width() > 0 ? width * paper.height() / paper.width() + 16 : 0);
    m_view->update();
}

void PreviewDialog::savePdf() {
    const std::string file = chooseFile ? chooseFile() : std::string();
    if (file.empty())
        return;
    try {
        m_job.writePdf(file);
    } catch (const Error& error) {
        platform::prompter().showMessage(error.text());
    }
}

void PreviewDialog::print() {
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    try {
        m_job.print(printer);
    } catch (const Error& error) {
        platform::prompter().showMessage(error.text());
    }
}

} // namespace kalydor::gui
