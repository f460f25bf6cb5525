#pragma once

#include <QString>

// The system clipboard, plain text only.
namespace platform {

class Clipboard
{
public:
    virtual ~Clipboard() = default;
    virtual bool hasText() = 0;
    virtual QString text() = 0;
    virtual void setText(const QString &text) = 0;
};

Clipboard &clipboard();
void setClipboard(Clipboard *c); // nullptr restores the system clipboard

} // namespace platform
