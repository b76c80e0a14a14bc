#include "gui/qtwindowtranslation.h"

#include "language/languages.h"

#include <QAbstractAxis>
#include <QAbstractButton>
#include <QAbstractSeries>
#include <QAction>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeWidget>

namespace kalydor::gui {
namespace {

QString qt(const std::string& text) {
    return QString::fromStdString(text);
}

// The tab widget that shows `page`, if the page is a tab.
QTabWidget* tabWidgetOf(QWidget* page) {
    for (QWidget* parent = page->parentWidget(); parent; parent = parent->parentWidget()) {
        if (auto* tabs = qobject_cast<QTabWidget*>(parent))
            return tabs->indexOf(page) >= 0 ? tabs : nullptr;
        if (!qobject_cast<QStackedWidget*>(parent))
            return nullptr;
    }
    return nullptr;
}

class QtTranslatableControl final : public TranslatableControl {
public:
    explicit QtTranslatableControl(QObject* object)
        : m_object(object) {}

    void setCaption(const std::string& text) override {
        QObject* o = m_object;
        if (!o)
            return;
        if (auto* action = qobject_cast<QAction*>(o))
            action->setText(qt(text));
        else if (auto* button = qobject_cast<QAbstractButton*>(o))
            button->setText(qt(text));
        else if (auto* label = qobject_cast<QLabel*>(o))
            label->setText(qt(text));
        else if (auto* group = qobject_cast<QGroupBox*>(o))
            group->setTitle(qt(text));
        else if (auto* menu = qobject_cast<QMenu*>(o))
            menu->setTitle(qt(text));
        else if (auto* widget = qobject_cast<QWidget*>(o)) {
            if (QTabWidget* tabs = tabWidgetOf(widget))
                tabs->setTabText(tabs->indexOf(widget), qt(text));
        }
    }

    void setHint(const std::string& text) override {
        if (auto* action = qobject_cast<QAction*>(m_object)) {
            action->setToolTip(qt(text));
            action->setStatusTip(qt(text));
        } else if (auto* widget = qobject_cast<QWidget*>(m_object)) {
            widget->setToolTip(qt(text));
        }
    }

    void setText(const std::string& text) override {
        if (auto* edit = qobject_cast<QLineEdit*>(m_object))
            edit->setText(qt(text));
        else if (auto* combo = qobject_cast<QComboBox*>(m_object); combo && combo->isEditable())
            combo->setEditText(qt(text));
    }

    void setFilter(const std::string& text) override {
        if (auto* dialog = qobject_cast<QFileDialog*>(m_object))
            dialog->setNameFilters(nameFiltersOf(qt(text)));
        else if (m_object)
            m_object->setProperty("filter", qt(text));
    }

    void setTitle(const std::string& text) override {
        if (auto* series = qobject_cast<QAbstractSeries*>(m_object))
            series->setName(qt(text));
        else if (auto* dialog = qobject_cast<QFileDialog*>(m_object))
            dialog->setWindowTitle(qt(text));
        else if (m_object)
            m_object->setProperty("title", qt(text));
    }

    void setListItem(int index, const std::string& text) override {
        if (auto* combo = qobject_cast<QComboBox*>(m_object)) {
            if (index < combo->count())
                combo->setItemText(index, qt(text));
        } else if (auto* list = qobject_cast<QListWidget*>(m_object)) {
            if (index < list->count())
                list->item(index)->setText(qt(text));
        } else if (auto* group = qobject_cast<QGroupBox*>(m_object)) {
            // A group of option buttons: its entries are the buttons in their order.
            const QList<QRadioButton*> buttons = group->findChildren<QRadioButton*>();
            if (index < buttons.size())
                buttons[index]->setText(qt(text));
        }
    }

    void setColumnCaption(int index, const std::string& text) override {
        if (auto* tree = qobject_cast<QTreeWidget*>(m_object)) {
            if (index < tree->columnCount())
                tree->headerItem()->setText(index, qt(text));
        } else if (auto* table = qobject_cast<QTableWidget*>(m_object)) {
            if (index < table->columnCount()) {
                if (!table->horizontalHeaderItem(index))
                    table->setHorizontalHeaderItem(index, new QTableWidgetItem);
                table->horizontalHeaderItem(index)->setText(qt(text));
            }
        } else if (auto* view = qobject_cast<QAbstractItemView*>(m_object)) {
            if (view->model() && index < view->model()->columnCount())
                view->model()->setHeaderData(index, Qt::Horizontal, qt(text));
        }
    }

    void appendTitleLine(const std::string& text) override {
        if (auto* view = qobject_cast<QChartView*>(m_object)) {
            QChart* chart = view->chart();
            chart->setTitle(chart->title().isEmpty() ? qt(text)
                                                     : chart->title() + "<br>" + qt(text));
        }
    }

    void setAxisTitle(Axis axis, const std::string& text) override {
        auto* view = qobject_cast<QChartView*>(m_object);
        if (!view)
            return;
        const Qt::Alignment wanted = axis == Axis::Bottom  ? Qt::AlignBottom
                                     : axis == Axis::Left  ? Qt::AlignLeft
                                     : axis == Axis::Right ? Qt::AlignRight
                                                           : Qt::AlignTop;
        for (QAbstractAxis* chartAxis : view->chart()->axes()) {
            if (chartAxis->alignment() == wanted)
                chartAxis->setTitleText(qt(text));
        }
    }

private:
    QPointer<QObject> m_object;
};

} // namespace

QStringList nameFiltersOf(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString patterns = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << (parts[i].contains(QLatin1Char('('))
                        ? parts[i]
                        : QStringLiteral("%1 (%2)").arg(parts[i], patterns));
    }
    return filters;
}

QtTranslatableWindow::QtTranslatableWindow(QWidget& window)
    : m_window(&window) {}

QtTranslatableWindow::~QtTranslatableWindow() = default;

std::string QtTranslatableWindow::windowName() const {
    return m_window ? m_window->objectName().toStdString() : std::string();
}

void QtTranslatableWindow::setCaption(const std::string& text) {
    if (m_window)
        m_window->setWindowTitle(qt(text));
}

void QtTranslatableWindow::setHint(const std::string& text) {
    if (m_window)
        m_window->setToolTip(qt(text));
}

void QtTranslatableWindow::setHelpFile(const std::string& text) {
    if (m_window)
        m_window->setProperty("helpFile", qt(text));
}

TranslatableControl* QtTranslatableWindow::control(const std::string& name) {
    if (!m_window || name.empty())
        return nullptr;
    auto& slot = m_controls[name];
    if (!slot) {
        QObject* object = m_window->findChild<QObject*>(qt(name));
        if (!object)
            return nullptr;
        slot = std::make_unique<QtTranslatableControl>(object);
    }
    return slot.get();
}

void translateWindow(const Languages& languages, QWidget& window) {
    QtTranslatableWindow translatable(window);
    languages.TranslateForm(translatable);
}

} // namespace kalydor::gui
