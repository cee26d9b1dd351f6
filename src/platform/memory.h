#pragma once

#include <QtGlobal>

// The memory, in bytes, that the process can still take without driving the system into swapping
// or past the limit of its control group: the kernel's estimate of available memory, lowered to what
// the control group still allows. Read afresh at every call; never 0.
qint64 availableMemory();
