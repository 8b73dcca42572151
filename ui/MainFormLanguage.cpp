// Help, Language: the language of the window program's texts, taken at the next start, since
// every window is built once with its texts (and the language file's over them).
#include "MainForm.h"

#include "Language.h"
#include "Placement.h"

#include <QActionGroup>
#include <QMenu>
#include <QMessageBox>

#include <cstring>

void TMainForm::AddLanguageItems(QMenu* help) {
    QMenu* menu = help->addMenu(tr("&Language"));
    menu->setObjectName("LanguageMenu");
    auto* group = new QActionGroup(this);
    const QString remembered = LanguageCode(RememberedLanguage());
    auto add = [&](QAction*& action, const char* name, const QString& text, const QString& code) {
        action = menu->addAction(text);
        action->setObjectName(name);
        action->setParent(this);
        action->setCheckable(true);
        action->setChecked(remembered == code);
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, code] { LanguageItemClick(code); });
    };
    add(LanguageSystemItem, "LanguageSystemItem", tr("&System"), QString());
    // Each language in its own words, so it can be found whatever the window shows.
    add(LanguageEnglishItem, "LanguageEnglishItem", "&English", EnglishLanguage);
    add(LanguagePolishItem, "LanguagePolishItem", "&Polski", PolishLanguage);
}

void TMainForm::LanguageItemClick(const QString& choice) {
    const QString stored = choice.isEmpty() ? QStringLiteral("system") : choice;
    if (stored == RememberedLanguage())
        return;
    if (!RememberLanguage(stored)) {
        QMessageBox::warning(this, windowTitle(),
                             tr("The language could not be kept in SYSTEM.CFG: %1")
                                 .arg(QString::fromLocal8Bit(std::strerror(errno))));
        return;
    }
    QMessageBox::information(this, windowTitle(),
                             tr("The new language is shown from the next start of the program."));
}
