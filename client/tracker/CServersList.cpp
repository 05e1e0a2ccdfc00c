#include "client/tracker/CServersList.h"

#include <QFontMetrics>
#include <QPainter>
#include <QWidget>
#include <algorithm>
#include <cstring>

#include "client/widgets/UMyRowDrawing.h"
#include "framework/runtime/UText.h"
#include "framework/ui/UiText.h"

namespace
{
constexpr uint16_t kDefaultServerPort = 5500;
constexpr int32_t kRightMargin = 8;
} // namespace

CServersList::CServersList(SViewParent parent, const SRect& bounds) : CListView(parent, bounds, kRowHeight) {}

void CServersList::AddTrackerFromPointer(STrackInfo* server)
{
    mTrackList.push_back(server);
    if (server->Desc.size() > mBigDesc.size())
    {
        mBigDesc = server->Desc;
        // Measured as the rows draw it, so that the longest description can be scrolled to its end.
        const QFontMetrics metrics(UMyRowDrawing::ListFont(Widget()->font(), false));
        const int32_t width =
            metrics.horizontalAdvance(ToQString(mBigDesc.data(), uint32_t(mBigDesc.size())));
        if (width > mFarRight)
        {
            mFarRight = width;
            SetContentWidth(kDescLeft + mFarRight + kRightMargin);
        }
    }
    ItemsInserted(uint32_t(mTrackList.size() - 1), 1);
}

void CServersList::RemoveAll()
{
    mTrackList.clear();
    SetItemCount(0);
}

STrackInfo* CServersList::GetItem(uint32_t row) const
{
    return row >= 1 && row <= mTrackList.size() ? mTrackList[row - 1] : nullptr;
}

STrackInfo* CServersList::GetSelectInfo() const
{
    return GetItem(GetFirstSelected());
}

void CServersList::AddressText(const STrackInfo& s, uint8_t* out)
{
    const uint8_t* a = s.Address;
    if (s.Port == kDefaultServerPort)
        out[0] = uint8_t(UText::Format(out + 1, 255, "%hu.%hu.%hu.%hu", a[0], a[1], a[2], a[3]));
    else
        out[0] = uint8_t(UText::Format(out + 1, 255, "%hu.%hu.%hu.%hu:%hu", a[0], a[1], a[2], a[3], s.Port));
}

bool CServersList::GetSelectedServInfo(uint8_t* outName, uint8_t* outAddress) const
{
    const STrackInfo* s = GetSelectInfo();
    if (!s) return false;
    outName[0] = uint8_t(std::min<size_t>(s->Name.size(), 31));
    std::memcpy(outName + 1, s->Name.data(), outName[0]);
    AddressText(*s, outAddress);
    return true;
}

QString CServersList::GetItemDescription(uint32_t row) const
{
    const STrackInfo* s = GetItem(row);
    if (!s) return QString();
    QString text = ToQString(s->Name.data(), uint32_t(s->Name.size()));
    text += s->uCount == 1 ? QStringLiteral(", 1 user") : QStringLiteral(", %1 users").arg(s->uCount);
    if (!s->Desc.empty()) text += QStringLiteral(", ") + ToQString(s->Desc.data(), uint32_t(s->Desc.size()));
    return text;
}

void CServersList::DrawItem(QPainter& painter, const QRect& r, uint32_t row, bool selected, bool active)
{
    const STrackInfo* s = GetItem(row);
    if (!s) return;
    const QPalette& pal = Widget()->palette();
    if (selected) UMyRowDrawing::DrawSelection(painter, r.adjusted(1, 1, -1, 0), active, pal);
    UMyRowDrawing::DrawFrame(painter, r.adjusted(0, 0, 0, 1), pal);
    painter.setPen(pal.color(selected && active ? QPalette::HighlightedText : QPalette::Text));
    const QFont plain = UMyRowDrawing::ListFont(Widget()->font(), false);
    painter.setFont(plain);
    UMyRowDrawing::DrawText(painter, QRect(r.left() + 8, r.top(), 32, r.height()), PStringToQString(s->User),
                            Qt::AlignLeft);
    painter.setFont(UMyRowDrawing::ListFont(Widget()->font(), true));
    UMyRowDrawing::DrawText(painter, QRect(r.left() + 44, r.top(), 160, r.height()),
                            ToQString(s->Name.data(), uint32_t(s->Name.size())), Qt::AlignLeft);
    painter.setFont(plain);
    UMyRowDrawing::DrawText(painter,
                            QRect(r.left() + kDescLeft, r.top(), mFarRight + kRightMargin, r.height()),
                            ToQString(s->Desc.data(), uint32_t(s->Desc.size())), Qt::AlignLeft);
}
