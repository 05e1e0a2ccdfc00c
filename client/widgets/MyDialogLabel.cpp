#include "client/widgets/MyDialogLabel.h"

#include <QFont>
#include <QWidget>

#include "framework/ui/CLabelView.h"

CLabelView* MakeDialogLabel(SViewParent parent, const SRect& bounds, const char* text, bool bold)
{
    auto* label = new CLabelView(parent, bounds, text);
    QFont f = label->Widget()->font();
    f.setPointSize(9);
    f.setBold(bold);
    label->Widget()->setFont(f);
    return label;
}
