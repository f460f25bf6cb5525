#include "editor/colourscheme.h"

#include <QPalette>

#include <algorithm>
#include <cmath>

namespace colourscheme {

QString schemeName(Scheme scheme)
{
    switch (scheme) {
    case Scheme::FollowDesktop:
        return QStringLiteral("Follow Desktop");
    case Scheme::Light:
        return QStringLiteral("Light");
    case Scheme::Dark:
        return QStringLiteral("Dark");
    }
    return QString();
}

bool schemeFromName(const QString &name, Scheme *out)
{
    for (Scheme s : {Scheme::FollowDesktop, Scheme::Light, Scheme::Dark})
        if (name == schemeName(s)) {
            *out = s;
            return true;
        }
    return false;
}

Kind kindOf(const QString &description)
{
    const QString d = description.toLower();
    auto has = [&d](const char *word) { return d.contains(QLatin1String(word)); };
    // Earlier rows win: an "inactive comment" is inactive, a "comment
    // keyword" a comment, an "unclosed string" an error.
    if (has("inactive"))
        return Kind::Inactive;
    if (has("error") || has("unknown") || has("unclosed") || has("bad"))
        return Kind::Error;
    if (has("comment") || has("pod") || has("task marker"))
        return Kind::Comment;
    if (has("regex") || has("regular expression") || has("substitution") || has("translation"))
        return Kind::Regex;
    if (has("string") || has("quoted") || has("here document") || has("cdata") || has("backtick") ||
        has("value") || has("data section"))
        return Kind::String;
    if (has("number") || has("uuid") || has("entity") || has("literal"))
        return Kind::Number;
    if (has("preprocessor") || has("start") || has("section") || has("sgml") || has("xml") ||
        has("at-rule") || has("@-rule") || has("media") || has("directive") || has("important"))
        return Kind::Preprocessor;
    if (has("keyword") || has("tag"))
        return Kind::Keyword;
    if (has("attribute") || has("property") || has("selector") || has("pseudo") || has("key") ||
        has("assignment"))
        return Kind::Attribute;
    if (has("operator") || has("symbol"))
        return Kind::Operator;
    if (has("variable") || has("scalar") || has("array") || has("hash") || has("class") || has("function") ||
        has("subroutine") || has("identifier") || has("format"))
        return Kind::Identifier;
    return Kind::Default;
}

QColor darkColour(Kind kind)
{
    switch (kind) {
    case Kind::Default:
        return QColor(0xd4, 0xd4, 0xd4);
    case Kind::Comment:
        return QColor(0x8f, 0xb8, 0x7c);
    case Kind::Keyword:
        return QColor(0x6c, 0xb6, 0xff);
    case Kind::String:
        return QColor(0xe6, 0xa8, 0x7a);
    case Kind::Number:
        return QColor(0xb5, 0xce, 0xa8);
    case Kind::Operator:
        return QColor(0xe0, 0xe0, 0xe0);
    case Kind::Preprocessor:
        return QColor(0xd2, 0xa8, 0xff);
    case Kind::Attribute:
        return QColor(0x9c, 0xdc, 0xfe);
    case Kind::Identifier:
        return QColor(0xdc, 0xdc, 0xaa);
    case Kind::Regex:
        return QColor(0xf0, 0x9c, 0xc8);
    case Kind::Error:
        return QColor(0xff, 0x8a, 0x80);
    case Kind::Inactive:
        return QColor(0x9c, 0x9c, 0x9c);
    }
    return QColor(0xd4, 0xd4, 0xd4);
}

const Frame &frame(bool dark)
{
    static const Frame light = {false,
                                Qt::white,
                                Qt::black,
                                Qt::black,
                                QColor(0xc0, 0xc0, 0xc0),
                                QColor(),
                                QColor(0xe8, 0xe8, 0xe8),
                                QColor(0x50, 0x50, 0x50),
                                QColor(0xff, 0xf8, 0xd8),
                                QColor(0x00, 0x00, 0xc0),
                                QColor(0xc8, 0xe6, 0xff),
                                QColor(0xc0, 0x00, 0x00)};
    static const Frame darkFrame = {true,
                                    QColor(0x1e, 0x1e, 0x1e),
                                    darkColour(Kind::Default),
                                    QColor(0xf0, 0xf0, 0xf0),
                                    QColor(0x26, 0x4f, 0x78),
                                    QColor(0xff, 0xff, 0xff),
                                    QColor(0x25, 0x25, 0x26),
                                    QColor(0xa0, 0xa0, 0xa0),
                                    QColor(0x2a, 0x2d, 0x2e),
                                    QColor(0xff, 0xff, 0xff),
                                    QColor(0x3a, 0x5a, 0x7a),
                                    QColor(0xff, 0x8a, 0x80)};
    return dark ? darkFrame : light;
}

QColor styleText(bool dark, const QColor &lexerColour, const QString &description)
{
    return dark ? darkColour(kindOf(description)) : lexerColour;
}

QColor stylePaper(bool dark, const QColor &lexerPaper)
{
    // Embedded sections keep their own ground in the light scheme; in the
    // dark one a pale ground would put light text on light paper.
    return dark ? frame(true).paper : lexerPaper;
}

bool paletteIsDark(const QPalette &palette)
{
    return relativeLuminance(palette.color(QPalette::Base)) <
           relativeLuminance(palette.color(QPalette::Text));
}

bool isDark(Scheme scheme, const QPalette &desktop)
{
    return scheme == Scheme::Dark || (scheme == Scheme::FollowDesktop && paletteIsDark(desktop));
}

QPalette darkPalette()
{
    QPalette p;
    const QColor window(0x35, 0x35, 0x35), base(0x1e, 0x1e, 0x1e), text(0xe6, 0xe6, 0xe6);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window);
    p.setColor(QPalette::ToolTipBase, base);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, QColor(0xa0, 0xa0, 0xa0));
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, window);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, Qt::red);
    p.setColor(QPalette::Light, QColor(0x50, 0x50, 0x50));
    p.setColor(QPalette::Midlight, QColor(0x45, 0x45, 0x45));
    p.setColor(QPalette::Mid, QColor(0x2a, 0x2a, 0x2a));
    p.setColor(QPalette::Dark, QColor(0x20, 0x20, 0x20));
    p.setColor(QPalette::Shadow, Qt::black);
    p.setColor(QPalette::Link, QColor(0x6c, 0xb6, 0xff));
    p.setColor(QPalette::Highlight, QColor(0x26, 0x4f, 0x78));
    p.setColor(QPalette::HighlightedText, Qt::white);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, QColor(0x80, 0x80, 0x80));
    return p;
}

double relativeLuminance(const QColor &c)
{
    auto channel = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    const QColor rgb = c.toRgb();
    return 0.2126 * channel(rgb.redF()) + 0.7152 * channel(rgb.greenF()) + 0.0722 * channel(rgb.blueF());
}

double contrastRatio(const QColor &a, const QColor &b)
{
    const double la = relativeLuminance(a), lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace colourscheme
