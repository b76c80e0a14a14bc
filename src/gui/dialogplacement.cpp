#include "gui/dialogplacement.h"

#include "platform/windowplacement.h"

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>

namespace kalydor::gui {
namespace {

bool isResizable(const QWidget& window) {
    return window.minimumSize() != window.maximumSize();
}

} // namespace

void restorePlacement(QWidget& window, const platform::SettingsStore& store) {
    const platform::WindowPlacement placement = platform::restoreWindowPlacement(
        store, window.objectName().toStdString(),
        window.windowFlags().testFlag(Qt::WindowMaximizeButtonHint), isResizable(window));
    if (placement.maximize) {
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
        return;
    }
    QRect geometry = window.geometry();
    if (placement.hasWidth)
        geometry.setWidth(placement.width);
    if (placement.hasHeight)
        geometry.setHeight(placement.height);
    geometry.moveTopLeft(QPoint(placement.hasLeft ? placement.left : geometry.left(),
                                placement.hasTop ? placement.top : geometry.top()));
    if (placement.hasWidth || placement.hasHeight)
        window.resize(geometry.size());
    // The title bar must stay reachable: the top left corner has to lie on some screen.
    if ((placement.hasLeft || placement.hasTop) &&
        QGuiApplication::screenAt(geometry.topLeft() + QPoint(8, 8)))
        window.move(geometry.topLeft());
}

void savePlacement(const QWidget& window, platform::SettingsStore& store) {
    const QRect frame = window.geometry();
    const QPoint position = window.pos();
    platform::saveWindowPlacement(store, window.objectName().toStdString(), window.isMaximized(),
                                  position.x(), position.y(), frame.width(), frame.height());
}

int execPlaced(QDialog& dialog, platform::SettingsStore& store) {
    restorePlacement(dialog, store);
    const int result = dialog.exec();
    savePlacement(dialog, store);
    return result;
}

int execPlaced(QDialog& dialog, platform::SettingsStore* store) {
    return store != nullptr ? execPlaced(dialog, *store) : dialog.exec();
}

} // namespace kalydor::gui
