// The soft input panel's state, as the shell reports it.
#pragma once

// 1 while the input panel is up.
int IsInputPanelShown();
