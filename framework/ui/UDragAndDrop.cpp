#include "framework/ui/UDragAndDrop.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>
#include <map>

#include "framework/runtime/FourCC.h"
#include "framework/ui/CListView.h"
#include "framework/ui/CView.h"
#include "framework/ui/CWindow.h"

namespace
{
constexpr uint32_t kFlavorFiles = FourCC("hfs ");
std::map<uint32_t, std::string> gLastDrop;

QString CodeText(uint32_t flavor)
{
    QString s;
    for (int shift = 24; shift >= 0; shift -= 8)
    {
        const char c = char((flavor >> shift) & 0xFF);
        // Only letters and digits go into a MIME type as they are; anything else as two hex digits.
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
            s += QChar(c);
        else
            s += QLatin1Char('%') + QStringLiteral("%1").arg(uint8_t(c), 2, 16, QChar('0'));
    }
    return s;
}

class CDropFilter : public QObject
{
public:
    CDropFilter(CView* view, std::vector<uint32_t> flavors, bool acceptOwn)
        : QObject(view->Widget()), mView(view), mFlavors(std::move(flavors)), mAcceptOwn(acceptOwn)
    {
    }

    bool Accepts(const QDropEvent* event) const
    {
        const QMimeData* mime = event->mimeData();
        if (!mime) return false;
        if (!mAcceptOwn && event->source())
        {
            auto* src = qobject_cast<QWidget*>(event->source());
            if (src && src->window() == mView->Widget()->window()) return false;
        }
        std::vector<std::string> items;
        for (uint32_t f : mFlavors)
            if (UDragAndDrop::GetFlavor(*mime, f, items)) return true;
        return false;
    }

    uint32_t Deliver(const QMimeData& mime)
    {
        gLastDrop.clear();
        for (const QString& format : mime.formats())
            for (uint32_t f : mFlavors)
                if (format == UDragAndDrop::MimeTypeOf(f) && f != kFlavorFiles)
                    gLastDrop[f] = mime.data(format).toStdString();
        for (uint32_t f : mFlavors)
        {
            std::vector<std::string> items;
            if (!UDragAndDrop::GetFlavor(mime, f, items)) continue;
            for (const std::string& bytes : items)
                mView->Hit(kListPartDrop, CView::CurrentMods(), f, bytes.data(), uint32_t(bytes.size()),
                           kListPartDrop);
            return uint32_t(items.size());
        }
        return 0;
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type())
        {
        case QEvent::DragEnter:
        case QEvent::DragMove:
        {
            auto* e = static_cast<QDropEvent*>(event);
            if (Accepts(e))
                e->acceptProposedAction();
            else
                e->ignore();
            return true;
        }
        case QEvent::Drop:
        {
            auto* e = static_cast<QDropEvent*>(event);
            if (!Accepts(e)) return true;
            e->acceptProposedAction();
            Deliver(*e->mimeData());
            return true;
        }
        default:
            return false;
        }
    }

private:
    CView* mView;
    std::vector<uint32_t> mFlavors;
    bool mAcceptOwn;
};
} // namespace

QString UDragAndDrop::MimeTypeOf(uint32_t flavor)
{
    if (flavor == kFlavorFiles) return QStringLiteral("text/uri-list");
    return QStringLiteral("application/x-quenvol-") + CodeText(flavor);
}

QMimeData* UDragAndDrop::MakeMimeData(const std::vector<SDragFlavor>& flavors)
{
    auto* mime = new QMimeData;
    QList<QUrl> urls;
    for (const SDragFlavor& f : flavors)
    {
        if (f.flavor == kFlavorFiles)
            urls.append(QUrl::fromLocalFile(QString::fromUtf8(f.bytes.data(), qsizetype(f.bytes.size()))));
        else
            mime->setData(MimeTypeOf(f.flavor), QByteArray(f.bytes.data(), qsizetype(f.bytes.size())));
    }
    if (!urls.isEmpty()) mime->setUrls(urls);
    return mime;
}

bool UDragAndDrop::GetFlavor(const QMimeData& mime, uint32_t flavor, std::vector<std::string>& outItems)
{
    outItems.clear();
    if (flavor == kFlavorFiles)
    {
        for (const QUrl& url : mime.urls())
            if (url.isLocalFile()) outItems.push_back(url.toLocalFile().toStdString());
        return !outItems.empty();
    }
    const QString type = MimeTypeOf(flavor);
    if (!mime.hasFormat(type)) return false;
    outItems.push_back(mime.data(type).toStdString());
    return true;
}

void UDragAndDrop::StartDrag(CView* source, const std::vector<SDragFlavor>& flavors)
{
    if (!source || !source->Widget()) return;
    auto* drag = new QDrag(source->Widget());
    drag->setMimeData(MakeMimeData(flavors));
    drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
}

void UDragAndDrop::AcceptDrops(CView* view, const std::vector<uint32_t>& flavors, bool acceptOwn)
{
    if (!view || !view->Widget()) return;
    QWidget* target = view->Widget();
    // A scrolling view receives drops on its viewport.
    for (QWidget* w : {target, target->findChild<QWidget*>(QStringLiteral("qt_scrollarea_viewport"))})
    {
        if (!w) continue;
        w->setAcceptDrops(true);
        w->installEventFilter(new CDropFilter(view, flavors, acceptOwn));
    }
}

bool UDragAndDrop::GetLastDropFlavor(uint32_t flavor, std::string& outBytes)
{
    auto it = gLastDrop.find(flavor);
    if (it == gLastDrop.end()) return false;
    outBytes = it->second;
    return true;
}

uint32_t UDragAndDrop::DeliverDrop(CView* view, const QMimeData& mime)
{
    if (!view || !view->Widget()) return 0;
    for (QObject* child : view->Widget()->children())
        if (auto* filter = dynamic_cast<CDropFilter*>(child)) return filter->Deliver(mime);
    return 0;
}
