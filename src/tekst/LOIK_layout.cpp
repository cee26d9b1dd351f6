#include "tekst/LOIK.h"
