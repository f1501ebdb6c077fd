// The device's contact card, which the contact source opens modally.
#pragma once

// Timer 1 of the main window, started before the card opens: shows the open
// card's "Summary" view. Without a card it does nothing.
void SwitchContactCardToSummary();
