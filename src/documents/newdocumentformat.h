#pragma once

#include "platform/textformat.h"

// The format of new documents (and of ASCII files, which could be either),
// kept in the settings store. The classic format until the user picks another.
namespace documents {

TextFormat NewDocumentFormat();
void setNewDocumentFormat(const TextFormat &format);

} // namespace documents
