#include "framework/ui/CLabelView.h"

#include <QLabel>
#include <cstring>

#include "framework/ui/UiText.h"

CLabelView::CLabelView(SViewParent parent, const SRect& bounds, const char* text)
    : CView(parent, bounds, new QLabel)
{
    Label()->setWordWrap(true);
    Label()->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Texts come from servers and users: never read them as markup.
    Label()->setTextFormat(Qt::PlainText);
    if (text) SetText(text, uint32_t(std::strlen(text)));
}

QLabel* CLabelView::Label() const
{
    return static_cast<QLabel*>(Widget());
}

void CLabelView::SetText(const uint8_t* pstring)
{
    Label()->setText(PStringToQString(pstring));
}

void CLabelView::SetText(const void* text, uint32_t length)
{
    Label()->setText(ToQString(text, length));
}

void CLabelView::SetBold(bool bold)
{
    QFont f = Label()->font();
    f.setBold(bold);
    Label()->setFont(f);
}
