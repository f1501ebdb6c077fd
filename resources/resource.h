// Resource ids.
#pragma once

#define IDI_VANTARO 1

#include "about_box_ids.h"
#include "activity_dialog_ids.h"
#include "color_page_ids.h"
#include "colour_selector_ids.h"
#include "contact_popup_ids.h"
#include "descriptor_page_ids.h"
#include "display_page_ids.h"
#include "export_dialog_ids.h"
#include "labels_page_ids.h"
#include "message_box_ids.h"
#include "other_page_ids.h"
#include "profiles_page_ids.h"
#include "progress_window_ids.h"
#include "purge_dialog_ids.h"
#include "shell_ids.h"
