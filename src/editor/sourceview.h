#pragma once

#include "editor/languages.h"

#include <QKeySequence>
#include <QList>
#include <QObject>

#include <memory>

class EmbeddedCss;
class StyleCatchUp;
class TextControl;

// The view comforts of a document's text control: syntax colours chosen from
// the file name, a line-number margin as wide as the line count needs, the
// highlight of matching braces, and word wrap. It follows the preferences
// (font, tab width, line numbers, current line, colour scheme) as they change,
// and zooms with Ctrl+wheel and the zoom keys, for this window alone.
class SourceView : public QObject
{
    Q_OBJECT

public:
    explicit SourceView(TextControl *control);
    ~SourceView() override;

    // Colours the document as its file name asks (Plain for untitled).
    void setPath(const QString &path);
    void setLanguage(languages::Language language);
    languages::Language language() const { return m_language; }

    void setWordWrap(bool on);
    // Very long lines: no colours and no brace matching, whatever the file
    // name says; the engine would lay such a line out again at every keystroke.
    void setLongLines(bool on);
    bool longLines() const { return m_longLines; }
    bool wordWrap() const;

    StyleCatchUp *catchUp() const { return m_catchUp; }

    // Points added to the preferred font size in this window.
    int zoom() const;
    void zoomIn();
    void zoomOut();
    void resetZoom(); // back to the preferred size
    // Ctrl+Plus (and Ctrl+=, the same key unshifted), Ctrl+Minus, Ctrl+0.
    static QList<QKeySequence> zoomKeys();
    // Whether the text shows dark, after the scheme and the desktop.
    bool dark() const { return m_dark; }

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void applyPreferences();
    void applyLanguage();
    void updateMarginWidth();
    void updateBraces();

    TextControl *m_control;
    StyleCatchUp *m_catchUp;
    std::unique_ptr<EmbeddedCss> m_css;
    languages::Language m_language = languages::Language::Plain;
    int m_marginDigits = 0;
    bool m_longLines = false;
    bool m_dark = false;
    bool m_lineNumbers = true;
};
