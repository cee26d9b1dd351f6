#include "extensions.h"
