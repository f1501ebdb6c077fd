// Database info: how many activities, labels and contacts the program holds,
// for the About box.
#pragma once
