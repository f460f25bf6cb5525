#include "tools/selectallbox.h"

#include <QMouseEvent>

namespace tools {

void SelectAllBox::selectEverything()
{
    if (length() > 0)
        selectAllText();
}

void SelectAllBox::mouseDoubleClickEvent(QMouseEvent *e)
{
    TextControl::mouseDoubleClickEvent(e);
    if (e->button() != Qt::LeftButton)
        return;
    m_afterDoubleClick = true;
    selectEverything();
}

void SelectAllBox::mouseMoveEvent(QMouseEvent *e)
{
    // Dragging on after a double-click would shrink the selection to words again.
    if (m_afterDoubleClick && (e->buttons() & Qt::LeftButton)) {
        e->accept();
        return;
    }
    TextControl::mouseMoveEvent(e);
}

void SelectAllBox::mouseReleaseEvent(QMouseEvent *e)
{
    TextControl::mouseReleaseEvent(e);
    if (m_afterDoubleClick && e->button() == Qt::LeftButton) {
        m_afterDoubleClick = false;
        selectEverything();
    }
}

} // namespace tools
