#include "DisplayText.h"

#include "Settings.h"

#include <iconv.h>

#include <string>

QString CodePageToQString(std::string_view bytes) {
    bool ascii = true;
    for (char c : bytes)
        ascii = ascii && uint8_t(c) < 0x80;
    if (ascii)
        return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));

    const std::string codePage = ConfiguredCodePage();
    iconv_t cd = iconv_open("UTF-8", codePage.c_str());
    if (cd == iconv_t(-1))
        return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
    std::string in(bytes);
    std::string out(in.size() * 4 + 4, '\0');
    char* inPtr = in.data();
    size_t inLeft = in.size();
    char* outPtr = out.data();
    size_t outLeft = out.size();
    const size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (result == size_t(-1))
        return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
    out.resize(out.size() - outLeft);
    return QString::fromUtf8(out.data(), qsizetype(out.size()));
}
