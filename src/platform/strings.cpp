#include "platform/strings.h"
