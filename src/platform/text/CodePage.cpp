#include "platform/text/CodePage.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace platform {

QString toQString(const std::string& bytes) {
    const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QStringDecoder system(QStringConverter::System);
    QString text = system.decode(view);
    if (!system.hasError())
        return text;
    // Chinese phrase names written on a GBK system: the only other code page the robot's
    // files come in. Without an ICU-backed decoder, the system decoding (with replacement
    // characters) is the best there is.
    QStringDecoder gb18030("GB18030");
    if (!gb18030.isValid())
        return text;
    QString wide = gb18030.decode(view);
    return gb18030.hasError() ? text : wide;
}

std::string fromQString(const QString& text) {
    QStringEncoder system(QStringConverter::System);
    const QByteArray bytes = system.encode(text);
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

} // namespace platform
