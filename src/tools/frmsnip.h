#pragma once

#include "platform/filedialog.h"
#include "tools/grabtarget.h"

#include <QWidget>

class DocumentWindow;
class QPushButton;

namespace tools {

class SelectAllBox;

// The snip tool: loads another file into a box of its own, and "Grab text"
// puts the part selected there into the document it was opened from.
class FrmSnip : public QWidget
{
    Q_OBJECT

public:
    // Tools > "&Snip": loads the one snip window if needed, points it at the
    // document and shows it. Its text stays when it was open already.
    static FrmSnip *showFor(DocumentWindow &document);
    static FrmSnip *instance(); // null when not loaded

    QString tag() const { return m_target.tag(); }
    const GrabTarget &target() const { return m_target; }
    void setTarget(const GrabTarget &target) { m_target = target; }

    void Open();
    void LoadSnipFile(const QString &path);
    void Grab();

private:
    explicit FrmSnip(QWidget *parent);
    void onFilesDropped(const QStringList &paths);

    SelectAllBox *m_snipBox;
    QPushButton *m_openButton;
    QPushButton *m_grabButton;
    QPushButton *m_cancelButton;
    platform::FileDialog m_fileDialog;
    GrabTarget m_target;
};

} // namespace tools
