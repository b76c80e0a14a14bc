#include "gui/qtprompter.h"

#include "gui/qttoolkitlanguage.h"

#include <QMessageBox>

namespace kalydor::gui {

void QtPrompter::showMessage(const std::string& text) {
    QMessageBox box(QMessageBox::Warning, QString::fromUtf8(kApplicationTitle),
                    QString::fromStdString(text), QMessageBox::Ok, m_parent);
    translateStandardButtons(box);
    box.exec();
}

void QtPrompter::showInformation(const std::string& text) {
    QMessageBox box(QMessageBox::Information, QString::fromUtf8(kApplicationTitle),
                    QString::fromStdString(text), QMessageBox::Ok, m_parent);
    translateStandardButtons(box);
    box.exec();
}

bool QtPrompter::askYesNo(const std::string& text, platform::DefaultButton defaultButton,
                          platform::QuestionIcon icon) {
    QMessageBox box(icon == platform::QuestionIcon::Warning ? QMessageBox::Warning
                                                            : QMessageBox::Question,
                    QString::fromUtf8(kApplicationTitle), QString::fromStdString(text),
                    QMessageBox::Yes | QMessageBox::No, m_parent);
    box.setDefaultButton(defaultButton == platform::DefaultButton::Yes ? QMessageBox::Yes
                                                                       : QMessageBox::No);
    translateStandardButtons(box);
    return box.exec() == QMessageBox::Yes;
}

platform::OverwriteAnswer QtPrompter::askOverwrite(const std::string& text) {
    QMessageBox box(
        QMessageBox::Question, QString::fromUtf8(kApplicationTitle), QString::fromStdString(text),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::YesToAll | QMessageBox::NoToAll,
        m_parent);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    translateStandardButtons(box);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return platform::OverwriteAnswer::Yes;
    case QMessageBox::YesToAll:
        return platform::OverwriteAnswer::YesToAll;
    case QMessageBox::NoToAll:
        return platform::OverwriteAnswer::NoToAll;
    default:
        return platform::OverwriteAnswer::No;
    }
}

} // namespace kalydor::gui
