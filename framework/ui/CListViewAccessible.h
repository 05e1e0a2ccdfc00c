// What a screen reader hears from a self-drawn list: the list is a QAbstractScrollArea with no widget
// per row, so Qt alone would offer an empty area. The list reads as a list whose rows are items with the
// names their views give them ("Read Me.txt, 425 bytes"), marked selected and focused, and whose
// default action opens the row as a double click does.
#pragma once

class CListView;

namespace CListViewAccessible
{
// Installs the interface factory once per process; further calls do nothing.
void Install();
// The list's keyboard row moved while it has the focus: the row is announced.
void CursorMoved(CListView* list);
} // namespace CListViewAccessible
