#include "editor/menutree.h"

#include <QAction>
#include <QMenu>
#include <QVariant>
#include <QWidget>

namespace menutree {

const std::vector<Entry> &documentMenu()
{
    static const std::vector<Entry> rows = {
        {0, "&File", "mnuFile", nullptr, Submenu},
        {1, "&New", "mnuNewSelection", nullptr, Submenu},
        {2, "New &Documents", "mnuFileNew", "Ctrl+N"},
        {2, nullptr, "mnuNewCut", nullptr, Separator},
        {2, "New From Templates", "mnuNewTemplate", nullptr},
        {1, "&Open", "mnuFileOpenSelection", nullptr, Submenu},
        {2, "O&pen", "mnuFileOpen", "Ctrl+O"},
        {2, nullptr, "mnuOpenCut", nullptr, Separator},
        {2, "Recent Items", "mnuOpenRecent", nullptr, Hidden, 0},
        {1, nullptr, "mnuFileCut", nullptr, Separator},
        {1, "&Save", "mnuFileSave", "Ctrl+S"},
        {1, "Save &As", "mnuFileSaveAs", nullptr},
        {1, nullptr, "mnuFileCut03", nullptr, Separator},
        {1, "&Save Binary", "mnuFileSaveBinary", nullptr},
        {1, nullptr, "mnuFileCut02", nullptr, Separator},
        {1, "&Print", "mnuFilePrint", "Ctrl+P"},
        {1, "&Add File To Project", "mnuFileAddtoProject", nullptr, Hidden},
        {1, nullptr, "mnuFileCut3", nullptr, Separator},
        {1, "&Close", "mnuFileClose", nullptr},
        {1, "&Exit", "mnuFileExit", nullptr},
        {0, "&Edit", "mnuEdit", nullptr, Submenu},
        {1, "&Undo", "mnuEditUndo", "Ctrl+Z"},
        {1, nullptr, "mnuEditCut01", nullptr, Separator},
        {1, "&Cut", "mnuEditCut", nullptr},
        {1, "&Copy", "mnuEditCopy", nullptr},
        {1, "&Paste", "mnuEditPaste", nullptr},
        {1, nullptr, "mnuEditCut02", nullptr, Separator},
        {1, "Select All", "mnuEditSelectAll", "Ctrl+A"},
        {1, nullptr, "mnuEditCut03", nullptr, Separator},
        {1, "Find...", "mnuEditFind", "Ctrl+F"},
        {1, "Find Next", "mnuEditFindNext", "F3"},
        {1, "Replace...", "mnuEditReplace", "Ctrl+H"},
        {1, "Go To Line...", "mnuEditGoToLine", "Ctrl+G"},
        {1, nullptr, "mnuEditCut04", nullptr, Separator},
        {1, "Find in Files...", "mnuFindInFiles", "Ctrl+Shift+F"},
        {1, "Next Result", "mnuEditNextResult", "F8"},
        {1, "Previous Result", "mnuEditPreviousResult", "Shift+F8"},
        {0, "&Selection", "mnuSelection", nullptr, Submenu},
        {1, "Capitalize", "mnuSelectionCapitalize", nullptr, Submenu},
        {2, "First Letters", "mnuCapitalizeFirstLetters", nullptr},
        {2, "All Letters", "mnuCapitalAllLetters", nullptr},
        {1, "Lower Case All", "MnuLowerCase", nullptr},
        {1, "Clear", "mnuSelectClear", nullptr},
        {0, "In&sert", "mnuInsert", nullptr, Submenu},
        {1, "Stamp", "mnuStamp", nullptr, Submenu},
        {2, "&Date", "mnuInsertStampDate", nullptr},
        {2, "&Copyright", "mnuCopyright", nullptr},
        {1, "CSS", "mnuInsertCSS", nullptr, Submenu},
        {2, "Add Class", "mnuInsertCSSClass", nullptr},
        {2, "Add ID", "mnuInsertCSSID", nullptr},
        {2, "Add Name", "mnuInsertCSSName", nullptr},
        {1, "C&PP / C", "mnuInsertCPP", nullptr, Submenu},
        {2, "&Include", "mnuInsertCPPInclude", nullptr},
        {2, "&Namespace", "mnuInsertCPPNameSpace", nullptr},
        {2, "Console Heading", "mnuInsertCPPHeading", nullptr},
        {1, "&HTML", "mnuInsertHTML", nullptr, Submenu},
        {2, "<P>...</P>", "mnuInsertHTMLP", nullptr},
        {2, "SPAN", "mnuInsertHTMLSpan", "Shift+F3"},
        {2, "Line Break", "mnuInsertHTMLLineBreak", "Ctrl+Ins"},
        {2, "Heading", "mnuInsertHTMLHeading", nullptr, Submenu},
        {3, "H &1", "mnuInsertHTMLHeading1", nullptr},
        {2, "Insert L&ink", "mnuLink", nullptr, Submenu},
        {3, "Anchor Link", "mnuInsertLinkAnchor", "Ctrl+L"},
        {3, "Email Link", "mnuInsertLinkEmail", "Ctrl+E"},
        {2, "&Bold Text", "mnuInsetBoldText", "Ctrl+B"},
        {2, "&Underline", "mnuInsertHtmlUnderline", "Ctrl+U"},
        {2, "Itali&c", "mnuHTMLInsertItalic", "Ctrl+I"},
        {2, "&Style", "mnuInsertHTMLStyle", nullptr},
        {2, "Table", "mnuInsertHTMLTable", nullptr},
        {2, "Image Tag", "mnuInsertHTMLImage", nullptr},
        {2, "body", "mnuInsertHTMLBody", nullptr},
        {2, "div", "mnuInsertHTMLDiv", nullptr},
        {2, "form", "mnuInsertHTMLForm", nullptr},
        {2, "Frames", "mnuInsertHTMLFrames", nullptr},
        {2, "Scrolling Marquee", "mnuInsertHTMLScrolling", nullptr},
        {2, "&Font", "mnuInsertHTMLFont", nullptr},
        {2, "Title", "mnuInsertHTMLTitle", nullptr},
        {2, "Header", "mnuInsertHTMLHeader", nullptr},
        {0, "&Tools", "mnuTools", nullptr, Submenu},
        {1, "&Execute", "mnuToolsExecute", nullptr},
        {1, "&Snip", "mnuToolsSnip", "Ctrl+F12"},
        {1, "I&nsert Box", "mnuToolsInsertBox", nullptr},
        {1, "Inse&rt Text", "mnuToolsInsertText", "F4"},
        {1, "&Url Snip", "mnuToolsUrlSnip", nullptr},
        {1, nullptr, "mnuToolsCut01", nullptr, Separator},
        {1, "&Quick Search", "mnuToolsQuickSearch", nullptr},
        {1, "&Project List", "mnuToolsProjectList", nullptr, Hidden},
        {0, "&View", "mnuView", nullptr, Submenu},
        {1, "Program &1", "mnuViewProgram", "Ctrl+F1", None, 0},
        {1, "Program &2", "mnuViewProgram", "Ctrl+F2", None, 1},
        {1, "Program &3", "mnuViewProgram", "Ctrl+F3", None, 2},
        {1, nullptr, "mnuViewCut", nullptr, Separator},
        {1, "Win&dows", "mnuViewList", nullptr, Submenu},
        {1, nullptr, "mnuViewCut02", nullptr, Separator},
        {1, "Word Wrap", "mnuViewWordWrap", nullptr, Checkable},
        {0, "&Options", "mnuOptions", nullptr, Submenu},
        {1, "Character Mode", "mnuCharacterMode", nullptr, Checkable},
        {1, "&Set Viewers", "mnuSetViewer", nullptr},
        {1, "Preferences...", "mnuPreferences", nullptr},
        {1, nullptr, "mnuOptionsCut01", nullptr, Separator},
        {1, "Line Ends", "mnuOptionsLineEnds", nullptr, Submenu},
        {2, "CR LF", "mnuLineEndsCRLF", nullptr, Checkable},
        {2, "LF", "mnuLineEndsLF", nullptr, Checkable},
        {1, "Encoding", "mnuOptionsEncoding", nullptr, Submenu},
        {2, "Latin-1", "mnuEncodingLatin1", nullptr, Checkable},
        {2, "UTF-8", "mnuEncodingUTF8", nullptr, Checkable},
        {2, "UTF-8 with BOM", "mnuEncodingUTF8BOM", nullptr, Checkable},
        {1, "Reopen With Encoding", "mnuOptionsReopen", nullptr, Submenu},
        {2, "Latin-1", "mnuReopenLatin1", nullptr},
        {2, "UTF-8", "mnuReopenUTF8", nullptr},
        {0, "&Help", "mnuHelp", nullptr, Submenu},
        {1, "&About", "mnuHelpAbout", nullptr},
    };
    return rows;
}

const std::vector<Entry> &frameMenu()
{
    static const std::vector<Entry> rows = {
        {0, "&File", "mnuFile", nullptr, Submenu},
        {1, "&New", "mnuNewSelection", nullptr, Submenu},
        {2, "&New Document", "mnuNew", "Ctrl+N"},
        {2, nullptr, "mnuNewCut01", nullptr, Separator},
        {2, "New from Template", "mnuTemplates", nullptr},
        {1, "&Open", "mnuOpen", "Ctrl+O"},
        {1, nullptr, "mnuCut01", nullptr, Separator},
        {1, "&Exit", "mnuExit", nullptr},
        {0, "&Edit", "mnuEdit", nullptr, Submenu},
        {1, "Document From Clip", "mnuDFClip", "Ctrl+V"},
        {0, "&Tools", "mnuTools", nullptr, Submenu},
        {1, "&Quick Search", "mnuToolsQuickSearch", nullptr},
        {1, "Find in Files...", "mnuToolsFindInFiles", "Ctrl+Shift+F"},
        {1, "&Project List", "mnuPL", nullptr, Hidden},
        {0, "&Options", "mnuOptions", nullptr, Submenu},
        {1, "&View settings", "mnuViewSettings", nullptr},
        {1, "New Document Format...", "mnuNewDocumentFormat", nullptr},
        {1, "Preferences...", "mnuPreferences", nullptr},
        {0, "&Help", "mnuHelp", nullptr, Submenu},
        {1, "&About", "mnuHelpAbout", nullptr},
    };
    return rows;
}

QList<QKeySequence> allShortcuts()
{
    QList<QKeySequence> out;
    for (const auto *rows : {&documentMenu(), &frameMenu()})
        for (const Entry &e : *rows)
            if (e.shortcut)
                out << QKeySequence(QString::fromLatin1(e.shortcut), QKeySequence::PortableText);
    return out;
}

QAction *Built::find(const QString &name, int index) const
{
    for (QAction *a : actions)
        if (a->objectName() == name && (index < 0 || a->property("index").toInt() == index))
            return a;
    return nullptr;
}

Built build(const std::vector<Entry> &rows, QWidget *owner)
{
    Built out;
    QList<QMenu *> stack; // the open submenu of each level
    for (const Entry &e : rows) {
        const QString name = QString::fromLatin1(e.name);
        const QString caption = e.caption ? QString::fromUtf8(e.caption) : QString();
        QMenu *parentMenu = e.level > 0 ? stack.value(e.level - 1) : nullptr;
        QAction *action = nullptr;
        if (e.flags & Submenu) {
            QMenu *menu = new QMenu(caption, owner);
            menu->setObjectName(name);
            action = menu->menuAction();
            if (parentMenu)
                parentMenu->addMenu(menu);
            else
                out.topLevel << menu;
            while (stack.size() > e.level)
                stack.removeLast();
            stack << menu;
        } else if (e.flags & Separator) {
            action = parentMenu->addSeparator();
        } else {
            action = new QAction(caption, owner);
            if (e.shortcut)
                action->setShortcut(
                    QKeySequence(QString::fromLatin1(e.shortcut), QKeySequence::PortableText));
            action->setCheckable(e.flags & Checkable);
            parentMenu->addAction(action);
        }
        action->setObjectName(name);
        action->setProperty("index", e.index);
        if (e.flags & Hidden)
            action->setVisible(false);
        out.actions << action;
    }
    return out;
}

QString escapeAmpersands(const QString &text)
{
    QString t = text;
    t.replace(QLatin1Char('&'), QLatin1String("&&"));
    return t;
}

} // namespace menutree
