#pragma once

#include <QStringList>

// The headless interface of the velmora program (--layout-json, --screenshot) and the normal start.
int runVelmora(int argc, char** argv);
