// The .ts files: every entry finished and still in the code, and every translation faithful to
// its source's placeholders and mnemonic, so no text loses a number or a shortcut in Polish.
#include "CommandLine.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

namespace {

struct TsEntry {
    QString context;
    QString source;
    QStringList translations; // one, or the plural forms
    QString type;             // "", "unfinished", "obsolete", "vanished"
};

std::vector<TsEntry> ReadTs(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    std::vector<TsEntry> entries;
    QXmlStreamReader xml(&file);
    QString context;
    TsEntry entry;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == u"name")
            context = xml.readElementText();
        else if (xml.name() == u"message")
            entry = {context, {}, {}, {}};
        else if (xml.name() == u"source")
            entry.source = xml.readElementText();
        else if (xml.name() == u"translation") {
            entry.type = xml.attributes().value("type").toString();
            const QString text = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            entry.translations << text;
            entries.push_back(entry);
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return entries;
}

// The plural forms one by one: readElementText joins them, so they are read again apart.
QStringList PluralForms(const QString& path, const QString& context, const QString& source) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    QXmlStreamReader xml(&file);
    QString currentContext, currentSource;
    QStringList forms;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == u"name")
            currentContext = xml.readElementText();
        else if (xml.name() == u"source")
            currentSource = xml.readElementText();
        else if (xml.name() == u"numerusform" && currentContext == context &&
                 currentSource == source)
            forms << xml.readElementText();
    }
    return forms;
}

QString TsPath(const char* language) {
    return QString(QPLU_SOURCE_DIR) + "/translations/quorve-plu_" + language + ".ts";
}

// %1 .. %99, %L1, %n, %Ln, sorted: the same set must come out of every translation.
QStringList Placeholders(const QString& text) {
    QStringList found;
    static const QRegularExpression placeholder(R"(%L?(\d{1,2}|n))");
    for (const QRegularExpressionMatch& m : placeholder.globalMatch(text))
        found << m.captured(0);
    found.sort();
    return found;
}

// The mnemonic marks: single '&' before a character; "&&" is a literal ampersand.
int Mnemonics(const QString& text) {
    int count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'&')
            continue;
        if (i + 1 < text.size() && text[i + 1] == u'&') {
            ++i;
            continue;
        }
        ++count;
    }
    return count;
}

int Literals(const QString& text) {
    return int(text.count(QStringLiteral("&&")));
}

struct FileCase {
    const char* language;
    int pluralForms;
};

class TranslationFileTest : public ::testing::TestWithParam<FileCase> {};

TEST_P(TranslationFileTest, EveryEntryIsFinishedAndKeepsPlaceholdersAndMnemonics) {
    const QString path = TsPath(GetParam().language);
    const std::vector<TsEntry> entries = ReadTs(path);
    ASSERT_GT(entries.size(), 20u);
    for (const TsEntry& e : entries) {
        const std::string where = e.context.toStdString() + ": " + e.source.toStdString();
        EXPECT_TRUE(e.type.isEmpty()) << e.type.toStdString() << " entry, " << where;
        QStringList forms = PluralForms(path, e.context, e.source);
        if (forms.isEmpty())
            forms = e.translations;
        else
            EXPECT_EQ(forms.size(), GetParam().pluralForms) << where;
        for (const QString& form : forms) {
            const std::string in = where + "\n  -> " + form.toStdString();
            EXPECT_FALSE(form.trimmed().isEmpty()) << in;
            EXPECT_EQ(Placeholders(form), Placeholders(e.source)) << in;
            EXPECT_EQ(Mnemonics(form), Mnemonics(e.source)) << in;
            EXPECT_LE(Mnemonics(form), 1) << in;
            EXPECT_EQ(Literals(form), Literals(e.source)) << in;
            // A leading or trailing space or line break is part of how the text is joined.
            EXPECT_EQ(form.startsWith(' '), e.source.startsWith(' ')) << in;
            EXPECT_EQ(form.startsWith('\n'), e.source.startsWith('\n')) << in;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, TranslationFileTest,
                         ::testing::Values(FileCase{"pl", 3}, FileCase{"en", 2}),
                         [](const auto& info) { return std::string(info.param.language); });

// A text added to the code and not yet translated shows as a new unfinished entry when lupdate
// runs over the sources again; one removed shows as a vanished one.
TEST(TranslationFiles, HoldEveryTextOfTheCodeAndNoOther) {
    QTemporaryDir dir;
    for (const char* language : {"pl", "en"}) {
        const QString copy = dir.filePath(QString("check_%1.ts").arg(language));
        ASSERT_TRUE(QFile::copy(TsPath(language), copy));
        QStringList args{"-locations", "none", "-extensions", "cpp,h"};
        if (QString(language) == "en")
            args << "-pluralonly";
        for (const char* folder : {"app", "ui", "cli", "data", "comm", "transfer", "service",
                                   "exchange", "history", "registers"})
            if (QFile::exists(QString(QPLU_SOURCE_DIR) + "/" + folder))
                args << QString(QPLU_SOURCE_DIR) + "/" + folder;
        args << "-ts" << copy;
        QProcess lupdate;
        lupdate.start(QPLU_LUPDATE, args);
        ASSERT_TRUE(lupdate.waitForFinished(120000));
        ASSERT_EQ(lupdate.exitCode(), 0) << lupdate.readAllStandardError().toStdString();
        for (const TsEntry& e : ReadTs(copy))
            EXPECT_TRUE(e.type.isEmpty())
                << language << ": " << e.type.toStdString()
                << " after lupdate: " << e.context.toStdString() << ": " << e.source.toStdString()
                << "\n(run the update_translations target and translate it)";
    }
}

} // namespace

namespace {

// The Polish manual page tells of every option and command --help names, as the English one
// must (ManPageTest); troff writes a minus as "\-".
TEST(PolishManPage, ListsEveryOptionAndCommandOfHelp) {
    QFile file(QString(QPLU_SOURCE_DIR) + "/docs/man/pl/man1/quorve-plu-cli.1");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString page = QString::fromUtf8(file.readAll()).replace("\\-", "-");
    const QString help = QString::fromStdString(HelpText());
    QStringList missing;
    static const QRegularExpression option(R"((?<![\w-])(--?[a-z][a-z-]*))");
    for (const QRegularExpressionMatch& m : option.globalMatch(help))
        if (!page.contains(QRegularExpression(
                "(?<![\\w-])" + QRegularExpression::escape(m.captured(1)) + "(?![\\w-])")))
            missing << m.captured(1);
    static const QRegularExpression command(R"(\n  ([a-z]+(?: [a-z]+)?) )");
    for (const QRegularExpressionMatch& m : command.globalMatch(help))
        if (!page.contains(m.captured(1)))
            missing << m.captured(1);
    missing.removeDuplicates();
    EXPECT_TRUE(missing.isEmpty()) << missing.join(' ').toStdString();
}

} // namespace
