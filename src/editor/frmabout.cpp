#include "editor/frmabout.h"

#include "platform/apphelpers.h"
#include "platform/prompts.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QShortcut>
#include <QVBoxLayout>

namespace {

QPixmap aboutPicture()
{
    QPixmap pm(96, 96);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    // A sheet of paper with a few lines of text and a quill across it.
    p.setPen(QPen(QColor(90, 90, 90), 2));
    p.setBrush(QColor(250, 250, 245));
    p.drawRect(14, 8, 56, 76);
    p.setPen(QPen(QColor(150, 150, 170), 2));
    for (int y = 22; y < 76; y += 10)
        p.drawLine(22, y, 62, y);
    QPainterPath quill;
    quill.moveTo(40, 70);
    quill.cubicTo(55, 40, 75, 20, 90, 6);
    quill.cubicTo(80, 30, 65, 55, 40, 70);
    p.setPen(QPen(QColor(60, 40, 20), 1.5));
    p.setBrush(QColor(200, 160, 90));
    p.drawPath(quill);
    return pm;
}

QPointer<FrmAbout> g_about;

} // namespace

FrmAbout::FrmAbout(QWidget *parent) : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto *frame = new QVBoxLayout(this);
    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setPixmap(aboutPicture());
    picture->setAlignment(Qt::AlignCenter);
    auto *title = new QLabel(this);
    title->setObjectName(QStringLiteral("lblTitle"));
    title->setText(platform::appTitle());
    title->setAlignment(Qt::AlignCenter);
    QFont f = title->font();
    f.setPointSize(f.pointSize() + 6);
    f.setBold(true);
    title->setFont(f);
    auto *credit = new QLabel(tr("Written by the Quillpad Basic developers"), this);
    credit->setObjectName(QStringLiteral("lblAuthor"));
    credit->setAlignment(Qt::AlignCenter);
    // A label serving as the button: "&OK" with O as its access key.
    m_ok = new QLabel(QStringLiteral("<u>O</u>K"), this);
    m_ok->setObjectName(QStringLiteral("lblOK"));
    m_ok->setTextFormat(Qt::RichText);
    auto *key = new QShortcut(QKeySequence(QStringLiteral("Alt+O")), this);
    connect(key, &QShortcut::activated, this, &QWidget::close);
    m_ok->setAlignment(Qt::AlignCenter);
    m_ok->setMinimumWidth(80);
    m_ok->setFrameShape(QFrame::NoFrame);
    m_ok->installEventFilter(this);
    frame->addWidget(picture);
    frame->addWidget(title);
    frame->addWidget(credit);
    frame->addSpacing(8);
    frame->addWidget(m_ok, 0, Qt::AlignHCenter);
    setStyleSheet(QStringLiteral("FrmAbout { border: 1px solid #777; background: #fdfdf8; }"));
    setAutoFillBackground(true);
    resize(320, 260);
}

bool FrmAbout::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == m_ok) {
        if (e->type() == QEvent::MouseButtonPress) {
            m_ok->setFrameShape(QFrame::Box);
            m_ok->setLineWidth(1);
            return true;
        }
        if (e->type() == QEvent::MouseButtonRelease) {
            m_ok->setFrameShape(QFrame::NoFrame);
            if (m_ok->rect().contains(static_cast<QMouseEvent *>(e)->position().toPoint()))
                close();
            return true;
        }
    }
    return QWidget::eventFilter(watched, e);
}

FrmAbout *FrmAbout::showAbout()
{
    if (!g_about)
        g_about = new FrmAbout;
    platform::CenterWindow(g_about);
    g_about->show();
    g_about->raise();
    return g_about;
}
