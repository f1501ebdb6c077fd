// Resource ids.
#pragma once

#define IDI_VANTARO 1
