#pragma once
// Texts of the transfer windows come as code-page bytes (kind names, step words from the language
// file); the widgets want Unicode.

#include <QString>
#include <string_view>

// Converts with the configured code page ([Locale] CodePage); bytes the code page cannot map
// fall back to Latin-1 so nothing is dropped from the screen.
QString CodePageToQString(std::string_view bytes);
