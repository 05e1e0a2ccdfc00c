// Every window and dialog of the client, shown as it opens, with the text of each label, button, check
// box, tab and group measured by the font's metrics against the room its widget gives it: a text that
// runs past it is cut off or elided on the user's screen. ctest runs these tests a second time at
// scale 2 (QT_SCALE_FACTOR), where rounding gives the texts a few more pixels. The same walk finds the
// controls that Tab never reaches.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDockWidget>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "client/app/CMyAboutWin.h"
#include "client/app/CMyMainWindow.h"
#include "client/app/CMyOldToolbarWin.h"
#include "client/app/CMyWindowSet.h"
#include "client/boxes/MsgBox.h"
#include "client/chat/CMyChatInviteWin.h"
#include "client/chat/CMyChatSubjectWin.h"
#include "client/chat/CMyChatWin.h"
#include "client/chat/CMyConversationWin.h"
#include "client/chat/CMyOldChatWin.h"
#include "client/chat/CMyPrivMsgWin.h"
#include "client/chat/CMySecretWin.h"
#include "client/chat/CMySendPrivMsgWin.h"
#include "client/connection/CMyAgreementWin.h"
#include "client/connection/CMyLoginWin.h"
#include "client/files/CMyFileInfoWin.h"
#include "client/files/CMyFolderWin.h"
#include "client/files/CMyNewFolderWin.h"
#include "client/news/CMyBroadcastWin.h"
#include "client/news/CMyEnterMsgWin.h"
#include "client/prefs/CMyOptionsWin.h"
#include "client/tasks/CMyTasksWin.h"
#include "client/tracker/CInfoWindow.h"
#include "client/tracker/CMyServersWindow.h"
#include "client/tracker/CTrackersListWin.h"
#include "client/users/CMyEditUserWin.h"
#include "client/users/CMyOpenUserWin.h"
#include "client/users/CMyUserListWin.h"
#include "client/widgets/CMyMsgWin.h"
#include "client/widgets/CMyTextWin.h"
#include "framework/ui/CWindow.h"
#include "tests/support/CAppHarness.h"

namespace
{
QString Shown(const QString& text)
{
    // A lone '&' marks the mnemonic and takes no room; "&&" shows one.
    QString s = text;
    s.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    s.remove(QLatin1Char('&'));
    s.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return s;
}

int WidestLine(const QFontMetrics& fm, const QString& text)
{
    int widest = 0;
    for (const QString& line : text.split(QLatin1Char('\n')))
        widest = std::max(widest, fm.horizontalAdvance(line));
    return widest;
}

int WidestWord(const QFontMetrics& fm, const QString& text)
{
    int widest = 0;
    for (const QString& word : text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
        widest = std::max(widest, fm.horizontalAdvance(word));
    return widest;
}

std::string Describe(const std::string& window, const QWidget* w, const QString& text, int need, int room)
{
    return window + ": " + w->metaObject()->className() + " \"" + text.toStdString() + "\" needs " +
           std::to_string(need) + " px, has " + std::to_string(room);
}

// The faults of one widget as it shows now.
void CheckWidget(const std::string& window, QWidget* w, std::vector<std::string>& faults)
{
    const QFontMetrics fm = w->fontMetrics();
    QStyle* style = w->style();
    if (auto* label = qobject_cast<QLabel*>(w))
    {
        const QString text = label->textFormat() == Qt::RichText || Qt::mightBeRichText(label->text())
                                 ? QTextDocumentFragment::fromHtml(label->text()).toPlainText()
                                 : Shown(label->text());
        if (text.trimmed().isEmpty()) return;
        const QRect room = label->contentsRect().adjusted(label->margin(), label->margin(), -label->margin(),
                                                          -label->margin());
        if (!label->wordWrap())
        {
            if (const int need = WidestLine(fm, text); need > room.width())
                faults.push_back(Describe(window, w, text, need, room.width()));
            return;
        }
        // A wrapping label breaks between words only, and shows the lines its height has room for: a
        // missing line is a cut text, a pixel of a descender is not.
        if (const int need = WidestWord(fm, text); need > room.width())
            faults.push_back(Describe(window, w, text, need, room.width()));
        else if (const int height = label->heightForWidth(label->width());
                 height > room.height() + fm.height() / 2)
            faults.push_back(Describe(window, w, text, height, room.height()) + " (height)");
        return;
    }
    if (auto* button = qobject_cast<QAbstractButton*>(w))
    {
        const QString text = Shown(button->text());
        if (text.isEmpty()) return;
        if (qobject_cast<QToolButton*>(w))
        {
            if (button->sizeHint().width() > button->width())
                faults.push_back(Describe(window, w, text, button->sizeHint().width(), button->width()));
            return;
        }
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        option.icon = button->icon();
        option.iconSize = button->iconSize();
        QStyle::SubElement contents = QStyle::SE_PushButtonContents;
        if (qobject_cast<QCheckBox*>(w)) contents = QStyle::SE_CheckBoxContents;
        if (qobject_cast<QRadioButton*>(w)) contents = QStyle::SE_RadioButtonContents;
        int need = WidestLine(fm, text);
        if (!button->icon().isNull() && contents == QStyle::SE_PushButtonContents)
            need += button->iconSize().width() + 4;
        const int room = style->subElementRect(contents, &option, button).width();
        if (need > room) faults.push_back(Describe(window, w, text, need, room));
        return;
    }
    if (auto* group = qobject_cast<QGroupBox*>(w))
    {
        const QString text = Shown(group->title());
        if (!text.isEmpty() && fm.horizontalAdvance(text) + 16 > group->width())
            faults.push_back(Describe(window, w, text, fm.horizontalAdvance(text) + 16, group->width()));
        return;
    }
    if (auto* combo = qobject_cast<QComboBox*>(w))
    {
        QStyleOptionComboBox option;
        option.initFrom(combo);
        option.editable = combo->isEditable();
        const int room =
            style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo).width();
        // A combo box no wider than its arrow is a button that opens a menu of whole texts.
        if (room < fm.averageCharWidth() * 2) return;
        for (int i = 0; i < combo->count(); ++i)
            if (const int need = fm.horizontalAdvance(combo->itemText(i)); need > room)
                faults.push_back(Describe(window, w, combo->itemText(i), need, room));
        return;
    }
    if (auto* bar = qobject_cast<QTabBar*>(w))
    {
        // Tabs that do not all fit are elided or scrolled out of sight.
        if (!bar->documentMode() && bar->sizeHint().width() > bar->width())
            faults.push_back(Describe(window, w, bar->tabText(0) + QStringLiteral("\xE2\x80\xA6"),
                                      bar->sizeHint().width(), bar->width()));
    }
}

// Buttons, fields, lists and menus take the focus from Tab. Not the parts of the toolkit's own furniture
// that desktops leave out of it (toolbar buttons, the title buttons of a pane, a tab bar's scroll arrows),
// nor read-only text, which the mouse selects.
void CheckReach(const std::string& window, QWidget* w, std::vector<std::string>& faults)
{
    if (!w->isEnabled()) return;
    const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
                         qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractScrollArea*>(w);
    if (!control || (w->focusPolicy() & Qt::TabFocus)) return;
    if (qobject_cast<QDockWidget*>(w->parentWidget())) return;
    for (QWidget* up = w->parentWidget(); up; up = up->parentWidget())
        if (qobject_cast<QToolBar*>(up) || qobject_cast<QTabBar*>(up) || qobject_cast<QStatusBar*>(up))
            return;
    if (auto* text = qobject_cast<QPlainTextEdit*>(w); text && text->isReadOnly()) return;
    if (auto* text = qobject_cast<QTextEdit*>(w); text && text->isReadOnly()) return;
    faults.push_back(window + ": " + w->metaObject()->className() + " \"" + w->objectName().toStdString() +
                     "\" cannot be reached with Tab");
}

std::vector<std::string> gUnreached;

void CheckShown(const std::string& window, QWidget* root, std::vector<std::string>& faults)
{
    for (QWidget* w : root->findChildren<QWidget*>())
        if (w->isVisibleTo(root) && w->width() > 0 && w->height() > 0)
        {
            CheckWidget(window, w, faults);
            CheckReach(window, w, gUnreached);
        }
}

// The window as it first shows, each of its tabs in turn.
std::vector<std::string> Faults(const std::string& name, CWindow* window)
{
    window->Show();
    QApplication::processEvents();
    std::vector<std::string> faults;
    QWidget* root = window->Widget();
    std::vector<QTabWidget*> tabbed;
    for (QTabWidget* tabs : root->findChildren<QTabWidget*>())
        if (!tabs->documentMode()) tabbed.push_back(tabs);
    if (tabbed.empty()) CheckShown(name, root, faults);
    for (QTabWidget* tabs : tabbed)
        for (int i = 0; i < tabs->count(); ++i)
        {
            tabs->setCurrentIndex(i);
            QApplication::processEvents();
            CheckShown(name + " [" + tabs->tabText(i).toStdString() + "]", root, faults);
        }
    window->Hide();
    return faults;
}

void ExpectNoFaults(const std::vector<std::string>& faults)
{
    std::string all;
    for (const std::string& f : faults)
        all += "\n  " + f;
    EXPECT_TRUE(faults.empty()) << "cut texts at scale " << qgetenv("QT_SCALE_FACTOR").toStdString() << ":"
                                << all;
}

std::vector<std::string> gBoxFaults;

uint16_t CheckBox(int16_t id, const SMsgBox& box)
{
    std::unique_ptr<CMyMsgBoxWin> win(MakeMsgBoxWin(box));
    const std::vector<std::string> faults = Faults("box " + std::to_string(id), win.get());
    gBoxFaults.insert(gBoxFaults.end(), faults.begin(), faults.end());
    return 1;
}

class ClippedText : public ::testing::Test
{
protected:
    CAppHarness h;
};
} // namespace

TEST_F(ClippedText, EveryWindowShowsItsTextsWholeAndTabReachesEveryControl)
{
    gUnreached.clear();
    h.layout = "main";
    h.Start();
    std::vector<std::string> faults;
    auto add = [&faults](const std::string& name, CWindow* window)
    {
        const std::vector<std::string> more = Faults(name, window);
        faults.insert(faults.end(), more.begin(), more.end());
    };
    add("main window", h.App().Features().Windows().Main());
    const uint8_t kName[] = "\x05Robin";
    const std::vector<std::pair<std::string, std::function<CWindow*()>>> windows = {
        {"options", [] { return new CMyOptionsWin; }},
        {"connect", [] { return new CMyLoginWin; }},
        {"post news", [] { return new CMyEnterMsgWin; }},
        {"broadcast", [] { return new CMyBroadcastWin; }},
        {"private message", [&] { return new CMySendPrivMsgWin(kName); }},
        {"message received",
         []
         {
             auto* w = new CMyPrivMsgWin;
             w->SetQuotText("Are you around?", 15);
             w->SetText("Lunch at noon?", 14);
             w->ShowDateAndTime();
             return w;
         }},
        {"conversation",
         [&]
         {
             auto* w = new CMyConversationWin(1, 2, kName);
             w->AddMessage("Lunch at noon?", "Are you around?", false);
             return w;
         }},
        {"file info", [] { return new CMyFileInfoWin; }},
        {"new account", [] { return new CMyEditUserWin(true); }},
        {"edit account", [] { return new CMyEditUserWin(false); }},
        {"open account", [] { return new CMyOpenUserWin; }},
        {"new folder", [] { return new CMyNewFolderWin; }},
        {"rename", [&] { return new CMyNewFolderWin(kName); }},
        {"agreement", [] { return new CMyAgreementWin; }},
        {"about", [] { return new CMyAboutWin; }},
        {"chat invitation", [&] { return new CMyChatInviteWin(7, kName); }},
        {"chat subject", [] { return new CMyChatSubjectWin; }},
        {"private chat", [] { return new CMyChatWin(7); }},
        {"secret", [] { return new CMySecretWin; }},
        {"server message", [] { return new CMyMsgWin(0); }},
        {"folder", [] { return new CMyFolderWin; }},
        {"trackers", [] { return new CTrackersListWin; }},
        {"servers", [] { return new CMyServersWindow; }},
        {"tracker info", [] { return new CInfoWindow; }},
        {"toolbar window", [] { return new CMyOldToolbarWin; }},
    };
    for (const auto& [name, make] : windows)
    {
        std::unique_ptr<CWindow> window(make());
        // Dialogs open as windows of their own, not as tabs.
        window->SetPlace(nullptr);
        add(name, window.get());
    }
    const CMyWindowSet& set = h.App().Features().Windows();
    for (CWindow* w : std::vector<CWindow*>{set.Users(), set.Tasks(), set.Chat(), set.News()})
        add(CAppHarness::Title(w), w);

    // Every numbered box, with a name where its message takes one.
    gBoxFaults.clear();
    SetMsgBoxHook(CheckBox);
    for (int16_t id = 128; id <= 150; ++id)
    {
        try
        {
            MsgBox(id, kName, kName, kName);
        }
        catch (...)
        {
            // Not a box of the client's.
        }
    }
    SetMsgBoxHook(nullptr);
    faults.insert(faults.end(), gBoxFaults.begin(), gBoxFaults.end());
    ExpectNoFaults(faults);
    std::string unreached;
    for (const std::string& f : gUnreached)
        unreached += "\n  " + f;
    EXPECT_TRUE(gUnreached.empty()) << unreached;
}
