#include "tekst/Tekstiboks.h"
