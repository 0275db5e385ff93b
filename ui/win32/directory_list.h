#pragma once

#include "ui/form/folder_listing.h"
#include "ui/win32/windows_api.h"

namespace velnor {

// Dir1, on an owner-drawn list box: the lines the form lists, each indented by
// its depth, the open folder's selected. Double-click or Enter opens a line.

// The list box shows listing; each line keeps its depth as its item data.
void ShowFolders(HWND listBox, const form::FolderListing& listing);
// WM_DRAWITEM for one line.
void DrawFolderLine(const DRAWITEMSTRUCT& item);

} // namespace velnor
