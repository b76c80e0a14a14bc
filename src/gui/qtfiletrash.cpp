#include "gui/qtfiletrash.h"

#include <QFile>
#include <QString>

namespace kalydor::gui {

bool QtFileTrash::moveToTrash(const std::vector<std::string>& paths) {
    bool all = true;
    for (const std::string& path : paths) {
        const QString name = QString::fromStdString(path);
        if (QFile::exists(name) && !QFile::moveToTrash(name))
            all = false;
    }
    return all;
}

} // namespace kalydor::gui
