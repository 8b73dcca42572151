#include "WindowTexts.h"

#include "CodePage.h"
#include "DisplayTexts.h"
#include "Ini.h"

#include <QAction>
#include <QMetaProperty>

namespace {

class TextReplacer {
public:
    TextReplacer(const IniFile& ini, std::string section)
        : ini_(ini), section_(std::move(section)) {}

    // The file's value for the key, the current text being the default. A text that is empty
    // in the design is never looked up.
    QString Replace(const std::string& key, const QString& current) const {
        if (current.isEmpty())
            return current;
        const CodePage& cp = DocumentCodePage();
        auto bytes = cp.FromUnicode(current);
        if (!bytes)
            return current;
        return cp.ToUnicode(ini_.ReadString(section_, key, *bytes));
    }

    void ReplaceProperty(QObject* object, const char* property, const std::string& key) const {
        const QVariant value = object->property(property);
        if (!value.isValid())
            return;
        const QString current = value.toString();
        const QString replaced = Replace(key, current);
        if (replaced != current)
            object->setProperty(property, replaced);
    }

private:
    const IniFile& ini_;
    std::string section_;
};

// The property that holds what the user reads on a control.
const char* CaptionProperty(const QObject* object) {
    const QMetaObject* meta = object->metaObject();
    for (const char* name : {"title", "text"})
        if (meta->indexOfProperty(name) >= 0)
            return name;
    return nullptr;
}

void ApplyToWindow(const IniFile& ini, QWidget* window) {
    const TextReplacer texts(ini, window->objectName().toStdString());
    window->setWindowTitle(texts.Replace("Caption", window->windowTitle()));
    const QList<QObject*> children = window->findChildren<QObject*>();
    for (QObject* child : children) {
        const std::string name = child->objectName().toStdString();
        if (name.empty() || name.rfind("qt_", 0) == 0)
            continue;
        if (auto* action = qobject_cast<QAction*>(child)) {
            texts.ReplaceProperty(action, "text", name + ".Caption");
            if (action->property("hint").isValid())
                texts.ReplaceProperty(action, "hint", name + ".Hint");
            continue;
        }
        if (!child->isWidgetType())
            continue;
        if (const char* caption = CaptionProperty(child))
            texts.ReplaceProperty(child, caption, name + ".Caption");
        texts.ReplaceProperty(child, "toolTip", name + ".Hint");
    }
}

} // namespace

void LoadDisplayTexts(const std::string& path, const std::vector<QWidget*>& windows) {
    const IniFile ini(path);
    for (QWidget* window : windows)
        ApplyToWindow(ini, window);
    LoadDisplayTables(ini);
}
