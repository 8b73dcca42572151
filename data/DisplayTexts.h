#pragma once
// The language file beside the program replaces built-in texts; these are the tables of them
// that the engine uses too: the column titles, the data-kind names and the step words. The
// window texts by component name are the user interface's part (ui/WindowTexts).

#include <QString>

#include <string>

class IniFile;

// The program file's name with its extension replaced by ".LNG", in the settings directory
// (beside the program unless it is installed).
std::string LanguageFilePath();
// The same for another program file (the command line uses the window program's file).
std::string LanguageFileOf(const std::string& programPath);

// The tables in the installed translation's words (the document's code page permitting), before
// the language file, whose texts win.
void TranslateDisplayTables();

// A kind name or step word (code-page bytes, maybe the language file's) as a window shows it.
QString DisplayWord(const std::string& word);

// Replaces the tables' texts with those the file has.
void LoadDisplayTables(const IniFile& ini);
