#pragma once
#include <QDialog>

class QLabel;

// The desktop entry's and the icon's name, as installed.
inline constexpr const char* ProgramIconName = "org.quorve.plumanager";

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);

    // The release this program was built from; the line stays hidden until it is given.
    void ShowRelease(const QString& text);

    QLabel* ProductName = nullptr;
    QLabel* Version = nullptr;
    QLabel* Copyright = nullptr;
    QLabel* Build = nullptr;
    QLabel* Comments = nullptr; // the owner line: CompanyText
    QLabel* Release = nullptr;
    QLabel* Licence = nullptr;
    QLabel* SettingsPlace = nullptr; // where SYSTEM.CFG and the language file live
    QLabel* StatePlace = nullptr;    // where DEBUG.LOG and the dumps go
};
