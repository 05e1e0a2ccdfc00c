// Windows built from descriptions: the account dialog's stored description, every view kind, the lookup
// by id, and descriptions that are cut or wrong (each must fail cleanly, never read past its bytes).
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "framework/runtime/FourCC.h"
#include "framework/runtime/UMemory.h"
#include "framework/runtime/URez.h"
#include "framework/ui/CButtonPopupView.h"
#include "framework/ui/CButtonView.h"
#include "framework/ui/CCheckBoxView.h"
#include "framework/ui/CContainerView.h"
#include "framework/ui/CIconButtonView.h"
#include "framework/ui/CLabelView.h"
#include "framework/ui/CProgressView.h"
#include "framework/ui/CScrollerView.h"
#include "framework/ui/CTextView.h"
#include "framework/ui/CWindow.h"
#include "framework/ui/UWinDescription.h"
#include "framework/ui/UWinFromRes.h"
#include "tests/framework/ui/UiTestSupport.h"
#include "tests/support/TestDataFile.h"

namespace
{
std::string BE32(uint32_t v)
{
    return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}

std::string Rect(int16_t l, int16_t t, int16_t r, int16_t b)
{
    std::string s;
    for (int16_t v : {l, t, r, b})
        s += {char(uint16_t(v) >> 8), char(v)};
    return s;
}

std::string Counted(const std::string& text)
{
    return std::string{char(text.size() >> 8), char(text.size())} + text;
}

std::string View(const char* kind, const std::string& rect, uint32_t id, const std::string& part,
                 uint32_t cmd = 0)
{
    return std::string(kind, 4) + rect + BE32(id) + BE32(cmd) + BE32(0) + part + std::string(8, '\0');
}

std::string Container(uint32_t id, const std::vector<std::string>& children)
{
    std::string out = "ctrv" + Rect(0, 0, 200, 200) + BE32(id) + BE32(0) + BE32(0) + BE32(0) + BE32(0) +
                      BE32(0) + BE32(uint32_t(children.size())) + std::string(8, '\0');
    for (const std::string& c : children)
        out += c;
    return out + std::string(8, '\0');
}

std::string Window(const std::string& root, const std::string& title = "Kinds", uint32_t version = 10)
{
    return BE32(version) + BE32(0) + BE32(4) + BE32(5) + std::string(8, '\0') + Rect(10, 10, 210, 210) +
           std::string(8, '\0') + char(title.size()) + title + root;
}

std::string OptionWords(std::initializer_list<uint32_t> words)
{
    std::string s;
    for (uint32_t w : words)
        s += BE32(w);
    return s;
}

std::string AccountDialog()
{
    UseBuiltDataFile();
    const uint32_t type = FourCC("WIND");
    TRezObj* rez = URez::SearchChain(type, 128);
    if (!rez) return {};
    StRezLoader item(rez, type, 128);
    StHandleLocker lock(item.Handle());
    return std::string(reinterpret_cast<const char*>(lock.Data()), UMemory::GetSize(item.Handle()));
}

std::unique_ptr<CWindow> Build(const std::string& bytes)
{
    return std::unique_ptr<CWindow>(UWinFromRes::New(bytes.data(), uint32_t(bytes.size())));
}

template <class T>
T* Get(CWindow* w, uint32_t id)
{
    return dynamic_cast<T*>(UWinFromRes::GetView(w, id));
}
} // namespace

TEST(WinFromRes, TheStoredAccountDialogBuildsWithItsSixteenViews)
{
    CHitRecorder app;
    const std::string bytes = AccountDialog();
    ASSERT_EQ(bytes.size(), 893u) << "the data file holds the account dialog as 'WIND' 128";
    auto w = Build(bytes);
    ASSERT_TRUE(w);
    EXPECT_EQ(w->Widget()->windowTitle(), "Server");
    EXPECT_EQ(w->GetKind(), kWindowModal);
    EXPECT_FALSE(w->IsVisible());
    auto* root = Get<CContainerView>(w.get(), 1);
    ASSERT_TRUE(root);
    int views = 0;
    for (QObject* child : root->Widget()->children())
        if (child->isWidgetType() && CView::FromWidget(static_cast<QWidget*>(child))) ++views;
    EXPECT_EQ(views, 16);

    // A text box answers to its id with its scroller; the text view inside holds the initial text.
    auto* name = Get<CScrollerView>(w.get(), 5);
    ASSERT_TRUE(name);
    auto* field = dynamic_cast<CTextView*>(name->GetContent());
    ASSERT_TRUE(field);
    EXPECT_EQ(field->GetText(), " ");
    EXPECT_EQ(name->GetOptions(), kScrollFrame);
    EXPECT_FALSE(field->IsMultiLine());
    SRect b;
    name->GetBounds(b);
    EXPECT_EQ(b.left, 86);
    EXPECT_EQ(b.bottom, 47);

    EXPECT_EQ(Get<CLabelView>(w.get(), 4)->Label()->text(), "Address:");
    EXPECT_EQ(Get<CButtonView>(w.get(), 9)->Button()->text(), "Save");
    EXPECT_EQ(Get<CButtonView>(w.get(), 11)->Button()->text(), "Cancel");
    auto* guest = Get<CCheckBoxView>(w.get(), 16);
    ASSERT_TRUE(guest);
    EXPECT_EQ(guest->GetStyle(), kRadioStyle);
    EXPECT_TRUE(guest->GetMark());
    EXPECT_TRUE(Get<CCheckBoxView>(w.get(), 17)->GetMark());
    EXPECT_EQ(Get<CIconButtonView>(w.get(), 200)->GetIcon(), 128);
    EXPECT_EQ(static_cast<QGroupBox*>(Get<CBoxView>(w.get(), 2)->Widget())->title(), "Tracker Info");
    // The inner box is a plain frame: its title is not shown.
    EXPECT_EQ(static_cast<QGroupBox*>(Get<CBoxView>(w.get(), 10)->Widget())->title(), "");
    EXPECT_EQ(UWinFromRes::GetView(w.get(), 999), nullptr);
}

TEST(WinFromRes, EveryCutOfTheDialogFailsCleanlyUntilOnlyTrailingBytesAreMissing)
{
    CHitRecorder app;
    const std::string bytes = AccountDialog();
    ASSERT_EQ(bytes.size(), 893u);
    // The icon button's id ends at 884; after it come only trailing bytes, which may be missing.
    for (size_t size = 0; size <= bytes.size(); ++size)
    {
        SWinDesc desc;
        const bool built = UWinDescription::Parse(bytes.data(), uint32_t(size), desc);
        EXPECT_EQ(built, size >= 884) << "cut at " << size;
    }
    EXPECT_TRUE(Build(bytes.substr(0, 884)));
    EXPECT_FALSE(Build(bytes.substr(0, 883)));
}

TEST(WinFromRes, EveryKindIsBuiltWithItsParameters)
{
    CHitRecorder app;
    const std::string popup = View("popb", Rect(0, 0, 100, 20), 7,
                                   BE32(3) + "\x03One" + std::string("\0\0", 2) + "\x03Two" +
                                       std::string("\0\1", 2) + "\x05Three" + std::string("\0\0", 2));
    const std::string progress = View("prog", Rect(0, 30, 100, 40), 8, BE32(5) + BE32(10));
    const std::string text =
        View("text", Rect(0, 0, 90, 90), 21, Counted("hello") + OptionWords({1, 1, 1, 0, 0, 1, 0, 1}), 33);
    const std::string scroller = "scrl" + Rect(0, 90, 100, 190) + BE32(20) + BE32(0) + BE32(12) +
                                 OptionWords({2, 1, 1, 1, 1, 1, 0, 0}) + text + std::string(8, '\0');
    const std::string button = View("butn", Rect(0, 0, 60, 20), 30, BE32(1) + Counted("Go"), 44);
    auto w = Build(Window(Container(1, {popup, progress, scroller, button})));
    ASSERT_TRUE(w);
    auto* p = Get<CButtonPopupView>(w.get(), 7);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->GetItemCount(), 3u);
    EXPECT_EQ(p->GetSelectedItem(), 2u);
    auto* bar = Get<CProgressView>(w.get(), 8);
    EXPECT_EQ(bar->GetValue(), 5u);
    EXPECT_EQ(bar->GetMaxValue(), 10u);

    auto* outer = Get<CScrollerView>(w.get(), 20);
    ASSERT_TRUE(outer);
    EXPECT_EQ(outer->GetSizing(), 12);
    // Words 2, 3, 4 and 5 set: bars, as needed, and no "word 5 is zero" bit.
    EXPECT_EQ(outer->GetOptions(), kScrollHorizontal | kScrollVertical | kScrollAsNeeded | kScrollFrame);
    auto* inner = Get<CScrollerView>(w.get(), 21);
    ASSERT_TRUE(inner);
    auto* textView = dynamic_cast<CTextView*>(inner->GetContent());
    ASSERT_TRUE(textView);
    // The text view carries the command; word 1 asks for the Enter key; word 5 zero adds 64 and word 8 16.
    EXPECT_EQ(textView->GetCommand(), 33u);
    EXPECT_EQ(inner->GetCommand(), 0u);
    EXPECT_TRUE(textView->GetEnterKeyAction());
    EXPECT_TRUE(textView->IsMultiLine());
    EXPECT_EQ(textView->GetText(), "hello");
    EXPECT_EQ(inner->GetOptions(),
              kScrollHorizontal | kScrollVertical | kScrollFrame | kScrollNoFocusRing | kScrollSizeBox);
    // The default button's id became the window's default hit.
    EXPECT_EQ(w->GetDefaultHit(), 30u);
    EXPECT_EQ(Get<CButtonView>(w.get(), 30)->GetCommand(), 44u);
}

TEST(WinFromRes, DescriptionsThatAreNotAcceptableBuildNothing)
{
    CHitRecorder app;
    const std::string label = View("labl", Rect(0, 0, 50, 20), 3, Counted("Hi"));
    EXPECT_TRUE(Build(Window(Container(1, {label}))));
    EXPECT_FALSE(Build(Window(Container(1, {label}), "Kinds", 9))) << "another version";
    EXPECT_FALSE(Build(Window(Container(1, {View("xxxx", Rect(0, 0, 1, 1), 3, "")})))) << "unknown kind";
    EXPECT_FALSE(Build(Window(Container(1, {label, label})).substr(0, 60))) << "root cut short";
    EXPECT_FALSE(Build(Window("", "Kinds").substr(0, 39))) << "header shorter than 40 bytes";
    std::string titlePastEnd = Window("");
    titlePastEnd[40] = char(200);
    EXPECT_FALSE(Build(titlePastEnd));
    // A container claims more views than the data holds.
    std::string greedy = Container(1, {label});
    greedy[24 + 15] = 5;
    EXPECT_FALSE(Build(Window(greedy)));
    // Containers nested past the cap fail instead of running the stack down.
    std::string deep = View("labl", Rect(0, 0, 1, 1), 9, Counted("x"));
    for (uint32_t i = 0; i <= UWinDescription::kMaxDepth + 1; ++i)
        deep = Container(100 + i, {deep});
    EXPECT_FALSE(Build(Window(deep)));
}

TEST(WinFromRes, ACountedTextPastTheEndIsEmptyAndLeavesItsLengthUnread)
{
    CHitRecorder app;
    // The last view's text claims 100 bytes where 3 remain: the label is built with no text.
    std::string bytes = Window(View("labl", Rect(0, 0, 50, 20), 3, ""));
    bytes.resize(bytes.size() - 8);
    bytes += std::string{0, 100} + "abc";
    auto w = Build(bytes);
    ASSERT_TRUE(w);
    EXPECT_EQ(Get<CLabelView>(w.get(), 3)->Label()->text(), "");
}
