#include "text/InterfaceText.h"

#include "text/ControlRole.h"
#include "text/LangFile.h"

#include <QAbstractButton>
#include <QAction>
#include <QFontDatabase>
#include <QMenu>
#include <QTabWidget>
#include <QWidget>

namespace orvix {

QString InterfaceText::keyFor(const QObject* o)
{
    const ControlRole r = roleOf(o);
    if (r == ControlRole::None || o->objectName().isEmpty())
        return {};
    return o->objectName() +
           (takesCaption(r) ? QLatin1String("->Caption") : QLatin1String("->Hint"));
}

namespace {

void setCaption(QObject* o, ControlRole role, const QString& text)
{
    if (auto* a = qobject_cast<QAction*>(o)) {
        if (role == ControlRole::MenuItem) {
            // A separator stays a separator only while its text is "-".
            const bool separator = text == QLatin1String("-");
            a->setSeparator(separator);
            a->setText(separator ? QString() : text);
        } else {
            a->setText(text);
        }
        return;
    }
    if (auto* m = qobject_cast<QMenu*>(o)) {
        m->setTitle(text);
        return;
    }
    if (role == ControlRole::TabSheet) {
        auto* page = qobject_cast<QWidget*>(o);
        for (QObject* p = o->parent(); p && page; p = p->parent()) {
            if (auto* tabs = qobject_cast<QTabWidget*>(p)) {
                const int idx = tabs->indexOf(page);
                if (idx >= 0)
                    tabs->setTabText(idx, text);
                return;
            }
        }
        return;
    }
    if (auto* b = qobject_cast<QAbstractButton*>(o)) {
        b->setText(text);
        return;
    }
    o->setProperty("text", text);
}

void setHint(QObject* o, const QString& text)
{
    if (auto* a = qobject_cast<QAction*>(o)) {
        if (!a->isSeparator())
            a->setToolTip(text);
        return;
    }
    if (auto* w = qobject_cast<QWidget*>(o))
        w->setToolTip(text);
}

} // namespace

void InterfaceText::applyRoles(QObject* root, const LangFile& file)
{
    QList<QObject*> objects = root->findChildren<QObject*>();
    objects.prepend(root);
    for (QObject* o : objects) {
        const ControlRole r = roleOf(o);
        if (r == ControlRole::None || o->objectName().isEmpty())
            continue;
        const QString value = file.value(keyFor(o));
        if (takesCaption(r)) {
            setCaption(o, r, QString());
            setCaption(o, r, value);
        } else {
            setHint(o, QString());
            setHint(o, value);
        }
    }
}

namespace {
QFontDatabase::WritingSystem writingSystemFor(int charset)
{
    switch (charset) {
    case 128:
        return QFontDatabase::Japanese;
    case 129:
    case 130:
        return QFontDatabase::Korean;
    case 134:
        return QFontDatabase::SimplifiedChinese;
    case 136:
        return QFontDatabase::TraditionalChinese;
    case 161:
        return QFontDatabase::Greek;
    case 177:
        return QFontDatabase::Hebrew;
    case 178:
        return QFontDatabase::Arabic;
    case 204:
        return QFontDatabase::Cyrillic;
    case 222:
        return QFontDatabase::Thai;
    case 163:
        return QFontDatabase::Vietnamese;
    default:
        return QFontDatabase::Latin;
    }
}
} // namespace

QFont InterfaceText::fontFor(int charset, const QString& faceName, const QFont& base)
{
    QFont font = base;
    const QFontDatabase::WritingSystem ws = writingSystemFor(charset);
    const QStringList families = QFontDatabase::families(ws);
    QString family;
    for (const QString& f : families)
        if (f.compare(faceName, Qt::CaseInsensitive) == 0)
            family = f;
    if (family.isEmpty()) {
        // Prefer faces made for user interfaces when the named one is not installed.
        for (const char* pref : {"Noto Sans CJK SC", "Noto Sans", "DejaVu Sans"}) {
            const QString p = QString::fromLatin1(pref);
            if (families.contains(p)) {
                family = p;
                break;
            }
        }
    }
    if (family.isEmpty() && !families.isEmpty())
        family = families.first();
    if (!family.isEmpty())
        font.setFamilies({family});
    return font;
}

} // namespace orvix
