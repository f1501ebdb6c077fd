// Resource ids.
#pragma once

#define IDI_VANTARO 1

#include "shell_ids.h"
