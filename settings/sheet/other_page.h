// The Other page: fonts, display flags, the backup choice, the contact editor and the orphan tools.
#pragma once
