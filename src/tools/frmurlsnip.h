#pragma once

#include "tools/grabtarget.h"

#include <QWidget>

class DocumentWindow;
class QLabel;
class QLineEdit;
class QPushButton;

namespace platform {
class UrlFetch;
}

namespace tools {

class SelectAllBox;

// The URL snip tool: fetches a web address into a box, and "G&rab text" puts
// the part selected there into the document it was opened from.
class FrmUrlSnip : public QWidget
{
    Q_OBJECT

public:
    // Tools > "&Url Snip": loads the one window if needed, points it at the
    // document and shows it.
    static FrmUrlSnip *showFor(DocumentWindow &document);
    static FrmUrlSnip *instance(); // null when not loaded (or closing)

    QString tag() const { return m_target.tag(); }
    const GrabTarget &target() const { return m_target; }
    void setTarget(const GrabTarget &target) { m_target = target; }
    // The transfer, so its limits can be set.
    platform::UrlFetch *transfer() const { return m_fetch; }

    void Load();
    void Grab();

protected:
    void closeEvent(QCloseEvent *e) override;

private:
    explicit FrmUrlSnip(QWidget *parent);

    QLabel *m_addressLabel;
    QLineEdit *m_addressBox;
    QLabel *m_hintLabel;
    QPushButton *m_loadButton;
    SelectAllBox *m_pageBox;
    QLabel *m_stateLabel;
    QLabel *m_sizeLabel;
    QPushButton *m_grabButton;
    QPushButton *m_cancelButton;
    platform::UrlFetch *m_fetch;
    GrabTarget m_target;
    bool m_closing = false; // closed while a transfer ran: goes once it has stopped
};

} // namespace tools
