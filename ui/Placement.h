#pragma once
// Where windows go and what the main window remembers between runs: the height of the report
// pane and the folder the file dialogs start in, kept in SYSTEM.CFG's [Window] section.

#include <QString>

class QWidget;

// Centres a window on the screen it is about to be shown on.
void CentreOnScreen(QWidget* window);

struct TWindowMemory {
    int reportHeight = 77;
    QString lastFolder; // empty: none yet

    // What SYSTEM.CFG holds; the defaults for what it lacks.
    static TWindowMemory Read();
    // False (errno set) when SYSTEM.CFG could not be written.
    bool Write() const;
};

// The language chosen in the window's Language menu ([Window] Language: "pl", "en", or "system"
// for the environment's), taken at the next start.
QString RememberedLanguage();
// False (errno set) when SYSTEM.CFG could not be written.
bool RememberLanguage(const QString& choice);
