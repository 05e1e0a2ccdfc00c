#include "framework/ui/UIcons.h"

#include <QHash>

#include "framework/runtime/FourCC.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UMemory.h"
#include "framework/runtime/URez.h"

QPixmap UIcons::GetPixmap(uint32_t type, int16_t id)
{
    static QHash<quint64, QPixmap> cache;
    const quint64 key = (quint64(type) << 32) | quint16(id);
    auto it = cache.find(key);
    if (it != cache.end()) return *it;
    QPixmap pixmap;
    try
    {
        StRezLoader item(nullptr, type, uint32_t(uint16_t(id)), true);
        if (THdlObj* h = item.Handle())
        {
            StHandleLocker lock(h);
            pixmap.loadFromData(lock.Data(), uint(UMemory::GetSize(h)), "PNG");
        }
    }
    catch (const SError&)
    {
        // A damaged or missing picture shows nothing rather than stopping the window that wants it.
    }
    cache.insert(key, pixmap);
    return pixmap;
}

namespace
{
// The plain raster first: a data file without the others still gives the icon.
constexpr uint32_t kIconTypes[] = {FourCC("ICON"), FourCC("IC16"), FourCC("IC24"),
                                   FourCC("IC32"), FourCC("IC48"), FourCC("IC96")};
constexpr uint32_t kPictureTypes[] = {FourCC("PIXM"), FourCC("PX15"), FourCC("PX20"), FourCC("PX30")};

template <size_t N>
QIcon Rasters(const uint32_t (&types)[N], int16_t id)
{
    QIcon icon;
    for (uint32_t type : types)
    {
        const QPixmap p = UIcons::GetPixmap(type, id);
        if (!p.isNull()) icon.addPixmap(p);
    }
    return icon;
}
} // namespace

QIcon UIcons::GetIcon(int16_t iconID)
{
    static QHash<int16_t, QIcon> cache;
    auto it = cache.find(iconID);
    if (it != cache.end()) return *it;
    QIcon icon = Rasters(kIconTypes, iconID);
    // Stored user icon numbers may be negative; they show the icon of the positive number unless the
    // data file has art of their own.
    if (icon.isNull() && iconID < 0 && iconID != INT16_MIN) icon = Rasters(kIconTypes, int16_t(-iconID));
    cache.insert(iconID, icon);
    return icon;
}

QIcon UIcons::GetPicture(int16_t pictureID)
{
    return Rasters(kPictureTypes, pictureID);
}
