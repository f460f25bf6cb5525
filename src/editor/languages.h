#pragma once

#include <QString>

// Which colouring a document gets, chosen from its file name alone.
namespace languages {

enum class Language {
    Plain,
    Html, // with CSS and JavaScript inside, PHP and ASP fragments too
    Xml,
    Css,
    Cpp,
    Java,
    JavaScript,
    Php,
    Perl,
    Ini,
};

// The language of a file by its extension, letter case ignored; untitled
// documents (an empty path) and unknown extensions are Plain.
Language languageForPath(const QString &path);

// A short name for messages and tests: "HTML", "C++", "Plain"...
QString languageName(Language language);

} // namespace languages
