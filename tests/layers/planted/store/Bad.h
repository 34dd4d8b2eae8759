#include "week/Fine.h"
