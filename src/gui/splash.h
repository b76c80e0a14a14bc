#pragma once

#include <QElapsedTimer>
#include <QSplashScreen>
#include <QStringList>
#include <QTimer>

namespace kalydor::gui {

/// The pictures of the start-up splash: with a slide-show folder (relative to the program
/// directory) every "*.jpg" in it, in name order; otherwise the picture named like the
/// executable with ".jpg", when it exists.
QStringList splashPictures(const QString& programDirectory, const QString& executableName,
                           const QString& slideShowDirectory);

/// The splash window shown while the program starts. A slide show changes the picture every
/// 3 seconds and lasts until the user clicks it; a single picture goes after 3 seconds or a
/// click, whichever comes first.
class SplashWindow : public QSplashScreen {
    Q_OBJECT

public:
    explicit SplashWindow(const QStringList& pictures);

    bool isSlideShow() const { return m_pictures.size() > 1 || m_slideShow; }
    void setSlideShow(bool slideShow) { m_slideShow = slideShow; }
    bool dismissed() const { return m_dismissed; }
    int currentPicture() const { return m_current; }
    void showNextPicture();

    /// Processes events until the splash may go: dismissed by a click, or — without a slide
    /// show — 3 seconds after `started`.
    void waitUntilDone(const QElapsedTimer& started);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void showPicture(int index);

    QStringList m_pictures;
    int m_current = 0;
    bool m_slideShow = false;
    bool m_dismissed = false;
    QTimer m_timer;
};

} // namespace kalydor::gui
