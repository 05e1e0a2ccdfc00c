#include "framework/ui/CWindow.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cstring>

#include "framework/runtime/CApplication.h"
#include "framework/runtime/MessageProc.h"
#include "framework/runtime/UApplication.h"
#include "framework/ui/CWindowHost.h"
#include "framework/ui/UIcons.h"
#include "framework/ui/UiText.h"

namespace
{
CPtrList<CWindow>& Windows()
{
    static CPtrList<CWindow> list;
    return list;
}
uint64_t gNextStamp = 1;
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
    if (mOwner && event->modifiers() == Qt::NoModifier && mOwner->HandleUnusedKey(event->key()))
        event->accept();
    else
        TBase::keyPressEvent(event);
}

template <class TBase>
bool TWindowHost<TBase>::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate && mOwner) mOwner->Activated();
    return TBase::event(event);
}

template class TWindowHost<QWidget>;
template class TWindowHost<QMainWindow>;

CWindow::CWindow(const SRect& bounds, uint16_t kind) : CWindow(bounds, kind, new CWidgetHost(this)) {}

CWindow::CWindow(const SRect& bounds, uint16_t kind, QWidget* host) : mWidget(host), mKind(kind)
{
    Init(bounds);
}

void CWindow::Init(const SRect& bounds)
{
    if (mKind == kWindowModal)
    {
        mWidget->setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint);
        mWidget->setWindowModality(Qt::ApplicationModal);
    }
    else
        mWidget->setWindowFlags(Qt::Window);
    if (bounds.IsValid()) SetBounds(bounds);
    Windows().AddItem(this);
}

CWindow::~CWindow()
{
    // A hit still queued for this window must not reach the application after it is gone.
    UApplication::FlushMessages(CApplication::WindowHitHandler, this, nullptr);
    Windows().RemoveItem(this);
    if (auto* host = dynamic_cast<CWidgetHost*>(mWidget)) host->Detach();
    if (auto* host = dynamic_cast<CMainWindowHost*>(mWidget)) host->Detach();
    mWidget->hide();
    mWidget->deleteLater();
}

void CWindow::SetTitle(const uint8_t* pstring)
{
    mWidget->setWindowTitle(PStringToQString(pstring));
}

void CWindow::SetTitle(const void* text, uint32_t length)
{
    mWidget->setWindowTitle(ToQString(text, length));
}

void CWindow::SetIcon(int16_t iconID)
{
    QIcon icon = UIcons::GetIcon(iconID);
    if (!icon.isNull()) mWidget->setWindowIcon(icon);
}

void CWindow::Show()
{
    mWidget->show();
}

void CWindow::Hide()
{
    mWidget->hide();
}

bool CWindow::IsVisible() const
{
    return mWidget->isVisible();
}

void CWindow::BringToFront()
{
    mWidget->show();
    mWidget->raise();
    mWidget->activateWindow();
    // Offscreen and some window managers never report activation; the window is front-most all the same.
    Activated();
}

void CWindow::Activated()
{
    mActivationStamp = gNextStamp++;
}

void CWindow::GetBounds(SRect& outBounds) const
{
    QRect r = mWidget->geometry();
    outBounds = SRect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

void CWindow::SetBounds(const SRect& bounds)
{
    mWidget->setGeometry(bounds.left, bounds.top, bounds.Width(), bounds.Height());
}

void CWindow::SetLimits(int32_t minWidth, int32_t minHeight, int32_t maxWidth, int32_t maxHeight)
{
    mWidget->setMinimumSize(minWidth, minHeight);
    mWidget->setMaximumSize(std::min(maxWidth, int32_t(QWIDGETSIZE_MAX)),
                            std::min(maxHeight, int32_t(QWIDGETSIZE_MAX)));
}

void CWindow::Place(uint16_t placementCode)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    QSize size = mWidget->size();
    const int margin = 24;
    QPoint at;
    switch (placementCode)
    {
    case kPlaceTopLeft:
        at = QPoint(area.left() + margin, area.top() + margin);
        break;
    case kPlaceTopRight:
        at = QPoint(area.right() - size.width() - margin, area.top() + margin);
        break;
    case kPlaceTopCenter:
        at = QPoint(area.center().x() - size.width() / 2, area.top() + margin);
        break;
    case kPlaceBottomLeft:
        at = QPoint(area.left() + margin, area.bottom() - size.height() - margin);
        break;
    case kPlaceBottomRight:
        at = QPoint(area.right() - size.width() - margin, area.bottom() - size.height() - margin);
        break;
    default:
        at = area.center() - QPoint(size.width() / 2, size.height() / 2);
        break;
    }
    mWidget->move(at);
}

void CWindow::Hit(const SHitMsgData& hit)
{
    if (mModalDepth > 0)
    {
        mModalHit = hit;
        mHasModalHit = true;
        return;
    }
    const uint32_t size =
        uint32_t(offsetof(SHitMsgData, data)) + std::min<uint32_t>(hit.dataSize, sizeof(hit.data));
    UApplication::PostMessage(kMsgWindowHit, &hit, size, 0, CApplication::WindowHitHandler, this, this);
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

uint32_t CWindow::ProcessModal(SHitMsgData* outHit)
{
    ++mModalDepth;
    mHasModalHit = false;
    while (!mHasModalHit && !UApplication::IsQuitting())
    {
        UApplication::Process();
        if (mHasModalHit || UApplication::IsQuitting()) break;
        UApplication::ProcessAndSleep();
    }
    --mModalDepth;
    if (!mHasModalHit) return 0;
    mHasModalHit = false;
    if (outHit) *outHit = mModalHit;
    return mModalHit.id;
}

bool CWindow::HandleUnusedKey(int qtKey)
{
    if ((qtKey == Qt::Key_Return || qtKey == Qt::Key_Enter) && mDefaultHit)
    {
        Hit(mDefaultHit);
        return true;
    }
    if (qtKey == Qt::Key_Escape && mCancelHit)
    {
        Hit(mCancelHit);
        return true;
    }
    return false;
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
        if (w->mKind != kWindowDocument || !w->IsVisible()) continue;
        if (!front || w->mActivationStamp > front->mActivationStamp) front = w;
    }
    return front;
}

CWindow* CWindow::FromWidget(const QWidget* widget)
{
    const QWidget* top = widget ? widget->window() : nullptr;
    for (CWindow* w : Windows())
        if (w->mWidget == top) return w;
    return nullptr;
}
