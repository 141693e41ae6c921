#pragma once

#include <QFont>

// The windows' typewriter face at a pixel size ("Courier New", or the system's fixed-pitch
// face where it is missing).
inline QFont courierFont(int pixelSize) {
    QFont font("Courier New");
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(pixelSize);
    return font;
}
