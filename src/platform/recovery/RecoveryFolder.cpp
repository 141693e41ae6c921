#include "platform/recovery/RecoveryFolder.h"

#include "platform/text/CodePage.h"

#include <QCoreApplication>
#include <QStandardPaths>

namespace platform {

files::TResult<std::string> RecoveryFolder() {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (data.isEmpty())
        return files::Error(fromQString(QCoreApplication::translate(
            "platform::RecoveryFolder",
            "Autosave has no folder: the system names no folder for the user's data")));
    return fromQString(data + QStringLiteral("/recovery"));
}

} // namespace platform
