#include "Olekuriba.h"
