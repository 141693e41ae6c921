#pragma once

// The pages of a PDF file as Qt writes it: every page object names its type (/Type /Page),
// the page tree /Pages.

#include <QFile>
#include <QRegularExpression>
#include <QString>

inline int pdfPageCount(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QString text = QString::fromLatin1(file.readAll());
    return static_cast<int>(
        text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?![s\\w])"))));
}
