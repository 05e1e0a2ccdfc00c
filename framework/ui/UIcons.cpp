#include "framework/ui/UIcons.h"

#include <QApplication>
#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <vector>

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
constexpr uint32_t kPictureTypes[] = {FourCC("PIXM"), FourCC("PX15"), FourCC("PX20"), FourCC("PX30")};

struct SRaster
{
    uint32_t type;
    int side; // as the data file is made; a raster of another size is scaled like any other
};

// The plain raster first: a data file without the others still gives the icon.
constexpr SRaster kIconRasters[] = {{FourCC("ICON"), 64}, {FourCC("IC16"), 16}, {FourCC("IC24"), 24},
                                    {FourCC("IC32"), 32}, {FourCC("IC48"), 48}, {FourCC("IC96"), 96}};

// An icon decodes only the raster a paint asks for, when it asks: a window built at start-up and never
// shown decodes none, and one shown at a single density decodes one of the six.
class CRasterIconEngine : public QIconEngine
{
public:
    CRasterIconEngine(int16_t id, std::vector<SRaster> rasters) : mID(id), mRasters(std::move(rasters)) {}

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override
    {
        if (size.isEmpty()) return QPixmap();
        const quint64 key = quint64(quint32(size.width()) & 0xFFFF) << 32 |
                            quint64(quint32(size.height()) & 0xFFFF) << 16 | quint64(mode);
        auto it = mMade.find(key);
        if (it != mMade.end()) return *it;
        QPixmap pm = UIcons::GetPixmap(Closest(size).type, mID);
        if (!pm.isNull() && (pm.width() > size.width() || pm.height() > size.height()))
            pm = pm.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        if (!pm.isNull() && mode != QIcon::Normal)
        {
            QStyleOption option;
            option.palette = QApplication::palette();
            pm = QApplication::style()->generatedIconPixmap(mode, pm, &option);
        }
        mMade.insert(key, pm);
        return pm;
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal dpr = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
        QPixmap pm = pixmap(rect.size() * dpr, mode, state);
        pm.setDevicePixelRatio(dpr);
        painter->drawPixmap(rect, pm);
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override
    {
        const int side = Closest(size).side;
        return QSize(side, side).boundedTo(size);
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> sizes;
        for (const SRaster& raster : mRasters)
            sizes.append(QSize(raster.side, raster.side));
        return sizes;
    }

    QIconEngine* clone() const override { return new CRasterIconEngine(mID, mRasters); }
    QString key() const override { return QStringLiteral("quenvol-raster"); }
    bool isNull() override { return mRasters.empty(); }

private:
    // The smallest raster that covers the size, or the largest there is.
    const SRaster& Closest(const QSize& size) const
    {
        const SRaster* best = &mRasters.front();
        for (const SRaster& raster : mRasters)
        {
            const bool covers = raster.side >= size.width() && raster.side >= size.height();
            const bool bestCovers = best->side >= size.width() && best->side >= size.height();
            if (covers ? !bestCovers || raster.side < best->side : !bestCovers && raster.side > best->side)
                best = &raster;
        }
        return *best;
    }

    int16_t mID;
    std::vector<SRaster> mRasters;
    QHash<quint64, QPixmap> mMade;
};

// The icon's rasters the data file holds, without reading them.
QIcon LazyIcon(int16_t id)
{
    std::vector<SRaster> rasters;
    for (const SRaster& raster : kIconRasters)
        if (URez::SearchChain(raster.type, uint32_t(uint16_t(id)))) rasters.push_back(raster);
    if (rasters.empty()) return QIcon();
    return QIcon(new CRasterIconEngine(id, std::move(rasters)));
}

// Pictures are few and shown at once: all their rasters are read.
QIcon PictureRasters(int16_t id)
{
    QIcon icon;
    for (uint32_t type : kPictureTypes)
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
    QIcon icon = LazyIcon(iconID);
    // Stored user icon numbers may be negative; they show the icon of the positive number unless the
    // data file has art of their own.
    if (icon.isNull() && iconID < 0 && iconID != INT16_MIN) icon = LazyIcon(int16_t(-iconID));
    cache.insert(iconID, icon);
    return icon;
}

QIcon UIcons::GetPicture(int16_t pictureID)
{
    return PictureRasters(pictureID);
}
