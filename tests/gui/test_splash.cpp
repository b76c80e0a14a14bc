#include "gui/splash.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QMouseEvent>
#include <QPointingDevice>

#include "support/qtapplication.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

namespace kalydor::gui {
namespace {

void picture(const QString& path, int width) {
    QImage image(width, 50, QImage::Format_RGB32);
    image.fill(Qt::darkRed);
    ASSERT_TRUE(image.save(path, "JPG"));
}

TEST(Splash, PicturesAndSlideShow) {
    test::qtApplication();
    test::TempDir dir;
    const QDir program(QString::fromStdString(dir.path().string()));
    EXPECT_TRUE(splashPictures(program.path(), QStringLiteral("kalydor"), {}).isEmpty());
    picture(program.filePath(QStringLiteral("kalydor.jpg")), 80);
    EXPECT_EQ(splashPictures(program.path(), QStringLiteral("kalydor"), {}),
              QStringList{program.filePath(QStringLiteral("kalydor.jpg"))});

    program.mkdir(QStringLiteral("slides"));
    picture(program.filePath(QStringLiteral("slides/b.jpg")), 120);
    picture(program.filePath(QStringLiteral("slides/a.jpg")), 100);
    const QStringList slides =
        splashPictures(program.path(), QStringLiteral("kalydor"), QStringLiteral("slides"));
    ASSERT_EQ(slides.size(), 2);
    EXPECT_TRUE(slides[0].endsWith(QStringLiteral("a.jpg")));

    SplashWindow splash(slides);
    splash.setSlideShow(true);
    EXPECT_EQ(splash.width(), 100);
    splash.showNextPicture();
    EXPECT_EQ(splash.currentPicture(), 1);
    EXPECT_EQ(splash.width(), 120); // resized for each picture
    splash.showNextPicture();
    EXPECT_EQ(splash.currentPicture(), 0);

    // A slide show lasts until a click; the wait then ends at once.
    EXPECT_FALSE(splash.dismissed());
    // A mouse of the test's own: the application's default device would outlive the
    // application object of the test program.
    const QPointingDevice mouse(QStringLiteral("test mouse"), 1, QInputDevice::DeviceType::Mouse,
                                QPointingDevice::PointerType::Generic,
                                QInputDevice::Capability::Position, 1, 3);
    QMouseEvent click(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier, &mouse);
    QApplication::sendEvent(&splash, &click);
    EXPECT_TRUE(splash.dismissed());
    // A slide show waits for nothing but the click, so the wait returning at all shows that
    // the click ended it.
    QElapsedTimer started;
    started.start();
    splash.waitUntilDone(started);
}

} // namespace
} // namespace kalydor::gui
