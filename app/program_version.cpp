#include "app/program_version.h"

const char kProgramVersion[] = ZBUFFER_VERSION;
