#include "editor/languages.h"

#include <QFileInfo>
#include <QHash>

namespace languages {

Language languageForPath(const QString &path)
{
    static const QHash<QString, Language> byExtension = {
        {QStringLiteral("html"), Language::Html},      {QStringLiteral("htm"), Language::Html},
        {QStringLiteral("shtml"), Language::Html},     {QStringLiteral("xhtml"), Language::Html},
        {QStringLiteral("asp"), Language::Html},       {QStringLiteral("qpt"), Language::Html},
        {QStringLiteral("xml"), Language::Xml},        {QStringLiteral("xsl"), Language::Xml},
        {QStringLiteral("xslt"), Language::Xml},       {QStringLiteral("xsd"), Language::Xml},
        {QStringLiteral("svg"), Language::Xml},        {QStringLiteral("css"), Language::Css},
        {QStringLiteral("c"), Language::Cpp},          {QStringLiteral("cpp"), Language::Cpp},
        {QStringLiteral("cc"), Language::Cpp},         {QStringLiteral("cxx"), Language::Cpp},
        {QStringLiteral("h"), Language::Cpp},          {QStringLiteral("hpp"), Language::Cpp},
        {QStringLiteral("hh"), Language::Cpp},         {QStringLiteral("hxx"), Language::Cpp},
        {QStringLiteral("java"), Language::Java},      {QStringLiteral("js"), Language::JavaScript},
        {QStringLiteral("mjs"), Language::JavaScript}, {QStringLiteral("json"), Language::JavaScript},
        {QStringLiteral("php"), Language::Php},        {QStringLiteral("php3"), Language::Php},
        {QStringLiteral("php4"), Language::Php},       {QStringLiteral("php5"), Language::Php},
        {QStringLiteral("phtml"), Language::Php},      {QStringLiteral("pl"), Language::Perl},
        {QStringLiteral("pm"), Language::Perl},        {QStringLiteral("cgi"), Language::Perl},
        {QStringLiteral("ini"), Language::Ini},        {QStringLiteral("inf"), Language::Ini},
    };
    const QString name = QFileInfo(path.trimmed()).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0 || dot == name.size() - 1) // no extension, or a dot file such as ".ini"
        return Language::Plain;
    return byExtension.value(name.mid(dot + 1).toLower(), Language::Plain);
}

QString languageName(Language language)
{
    switch (language) {
    case Language::Plain:
        return QStringLiteral("Plain");
    case Language::Html:
        return QStringLiteral("HTML");
    case Language::Xml:
        return QStringLiteral("XML");
    case Language::Css:
        return QStringLiteral("CSS");
    case Language::Cpp:
        return QStringLiteral("C++");
    case Language::Java:
        return QStringLiteral("Java");
    case Language::JavaScript:
        return QStringLiteral("JavaScript");
    case Language::Php:
        return QStringLiteral("PHP");
    case Language::Perl:
        return QStringLiteral("Perl");
    case Language::Ini:
        return QStringLiteral("INI");
    }
    return QString();
}

} // namespace languages
