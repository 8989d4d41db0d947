#pragma once
#include <QIcon>

// The main window's image list: menu and tool bar images by the index the actions use
// (0 Cut, 1 Copy, 2 Paste, 7 Open, 8 Save, 15 Tile Horizontally, 16 Tile Vertically,
// 17 Cascade). Other indices give an empty icon.
QIcon ImageListIcon(int index);
