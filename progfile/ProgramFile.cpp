#include "progfile/ProgramFile.h"
