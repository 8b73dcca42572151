#include "CodePage.h"

#include <gtest/gtest.h>

namespace {

TEST(CodePage, EveryByteShowsAndComesBackUnchanged) {
    for (const char* name : {"CP1250", "CP1252", "CP1251", "NO-SUCH-CODEPAGE"}) {
        CodePage cp(name);
        std::string all;
        for (int b = 1; b < 256; ++b)
            all += char(b);
        const QString shown = cp.ToUnicode(all);
        ASSERT_EQ(shown.size(), 255);
        EXPECT_EQ(cp.FromUnicode(shown), all) << name;
    }
}

TEST(CodePage, CharactersMapThroughTheCodePage) {
    CodePage cp1250("CP1250");
    ASSERT_TRUE(cp1250.Known());
    EXPECT_EQ(cp1250.ToUnicode("\xB9"), QString(QChar(0x0105))); // a with ogonek
    EXPECT_EQ(cp1250.ByteFor(QChar(0x0142)), '\xB3');            // l with stroke
    EXPECT_EQ(cp1250.ByteFor(QChar(0x20AC)), '\x80');            // euro sign
    EXPECT_FALSE(cp1250.ByteFor(QChar(0x4E2D)));                 // no CJK in CP1250
    EXPECT_FALSE(cp1250.FromUnicode(QString::fromUtf8("ab\xE4\xB8\xAD")));
    EXPECT_FALSE(CodePage("NO-SUCH-CODEPAGE").Known());
}

} // namespace
