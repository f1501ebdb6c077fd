#include "settings/settings.h"

#include <cstdlib>
#include <initializer_list>

static bool AllocateOne(int** array)
{
    free(*array);
    *array = static_cast<int*>(calloc(1, sizeof(int)));
    return *array != nullptr;
}

bool AllocateSettingArrays()
{
    bool ok = AllocateOne(&settings.lv1columnorder);
    ok = AllocateOne(&settings.lv2columnorder) && ok;
    ok = AllocateOne(&settings.exportcontactfield) && ok;
    ok = AllocateOne(&settings.exportactivityfield) && ok;
    return ok;
}

void FreeSettingArrays()
{
    for (int** array : {&settings.lv1columnorder, &settings.lv2columnorder, &settings.exportcontactfield,
                        &settings.exportactivityfield}) {
        free(*array);
        *array = nullptr;
    }
}
