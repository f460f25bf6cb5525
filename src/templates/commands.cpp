#include "templates/commands.h"

namespace templates {

void attach(DocumentWindow &) {}

void ShowTemplateDialog() {}

} // namespace templates
