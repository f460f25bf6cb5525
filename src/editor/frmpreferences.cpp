#include "editor/frmpreferences.h"

#include "documents/newdocumentformat.h"
#include "platform/apphelpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>

using colourscheme::Scheme;
using preferences::Preferences;

namespace {

QPointer<FrmPreferences> g_dialog;

template <typename W> W *named(W *w, const char *name)
{
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

QRadioButton *option(const char *name, const QString &caption, QWidget *parent, QLayout *layout)
{
    auto *b = named(new QRadioButton(caption, parent), name);
    layout->addWidget(b);
    return b;
}

const Scheme kSchemes[] = {Scheme::FollowDesktop, Scheme::Light, Scheme::Dark};

} // namespace

FrmPreferences *FrmPreferences::instance()
{
    return g_dialog;
}

FrmPreferences *FrmPreferences::showDialog(Section section)
{
    if (!g_dialog) {
        g_dialog = new FrmPreferences(platform::frameWindow());
        platform::CenterWindow(g_dialog);
    }
    g_dialog->fill(preferences::current(), documents::NewDocumentFormat());
    g_dialog->show();
    g_dialog->raise();
    g_dialog->activateWindow();
    if (section == Section::NewDocumentFormat) {
        for (QRadioButton *b : {g_dialog->m_crlf, g_dialog->m_lf})
            if (b->isChecked())
                b->setFocus();
    } else {
        g_dialog->m_font->setFocus();
    }
    return g_dialog;
}

FrmPreferences::FrmPreferences(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmPreferences"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(QStringLiteral("Preferences"));

    auto *text = named(new QGroupBox(QStringLiteral("Text"), this), "fraText");
    m_font = named(new QFontComboBox(text), "cboFont");
    m_fontSize = named(new QSpinBox(text), "txtFontSize");
    m_fontSize->setRange(preferences::MinFontSize, preferences::MaxFontSize);
    m_tabWidth = named(new QSpinBox(text), "txtTabWidth");
    m_tabWidth->setRange(preferences::MinTabWidth, preferences::MaxTabWidth);
    m_tabSpaces = named(new QCheckBox(QStringLiteral("Tab inserts spaces"), text), "chkTabSpaces");
    m_lineNumbers = named(new QCheckBox(QStringLiteral("Line numbers"), text), "chkLineNumbers");
    m_currentLine =
        named(new QCheckBox(QStringLiteral("Highlight the current line"), text), "chkCurrentLine");
    m_scheme = named(new QComboBox(text), "cboScheme");
    for (Scheme s : kSchemes)
        m_scheme->addItem(colourscheme::schemeName(s));
    auto *textLayout = new QFormLayout(text);
    textLayout->addRow(QStringLiteral("&Font:"), m_font);
    textLayout->addRow(QStringLiteral("&Size:"), m_fontSize);
    textLayout->addRow(QStringLiteral("&Tab width:"), m_tabWidth);
    textLayout->addRow(QString(), m_tabSpaces);
    textLayout->addRow(QString(), m_lineNumbers);
    textLayout->addRow(QString(), m_currentLine);
    textLayout->addRow(QStringLiteral("&Colour scheme:"), m_scheme);

    auto *view = named(new QGroupBox(QStringLiteral("Documents"), this), "fraDocumentView");
    auto *viewLayout = new QVBoxLayout(view);
    m_viewWindows = option("optViewWindows", QStringLiteral("Windows"), view, viewLayout);
    m_viewTabs = option("optViewTabs", QStringLiteral("Tabs"), view, viewLayout);
    m_reopen = named(new QCheckBox(QStringLiteral("Reopen the documents of the last session at start"), view),
                     "chkReopenSession");
    viewLayout->addWidget(m_reopen);

    m_formatGroup = named(new QGroupBox(QStringLiteral("New Document Format"), this), "fraNewFormat");
    auto *formatLayout = new QHBoxLayout(m_formatGroup);
    auto *lineEnds = new QVBoxLayout;
    auto *encodings = new QVBoxLayout;
    formatLayout->addLayout(lineEnds);
    formatLayout->addLayout(encodings);
    // Two groups of choices in one box: each column is its own exclusive set.
    auto *lineEndBox = new QWidget(m_formatGroup);
    auto *encodingBox = new QWidget(m_formatGroup);
    auto *lineEndColumn = new QVBoxLayout(lineEndBox);
    auto *encodingColumn = new QVBoxLayout(encodingBox);
    lineEndColumn->setContentsMargins(0, 0, 0, 0);
    encodingColumn->setContentsMargins(0, 0, 0, 0);
    m_crlf = option("optCRLF", QStringLiteral("CR LF"), lineEndBox, lineEndColumn);
    m_lf = option("optLF", QStringLiteral("LF"), lineEndBox, lineEndColumn);
    lineEndColumn->addStretch(1);
    m_latin1 = option("optLatin1", QStringLiteral("Latin-1"), encodingBox, encodingColumn);
    m_utf8 = option("optUTF8", QStringLiteral("UTF-8"), encodingBox, encodingColumn);
    m_utf8Bom = option("optUTF8BOM", QStringLiteral("UTF-8 with BOM"), encodingBox, encodingColumn);
    lineEnds->addWidget(lineEndBox);
    encodings->addWidget(encodingBox);

    auto *restore = named(new QPushButton(QStringLiteral("Restore Defaults"), this), "cmdRestoreDefaults");
    restore->setAutoDefault(false);
    auto *closeButton = named(new QPushButton(QStringLiteral("Close"), this), "cmdClose");
    closeButton->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(restore);
    buttons->addStretch(1);
    buttons->addWidget(closeButton);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(view);
    layout->addWidget(m_formatGroup);
    layout->addLayout(buttons);
    setFixedWidth(460);
    adjustSize();

    for (QSpinBox *b : {m_fontSize, m_tabWidth})
        connect(b, &QSpinBox::valueChanged, this, &FrmPreferences::changed);
    for (QCheckBox *b : {m_tabSpaces, m_lineNumbers, m_currentLine, m_reopen})
        connect(b, &QCheckBox::toggled, this, &FrmPreferences::changed);
    for (QRadioButton *b : {m_viewWindows, m_viewTabs, m_crlf, m_lf, m_latin1, m_utf8, m_utf8Bom})
        connect(b, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                changed();
        });
    connect(m_font, &QFontComboBox::currentFontChanged, this, [this](const QFont &font) {
        if (m_filling)
            return;
        m_family = font.family();
        changed();
    });
    connect(m_scheme, &QComboBox::currentIndexChanged, this, &FrmPreferences::changed);
    connect(restore, &QPushButton::clicked, this, &FrmPreferences::restoreDefaults);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
}

void FrmPreferences::fill(const Preferences &p, const TextFormat &format)
{
    m_filling = true;
    m_family = p.fontFamily;
    m_font->setCurrentFont(QFont(p.fontFamily));
    m_fontSize->setValue(p.fontSize);
    m_tabWidth->setValue(p.tabWidth);
    m_tabSpaces->setChecked(p.tabSpaces);
    m_lineNumbers->setChecked(p.lineNumbers);
    m_currentLine->setChecked(p.currentLine);
    m_scheme->setCurrentIndex(int(std::find(std::begin(kSchemes), std::end(kSchemes), p.scheme) - kSchemes));
    (p.view == preferences::DocumentView::Tabs ? m_viewTabs : m_viewWindows)->setChecked(true);
    m_reopen->setChecked(p.reopenSession);
    (format.lineEnd == LineEnd::Lf ? m_lf : m_crlf)->setChecked(true);
    (format.encoding == Encoding::Utf8Bom ? m_utf8Bom
     : format.encoding == Encoding::Utf8  ? m_utf8
                                          : m_latin1)
        ->setChecked(true);
    m_filling = false;
}

Preferences FrmPreferences::chosen() const
{
    Preferences p = preferences::current();
    p.fontFamily = m_family;
    p.fontSize = m_fontSize->value();
    p.tabWidth = m_tabWidth->value();
    p.tabSpaces = m_tabSpaces->isChecked();
    p.lineNumbers = m_lineNumbers->isChecked();
    p.currentLine = m_currentLine->isChecked();
    p.scheme = kSchemes[qBound(0, m_scheme->currentIndex(), 2)];
    p.view = m_viewTabs->isChecked() ? preferences::DocumentView::Tabs : preferences::DocumentView::Windows;
    p.reopenSession = m_reopen->isChecked();
    return p;
}

TextFormat FrmPreferences::chosenFormat() const
{
    TextFormat f;
    f.lineEnd = m_lf->isChecked() ? LineEnd::Lf : LineEnd::CrLf;
    f.encoding = m_utf8Bom->isChecked() ? Encoding::Utf8Bom
                 : m_utf8->isChecked()  ? Encoding::Utf8
                                        : Encoding::Latin1;
    return f;
}

void FrmPreferences::changed()
{
    if (m_filling)
        return;
    preferences::setCurrent(chosen());
    if (chosenFormat() != documents::NewDocumentFormat())
        documents::setNewDocumentFormat(chosenFormat());
}

void FrmPreferences::restoreDefaults()
{
    fill(Preferences::defaults(), TextFormat::classic());
    changed();
}
