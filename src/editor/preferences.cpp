#include "editor/preferences.h"

#include "platform/prompts.h"
#include "platform/settingsstore.h"

#include <QFont>
#include <QFontDatabase>

#include <optional>

namespace preferences {

namespace {

const QString kSection = QStringLiteral("Preferences");

QString read(const char *key)
{
    return platform::settings().read(platform::appTitle(), kSection, QString::fromLatin1(key));
}

void write(const char *key, const QString &value)
{
    platform::settings().write(platform::appTitle(), kSection, QString::fromLatin1(key), value);
}

// "1" and "0"; anything else keeps the default.
bool readFlag(const char *key, bool fallback)
{
    const QString v = read(key).trimmed();
    return v == QLatin1String("1") ? true : v == QLatin1String("0") ? false : fallback;
}

int readNumber(const char *key, int fallback, int low, int high)
{
    bool ok = false;
    const int v = read(key).trimmed().toInt(&ok);
    return ok && v >= low && v <= high ? v : fallback;
}

QString flag(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

std::optional<Preferences> g_current;

} // namespace

Preferences Preferences::defaults()
{
    Preferences p;
    const QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    p.fontFamily = mono.family();
    const int size = mono.pointSize();
    p.fontSize = size >= MinFontSize && size <= MaxFontSize ? size : 10;
    return p;
}

Preferences Preferences::sanitized() const
{
    const Preferences d = defaults();
    Preferences p = *this;
    if (p.fontFamily.trimmed().isEmpty() || !QFontDatabase::hasFamily(p.fontFamily))
        p.fontFamily = d.fontFamily;
    if (p.fontSize < MinFontSize || p.fontSize > MaxFontSize)
        p.fontSize = d.fontSize;
    if (p.tabWidth < MinTabWidth || p.tabWidth > MaxTabWidth)
        p.tabWidth = d.tabWidth;
    return p;
}

bool operator==(const Preferences &a, const Preferences &b)
{
    return a.fontFamily == b.fontFamily && a.fontSize == b.fontSize && a.tabWidth == b.tabWidth &&
           a.tabSpaces == b.tabSpaces && a.lineNumbers == b.lineNumbers && a.currentLine == b.currentLine &&
           a.scheme == b.scheme && a.view == b.view && a.reopenSession == b.reopenSession;
}

Preferences load()
{
    const Preferences d = Preferences::defaults();
    Preferences p = d;
    const QString family = read("FontFamily");
    if (!family.isEmpty())
        p.fontFamily = family;
    p.fontSize = readNumber("FontSize", d.fontSize, MinFontSize, MaxFontSize);
    p.tabWidth = readNumber("TabWidth", d.tabWidth, MinTabWidth, MaxTabWidth);
    p.tabSpaces = readFlag("TabSpaces", d.tabSpaces);
    p.lineNumbers = readFlag("LineNumbers", d.lineNumbers);
    p.currentLine = readFlag("CurrentLine", d.currentLine);
    colourscheme::schemeFromName(read("Scheme"), &p.scheme);
    const QString view = read("DocumentView");
    if (view == QLatin1String("Tabs"))
        p.view = DocumentView::Tabs;
    p.reopenSession = readFlag("ReopenSession", d.reopenSession);
    return p.sanitized();
}

void save(const Preferences &p)
{
    write("FontFamily", p.fontFamily);
    write("FontSize", QString::number(p.fontSize));
    write("TabWidth", QString::number(p.tabWidth));
    write("TabSpaces", flag(p.tabSpaces));
    write("LineNumbers", flag(p.lineNumbers));
    write("CurrentLine", flag(p.currentLine));
    write("Scheme", colourscheme::schemeName(p.scheme));
    write("DocumentView", p.view == DocumentView::Tabs ? QStringLiteral("Tabs") : QStringLiteral("Windows"));
    write("ReopenSession", flag(p.reopenSession));
}

const Preferences &current()
{
    if (!g_current)
        g_current = load();
    return *g_current;
}

void setCurrent(const Preferences &p)
{
    const Preferences clean = p.sanitized();
    if (g_current && *g_current == clean)
        return;
    g_current = clean;
    save(clean);
    emit notifier().changed();
}

void reload()
{
    g_current = load();
    emit notifier().changed();
}

Notifier &notifier()
{
    static Notifier n;
    return n;
}

} // namespace preferences
