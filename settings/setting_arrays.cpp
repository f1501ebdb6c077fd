#include "settings/settings.h"

#include <cstdlib>
#include <initializer_list>

int* lv1columnorder;
int* lv2columnorder;
int* exportcontactfield;
int* exportactivityfield;

static bool AllocateOne(int** array)
{
    free(*array);
    *array = static_cast<int*>(calloc(1, sizeof(int)));
    return *array != nullptr;
}

bool AllocateSettingArrays()
{
    bool ok = AllocateOne(&lv1columnorder);
    ok = AllocateOne(&lv2columnorder) && ok;
    ok = AllocateOne(&exportcontactfield) && ok;
    ok = AllocateOne(&exportactivityfield) && ok;
    return ok;
}

void FreeSettingArrays()
{
    for (int** array : {&lv1columnorder, &lv2columnorder, &exportcontactfield, &exportactivityfield}) {
        free(*array);
        *array = nullptr;
    }
}
