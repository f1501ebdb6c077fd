#include "contacts/contact_commands.h"

#include "contacts/contact_source.h"
#include "settings/settings.h"

void NewContact(HWND)
{
    // The other editor's calls come with its own integration; the device's
    // card reports the new contact to the main window itself.
    if (piminterface == 0)
        OpenContactEditor(0);
}
