#include "client/widgets/CMyUserListView.h"

#include <QPainter>
#include <QWidget>
#include <algorithm>

#include "client/widgets/UMyRowDrawing.h"
#include "framework/net/TransactCatalogue.h"
#include "framework/net/UFieldData.h"
#include "framework/net/UFieldRecords.h"
#include "framework/runtime/FourCC.h"
#include "framework/runtime/UPString.h"
#include "framework/runtime/UText.h"
#include "framework/ui/UDragAndDrop.h"
#include "framework/ui/UiText.h"

CMyUserListView::CMyUserListView(SViewParent parent, const SRect& bounds)
    : CListView(parent, bounds, kRowHeight)
{
}

CMyUserListView::~CMyUserListView() = default;

SMyUserListItem CMyUserListView::MakeItem(uint16_t id, int16_t iconID, uint16_t flags, const void* name,
                                          uint32_t length)
{
    SMyUserListItem item{};
    item.icon = iconID;
    item.id = id;
    item.flags = flags;
    UPString::SetBytes(item.name, name, name ? length : 0);
    return item;
}

void CMyUserListView::Append(const SMyUserListItem& item)
{
    mUserList.push_back(std::make_unique<SMyUserListItem>(item));
    mIDs.push_back(item.id);
}

void CMyUserListView::AddListFromFields(TFieldDataObj* fields)
{
    const uint32_t oldCount = uint32_t(mUserList.size());
    const uint32_t count = UFieldData::GetFieldCount(fields);
    uint8_t record[UFieldRecords::kMaxUserEntryRead];
    for (uint32_t i = 1; i <= count; ++i)
    {
        if (UFieldData::GetFieldID(fields, i) != kFieldUserEntry) continue;
        const uint32_t size = UFieldData::GetFieldByIndex(fields, i, record, sizeof(record));
        SUserEntry entry;
        if (!UFieldRecords::ReadUserEntry(record, size, entry)) continue;
        const int16_t icon = entry.iconID ? entry.iconID : kDefaultUserIcon;
        Append(MakeItem(entry.id, icon, entry.flags, entry.name + 1, entry.name[0]));
    }
    if (mUserList.size() > oldCount) ItemsInserted(oldCount, uint32_t(mUserList.size() - oldCount));
}

void CMyUserListView::SetUsersFromFields(TFieldDataObj* fields)
{
    DeleteAll();
    AddListFromFields(fields);
}

void CMyUserListView::AddUser(uint16_t id, int16_t iconID, uint16_t flags, const void* name, uint32_t length)
{
    Append(MakeItem(id, iconID, flags, name, length));
    ItemsInserted(uint32_t(mUserList.size() - 1), 1);
}

bool CMyUserListView::UpdateUser(uint16_t id, int16_t iconID, uint16_t flags, const void* name,
                                 uint32_t length, uint8_t (*outOldName)[64])
{
    const uint32_t row = FindUser(id);
    if (!row) return false;
    SMyUserListItem& item = *mUserList[row - 1];
    static_assert(sizeof(*outOldName) == sizeof(item.name));
    if (outOldName) UPString::Copy(*outOldName, item.name);
    item = MakeItem(id, iconID, flags, name, length);
    RefreshItem(row);
    return true;
}

bool CMyUserListView::DeleteUserByID(uint16_t id, uint8_t* outName)
{
    const uint32_t row = FindUser(id);
    if (!row) return false;
    if (outName) UPString::Copy(outName, 64, mUserList[row - 1]->name);
    mUserList.erase(mUserList.begin() + (row - 1));
    mIDs.erase(mIDs.begin() + (row - 1));
    ItemsRemoved(row, 1);
    return true;
}

void CMyUserListView::DeleteAll()
{
    mUserList.clear();
    mIDs.clear();
    SetItemCount(0);
}

const SMyUserListItem* CMyUserListView::GetItem(uint32_t row) const
{
    return row >= 1 && row <= mUserList.size() ? mUserList[row - 1].get() : nullptr;
}

uint32_t CMyUserListView::FindUser(uint16_t id) const
{
    // A plain loop over the array: as quick in a debug build as in a release one.
    const uint16_t* ids = mIDs.data();
    for (size_t i = 0, n = mIDs.size(); i < n; ++i)
        if (ids[i] == id) return uint32_t(i + 1);
    return 0;
}

uint16_t CMyUserListView::GetSelectedUserID(uint8_t* outName) const
{
    const SMyUserListItem* item = GetItem(GetFirstSelected());
    if (!item)
    {
        if (outName) outName[0] = 0;
        return 0;
    }
    if (outName) UPString::Copy(outName, 32, item->name);
    return item->id;
}

uint32_t CMyUserListView::SearchNames(const uint8_t* text) const
{
    if (!text) return 0;
    uint8_t lower[256];
    const uint32_t n = text[0];
    for (uint32_t i = 0; i < n; ++i)
        lower[i] = UText::ToLower(text[i + 1]);
    for (size_t r = 0; r < mUserList.size(); ++r)
    {
        const uint8_t* name = mUserList[r]->name;
        for (uint32_t start = 0; start + n <= name[0]; ++start)
        {
            uint32_t i = 0;
            while (i < n && UText::ToLower(name[1 + start + i]) == lower[i])
                ++i;
            if (i == n) return uint32_t(r + 1);
        }
    }
    return 0;
}

QColor CMyUserListView::NameColor(uint16_t flags, bool selectedAndActive, const QPalette& palette)
{
    QColor wanted;
    switch (flags & 0x03)
    {
    case 0x03:
        wanted = MyColor16(0xEEEE, 0x7777, 0x7777);
        break;
    case 0x01:
        wanted = MyColor16(0x7777, 0x7777, 0x7777);
        break;
    case 0x02:
        wanted = MyColor16(0xDDDD, 0, 0);
        break;
    default:
        wanted = palette.color(selectedAndActive ? QPalette::HighlightedText : QPalette::ButtonText);
        break;
    }
    // The marks of idle users and administrators were chosen for a white list; on a dark one they are
    // lightened until they read.
    return UMyRowDrawing::TextColor(wanted, selectedAndActive, palette);
}

QString CMyUserListView::GetItemDescription(uint32_t row) const
{
    const SMyUserListItem* item = GetItem(row);
    if (!item) return QString();
    // What the name's colour says to those who see it: red for an administrator, grey for away.
    QString text = PStringToQString(item->name);
    if (item->flags & 2) text += QStringLiteral(", administrator");
    if (item->flags & 1) text += QStringLiteral(", away");
    return text;
}

void CMyUserListView::DrawItem(QPainter& painter, const QRect& r, uint32_t row, bool selected, bool active)
{
    const SMyUserListItem* item = GetItem(row);
    if (!item) return;
    const QPalette& pal = Widget()->palette();
    const bool lit = UMyRowDrawing::DrawIconRow(painter, r, item->icon, selected, active, pal);
    painter.setFont(UMyRowDrawing::ListFont(Widget()->font(), true));
    painter.setPen(NameColor(item->flags, lit, pal));
    const int left = r.left() + 36;
    UMyRowDrawing::DrawText(painter, QRect(left, r.top() + 1, r.left() + r.width() - left, r.height() - 2),
                            PStringToQString(item->name), Qt::AlignLeft);
}

void CMyUserListView::SelectionChanged()
{
    CListView::SelectionChanged();
    if (mSelectionProc) mSelectionProc();
}

void CMyUserListView::HandleDrag(uint32_t row)
{
    const SMyUserListItem* item = GetItem(row);
    if (!item) return;
    // Another window of this program takes the user id in the machine's own order.
    const uint32_t id = item->id;
    SDragFlavor flavor{FourCC("QVUI"), std::string(reinterpret_cast<const char*>(&id), sizeof(id))};
    UDragAndDrop::StartDrag(this, {flavor});
}
