// The notes pane under the activity list: the marked activity's Notes,
// saved at every key release.
#pragma once
#include <windows.h>

extern WNDPROC previousNotesPaneProc;
LRESULT CALLBACK NotesPaneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam);
// Writes the pane's text (at most 399 characters) into the marked activity.
void SaveNotesOfMarkedActivity();
// Shows an activity's notes; empty text for none.
void ShowNotes(const wchar_t* notes);
