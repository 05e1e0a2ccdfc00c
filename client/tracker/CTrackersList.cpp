#include "client/tracker/CTrackersList.h"

#include <QIcon>
#include <QPainter>
#include <QWidget>
#include <cstring>

#include "client/widgets/UMyRowDrawing.h"
#include "framework/runtime/KeyCommands.h"
#include "framework/ui/UIcons.h"
#include "framework/ui/UiText.h"

namespace
{
constexpr int16_t kIconTick = 2020;

void Copy(uint8_t* dest, const uint8_t* src)
{
    dest[0] = src ? src[0] : 0;
    if (dest[0]) std::memcpy(dest + 1, src + 1, dest[0]);
}

void Fill(STrackServerInfo& t, const uint8_t* name, const uint8_t* comments, const uint8_t* address,
          const uint8_t* login, const uint8_t* password, int16_t hasAccount)
{
    Copy(t.Name, name);
    Copy(t.Comments, comments);
    Copy(t.Address, address);
    Copy(t.Login, login);
    Copy(t.Pass, password);
    t.hasAccount = hasAccount;
}
} // namespace

CTrackersList::CTrackersList(SViewParent parent, const SRect& bounds) : CListView(parent, bounds, kRowHeight)
{
}

STrackServerInfo* CTrackersList::AddTracker(const uint8_t* name, const uint8_t* comments,
                                            const uint8_t* address, const uint8_t* login,
                                            const uint8_t* password, int16_t hasAccount, int16_t use,
                                            int16_t id)
{
    auto entry = std::make_unique<STrackServerInfo>();
    Fill(*entry, name, comments, address, login, password, hasAccount);
    entry->useServer = use;
    entry->ID = id;
    STrackServerInfo* raw = entry.get();
    AddTrackerFromPointer(std::move(entry));
    return raw;
}

void CTrackersList::AddTrackerFromPointer(std::unique_ptr<STrackServerInfo> entry)
{
    entry->CurrentCount = entry->TotalCount = 0;
    mTrackList.push_back(std::move(entry));
    ItemsInserted(uint32_t(mTrackList.size() - 1), 1);
}

void CTrackersList::UpdateSelectedTracker(const uint8_t* name, const uint8_t* comments,
                                          const uint8_t* address, const uint8_t* login,
                                          const uint8_t* password, int16_t hasAccount)
{
    const uint32_t row = GetFirstSelected();
    if (!row) return;
    Fill(*mTrackList[row - 1], name, comments, address, login, password, hasAccount);
    RefreshItem(row);
}

bool CTrackersList::UpdateTrackerByID(int16_t id, const uint8_t* name, const uint8_t* comments,
                                      const uint8_t* address, const uint8_t* login, const uint8_t* password,
                                      int16_t hasAccount)
{
    STrackServerInfo* entry = GetServerInfoByID(id);
    if (!entry) return false;
    Fill(*entry, name, comments, address, login, password, hasAccount);
    UpdateItemByID(id);
    return true;
}

void CTrackersList::RemoveSelected()
{
    const uint32_t row = GetFirstSelected();
    if (!row) return;
    mTrackList.erase(mTrackList.begin() + (row - 1));
    ItemsRemoved(row, 1);
}

void CTrackersList::RemoveAll()
{
    mTrackList.clear();
    SetItemCount(0);
}

void CTrackersList::MarkSelected()
{
    if (const uint32_t row = GetFirstSelected()) FlipTick(row);
}

STrackServerInfo* CTrackersList::GetSelectInfo() const
{
    const uint32_t row = GetFirstSelected();
    return row ? mTrackList[row - 1].get() : nullptr;
}

STrackServerInfo* CTrackersList::GetServerInfo(uint32_t index) const
{
    return index < mTrackList.size() ? mTrackList[index].get() : nullptr;
}

STrackServerInfo* CTrackersList::GetServerInfoByID(int16_t id) const
{
    for (const auto& entry : mTrackList)
        if (entry->ID == id) return entry.get();
    return nullptr;
}

void CTrackersList::UpdateItemByID(int16_t id)
{
    for (size_t i = 0; i < mTrackList.size(); ++i)
        if (mTrackList[i]->ID == id) RefreshItem(uint32_t(i + 1));
}

void CTrackersList::FlipTick(uint32_t row)
{
    STrackServerInfo& entry = *mTrackList[row - 1];
    entry.useServer = entry.useServer ? 0 : 1;
    RefreshItem(row);
}

void CTrackersList::MousePress(int32_t x, int32_t y, uint16_t mods)
{
    const uint32_t row = ItemAtPoint(x, y);
    if (!row) return;
    const bool inTick = XToRow(x) < kTickWidth;
    if (inTick && (mods & kModAlt))
    {
        // Alt on a tick sets every tick to the opposite of the clicked one.
        const int16_t use = mTrackList[row - 1]->useServer ? 0 : 1;
        for (auto& entry : mTrackList)
            entry->useServer = use;
        Refresh();
        return;
    }
    CListView::MousePress(x, y, mods);
    if (inTick) FlipTick(row);
}

void CTrackersList::MouseDoubleClick(int32_t x, int32_t y, uint16_t mods)
{
    const uint32_t row = ItemAtPoint(x, y);
    if (!row) return;
    // Quick clicks on a tick each flip it; only a double click elsewhere on the row edits the tracker.
    if (XToRow(x) < kTickWidth)
    {
        if (!IsSelected(row)) SelectOnly(row);
        if (GetFirstSelected() == row) FlipTick(row);
        return;
    }
    CListView::MouseDoubleClick(x, y, mods);
}

QString CTrackersList::GetItemDescription(uint32_t row) const
{
    const STrackServerInfo* entry = GetServerInfo(row - 1);
    if (!entry) return QString();
    QString text = PStringToQString(entry->Name);
    text += entry->useServer ? QStringLiteral(", queried") : QStringLiteral(", not queried");
    if (entry->Status[0]) text += QStringLiteral(", ") + PStringToQString(entry->Status);
    return text;
}

void CTrackersList::DrawItem(QPainter& painter, const QRect& r, uint32_t row, bool selected, bool active)
{
    const STrackServerInfo* entry = GetServerInfo(row - 1);
    if (!entry) return;
    const QPalette& pal = Widget()->palette();
    if (selected) UMyRowDrawing::DrawSelection(painter, r.adjusted(1, 1, -1, 0), active, pal);
    UMyRowDrawing::DrawFrame(painter, r.adjusted(0, 0, 0, 1), pal);
    const bool lit = selected && active;
    UIcons::GetIcon(kIconTick).paint(&painter, QRect(r.left() + 5, r.top() + 1, 16, 16), Qt::AlignCenter,
                                     entry->useServer ? QIcon::Normal : QIcon::Disabled);
    painter.setPen(pal.color(lit ? QPalette::HighlightedText : QPalette::Text));
    painter.setFont(UMyRowDrawing::ListFont(Widget()->font(), true));
    UMyRowDrawing::DrawText(painter, QRect(r.left() + 25, r.top(), 120, r.height()),
                            PStringToQString(entry->Name), Qt::AlignLeft);
    painter.setFont(UMyRowDrawing::ListFont(Widget()->font(), false));
    UMyRowDrawing::DrawText(painter, QRect(r.left() + 149, r.top(), r.right() - (r.left() + 149), r.height()),
                            PStringToQString(entry->Status), Qt::AlignLeft);
}
