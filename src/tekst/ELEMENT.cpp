#include "tekst/ELEMENT.h"
