// The Profiles page: making, changing and deleting profiles.
#pragma once
