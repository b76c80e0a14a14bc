#pragma once

#include "gui/reportpdf.h"
#include "reports/reportlayout.h"

#include <QDialog>

#include <functional>

#include <memory>
#include <string>
#include <vector>

class QBuffer;
class QLabel;
class QPainter;
class QPdfWriter;
class QPrinter;
class QPushButton;
class QScrollArea;
class QSpinBox;

namespace kalydor::platform {
class SettingsStore;
}

namespace kalydor::gui {

class FileChooser;
class QtCanvas;

/// A printout ready to go: its sources and settings, laid out with the metrics of an A4 PDF
/// page at 300 dpi (what the preview shows), printed on a printer after a layout with the
/// printer's metrics, or written as PDF.
class PrintJob {
public:
    /// Lays the printout out; `progress` is told each source done and may stop the layout.
    PrintJob(std::vector<ReportSource> sources, PrintOptions options, PrintChoices choices,
             std::string onlyPages,
             const std::function<bool(std::size_t, std::size_t)>& progress = {});
    ~PrintJob();
    PrintJob(const PrintJob&) = delete;
    PrintJob& operator=(const PrintJob&) = delete;

    const ReportLayout& layout() const { return *m_layout; }
    /// The layout was stopped: nothing is to be shown or printed.
    bool stopped() const { return m_stopped; }
    int dpi() const;
    /// The paper's size in the layout's pixels.
    QSize paperPixels() const;
    /// Writes the pages the only-pages field names to a PDF file; `progress` is told the
    /// sources laid out, then the pages drawn, and may stop it (no file is written then).
    PdfPrintout writePdf(const std::string& fileName,
                         const std::function<bool(std::size_t, std::size_t)>& progress = {}) const;
    /// Lays the printout out again for the printer and prints it; the number of pages printed.
    /// `progress` is told each page sent and may stop it (the printer's job is aborted).
    std::size_t print(QPrinter& printer,
                      const std::function<bool(std::size_t, std::size_t)>& progress = {}) const;

    const std::string& onlyPages() const { return m_onlyPages; }

private:
    std::vector<ReportSource> m_sources;
    PrintOptions m_options;
    PrintChoices m_choices;
    std::string m_onlyPages;
    bool m_stopped = false;
    // The measuring device of the layout, kept with it.
    std::unique_ptr<QBuffer> m_buffer;
    std::unique_ptr<QPdfWriter> m_writer;
    std::unique_ptr<QPainter> m_painter;
    std::unique_ptr<QtCanvas> m_canvas;
    std::unique_ptr<ReportLayout> m_layout;
};

/// The preview window: one page at a time, scaled to the window's height (whole page) or
/// width, with the first, previous, next and last page, a page chosen by its printed number,
/// and printing or saving as PDF from here.
class PreviewDialog : public QDialog {
    Q_OBJECT

public:
    PreviewDialog(const PrintJob& job, platform::SettingsStore* settings,
                  QWidget* parent = nullptr);

    std::size_t page() const { return m_page; }
    void showPage(std::size_t index);
    void setFitWidth(bool width);
    bool fitWidth() const { return m_fitWidth; }
    /// Asks where to save the PDF; the file dialog unless a test puts in its own.
    std::function<std::string()> chooseFile;
    void savePdf();
    void print();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    class PageView;
    void refreshView();

    const PrintJob& m_job;
    platform::SettingsStore* m_settings;
    std::size_t m_page = 0;
    bool m_fitWidth = false;
    PageView* m_view;
    QScrollArea* m_scroll;
    QLabel* m_pageLabel;
    QSpinBox* m_goTo;
    QPushButton* m_first;
    QPushButton* m_previous;
    QPushButton* m_next;
    QPushButton* m_last;
};

} // namespace kalydor::gui
