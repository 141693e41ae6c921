#include "sim/view/RobotModelFile.h"

#include "platform/i18n/CoreText.h"
#include "platform/text/CodePage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

static void initModelResources() {
    Q_INIT_RESOURCE(sim);
}

namespace {

constexpr const char* kModelFile = "robot-model.txt";

sim::TRobotModel shippedModel() {
    initModelResources();
    QFile file(QStringLiteral(":/sim/robot-model.txt"));
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = file.readAll();
        if (auto read = sim::ReadRobotModel(std::string_view(bytes.constData(), bytes.size())))
            return *read;
    }
    return sim::DefaultRobotModel(); // equal to the shipped file
}

} // namespace

TRobotModelChoice ChooseRobotModel(const QString& folder) {
    TRobotModelChoice choice;
    choice.model = shippedModel();
    if (folder.isEmpty())
        return choice;
    const QString name = QDir(folder).filePath(QString::fromLatin1(kModelFile));
    if (!QFileInfo::exists(name))
        return choice;
    files::TResult<sim::TRobotModel> read = sim::LoadRobotModel(platform::fromQString(name));
    if (!read) {
        choice.problem =
            QCoreApplication::translate("TRobotModelChoice",
                                        "The teacher's robot model could not be read, so the "
                                        "simulator uses the built-in one. %1")
                .arg(platform::Translated(read.errorMessage()));
        return choice;
    }
    choice.model = *read;
    choice.file = name;
    return choice;
}

QString RobotModelFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
}
