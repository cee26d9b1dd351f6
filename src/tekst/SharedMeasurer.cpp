#include "tekst/SharedMeasurer.h"
