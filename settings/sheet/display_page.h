// The Display page: which fields are the columns of both lists.
#pragma once
