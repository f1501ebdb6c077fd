// The colour selector: presets and a lightness slider over HSL.
#pragma once
