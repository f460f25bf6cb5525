#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// Plain-text page layout for printing, free of any paint device: the text is
// cut into lines, long lines are wrapped to the page width and the lines are
// dealt out to pages.
namespace platform::printlayout {

// Each CR LF ends a line; so does a lone CR or LF, which would otherwise run
// lines together on paper. Tabs become spaces up to the next multiple of 8;
// other control characters print as a space. Empty text is one empty line.
QStringList splitLines(const QString &text);

// Cuts one line into pieces no wider than maxWidth, breaking after the last
// blank that fits, or inside a word that is wider than the page. Every piece
// holds at least one character, so a page narrower than one letter still ends.
using CharWidth = std::function<qreal(QChar)>;
QStringList wrapLine(const QString &line, const CharWidth &width, qreal maxWidth);

// Lines per page; every page holds at least one line and there is always a page.
QList<QStringList> paginate(const QStringList &lines, int linesPerPage);

} // namespace platform::printlayout
