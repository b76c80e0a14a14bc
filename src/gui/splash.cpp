#include "gui/splash.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QThread>

namespace kalydor::gui {
namespace {

constexpr int kPictureMilliseconds = 3000;
constexpr int kWaitRoundMilliseconds = 100;

} // namespace

QStringList splashPictures(const QString& programDirectory, const QString& executableName,
                           const QString& slideShowDirectory) {
    const QDir program(programDirectory);
    if (!slideShowDirectory.isEmpty()) {
        const QDir slides(program.filePath(slideShowDirectory));
        QStringList pictures;
        const QStringList names = slides.entryList(
            {QStringLiteral("*.jpg"), QStringLiteral("*.JPG")}, QDir::Files, QDir::Name);
        for (const QString& name : names)
            pictures << slides.filePath(name);
        return pictures;
    }
    const QString picture =
        program.filePath(QFileInfo(executableName).completeBaseName() + QStringLiteral(".jpg"));
    return QFileInfo::exists(picture) ? QStringList{picture} : QStringList{};
}

SplashWindow::SplashWindow(const QStringList& pictures)
    : m_pictures(pictures) {
    setObjectName(QStringLiteral("SplashForm"));
    showPicture(0);
    connect(&m_timer, &QTimer::timeout, this, &SplashWindow::showNextPicture);
    if (m_pictures.size() > 1)
        m_timer.start(kPictureMilliseconds);
}

void SplashWindow::showPicture(int index) {
    if (m_pictures.isEmpty())
        return;
    m_current = index % static_cast<int>(m_pictures.size());
    const QPixmap picture(m_pictures[m_current]);
    setPixmap(picture);
    resize(picture.size());
    // Centred on the screen for every picture, each may have its own size.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void SplashWindow::showNextPicture() {
    showPicture(m_current + 1);
}

void SplashWindow::mousePressEvent(QMouseEvent*) {
    m_dismissed = true;
}

void SplashWindow::waitUntilDone(const QElapsedTimer& started) {
    while (!m_dismissed) {
        if (!isSlideShow() && started.elapsed() >= kPictureMilliseconds)
            break;
        QApplication::processEvents(QEventLoop::AllEvents, kWaitRoundMilliseconds);
        QThread::msleep(kWaitRoundMilliseconds);
    }
}

} // namespace kalydor::gui
