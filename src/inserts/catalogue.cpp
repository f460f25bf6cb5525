#include "inserts/catalogue.h"

#include "platform/blanks.h"

namespace inserts {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

QString wrapOr(const QString &sel, const char *before, const char *after, const char *placeholder)
{
    if (sel.isEmpty())
        return QString::fromLatin1(placeholder);
    return QString::fromLatin1(before) + sel + QString::fromLatin1(after);
}

QString cssRule(const QString &selector)
{
    return selector + QStringLiteral(" {") + kCrLf + kCrLf + QStringLiteral("}");
}

QString link(const char *scheme, const QString &sel, const QString &answer)
{
    const QString target = platform::trimBlanks(answer).isEmpty() ? QStringLiteral("#") : answer;
    const QString text = sel.isEmpty() ? QStringLiteral("[Insert Text]") : sel;
    return QStringLiteral("<A href='") + QString::fromLatin1(scheme) + target +
           QStringLiteral("' target='_SELF'>") + text + QStringLiteral("</A>");
}

// The copyright and registered signs are written as Latin-1 code points so
// the fragment turns into exactly the bytes 0xA9 and 0xAE.
const QChar kCopyright(0xA9);
const QChar kRegistered(0xAE);

const std::vector<CatalogueEntry> kCatalogue = {
    {"mnuCopyright", Ask::None,
     [](const QString &, const QString &) -> QString {
         return QStringLiteral("Copyright ") + kCopyright +
                QStringLiteral(" 2010 of <QPLPROMPT>Company Name</QPLPROMPT>") + kRegistered +
                QStringLiteral(" Alrights reserved");
     }},
    {"mnuInsertCSSClass", Ask::CssClass,
     [](const QString &, const QString &a) -> QString { return cssRule(QStringLiteral(".") + a); }},
    {"mnuInsertCSSID", Ask::CssClass,
     [](const QString &, const QString &a) -> QString { return cssRule(QStringLiteral("#") + a); }},
    {"mnuInsertCSSName", Ask::CssClass,
     [](const QString &, const QString &a) -> QString { return cssRule(a); }},
    {"mnuInsertCPPInclude", Ask::None,
     [](const QString &sel, const QString &) -> QString {
         return wrapOr(sel, "#include \"", "\"", "#include <<QPLPROMPT>IncludeFIle</QPLPROMPT>>");
     }},
    {"mnuInsertCPPNameSpace", Ask::None,
     [](const QString &, const QString &) -> QString {
         return QStringLiteral("using namespace <QPLPROMPT>NameSpace</QPLPROMPT>;");
     }},
    {"mnuInsertCPPHeading", Ask::None,
     [](const QString &sel, const QString &) -> QString {
         // The selection becomes the body of main().
         return QStringLiteral("#include <iostream>") + kCrLf + kCrLf +
                QStringLiteral("using namespace std;") + kCrLf + QStringLiteral(" ") + kCrLf +
                QStringLiteral("int main(int agrc, char *agrv[])") + kCrLf + QStringLiteral("{") + kCrLf +
                kCrLf + sel + kCrLf + QStringLiteral("return 0;") + kCrLf + QStringLiteral("}");
     }},
    {"mnuInsertHTMLP", Ask::None,
     [](const QString &sel, const QString &) -> QString {
         return wrapOr(sel, "<P>", "</P>", "<P> [REPLACE WITH TEXT] </P>");
     }},
    {"mnuInsertHTMLSpan", Ask::SpanId,
     [](const QString &sel, const QString &a) -> QString {
         const QString head = QStringLiteral("<Span ID='") + a + QStringLiteral("' name='") + a +
                              QStringLiteral("' class='") + a + QStringLiteral("'>");
         return head + (sel.isEmpty() ? QStringLiteral("[INSERT TEXT HERE]") : sel) +
                QStringLiteral("</span>");
     }},
    {"mnuInsertHTMLLineBreak", Ask::None,
     [](const QString &, const QString &) -> QString { return QStringLiteral("<BR />"); }},
    {"mnuInsertHTMLHeading1", Ask::None,
     [](const QString &sel, const QString &) -> QString {
         return wrapOr(sel, "<h1>", "</h1>", "<h1> [REPLACE WITH TEXT] </h1>");
     }},
    {"mnuInsertLinkAnchor", Ask::AnchorLink,
     [](const QString &sel, const QString &a) -> QString { return link("", sel, a); }},
    {"mnuInsertLinkEmail", Ask::EmailLink,
     [](const QString &sel, const QString &a) -> QString { return link("mailto:", sel, a); }},
    {"mnuInsetBoldText", Ask::None,
     [](const QString &sel, const QString &) -> QString {
         return wrapOr(sel, "<B>", "</B>", "<B><!-- Paragraph //--></B>");
     }},
    {"mnuInsertHtmlUnderline", Ask::None,
     [](const QString &sel, const QString &) -> QString {
         return wrapOr(sel, "<U>", "</U>", "<U><!-- Paragraph //--></U>");
     }},
    {"mnuHTMLInsertItalic", Ask::None,
     [](const QString &sel, const QString &) -> QString {
         return wrapOr(sel, "<I>", "</I>", "<I><!-- Paragraph //--></I>");
     }},
    {"mnuInsertHTMLStyle", Ask::None,
     [](const QString &sel, const QString &) -> QString {
         if (!sel.isEmpty())
             return QStringLiteral("<STYLE>") + sel + QStringLiteral("</STYLE>");
         return QStringLiteral("<STYLE>") + kCrLf + QStringLiteral("BODY{") + kCrLf +
                QStringLiteral("BACKGROUND-COLOR: #FFFFFF;") + kCrLf + QStringLiteral("COLOR:#000000;") +
                kCrLf + QStringLiteral("}</STYLE>");
     }},
    {"mnuInsertHTMLTable", Ask::None,
     [](const QString &sel, const QString &) -> QString {
         return wrapOr(sel, "<TABLE BORDER=1><TR><TD>", "</TD></TR></TABLE>",
                       "<TABLE BORDER=1><TR><TD><!-- TABLE CONTENT //--></TD></TR></TABLE>");
     }},
    {"mnuInsertHTMLImage", Ask::None,
     [](const QString &sel, const QString &) -> QString {
         return wrapOr(sel, "<IMG SRC='", "'>", "<IMG SRC=''>");
     }},
    {"mnuInsertHTMLBody", Ask::None,
     [](const QString &sel, const QString &) -> QString {
         const QString body = sel.isEmpty() ? QStringLiteral("<H1>heading</H1>") : sel;
         return QStringLiteral("<BODY>") + kCrLf + body + kCrLf + QStringLiteral("</BODY>");
     }},
    {"mnuInsertHTMLDiv", Ask::None,
     [](const QString &sel, const QString &) -> QString {
         return wrapOr(sel, "<DIV>", "</DIV>", "<DIV><!-- CONTENTS //--></DIV>");
     }},
    {"mnuInsertHTMLForm", Ask::None,
     [](const QString &sel, const QString &) -> QString {
         if (!sel.isEmpty())
             return QStringLiteral("<FORM METHOD=POST ACTION=''>") + sel + QStringLiteral("</FORM>");
         return QStringLiteral("<FORM METHOD=POST ACTION=''>") + kCrLf +
                QStringLiteral("Email: <input type='textbox' name='email'>") + kCrLf +
                QStringLiteral("</form>");
     }},
    {"mnuInsertHTMLFrames", Ask::None,
     [](const QString &sel, const QString &) -> QString {
         return wrapOr(sel, "<FRAMESET COLS='25%, 65%, 10%'><FRAME SRC=''></FRAME><FRAME SRC='",
                       "'></FRAME><FRAME SRC=''></FRAME></FRAMESET>",
                       "<FRAMESET COLS='25%, 65%, 10%'><FRAME SRC=''></FRAME><FRAME SRC=''></FRAME>"
                       "<FRAME SRC=''></FRAME></FRAMESET>");
     }},
    {"mnuInsertHTMLScrolling", Ask::None,
     [](const QString &sel, const QString &) -> QString {
         return wrapOr(sel, "<MARQUEE DIRECTION='LEFT'>", "</MARQUEE>",
                       "<MARQUEE DIRECTION='LEFT'><!-- CONTENT //--></MARQUEE>");
     }},
    {"mnuInsertHTMLFont", Ask::None,
     [](const QString &sel, const QString &) -> QString {
         return wrapOr(sel, "<FONT COLOR=BLACK SIZE=12>", "</FONT>",
                       "<FONT COLOR=BLACK SIZE=12><!-- Paragraph //--></FONT>");
     }},
    {"mnuInsertHTMLTitle", Ask::None,
     [](const QString &sel, const QString &) -> QString {
         return wrapOr(sel, "<TITLE>", "</TITLE>", "<TITLE>TITLE</TITLE>");
     }},
    {"mnuInsertHTMLHeader", Ask::None,
     [](const QString &sel, const QString &) -> QString {
         const QString title = sel.isEmpty() ? QStringLiteral("TITLE") : sel;
         return QStringLiteral("<HEAD>") + kCrLf + QStringLiteral("<TITLE>") + title +
                QStringLiteral("</TITLE>") + kCrLf + QStringLiteral("</HEAD>");
     }},
};

} // namespace

const std::vector<CatalogueEntry> &catalogue()
{
    return kCatalogue;
}

const CatalogueEntry *findEntry(QStringView name)
{
    for (const CatalogueEntry &e : kCatalogue)
        if (name == QLatin1String(e.name))
            return &e;
    return nullptr;
}

InputBox inputBoxFor(Ask ask)
{
    switch (ask) {
    case Ask::CssClass:
        return {QStringLiteral("CSS CLASS"),
                QStringLiteral("Please Enter the class you'd like to add formatting for"), QString()};
    case Ask::SpanId:
        return {QStringLiteral("SPAN INSERT"), QStringLiteral("Enter ID for the span"),
                QStringLiteral("default")};
    case Ask::AnchorLink:
        return {QStringLiteral("Link"), QStringLiteral("Please Enter the link"), QStringLiteral("http://")};
    case Ask::EmailLink:
        return {QStringLiteral("Link"), QStringLiteral("Please Enter the email link"),
                QStringLiteral("name@example.com")};
    case Ask::None:
        break;
    }
    return {};
}

bool readsSelectionBeforeAsking(Ask ask)
{
    return ask == Ask::AnchorLink || ask == Ask::EmailLink;
}

std::optional<QString> fragment(const CatalogueEntry &entry, const QString &selection, const QString &answer)
{
    // Only the exact "" counts here: an answer of spaces still names a rule.
    if (entry.ask == Ask::CssClass && answer.isEmpty())
        return std::nullopt;
    return entry.build(selection, answer);
}

} // namespace inserts
