#pragma once
// The role of a named control decides which text of the language file it takes: a caption
// ("name->Caption") or a hint ("name->Hint"). The role is kept as a property of the object.

#include <QObject>
#include <QVariant>

namespace orvix {

enum class ControlRole {
    None = 0,
    BitBtn,     // caption
    MenuItem,   // caption; "-" makes it a separator
    TabSheet,   // caption of its tab
    ToolButton, // hint; toolbar dividers are tool buttons too
    ComboBox,   // hint
    TrackBar,   // hint
    ScrollBar,  // hint
};

inline constexpr const char* kRoleProperty = "orvixRole";

inline void setRole(QObject* o, ControlRole r)
{
    o->setProperty(kRoleProperty, int(r));
}

inline ControlRole roleOf(const QObject* o)
{
    const QVariant v = o->property(kRoleProperty);
    return v.isValid() ? ControlRole(v.toInt()) : ControlRole::None;
}

// Names an object and gives it its role in one step.
template <typename T> T* named(T* o, const char* name, ControlRole role)
{
    o->setObjectName(QString::fromLatin1(name));
    setRole(o, role);
    return o;
}

inline bool takesCaption(ControlRole r)
{
    return r == ControlRole::BitBtn || r == ControlRole::MenuItem || r == ControlRole::TabSheet;
}

} // namespace orvix
