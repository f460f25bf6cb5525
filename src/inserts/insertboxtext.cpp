#include "inserts/insertboxtext.h"

namespace inserts {

namespace {
QString g_text;
}

const QString &InsertBoxText()
{
    return g_text;
}

void setInsertBoxText(const QString &text)
{
    g_text = text;
}

} // namespace inserts
