#pragma once
// Replaces the user interface's built-in texts from the language file beside the program:
// window captions, control captions and tool-tips by component name, the column titles, the
// data-kind names and the step words.

#include <QWidget>

#include <string>
#include <vector>

// The program file's path with its extension replaced by ".LNG".
std::string LanguageFilePath();

// windows in the order they were created; each one's objectName is its section.
void LoadDisplayTexts(const std::string& path, const std::vector<QWidget*>& windows);
