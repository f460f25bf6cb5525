#pragma once

#include "platform/textcontrol.h"

namespace tools {

// The text box of the snip tools: a text control (bytes kept exactly) in
// which a double-click selects the whole text rather than a word.
class SelectAllBox : public TextControl
{
    Q_OBJECT

public:
    using TextControl::TextControl;

protected:
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    void selectEverything();
    bool m_afterDoubleClick = false;
};

} // namespace tools
