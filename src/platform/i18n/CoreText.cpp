#include "platform/i18n/CoreText.h"

#include "platform/text/CodePage.h"

#include <QCoreApplication>

namespace platform {

QString Translated(const files::TMessage& message) {
    // A message without a context is shown as it stands, its %N (if any) filled all the same.
    const QString wording = message.context.empty()
                                ? toQString(message.text)
                                : Translated(message.context.c_str(), message.text);
    if (message.args.empty())
        return wording;
    // One pass, as the English is built: a value's own text is never searched for %N.
    QString result;
    result.reserve(wording.size() + 16 * static_cast<qsizetype>(message.args.size()));
    for (qsizetype i = 0; i < wording.size(); ++i) {
        const QChar c = wording[i];
        if (c == QLatin1Char('%') && i + 1 < wording.size() && wording[i + 1] >= QLatin1Char('1') &&
            wording[i + 1] <= QLatin1Char('9')) {
            const auto n = static_cast<std::size_t>(wording[i + 1].unicode() - '1');
            if (n < message.args.size()) {
                result += Translated(message.args[n]);
                ++i;
                continue;
            }
        }
        result += c;
    }
    return result;
}

QString Translated(const char* context, const std::string& text) {
    // The wordings are ASCII English in the sources; translate() takes them as UTF-8.
    return QCoreApplication::translate(context, text.c_str());
}

} // namespace platform
