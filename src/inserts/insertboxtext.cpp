#include "inserts/insertboxtext.h"

namespace inserts {

namespace {
QByteArray g_text;
}

const QByteArray &InsertBoxText() { return g_text; }

void setInsertBoxText(QByteArrayView text) { g_text = text.toByteArray(); }

} // namespace inserts
