#include "tekst/ELPILT.h"
