// Dispatch of the window framework: chained maps, id ranges, reflection, dialogs, modal loops.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "framework/button.h"
#include "framework/combo_box.h"
#include "framework/dialog.h"
#include "framework/tab_ctrl.h"
#include "framework/unique_handle.h"
#include "framework/wnd.h"

namespace velmora {
namespace {

constexpr UINT kBoth = WM_APP + 1;       // handled by derived and base
constexpr UINT kBaseOnly = WM_APP + 2;   // handled by base only
constexpr UINT kDeclined = WM_APP + 3;   // derived declines, base handles
constexpr UINT kNobody = WM_APP + 4;
constexpr UINT kDestroySelf = WM_APP + 5;
constexpr UINT kEndLoop = WM_APP + 6;

std::vector<std::string> journal;

class BaseWindow : public CWnd {
public:
    bool Create() {
        return CreateEx(0, RegisterWindowClass(), L"test", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr);
    }
    static const MessageMap& Map() {
        static constexpr MessageMapEntry entries[] = {
            OnMessage<&BaseWindow::Both>(kBoth),
            OnMessage<&BaseWindow::BaseOnly>(kBaseOnly),
            OnMessage<&BaseWindow::Declined>(kDeclined),
            OnMessage<&BaseWindow::EndLoop>(kEndLoop),
        };
        static const MessageMap map{&CWnd::Map(), entries};
        return map;
    }

protected:
    const MessageMap* GetMessageMap() const override { return &Map(); }
    bool Both(Message& m) { return Record("base both", m, 1); }
    bool BaseOnly(Message& m) { return Record("base only", m, 2); }
    bool Declined(Message& m) { return Record("base declined", m, 3); }
    bool EndLoop(Message& m) {
        EndModalLoop(static_cast<int>(m.wParam));
        return true;
    }
    static bool Record(const char* what, Message& m, LRESULT result) {
        journal.push_back(what);
        m.result = result;
        return true;
    }
};

class DerivedWindow : public BaseWindow {
public:
    static const MessageMap& Map() {
        static constexpr MessageMapEntry entries[] = {
            OnMessage<&DerivedWindow::Both>(kBoth),
            OnMessage<&DerivedWindow::Decline>(kDeclined),
            OnMessage<&DerivedWindow::DestroySelf>(kDestroySelf),
            OnCommand<&DerivedWindow::Add>(1041),
            OnCommandRange<&DerivedWindow::Row>(1000, 2000),
            OnCommand<&DerivedWindow::Changed>(3000, EN_CHANGE),
        };
        static const MessageMap map{&BaseWindow::Map(), entries};
        return map;
    }
    bool* destroyedFlag = nullptr;
    ~DerivedWindow() override {
        if (destroyedFlag) *destroyedFlag = true;
    }

protected:
    const MessageMap* GetMessageMap() const override { return &Map(); }
    // A window that owns itself, like the clock windows' objects may.
    void PostNcDestroy() override { delete this; }
    bool Both(Message& m) { return Record("derived both", m, 10); }
    bool Decline(Message&) {
        journal.push_back("derived declined");
        return false;
    }
    bool DestroySelf(Message& m) {
        DestroyWindow();  // deletes this
        m.result = 42;
        return true;
    }
    void Add() { journal.push_back("add"); }
    void Row(UINT id) { journal.push_back("row " + std::to_string(id)); }
    void Changed() { journal.push_back("changed"); }
};

class FrameworkTest : public ::testing::Test {
protected:
    void SetUp() override {
        journal.clear();
        window = new DerivedWindow;
        window->destroyedFlag = &destroyed;
        ASSERT_TRUE(window->Create());
        hwnd = window->m_hWnd;
    }
    void TearDown() override {
        if (::IsWindow(hwnd)) ::DestroyWindow(hwnd);
    }
    LRESULT Command(UINT id, UINT code = BN_CLICKED) {
        return ::SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(id, code), 0);
    }

    DerivedWindow* window = nullptr;
    HWND hwnd = nullptr;
    bool destroyed = false;
};

TEST_F(FrameworkTest, DerivedEntriesComeFirstAndDeclinedMessagesFallToTheBase) {
    EXPECT_EQ(::SendMessageW(hwnd, kBoth, 0, 0), 10);
    EXPECT_EQ(::SendMessageW(hwnd, kBaseOnly, 0, 0), 2);
    EXPECT_EQ(::SendMessageW(hwnd, kDeclined, 0, 0), 3);
    EXPECT_EQ(::SendMessageW(hwnd, kNobody, 0, 0), 0);  // default procedure
    EXPECT_EQ(journal, (std::vector<std::string>{"derived both", "base only", "derived declined", "base declined"}));
}

TEST_F(FrameworkTest, CommandsMatchByIdRangeAndCode) {
    Command(1041);        // its own entry, listed before the range
    Command(1000);
    Command(2000);
    Command(2001);        // outside the range
    Command(999);
    Command(3000, EN_SETFOCUS);  // wrong code
    Command(3000, EN_CHANGE);
    EXPECT_EQ(journal, (std::vector<std::string>{"add", "row 1000", "row 2000", "changed"}));
}

TEST_F(FrameworkTest, AHandlerMayDestroyItsWindowAndItsObject) {
    EXPECT_EQ(::SendMessageW(hwnd, kDestroySelf, 0, 0), 42);
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(CWnd::FromHandle(hwnd), nullptr);
}

TEST_F(FrameworkTest, TheModalLoopReturnsItsResult) {
    ::PostMessageW(hwnd, kEndLoop, 7, 0);
    EXPECT_EQ(window->RunModalLoop(), 7);
    EXPECT_FALSE(window->InModalLoop());
}

// The close signal's path: another thread sends the message that destroys the window.
TEST_F(FrameworkTest, TheModalLoopEndsWhenAnotherThreadHasTheWindowDestroyed) {
    std::thread watcher([h = hwnd] {
        ::Sleep(50);  // let the loop start waiting; correctness does not depend on it
        ::SendMessageW(h, kDestroySelf, 0, 0);
    });
    EXPECT_EQ(window->RunModalLoop(), -1);
    watcher.join();
    EXPECT_TRUE(destroyed);
}

class TestButton : public CButton {
public:
    int draws = 0;
    UINT lastAction = 0;
    void DrawItem(const DRAWITEMSTRUCT* item) override {
        ++draws;
        lastAction = item ? item->itemAction : 0;
    }
};

class TestDialog : public CDialog {
public:
    TestButton button;
    bool initialised = false;
    int oks = 0, cancels = 0;
    BOOL OnInitDialog() override {
        initialised = button.SubclassDlgItem(301, *this);
        return TRUE;
    }
    void OnOK() override { ++oks; }
    void OnCancel() override {
        ++cancels;
        DestroyWindow();
    }
};

TEST(DialogTest, AResourceDialogBindsItsControlsAndRoutesOkAndCancel) {
    TestDialog dialog;
    ASSERT_TRUE(dialog.Create(300));
    EXPECT_TRUE(dialog.initialised);
    EXPECT_EQ(CWnd::FromHandle(dialog.GetDlgItem(301)), &dialog.button);

    dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED));
    EXPECT_EQ(dialog.oks, 1);
    EXPECT_TRUE(::IsWindow(dialog.m_hWnd));

    // Escape reaches OnCancel through the dialog manager, as in the program's loops.
    MSG escape{};
    escape.hwnd = dialog.GetDlgItem(302);
    escape.message = WM_KEYDOWN;
    escape.wParam = VK_ESCAPE;
    EXPECT_TRUE(CDialog::IsDialogMessage(escape));
    EXPECT_EQ(dialog.cancels, 1);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST(DialogTest, OwnerDrawIsReflectedToTheButton) {
    TestDialog dialog;
    ASSERT_TRUE(dialog.Create(300));
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_BUTTON;
    item.CtlID = 301;
    item.itemAction = ODA_SELECT;
    item.hwndItem = dialog.GetDlgItem(301);
    EXPECT_EQ(dialog.SendMessage(WM_DRAWITEM, 301, reinterpret_cast<LPARAM>(&item)), TRUE);
    EXPECT_EQ(dialog.button.draws, 1);
    EXPECT_EQ(dialog.button.lastAction, static_cast<UINT>(ODA_SELECT));
}

TEST(DialogTest, ATemplateBuiltInMemoryMakesALayeredPopup) {
    const DialogTemplate memoryTemplate(WS_POPUP | WS_VISIBLE | DS_CENTER, WS_EX_LAYERED | WS_EX_TOPMOST);
    TestDialog dialog;  // no control 301 here: binding fails quietly
    ASSERT_TRUE(dialog.CreateIndirect(memoryTemplate.Get()));
    EXPECT_FALSE(dialog.initialised);
    const LONG_PTR exStyle = ::GetWindowLongPtrW(dialog.m_hWnd, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_LAYERED);
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
}

TEST(TabCtrlTest, ItemsKeepTheirParameters) {
    TestDialog dialog;
    ASSERT_TRUE(dialog.Create(300));
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_TAB_CLASSES};
    ::InitCommonControlsEx(&classes);
    CTabCtrl tabs;
    ASSERT_TRUE(tabs.SubclassWindow(::CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD, 0, 0, 100, 30, dialog.m_hWnd,
                                                      nullptr, nullptr, nullptr)));
    tabs.InsertItem(0, L"First", 11);
    tabs.InsertItem(1, L"Second", 22);
    EXPECT_EQ(tabs.GetItemCount(), 2);
    EXPECT_EQ(tabs.GetItemParam(1), 22);
    tabs.SetCurSel(1);
    EXPECT_EQ(tabs.GetCurSel(), 1);
    EXPECT_EQ(tabs.GetItemParam(5), 0);
}

// Controls made at run time are moved by their rectangle in the parent's client area, which a
// captioned, bordered parent offsets from its window rectangle.
TEST(ChildWindowTest, RectanglesInTheParentRoundTripThroughMoveWindow) {
    TestDialog dialog;
    ASSERT_TRUE(dialog.Create(300));
    UniqueWindow child(::CreateWindowExW(0, L"BUTTON", L"x", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, dialog.m_hWnd,
                                         nullptr, nullptr, nullptr));
    ASSERT_TRUE(child);
    CWnd bound;
    ASSERT_TRUE(bound.SubclassWindow(child.get()));
    bound.MoveWindow(RECT{7, 11, 47, 31});
    const RECT rect = WindowRectInParent(child.get());
    EXPECT_EQ(rect.left, 7);
    EXPECT_EQ(rect.top, 11);
    EXPECT_EQ(rect.right, 47);
    EXPECT_EQ(rect.bottom, 31);

    const HWND window = child.get();
    bound.DestroyWindow();
    child.release();
    EXPECT_FALSE(::IsWindow(window));
    UniqueWindow owned(::CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 1, 1, dialog.m_hWnd, nullptr, nullptr,
                                         nullptr));
    const HWND ownedWindow = owned.get();
    owned.reset();
    EXPECT_FALSE(::IsWindow(ownedWindow)) << "the owner destroys what it holds";
}

TEST(ComboBoxTest, AnIndexPastTheListClearsTheSelection) {
    TestDialog dialog;
    ASSERT_TRUE(dialog.Create(300));
    CComboBox list;
    ASSERT_TRUE(list.SubclassWindow(::CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | CBS_DROPDOWNLIST, 0, 0, 100,
                                                      100, dialog.m_hWnd, nullptr, nullptr, nullptr)));
    list.AddString(L"one");
    list.AddString(L"two");
    EXPECT_EQ(list.GetCount(), 2);
    list.SetCurSel(1);
    EXPECT_EQ(list.GetCurSel(), 1);
    list.SetCurSel(7);
    EXPECT_EQ(list.GetCurSel(), -1);
    list.SetCurSel(-1);
    EXPECT_EQ(list.GetCurSel(), -1);
}

}  // namespace
}  // namespace velmora
