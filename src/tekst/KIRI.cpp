#include "tekst/KIRI.h"
