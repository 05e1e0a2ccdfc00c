#include "framework/ui/UDragAndDrop.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>
#include <algorithm>
#include <cctype>
#include <map>

#include "framework/runtime/FourCC.h"
#include "framework/ui/CListView.h"
#include "framework/ui/CView.h"
#include "framework/ui/CWindow.h"
#include "platform/DirectSave.h"
#include "platform/FileSystem.h"

namespace
{
constexpr uint32_t kFlavorFiles = FourCC("hfs ");
std::map<uint32_t, std::string> gLastDrop;

// The property and the type a target asks for: both carry the X11 name of the promise.
constexpr char kDirectSave[] = "XdndDirectSave0";
constexpr size_t kMaxPromiseUri = 8192;

void* X11Connection()
{
#if QT_CONFIG(xcb)
    if (!platform::HasX11Properties() || QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
#else
    return nullptr;
#endif
}

bool EqualNoCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(uint8_t(a[i])) != std::tolower(uint8_t(b[i]))) return false;
    return true;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The drag's data with the promise: the target writes the place it chose into a property of the
// source's window, then asks for the promise's type; the answer is worked out only then.
class CPromiseMimeData : public QMimeData
{
public:
    CPromiseMimeData(SDragPromise promise, void* connection)
        : mPromise(std::move(promise)), mConnection(connection)
    {
    }

    ~CPromiseMimeData() override
    {
        if (!qGuiApp) return;
        for (uint32_t window : mWindows)
            platform::DeleteProperty(mConnection, window, kDirectSave);
    }

    // Offers the suggested name on a window a target may know as the drag's source.
    void AddWindow(uint32_t window)
    {
        if (!window || std::find(mWindows.begin(), mWindows.end(), window) != mWindows.end()) return;
        if (platform::SetTextProperty(mConnection, window, kDirectSave, mPromise.suggestedName))
            mWindows.push_back(window);
    }

    QStringList formats() const override
    {
        QStringList list = QMimeData::formats();
        list.append(QLatin1String(kDirectSave));
        return list;
    }

protected:
    QVariant retrieveData(const QString& type, QMetaType meta) const override
    {
        if (type != QLatin1String(kDirectSave)) return QMimeData::retrieveData(type, meta);
        // A target may ask again: the work starts once, and every request gets the first answer. Until a
        // target has written its place (still our suggested name) there is nothing to answer but an error.
        if (!mAnswer)
        {
            std::string uri;
            for (uint32_t window : mWindows)
                if (platform::ReadTextProperty(mConnection, window, kDirectSave, kMaxPromiseUri, uri) &&
                    uri != mPromise.suggestedName)
                {
                    mAnswer = UDragAndDrop::AnswerPromise(mPromise, uri);
                    break;
                }
        }
        return QByteArray(1, mAnswer ? mAnswer : kPromiseError);
    }

private:
    SDragPromise mPromise;
    void* mConnection;
    std::vector<uint32_t> mWindows;
    mutable char mAnswer = 0;
};

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

QMimeData* UDragAndDrop::MakePromiseMimeData(CView* source, const std::vector<SDragFlavor>& flavors,
                                             const SDragPromise* promise)
{
    void* connection = X11Connection();
    if (!promise || !promise->proc || !connection || !source || !source->Widget())
        return MakeMimeData(flavors);
    auto* mime = new CPromiseMimeData(*promise, connection);
    QMimeData* plain = MakeMimeData(flavors);
    for (const QString& format : plain->formats())
        mime->setData(format, plain->data(format));
    delete plain;
    mime->AddWindow(uint32_t(source->Widget()->window()->winId()));
    return mime;
}

void UDragAndDrop::StartDrag(CView* source, const std::vector<SDragFlavor>& flavors,
                             const SDragPromise* promise)
{
    if (!source || !source->Widget()) return;
    auto* drag = new QDrag(source->Widget());
    QMimeData* mime = MakePromiseMimeData(source, flavors, promise);
    drag->setMimeData(mime);
    if (auto* promised = dynamic_cast<CPromiseMimeData*>(mime))
    {
        // Targets read the property from the window the drag names as its source, which the toolkit
        // owns; it holds the drag's selection once the drag has started.
        void* connection = X11Connection();
        QTimer::singleShot(0, promised,
                           [promised, connection] {
                               promised->AddWindow(platform::OwnSelectionOwner(connection, "XdndSelection"));
                           });
    }
    drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
}

bool UDragAndDrop::ParsePromiseUri(const std::string& uri, const std::string& hostName,
                                   std::string& outFolder, std::string& outName)
{
    outFolder.clear();
    outName.clear();
    static const std::string kScheme = "file://";
    if (uri.size() <= kScheme.size() || uri.size() > kMaxPromiseUri ||
        !EqualNoCase(uri.substr(0, kScheme.size()), kScheme))
        return false;
    const size_t pathStart = uri.find('/', kScheme.size());
    if (pathStart == std::string::npos) return false;
    const std::string host = uri.substr(kScheme.size(), pathStart - kScheme.size());
    if (!host.empty() && !EqualNoCase(host, "localhost") &&
        (hostName.empty() || !EqualNoCase(host, hostName)))
        return false;
    std::string path;
    for (size_t i = pathStart; i < uri.size(); ++i)
    {
        const char c = uri[i];
        if (c == '%')
        {
            const int high = i + 2 < uri.size() ? HexDigit(uri[i + 1]) : -1;
            const int low = high >= 0 ? HexDigit(uri[i + 2]) : -1;
            if (low < 0 || (high == 0 && low == 0)) return false;
            path += char(high * 16 + low);
            i += 2;
        }
        // A query or fragment has no place in a file's location; control characters have none in a name.
        else if (uint8_t(c) < 0x20 || c == 0x7F || c == '?' || c == '#')
            return false;
        else
            path += c;
    }
    const size_t lastSlash = path.rfind('/');
    std::string name = path.substr(lastSlash + 1);
    std::string folder = lastSlash == 0 ? std::string("/") : path.substr(0, lastSlash);
    if (name.empty() || name == "." || name == "..") return false;
    for (size_t start = 0; start <= folder.size();)
    {
        size_t end = folder.find('/', start);
        if (end == std::string::npos) end = folder.size();
        const std::string level = folder.substr(start, end - start);
        if (level == "." || level == "..") return false;
        start = end + 1;
    }
    outFolder = std::move(folder);
    outName = std::move(name);
    return true;
}

char UDragAndDrop::AnswerPromise(const SDragPromise& promise, const std::string& uri)
{
    std::string folder, name;
    if (!promise.proc || !ParsePromiseUri(uri, platform::HostName(), folder, name)) return kPromiseError;
    platform::SItemInfo info;
    if (platform::GetItemInfo(platform::kNoFolderFD, folder, true, info) != 0 ||
        info.kind != platform::ItemKind::Folder)
        return kPromiseError;
    const char answer = promise.proc(folder, name);
    return answer == kPromiseSaved || answer == kPromiseFallBack ? answer : kPromiseError;
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
