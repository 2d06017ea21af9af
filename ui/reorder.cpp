// Reordering the list.
#include "ui/reorder.h"

void BeginRowDrag(HWND, const NMLISTVIEW *)
{
}
