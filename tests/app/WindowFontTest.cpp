// Chinese words in the windows' faces: a face set by its family name alone ("Courier New",
// which a system may lack) still draws Han characters, through the system's fallback faces,
// rather than empty boxes.
#include "app/WindowFont.h"

#include <QGlyphRun>
#include <QRawFont>
#include <QTextLayout>
#include <gtest/gtest.h>

namespace {

// The glyphs a face draws a text with, whichever fallback face supplies them; a glyph index of
// 0 is the empty box of a character no face has.
std::vector<quint32> glyphsOf(const QString& text, const QFont& font) {
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    std::vector<quint32> glyphs;
    for (const QGlyphRun& run : layout.glyphRuns())
        for (const quint32 glyph : run.glyphIndexes())
            glyphs.push_back(glyph);
    return glyphs;
}

} // namespace

TEST(WindowFontTest, HanCharactersHaveGlyphsInTheTypewriterFace) {
    // A character no face has is the box the check looks for.
    const std::vector<quint32> none = glyphsOf(QString::fromUcs4(U"\U0010FFFD"), courierFont(13));
    ASSERT_FALSE(none.empty());
    EXPECT_EQ(none.front(), 0u);
    for (const char* text : {"文件(&F)", "流程图", "编辑器下次启动时将使用“简体中文”。"}) {
        const QString words = QString::fromUtf8(text);
        const std::vector<quint32> glyphs = glyphsOf(words, courierFont(13));
        EXPECT_FALSE(glyphs.empty()) << text;
        for (const quint32 glyph : glyphs)
            EXPECT_NE(glyph, 0u) << text << ": a character drawn as an empty box";
    }
}
