// The labels of the client's dialogs: the default font at size 9.
#pragma once

#include "framework/ui/CView.h"

class CLabelView;

// `text` is in the client's character set.
CLabelView* MakeDialogLabel(SViewParent parent, const SRect& bounds, const char* text, bool bold = false);
