#include "projects/commands.h"

namespace projects {

void attach(DocumentWindow &) {}

void ShowProjectWindow() {}

} // namespace projects
