#include "views/profile_menu.h"

#include "base/app_handles.h"
#include "base/text.h"
#include "base/wait_cursor.h"
#include "platform/shell/aygshell.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "store/profiles.h"
#include "views/list_views.h"

#include <cstdlib>
#include <cwchar>

static HMENU ProfilesMenu()
{
    if (!hMenuBar)
        return nullptr;
    return reinterpret_cast<HMENU>(SendMessageW(hMenuBar, SHCMBM_GETSUBMENU, 0, IDM_PROFILES));
}

int BuildProfilesMenu(const wchar_t* activeProfile)
{
    CategoryName* profiles = nullptr;
    const int count = ListProfiles(&profiles);
    profileCount = count;
    HMENU menu = ProfilesMenu();
    if (menu) {
        const bool all = std::wcscmp(activeProfile, ALL_PROFILES) == 0;
        CheckMenuItem(menu, IDM_PROFILE_FIRST, MF_BYCOMMAND | (all ? MF_CHECKED : MF_UNCHECKED));
        while (GetMenuItemCount(menu) > 2)
            DeleteMenu(menu, 2, MF_BYPOSITION);
        for (int i = 0; i < count; ++i) {
            const UINT id = IDM_PROFILE_FIRST + 1 + i;
            AppendMenuW(menu, MF_STRING, id, profiles[i]);
            if (std::wcscmp(profiles[i], activeProfile) == 0)
                CheckMenuItem(menu, id, MF_BYCOMMAND | MF_CHECKED);
        }
    }
    std::free(profiles);
    return count;
}

void SetUpActiveProfile()
{
    if (!IsStoredProfile(settings.activeprofilename))
        CopyText(settings.activeprofilename, ALL_PROFILES);
    BuildProfilesMenu(settings.activeprofilename);
    BuildCategoryRestriction(settings.activeprofilename);
}

static void Repaint(HWND window)
{
    if (window) {
        InvalidateRect(window, nullptr, TRUE);
        UpdateWindow(window);
    }
}

void SelectProfile(int commandId)
{
    HMENU menu = ProfilesMenu();
    if (menu) {
        for (int id = IDM_PROFILE_FIRST; id <= IDM_PROFILE_FIRST + profileCount; ++id)
            CheckMenuItem(menu, id, MF_BYCOMMAND | MF_UNCHECKED);
        CheckMenuItem(menu, commandId, MF_BYCOMMAND | MF_CHECKED);
        wchar_t name[CATEGORY_NAME_CAPACITY] = L"";
        if (GetMenuStringW(menu, commandId, name, CATEGORY_NAME_CAPACITY, MF_BYCOMMAND) <= 0)
            name[0] = 0;
        CopyText(settings.activeprofilename, name);
    } else {
        // Without a menu bar (hibernation) the name comes from the volume.
        CategoryName* profiles = nullptr;
        const int count = ListProfiles(&profiles);
        const int index = commandId - IDM_PROFILE_FIRST - 1;
        CopyText(settings.activeprofilename, index >= 0 && index < count ? profiles[index] : ALL_PROFILES);
        std::free(profiles);
    }
    SaveSetting(&Settings::activeprofilename);
    BuildCategoryRestriction(settings.activeprofilename);

    SetWaitCursor(true);
    FillContactsList();
    SetWaitCursor(false);
    SelectRowByTap(ContactsList(), 0);
    EnableNewActivity(contactCount > 0);
    Repaint(ContactsList());
    Repaint(ActivityList());
    Repaint(NotesPane());
}
