#pragma once
// Replaces the user interface's built-in texts from the language file: window captions,
// control captions and tool-tips by component name, and the tables of DisplayTexts.

#include <QWidget>

#include <string>
#include <vector>

// windows in the order they were created; each one's objectName is its section.
void LoadDisplayTexts(const std::string& path, const std::vector<QWidget*>& windows);
