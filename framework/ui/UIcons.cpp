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

QIcon UIcons::GetIcon(int16_t iconID)
{
    QPixmap p = GetPixmap(FourCC("ICON"), iconID);
    // Stored user icon numbers may be negative; they show the icon of the positive number unless the
    // data file has art of their own.
    if (p.isNull() && iconID < 0 && iconID != INT16_MIN) p = GetPixmap(FourCC("ICON"), int16_t(-iconID));
    return p.isNull() ? QIcon() : QIcon(p);
}
