// The Labels page: renaming and resetting the field labels.
#pragma once
