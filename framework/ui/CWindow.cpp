#include "framework/ui/CWindow.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <cstring>
#include <utility>

#include "framework/runtime/CApplication.h"
#include "framework/runtime/KeyCommands.h"
#include "framework/runtime/MessageProc.h"
#include "framework/runtime/UApplication.h"
#include "framework/ui/CView.h"
#include "framework/ui/CWindowHost.h"
#include "framework/ui/CWindowPlace.h"
#include "framework/ui/UIcons.h"
#include "framework/ui/UKeyPresses.h"
#include "framework/ui/UKeyboard.h"
#include "framework/ui/UModalLoop.h"
#include "framework/ui/UiText.h"

namespace
{
CPtrList<CWindow>& Windows()
{
    static CPtrList<CWindow> list;
    return list;
}
uint64_t gNextStamp = 1;
CWindow::Placer gPlacer;
// A window in a place never gets the desktop's activation: the keyboard focus going into it makes it the
// window the user works in.
void WatchFocusOfPlacedWindows()
{
    static bool watching = false;
    if (watching || !qApp) return;
    watching = true;
    QObject::connect(qApp, &QApplication::focusChanged,
                     [](QWidget*, QWidget* now)
                     {
                         CWindow* w = CWindow::FromWidget(now);
                         if (w && w->GetPlace()) w->Activated();
                     });
}
QPoint gLastStaggered(-1, -1);
constexpr int kStaggerStep = 22;
constexpr int32_t kPlacedMinWidth = 120, kPlacedMinHeight = 60;
} // namespace

template <class TBase>
void TWindowHost<TBase>::closeEvent(QCloseEvent* event)
{
    // The application decides what closing means (hide, destroy, ask): the widget itself stays.
    event->ignore();
    if (mOwner) mOwner->CloseBoxClicked();
}

template <class TBase>
void TWindowHost<TBase>::keyPressEvent(QKeyEvent* event)
{
    // Keys reach the window only when the view with the focus did not use them.
    if (mOwner)
    {
        SKeyMsgData key;
        if (UKeyboard::Translate(*event, key) && mOwner->KeyDown(key))
        {
            event->accept();
            return;
        }
        // Ctrl+Return is Return for the default button: a box of several lines takes plain Return.
        const bool ctrlReturn = (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
                                event->modifiers() == Qt::ControlModifier;
        if ((event->modifiers() == Qt::NoModifier || ctrlReturn) && mOwner->HandleUnusedKey(event->key()))
        {
            event->accept();
            return;
        }
    }
    TBase::keyPressEvent(event);
}

template <class TBase>
void TWindowHost<TBase>::changeEvent(QEvent* event)
{
    // The maximise button is the zoom box: the window decides what zooming means.
    if (event->type() == QEvent::WindowStateChange && mOwner && mOwner->TakesZoomBox() &&
        (this->windowState() & Qt::WindowMaximized))
    {
        this->setWindowState(this->windowState() & ~Qt::WindowMaximized);
        CWindow* owner = mOwner;
        QMetaObject::invokeMethod(
            this, [owner] { owner->ZoomBoxClicked(); }, Qt::QueuedConnection);
    }
    TBase::changeEvent(event);
}

template <class TBase>
bool TWindowHost<TBase>::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate && mOwner) mOwner->Activated();
    if (event->type() == QEvent::Show && mOwner && !event->spontaneous()) mOwner->Shown();
    return TBase::event(event);
}

template class TWindowHost<QWidget>;
template class TWindowHost<QMainWindow>;

CWindow::CWindow(const SRect& bounds, uint16_t kind, uint16_t style)
    : CWindow(bounds, kind, style, new CWidgetHost(this))
{
}

CWindow::CWindow(const SRect& bounds, uint16_t kind, uint16_t style, QWidget* host)
    : mWidget(host), mKind(kind), mStyle(style)
{
    Init(bounds);
}

void CWindow::Init(const SRect& bounds)
{
    if (auto* main = qobject_cast<QMainWindow*>(mWidget))
    {
        mContent = new QWidget(main);
        main->setCentralWidget(mContent);
    }
    else
        mContent = mWidget;
    InstallSizingRule(mContent);
    if (mKind == kWindowModal)
    {
        mWidget->setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint |
                                Qt::WindowCloseButtonHint);
        mWidget->setWindowModality(Qt::ApplicationModal);
    }
    else
    {
        Qt::WindowFlags flags =
            Qt::Window | Qt::WindowTitleHint | Qt::CustomizeWindowHint | Qt::WindowMinimizeButtonHint;
        if (mStyle & kWindowCloseBox || mKind == kWindowFrame) flags |= Qt::WindowCloseButtonHint;
        if (mStyle & kWindowResizable) flags |= Qt::WindowMaximizeButtonHint;
        mWidget->setWindowFlags(flags);
    }
    if (bounds.IsValid()) SetBounds(bounds);
    Windows().AddItem(this);
    WatchFocusOfPlacedWindows();
}

CWindow::~CWindow()
{
    // A hit still queued for this window must not reach the application after it is gone.
    UApplication::FlushMessages(CApplication::WindowHitHandler, this, nullptr);
    Windows().RemoveItem(this);
    if (CWindowPlace* place = std::exchange(mPlace, nullptr)) place->Release(this, mWidget);
    if (auto* host = dynamic_cast<CWidgetHost*>(mWidget)) host->Detach();
    if (auto* host = dynamic_cast<CMainWindowHost*>(mWidget)) host->Detach();
    mWidget->hide();
    // Later, not now: the window may be destroyed from inside one of its own widgets' event handlers.
    // Its views go with the widgets; until then they find no window and report nothing.
    mWidget->deleteLater();
}

std::string CWindow::GetTitle() const
{
    return FromQString(mWidget->windowTitle());
}

void CWindow::SetTitle(const uint8_t* pstring)
{
    mWidget->setWindowTitle(PStringToQString(pstring));
    if (mPlace) mPlace->TitleChanged(this);
}

void CWindow::SetTitle(const void* text, uint32_t length)
{
    mWidget->setWindowTitle(ToQString(text, length));
    if (mPlace) mPlace->TitleChanged(this);
}

void CWindow::SetIcon(int16_t iconID)
{
    QIcon icon = UIcons::GetIcon(iconID);
    if (!icon.isNull()) mWidget->setWindowIcon(icon);
    if (mPlace) mPlace->TitleChanged(this);
}

void CWindow::SetPlacer(Placer placer)
{
    gPlacer = std::move(placer);
}

void CWindow::AskPlacer()
{
    if (mPlacerAsked || mPlace) return;
    mPlacerAsked = true;
    if (!gPlacer || !IsDocumentLayer()) return;
    if (CWindowPlace* place = gPlacer(this)) SetPlace(place);
}

void CWindow::SetPlace(CWindowPlace* place)
{
    mPlacerAsked = true;
    if (place == mPlace) return;
    const bool shown = IsVisible();
    // The place (or the desktop) gives the widget its size while it is hidden: the views fit this one.
    NoteLaidOutSize(mContent);
    if (mPlace)
    {
        std::exchange(mPlace, nullptr)->Release(this, mWidget);
        if (!place)
        {
            // Back to a window of its own, where it was as one.
            mWidget->setParent(nullptr, Qt::WindowFlags(mOwnFlags));
            mWidget->setMinimumSize(mOwnMinWidth, mOwnMinHeight);
            if (mOwnBounds.IsValid()) SetBounds(mOwnBounds);
            if (shown) mWidget->show();
            return;
        }
    }
    else
    {
        GetBounds(mOwnBounds);
        mOwnFlags = uint32_t(mWidget->windowFlags().toInt());
        mOwnMinWidth = mWidget->minimumWidth();
        mOwnMinHeight = mWidget->minimumHeight();
        // The least size of a window of its own would add up across the panes to more than a small
        // screen (or a large scale) has room for: in a place the user may make it smaller.
        mWidget->setMinimumSize(std::min(mOwnMinWidth, kPlacedMinWidth),
                                std::min(mOwnMinHeight, kPlacedMinHeight));
        mWidget->hide();
    }
    mPlace = place;
    place->Adopt(this, mWidget);
    place->TitleChanged(this);
    if (shown) place->Show(this);
}

void CWindow::Show()
{
    AskPlacer();
    if (mPlace)
        mPlace->Show(this);
    else
        mWidget->show();
}

void CWindow::Hide()
{
    if (mPlace)
        mPlace->Hide(this);
    else
        mWidget->hide();
}

bool CWindow::IsVisible() const
{
    return mPlace ? mPlace->IsShown(this) : mWidget->isVisible();
}

void CWindow::BringToFront()
{
    AskPlacer();
    if (mPlace)
    {
        mPlace->BringToFront(this);
        Activated();
        return;
    }
    // A minimised window in front would still be out of sight.
    if (mWidget->isMinimized()) mWidget->setWindowState(mWidget->windowState() & ~Qt::WindowMinimized);
    mWidget->show();
    mWidget->raise();
    mWidget->activateWindow();
    // Offscreen and some window managers never report activation; the window is front-most all the same.
    Activated();
}

void CWindow::ShowBehind()
{
    AskPlacer();
    if (mPlace)
    {
        mPlace->ShowBehind(this);
        return;
    }
    const bool quiet = mWidget->testAttribute(Qt::WA_ShowWithoutActivating);
    mWidget->setAttribute(Qt::WA_ShowWithoutActivating, true);
    mWidget->show();
    mWidget->lower();
    mWidget->setAttribute(Qt::WA_ShowWithoutActivating, quiet);
}

void CWindow::Activated()
{
    mActivationStamp = gNextStamp++;
}

void CWindow::Shown()
{
    mFirstOwnKeyPress = UKeyPresses::NextPress();
}

bool CWindow::TakesKeyPress(uint64_t press) const
{
    // A modal box may be shown before its loop starts; either makes it a window that waits.
    if (mKind != kWindowModal && !mRunsModally) return true;
    return press != 0 && press >= mFirstOwnKeyPress;
}

void CWindow::GetBounds(SRect& outBounds) const
{
    // In a place the bounds are those the window has as a window of its own: what the preferences keep
    // and where it goes when it leaves the place.
    if (mPlace)
    {
        outBounds = mOwnBounds;
        return;
    }
    // From the window's own geometry: the layout that places the content may not have run yet.
    const QRect frame = mWidget->geometry();
    const int32_t chrome = ChromeHeight(frame.width());
    outBounds =
        SRect{frame.left(), frame.top() + chrome, frame.left() + frame.width(), frame.top() + frame.height()};
}

void CWindow::SetBounds(const SRect& bounds)
{
    if (!bounds.IsValid()) return;
    if (mPlace)
    {
        mOwnBounds = bounds;
        return;
    }
    const int32_t chrome = ChromeHeight(bounds.Width());
    const QRect r(bounds.left, bounds.top - chrome, bounds.Width(), bounds.Height() + chrome);
    if (!IsResizable()) mWidget->setFixedSize(r.size());
    mWidget->setGeometry(r);
    if (mContent != mWidget) mContent->resize(bounds.Width(), bounds.Height());
}

void CWindow::SetLimits(int32_t minWidth, int32_t minHeight, int32_t maxWidth, int32_t maxHeight)
{
    const int32_t chrome = ChromeHeight(minWidth);
    if (mPlace)
    {
        mOwnMinWidth = std::max(0, minWidth);
        mOwnMinHeight = std::max(0, minHeight + chrome);
        return;
    }
    mWidget->setMinimumSize(std::max(0, minWidth), std::max(0, minHeight + chrome));
    mWidget->setMaximumSize(std::clamp(maxWidth, 1, int32_t(QWIDGETSIZE_MAX)),
                            std::clamp(maxHeight + chrome, 1, int32_t(QWIDGETSIZE_MAX)));
}

void CWindow::MakeResizable()
{
    mGrows = true;
    // What it was built at is the least it needs.
    mWidget->setMinimumSize(mWidget->size());
    mWidget->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

void CWindow::GetZoomLimits(SRect& outArea)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    outArea = SRect{area.left(), area.top(), area.left() + area.width(), area.top() + area.height()};
}

bool CWindow::IsOnScreen(const SRect& bounds)
{
    if (!bounds.IsValid()) return false;
    // The top of the window, where it is grabbed, must show on one screen: its whole height up to a strip's
    // and enough of its width. The sums are taken wide so that any saved numbers are safe.
    constexpr int64_t kGrabWidth = 48, kGrabHeight = 16;
    const int64_t width = int64_t(bounds.right) - bounds.left, height = int64_t(bounds.bottom) - bounds.top;
    const int64_t stripBottom = bounds.top + std::min(height, kGrabHeight);
    for (QScreen* screen : QGuiApplication::screens())
    {
        const QRect a = screen->availableGeometry();
        const int64_t areaRight = int64_t(a.left()) + a.width(), areaBottom = int64_t(a.top()) + a.height();
        if (bounds.top < a.top() || stripBottom > areaBottom) continue;
        const int64_t seen =
            std::min<int64_t>(bounds.right, areaRight) - std::max<int64_t>(bounds.left, a.left());
        if (seen >= std::min(width, kGrabWidth)) return true;
    }
    return false;
}

void CWindow::Place(uint16_t placementCode)
{
    if (mPlace) return;
    SRect area;
    GetZoomLimits(area);
    SRect b;
    GetBounds(b);
    const int32_t w = b.Width(), h = b.Height() + ChromeHeight(b.Width());
    const int32_t margin = 24, titleBar = 28;
    int32_t x, y;
    switch (placementCode)
    {
    case kPlaceTopLeft:
        x = area.left + margin;
        y = area.top + margin + titleBar;
        break;
    case kPlaceTopRight:
        x = area.right - w - margin;
        y = area.top + margin + titleBar;
        break;
    case kPlaceTopCenter:
        x = (area.left + area.right - w) / 2;
        y = area.top + margin + titleBar;
        break;
    case kPlaceBottomLeft:
        x = area.left + margin;
        y = area.bottom - h - margin;
        break;
    case kPlaceBottomRight:
        x = area.right - w - margin;
        y = area.bottom - h - margin;
        break;
    default: // centred, a little above the middle as dialogs are
        x = (area.left + area.right - w) / 2;
        y = area.top + std::max(titleBar, (area.Height() - h) / 3);
        // A dialog belongs to the window the user works in: it opens over it, centred on it, and the
        // desktop keeps it above that window.
        if (QWidget* owner = QApplication::activeWindow(); owner && owner != mWidget && mKind == kWindowModal)
        {
            const QRect o = owner->frameGeometry();
            x = o.left() + (o.width() - w) / 2;
            y = o.top() + (o.height() - h) / 2;
            x = std::min(x, area.right - w);
            y = std::min(y, area.bottom - h);
            mWidget->winId();
            if (QWindow* handle = mWidget->windowHandle()) handle->setTransientParent(owner->windowHandle());
        }
        break;
    }
    mWidget->move(std::max(area.left, x), std::max(area.top, y));
}

void CWindow::SetAutoBounds(uint16_t placementCode, uint16_t secondCode)
{
    if (mPlace) return;
    Place(placementCode);
    if (secondCode != kPlaceMainScreen || !IsDocumentLayer()) return;
    SRect area;
    GetZoomLimits(area);
    QPoint at = mWidget->pos();
    if (gLastStaggered.x() >= 0)
    {
        at = gLastStaggered + QPoint(kStaggerStep, kStaggerStep);
        if (at.x() + mWidget->width() > area.right || at.y() + mWidget->height() > area.bottom)
            at = mWidget->pos();
    }
    gLastStaggered = at;
    mWidget->move(at);
}

void CWindow::Hit(const SHitMsgData& hit)
{
    // A window that is run modally keeps its hits for its loop, also between two turns of the loop
    // (while the caller handles the hit before), so that a burst of hits loses none.
    if (mModalDepth > 0 || mRunsModally)
    {
        mModalHits.push_back(hit);
        return;
    }
    // The whole record travels, so that a handler may copy it without reading past the message.
    UApplication::PostMessage(kMsgWindowHit, &hit, sizeof(hit), 0, CApplication::WindowHitHandler, this,
                              this);
}

void CWindow::Hit(uint32_t id, uint16_t part, uint16_t mods)
{
    SHitMsgData hit{};
    hit.id = id;
    hit.cmd = id;
    hit.part = part;
    hit.mods = mods;
    Hit(hit);
}

namespace
{
CWindow::ModalObserver& TheModalObserver()
{
    static CWindow::ModalObserver observer;
    return observer;
}
} // namespace

void CWindow::SetModalObserver(ModalObserver observer)
{
    TheModalObserver() = std::move(observer);
}

bool CWindow::NextModalHit(SHitMsgData& outHit)
{
    mRunsModally = true;
    ++mModalDepth;
    if (TheModalObserver()) TheModalObserver()(this);
    UModalLoop::Run([this] { return !mModalHits.empty(); });
    --mModalDepth;
    if (mModalHits.empty()) return false;
    outHit = mModalHits.front();
    mModalHits.pop_front();
    return true;
}

uint32_t CWindow::ProcessModal(SHitMsgData* outHit)
{
    SHitMsgData hit{};
    if (!NextModalHit(hit)) return 0;
    if (outHit) *outHit = hit;
    return hit.id;
}

bool CWindow::IsModalRunning()
{
    // Every window that waits for the user (these, the alert, the file dialogs) waits in the one loop.
    if (UModalLoop::GetDepth() > 0) return true;
    for (CWindow* w : Windows())
        if (w->IsInModalLoop()) return true;
    return false;
}

bool CWindow::HandleUnusedKey(int qtKey)
{
    if ((qtKey == Qt::Key_Return || qtKey == Qt::Key_Enter) && mDefaultHit)
    {
        if (CView* v = FindView(mDefaultHit); v && !v->IsEnabled()) return true;
        Hit(mDefaultHit);
        return true;
    }
    if (qtKey == Qt::Key_Escape && mCancelHit)
    {
        Hit(mCancelHit);
        return true;
    }
    // A dialog without a cancel button closes on Escape as on its close box; whoever runs it decides what
    // that answers.
    if (qtKey == Qt::Key_Escape && mKind == kWindowModal)
    {
        CloseBoxClicked();
        return true;
    }
    return false;
}

bool CWindow::KeyDown(const SKeyMsgData&)
{
    return false;
}

void CWindow::UserZoom()
{
    // A pane or a tab takes the size its place gives it.
    if (mPlace) return;
    if (mZoomed && mUnzoomedBounds.IsValid())
    {
        SetBounds(mUnzoomedBounds);
        mZoomed = false;
        return;
    }
    GetBounds(mUnzoomedBounds);
    SRect area;
    GetZoomLimits(area);
    area.top += ChromeHeight(area.Width()) + 28;
    area.left += 4;
    area.right -= 4;
    area.bottom -= 4;
    SetBounds(area);
    mZoomed = true;
}

void CWindow::ZoomBoxClicked()
{
    if (mStyle & kWindowResizable) UserZoom();
}

CView* CWindow::FindView(uint32_t id) const
{
    for (QWidget* w : mContent->findChildren<QWidget*>())
    {
        CView* v = CView::FromWidget(w);
        if (v && v->Widget() == w && v->GetID() == id) return v;
    }
    return nullptr;
}

void CWindow::CloseBoxClicked()
{
    Hit(kHitCloseBox);
}

uint32_t CWindow::GetWindowCount()
{
    return Windows().GetItemCount();
}

CWindow* CWindow::GetWindow(uint32_t index)
{
    return Windows().GetItem(index);
}

CWindow* CWindow::GetFrontWindow()
{
    CWindow* front = nullptr;
    for (CWindow* w : Windows())
    {
        if (!w->IsDocumentLayer() || !w->IsVisible()) continue;
        if (!front || w->mActivationStamp > front->mActivationStamp) front = w;
    }
    return front;
}

CWindow* CWindow::FromWidget(const QWidget* widget)
{
    // The nearest window up the widget's parents: a window in a place sits inside another window.
    for (const QWidget* at = widget; at; at = at->parentWidget())
        for (CWindow* w : Windows())
            if (w->mWidget == at) return w;
    return nullptr;
}
