// The Color page: the colours of lists, notes and popup.
#pragma once
