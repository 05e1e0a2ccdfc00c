#include "client/files/CMyFileListView.h"

#include <QFontMetricsF>
#include <QMimeData>
#include <QPainter>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>
#include <string>

#include "client/files/QuenvolFileTypeToIcon.h"
#include "client/widgets/CMyDropTarget.h"
#include "client/widgets/UMyRowDrawing.h"
#include "client/widgets/UMyServerNames.h"
#include "framework/files/UFileSys.h"
#include "framework/net/TransactCatalogue.h"
#include "framework/net/UFieldData.h"
#include "framework/net/UFieldRecords.h"
#include "framework/runtime/FourCC.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UPString.h"
#include "framework/runtime/UText.h"
#include "framework/ui/UDragAndDrop.h"
#include "framework/ui/UiText.h"

namespace
{
constexpr uint32_t kListTypeFolder = FourCC("fldr");
constexpr uint32_t kListTypeAlias = FourCC("alis");
constexpr uint32_t kFlavorFiles = FourCC("hfs ");
constexpr uint32_t kFlavorFileName = FourCC("QVFN");
constexpr uint32_t kFlavorFilePath = FourCC("QVFP");
constexpr uint16_t kPartDropHit = 4;
constexpr uint16_t kTypeDropHit = 4;
constexpr uint32_t kMaxHitData = 256;

bool ContainsIgnoringCase(const uint8_t* text, uint32_t textLen, const uint8_t* lowered, uint32_t len)
{
    if (!len) return true;
    if (len > textLen) return false;
    for (uint32_t start = 0; start + len <= textLen; ++start)
    {
        uint32_t i = 0;
        while (i < len && UText::ToLower(text[start + i]) == lowered[i])
            ++i;
        if (i == len) return true;
    }
    return false;
}
} // namespace

CMyFileListView::CMyFileListView(SViewParent parent, const SRect& bounds)
    : CListView(parent, bounds, kRowHeight)
{
    CMyDropTarget::Install(
        this, [](const QMimeData& mime) { return CanAcceptDrop(mime); },
        [this](const QMimeData& mime, uint16_t mods) { return Drop(mime, mods); });
}

CMyFileListView::~CMyFileListView()
{
    for (TFileSysRefObj* ref : mUploadList)
        UFileSys::Dispose(ref);
}

int16_t CMyFileListView::IconForEntry(uint32_t type, const uint8_t* name)
{
    if (type != kListTypeFolder) return QuenvolFileTypeToIcon(type);
    // Folders meant for uploads get the drop box icon, whatever case their name is written in.
    uint8_t lower[256];
    const uint32_t n = name ? name[0] : 0;
    for (uint32_t i = 0; i < n; ++i)
        lower[i] = UText::ToLower(name[i + 1]);
    auto has = [&](const char* word)
    {
        const uint32_t len = uint32_t(std::strlen(word));
        return ContainsIgnoringCase(lower, n, reinterpret_cast<const uint8_t*>(word), len);
    };
    return has("upload") || has("drop box") ? kIconDropBox : kIconFolder;
}

void CMyFileListView::AddItem(uint32_t type, uint32_t creator, uint32_t size, const uint8_t* name)
{
    SMyFileListItem item{};
    item.type = type;
    item.creator = creator;
    item.fileSize = size;
    UPString::Copy(item.name, name);
    item.icon = IconForEntry(type, item.name);
    // After every row of an equal name: rows keep the order they arrived in.
    const auto at = std::upper_bound(mFileList.begin(), mFileList.end(), item,
                                     [this](const SMyFileListItem& a, const SMyFileListItem& b)
                                     { return RowLess(a, b); });
    const uint32_t afterRow = uint32_t(at - mFileList.begin());
    mFileList.insert(at, item);
    ItemsInserted(afterRow, 1);
}

void CMyFileListView::AddListFromFields(TFieldDataObj* fields)
{
    const uint32_t oldCount = uint32_t(mFileList.size());
    const uint32_t count = UFieldData::GetFieldCount(fields);
    uint8_t record[UFieldRecords::kMaxFileEntryRead];
    for (uint32_t i = 1; i <= count; ++i)
    {
        if (UFieldData::GetFieldID(fields, i) != kFieldFileEntry) continue;
        const uint32_t size = UFieldData::GetFieldByIndex(fields, i, record, sizeof(record));
        SFileEntry entry;
        // A record too short for its fixed part is skipped: the rest of the listing is still good.
        if (!UFieldRecords::ReadFileEntry(record, size, entry)) continue;
        SMyFileListItem item{};
        item.type = entry.type;
        item.creator = entry.creator;
        item.fileSize = entry.size;
        UPString::Copy(item.name, entry.name);
        item.icon = IconForEntry(item.type, item.name);
        mFileList.push_back(item);
    }
    if (mFileList.size() == oldCount)
    {
        Refresh();
        return;
    }
    // The new rows are sorted among themselves and merged behind the rows already there: both steps are
    // stable, so equal names keep their arrival order, and the list learns where each old row went.
    std::vector<uint32_t> order(mFileList.size());
    std::iota(order.begin(), order.end(), 0u);
    auto less = [this](uint32_t a, uint32_t b) { return RowLess(mFileList[a], mFileList[b]); };
    std::stable_sort(order.begin() + oldCount, order.end(), less);
    std::inplace_merge(order.begin(), order.begin() + oldCount, order.end(), less);
    ApplyOrder(order, oldCount);
}

void CMyFileListView::ReplaceListFromFields(TFieldDataObj* fields)
{
    std::vector<std::string> selected;
    for (const SMyFileListItem* item : GetSelectedItems())
        selected.emplace_back(reinterpret_cast<const char*>(item->name + 1), item->name[0]);
    DeleteAll();
    AddListFromFields(fields);
    if (selected.empty()) return;
    std::sort(selected.begin(), selected.end());
    for (uint32_t row = 1; row <= mFileList.size(); ++row)
    {
        const uint8_t* name = mFileList[row - 1].name;
        if (std::binary_search(selected.begin(), selected.end(),
                               std::string(reinterpret_cast<const char*>(name + 1), name[0])))
            SelectItem(row);
    }
}

void CMyFileListView::ApplyOrder(const std::vector<uint32_t>& order, uint32_t oldCount)
{
    std::vector<SMyFileListItem> sorted;
    sorted.reserve(mFileList.size());
    std::vector<uint32_t> oldRows(order.size());
    for (size_t i = 0; i < order.size(); ++i)
    {
        sorted.push_back(mFileList[order[i]]);
        oldRows[i] = order[i] < oldCount ? order[i] + 1 : 0;
    }
    mFileList.swap(sorted);
    ItemsReordered(oldRows);
}

void CMyFileListView::DeleteAll()
{
    mFileList.clear();
    SetItemCount(0);
}

const SMyFileListItem* CMyFileListView::GetItem(uint32_t row) const
{
    return row >= 1 && row <= mFileList.size() ? &mFileList[row - 1] : nullptr;
}

bool CMyFileListView::GetSelectedFileName(uint8_t* outName, uint32_t* outType) const
{
    const SMyFileListItem* item = GetItem(GetFirstSelected());
    if (!item)
    {
        if (outName) outName[0] = 0;
        if (outType) *outType = 0;
        return false;
    }
    if (outName) UPString::Copy(outName, 256, item->name);
    if (outType) *outType = item->type;
    return item->type == kListTypeFolder && item->creator == 0;
}

bool CMyFileListView::IsSelectedFolder() const
{
    const SMyFileListItem* item = GetItem(GetFirstSelected());
    return item && item->type == kListTypeFolder;
}

bool CMyFileListView::HasPartialFile(const uint8_t* name) const
{
    if (!name) return false;
    for (const SMyFileListItem& item : mFileList)
        if (item.type == FourCC("QVft") && item.creator == FourCC("QVLC") && UPString::Equal(item.name, name))
            return true;
    return false;
}

bool CMyFileListView::HasItem(const uint8_t* name) const
{
    if (!name) return false;
    for (const SMyFileListItem& item : mFileList)
        if (UPString::Equal(item.name, name) &&
            !(item.type == FourCC("QVft") && item.creator == FourCC("QVLC")))
            return true;
    return false;
}

uint32_t CMyFileListView::SearchNames(const uint8_t* text) const
{
    if (!text) return 0;
    uint8_t lower[256];
    const uint32_t n = text[0];
    for (uint32_t i = 0; i < n; ++i)
        lower[i] = UText::ToLower(text[i + 1]);
    for (size_t r = 0; r < mFileList.size(); ++r)
        if (ContainsIgnoringCase(mFileList[r].name + 1, mFileList[r].name[0], lower, n))
            return uint32_t(r + 1);
    return 0;
}

int CMyFileListView::CompareNames(const uint8_t* name1, const uint8_t* name2)
{
    return UPString::CompareIgnoringCase(name1, name2);
}

bool CMyFileListView::NameLess(const SMyFileListItem& a, const SMyFileListItem& b)
{
    return CompareNames(a.name, b.name) < 0;
}

bool CMyFileListView::RowLess(const SMyFileListItem& a, const SMyFileListItem& b) const
{
    if (mSortColumn == kSortBySize)
    {
        // Folders count items, files bytes: the two never mix, folders stay on top either way.
        const bool aFolder = a.type == kListTypeFolder, bFolder = b.type == kListTypeFolder;
        if (aFolder != bFolder) return aFolder;
        if (a.fileSize != b.fileSize)
            return mSortAscending ? a.fileSize < b.fileSize : a.fileSize > b.fileSize;
        return NameLess(a, b);
    }
    return mSortAscending ? NameLess(a, b) : NameLess(b, a);
}

void CMyFileListView::SetSortOrder(int column, bool ascending)
{
    if (column != kSortByName && column != kSortBySize) return;
    if (column == mSortColumn && ascending == mSortAscending) return;
    mSortColumn = column;
    mSortAscending = ascending;
    // Stable: rows that compare equal keep the order they had.
    std::vector<uint32_t> order(mFileList.size());
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(),
                     [this](uint32_t a, uint32_t b) { return RowLess(mFileList[a], mFileList[b]); });
    ApplyOrder(order, uint32_t(mFileList.size()));
}

std::vector<const SMyFileListItem*> CMyFileListView::GetSelectedItems() const
{
    std::vector<const SMyFileListItem*> items;
    for (uint32_t row = 1; row <= mFileList.size() && items.size() < GetSelectedCount(); ++row)
        if (IsSelected(row)) items.push_back(&mFileList[row - 1]);
    return items;
}

TFileSysRefObj* CMyFileListView::GetItemToUpload()
{
    if (mUploadList.empty()) return nullptr;
    TFileSysRefObj* ref = mUploadList.front();
    mUploadList.pop_front();
    return ref;
}

bool CMyFileListView::CanAcceptDrop(const QMimeData& mime)
{
    std::vector<std::string> items;
    return UDragAndDrop::GetFlavor(mime, kFlavorFiles, items) ||
           UDragAndDrop::GetFlavor(mime, kFlavorFileName, items);
}

bool CMyFileListView::Drop(const QMimeData& mime, uint16_t mods)
{
    std::vector<std::string> items;
    if (UDragAndDrop::GetFlavor(mime, kFlavorFiles, items))
    {
        bool queued = false;
        for (const std::string& path : items)
        {
            TFileSysRefObj* ref = nullptr;
            try
            {
                ref = UFileSys::NewFromNativePath(path.data(), uint32_t(path.size()));
                // Vanished items are passed over without a word: the rest of the drop counts. Folders
                // upload whole; what is neither file nor folder is told about when the upload is made.
                if (!UFileSys::Exists(ref))
                {
                    UFileSys::Dispose(ref);
                    continue;
                }
                mUploadList.push_back(ref);
            }
            catch (const SError&)
            {
                UFileSys::Dispose(ref);
                continue;
            }
            catch (const std::bad_alloc&)
            {
                UFileSys::Dispose(ref);
                break;
            }
            // One hit for the drop: the folder window then takes every queued file.
            if (!queued) Hit(kPartDropHit, mods, kFlavorFiles, nullptr, 0, kTypeDropHit);
            queued = true;
        }
        return queued;
    }
    if (!UDragAndDrop::GetFlavor(mime, kFlavorFileName, items) || items.empty()) return false;
    const std::string name = items.front();
    std::string path;
    if (UDragAndDrop::GetFlavor(mime, kFlavorFilePath, items) && !items.empty()) path = items.front();
    uint8_t msg[kMaxHitData];
    // The name is cut to 63 bytes, as the server keeps names.
    const uint32_t nameLen = UPString::SetBytes(msg, 64, name.data(), uint32_t(name.size()));
    const uint32_t pathLen = uint32_t(std::min<size_t>(path.size(), 2045 - nameLen));
    const uint32_t size = nameLen + pathLen + 3;
    // A cut path would name another folder on the server: a move that does not fit one hit is refused.
    if (size > kMaxHitData) return false;
    const uint16_t pathLen16 = uint16_t(pathLen);
    std::memcpy(msg + 1 + nameLen, &pathLen16, 2);
    if (pathLen) std::memcpy(msg + 3 + nameLen, path.data(), pathLen);
    Hit(kPartDropHit, mods, kFlavorFileName, msg, size, kTypeDropHit);
    return true;
}

QString CMyFileListView::SizeColumnText(const SMyFileListItem& item)
{
    if (item.type == kListTypeAlias) return QStringLiteral("-");
    if (item.type == kListTypeFolder && item.creator == 0) return QStringLiteral("(%1)").arg(item.fileSize);
    char text[32];
    const uint32_t n = UText::SizeToText(item.fileSize, text, sizeof(text));
    return ToQString(text, n);
}

QColor CMyFileListView::NameColor(const SMyFileListItem& item, bool selectedAndActive,
                                  const QPalette& palette)
{
    const QColor wanted =
        item.type == kListTypeAlias
            ? MyColor16(0x7777, 0x7777, 0x7777)
            : palette.color(selectedAndActive ? QPalette::HighlightedText : QPalette::ButtonText);
    return UMyRowDrawing::TextColor(wanted, selectedAndActive, palette);
}

QString CMyFileListView::GetItemDescription(uint32_t row) const
{
    const SMyFileListItem* item = GetItem(row);
    if (!item) return QString();
    uint8_t shown[256];
    UMyServerNames::MakeShowable(item->name, shown, sizeof(shown));
    const QString name = PStringToQString(shown);
    if (item->type == kListTypeAlias) return QStringLiteral("%1, alias").arg(name);
    if (item->type == kListTypeFolder)
        return item->fileSize == 1 ? QStringLiteral("%1, folder, 1 item").arg(name)
                                   : QStringLiteral("%1, folder, %2 items").arg(name).arg(item->fileSize);
    // Exact below a kilobyte, where the size column's short form would say less than the number.
    if (item->fileSize < 1024)
        return item->fileSize == 1 ? QStringLiteral("%1, 1 byte").arg(name)
                                   : QStringLiteral("%1, %2 bytes").arg(name).arg(item->fileSize);
    return QStringLiteral("%1, %2").arg(name, SizeColumnText(*item));
}

void CMyFileListView::DrawItem(QPainter& painter, const QRect& r, uint32_t row, bool selected, bool active)
{
    const SMyFileListItem* item = GetItem(row);
    if (!item) return;
    const QPalette& pal = Widget()->palette();
    const bool lit = UMyRowDrawing::DrawIconRow(painter, r, item->icon, selected, active, pal);

    const QString size = SizeColumnText(*item);
    painter.setFont(UMyRowDrawing::ListFont(Widget()->font(), false));
    // Rounded up: the eliding below measures in fractions and would cut a text that just fits.
    const int sizeWidth = int(std::ceil(QFontMetricsF(painter.font()).horizontalAdvance(size))) + 1;
    const int sizeRight = r.left() + r.width() - 10;
    painter.setPen(pal.color(lit ? QPalette::HighlightedText : QPalette::ButtonText));
    UMyRowDrawing::DrawText(painter, QRect(sizeRight - sizeWidth, r.top() + 1, sizeWidth, r.height() - 2),
                            size, Qt::AlignRight);

    painter.setFont(UMyRowDrawing::ListFont(Widget()->font(), true));
    painter.setPen(NameColor(*item, lit, pal));
    const int nameLeft = r.left() + 36;
    const int nameRight = sizeRight - sizeWidth - 6;
    uint8_t shown[256];
    UMyServerNames::MakeShowable(item->name, shown, sizeof(shown));
    UMyRowDrawing::DrawText(painter, QRect(nameLeft, r.top() + 1, nameRight - nameLeft, r.height() - 2),
                            PStringToQString(shown), Qt::AlignLeft);
}

void CMyFileListView::SelectionChanged()
{
    CListView::SelectionChanged();
    if (mSelectionProc) mSelectionProc();
}

void CMyFileListView::HandleDrag(uint32_t row)
{
    if (mDragProc) mDragProc(row);
}
