#include "Language.h"

#include "FilePlaces.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdlib>
#include <vector>

namespace {

QString current = EnglishLanguage;
QString translationsDir;
std::vector<std::unique_ptr<QTranslator>> installed;

QString Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? QString::fromLocal8Bit(value) : QString();
}

// "pl_PL.UTF-8@euro" -> "pl"
QString LanguageOfLocale(const QString& locale) {
    QString name = locale.section('.', 0, 0).section('@', 0, 0);
    return name.section('_', 0, 0).toLower();
}

// Passes only the texts of contexts people read; the rest stay as written.
class ContextTranslator : public QTranslator {
public:
    ContextTranslator(std::unique_ptr<QTranslator> inner, std::set<std::string> keepEnglish)
        : inner_(std::move(inner)), keepEnglish_(std::move(keepEnglish)) {}

    QString translate(const char* context, const char* sourceText, const char* disambiguation,
                      int n) const override {
        if (context && keepEnglish_.count(context))
            return {};
        return inner_->translate(context, sourceText, disambiguation, n);
    }
    bool isEmpty() const override { return inner_->isEmpty(); }

private:
    std::unique_ptr<QTranslator> inner_;
    std::set<std::string> keepEnglish_;
};

std::unique_ptr<QTranslator> LoadProgramTranslation(const QString& language) {
    auto translator = std::make_unique<QTranslator>();
    const QString name = "quorve-plu_" + language;
    if (!translationsDir.isEmpty() && QFileInfo(translationsDir + name + ".qm").isFile() &&
        translator->load(name, translationsDir))
        return translator;
    if (translator->load(name, ":/i18n"))
        return translator;
    return nullptr;
}

} // namespace

QString LanguageCode(const QString& word) {
    const QString lower = word.trimmed().toLower();
    if (lower == EnglishLanguage || lower == PolishLanguage)
        return lower;
    return {};
}

QString SystemLanguage() {
    QString locale = Environment("LC_ALL");
    if (locale.isEmpty())
        locale = Environment("LC_MESSAGES");
    if (locale.isEmpty())
        locale = Environment("LANG");
    const QString localeLanguage = LanguageOfLocale(locale);
    // gettext ignores LANGUAGE in the C locale: LANG=C means the texts as written.
    if (localeLanguage.isEmpty() || localeLanguage == "c" || localeLanguage == "posix")
        return EnglishLanguage;
    const QStringList wanted = Environment("LANGUAGE").split(':', Qt::SkipEmptyParts);
    for (const QString& entry : wanted) {
        const QString language = LanguageOfLocale(entry);
        if (language == PolishLanguage || language == EnglishLanguage)
            return language;
    }
    return localeLanguage == PolishLanguage ? PolishLanguage : EnglishLanguage;
}

QString ChooseLanguage(const QString& option, const QString& remembered) {
    if (const QString code = LanguageCode(option); !code.isEmpty())
        return code;
    if (const QString code = LanguageCode(remembered); !code.isEmpty())
        return code;
    return SystemLanguage();
}

bool InstallLanguage(const QString& language, const std::set<std::string>& keepEnglish) {
    for (const auto& translator : installed)
        QCoreApplication::removeTranslator(translator.get());
    installed.clear();
    current = EnglishLanguage;
    if (language != PolishLanguage) {
        // English needs only its plural forms ("%n report(s)"); without them the texts are as
        // the code writes them.
        if (std::unique_ptr<QTranslator> plurals = LoadProgramTranslation(EnglishLanguage)) {
            QCoreApplication::installTranslator(plurals.get());
            installed.push_back(std::move(plurals));
        }
        return true;
    }

    std::unique_ptr<QTranslator> program = LoadProgramTranslation(language);
    if (!program)
        return false;
    // Qt's own buttons and dialogs; a system without Debian's qt6-translations-l10n keeps them
    // English and loses nothing else.
    auto qt = std::make_unique<QTranslator>();
    if (qt->load("qtbase_" + language, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(qt.get());
        installed.push_back(std::move(qt));
    }
    std::unique_ptr<QTranslator> chosen =
        keepEnglish.empty() ? std::move(program)
                            : std::make_unique<ContextTranslator>(std::move(program), keepEnglish);
    QCoreApplication::installTranslator(chosen.get());
    installed.push_back(std::move(chosen));
    current = language;
    return true;
}

QString CurrentLanguage() {
    return current;
}

void SetTranslationsDir(const std::string& directory) {
    translationsDir = QString::fromLocal8Bit(directory.c_str());
    if (!translationsDir.isEmpty() && !translationsDir.endsWith('/'))
        translationsDir += '/';
}

std::string TranslationsDirOf(const std::string& programDir) {
    const std::string share = ShareDirOf(programDir);
    if (QFileInfo(QString::fromLocal8Bit(share.c_str())).isDir())
        return share + "translations/";
    return programDir + (programDir.empty() || programDir.back() == '/' ? "" : "/") +
           "translations/";
}

std::string GuideFileIn(const std::string& guideFile, const QString& language) {
    if (language == EnglishLanguage || guideFile.empty())
        return guideFile;
    const size_t slash = guideFile.rfind('/');
    const std::string translated =
        guideFile.substr(0, slash + 1) + language.toStdString() + "/" + guideFile.substr(slash + 1);
    return QFileInfo(QString::fromLocal8Bit(translated.c_str())).isFile() ? translated : guideFile;
}

QString PeopleNumber(double value, int decimals) {
    QString text = QString::number(value, 'f', decimals);
    if (current == PolishLanguage)
        text.replace('.', ',');
    return text;
}

QString PeopleText(const std::string& english) {
    return QCoreApplication::translate("Messages", english.c_str());
}
