#pragma once

#include <QString>

class MdiMain;

// Start-up: the work folder, the viewer settings, the frame and the file named
// on the command line. Returns the frame, shown.
MdiMain *Startup(const QString &argumentText);
