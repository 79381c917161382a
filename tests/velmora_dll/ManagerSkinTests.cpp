// The manager's skinning decisions seen from inside the library: which kind a
// window is, which requests it refuses, which description and object serve a
// window, and what it forgets when a window goes.
#include "CommonCtrl.h"
#include "Manager.h"
#include "SkinFiles.h"
#include "SkinTestSupport.h"
#include "UiProbe.h"
#include "Velmora.h"
#include "Window.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

using Velmora::CManager;
using Velmora::CWindow;
using Velmora::SkinList;

namespace {

// Allocations left before the one that fails; negative: none fails.
int g_allocationsBeforeFailure = -1;
bool g_allocationFailed = false;

} // namespace

// The whole program allocates through here, the library linked into it too.
[[gnu::noinline]] void* operator new(std::size_t size) {
    if (g_allocationsBeforeFailure >= 0 && g_allocationsBeforeFailure-- == 0) {
        g_allocationFailed = true;
        throw std::bad_alloc();
    }
    if (void* block = std::malloc(size ? size : 1))
        return block;
    throw std::bad_alloc();
}

[[gnu::noinline]] void operator delete(void* block) noexcept {
    std::free(block);
}

[[gnu::noinline]] void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}

namespace {

// Runs call with its first allocation failing, then its second, and so on,
// until a run needs fewer allocations than that; returns the number of runs.
template <class Call> int WithEachAllocationFailing(Call call) {
    int runs = 0;
    for (bool failed = true; failed && runs < 100000; ++runs) {
        g_allocationFailed = false;
        g_allocationsBeforeFailure = runs;
        call();
        g_allocationsBeforeFailure = -1;
        failed = g_allocationFailed;
    }
    return runs;
}

class ManagerSkinTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::string database = PaintingSkinDatabase("red");
        ASSERT_EQ(Manager()->LoadSkinFromSkinDBFileBuf(database.data(), database.size()), 1);
        m_top = CreateTopWindow(160, 120);
        ASSERT_NE(m_top, nullptr);
    }
    void TearDown() override {
        CManager::Destroy();
        DestroyWindow(m_top);
        PumpMessages();
    }

    static CManager* Manager() { return CManager::Instance(); }

    HWND Control(const char* className, DWORD style = 0) {
        return CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE | style, 0, 0, 60, 20, m_top,
                               nullptr, nullptr, nullptr);
    }

    HWND m_top = nullptr;
};

TEST_F(ManagerSkinTest, WindowKindComesFromClassAndButtonStyle) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    struct Case {
        const char* className;
        DWORD style;
        int kind;
    };
    const Case cases[] = {{"Button", BS_PUSHBUTTON, 3},
                          {"Button", BS_DEFPUSHBUTTON, 3},
                          {"Button", BS_CHECKBOX, 4},
                          {"Button", BS_AUTOCHECKBOX, 4},
                          {"Button", BS_RADIOBUTTON, 5},
                          {"Button", BS_AUTORADIOBUTTON, 5},
                          {"Button", BS_GROUPBOX, 8},
                          {"Button", BS_OWNERDRAW, 100},
                          {"Button", BS_AUTO3STATE, 1},
                          {"Static", 0, 6},
                          {"Edit", 0, 7},
                          {"ScrollBar", 0, 11},
                          {"ComboBox", 0, 9},
                          {"SysTabControl32", 0, 14},
                          {"SysListView32", 0, 17},
                          {"SysHeader32", 0, 16},
                          {"msctls_progress32", 0, 19},
                          {"msctls_trackbar32", 0, 20},
                          {TOOLBARCLASSNAMEA, 0, 1}};
    for (const Case& c : cases) {
        HWND window = Control(c.className, c.style);
        ASSERT_NE(window, nullptr) << c.className;
        EXPECT_EQ(Manager()->WindowKindOf(window), c.kind) << c.className << " style " << c.style;
    }
    EXPECT_EQ(Manager()->WindowKindOf(m_top), 1);
    EXPECT_EQ(Manager()->WindowKindOf(nullptr), 0);

    // Only a class named exactly "ToolbarWindow" (in any case) is a toolbar.
    ASSERT_TRUE(RegisterTestClass("TOOLBARwindow", DefWindowProcA));
    EXPECT_EQ(Manager()->WindowKindOf(Control("TOOLBARwindow")), 12);
}

TEST_F(ManagerSkinTest, RefusesKindsItDoesNotServeAndWindowsOfAnotherKind) {
    HWND edit = Control("Edit");
    HWND generic = CreateChildWindow(m_top, 0, 0, 30, 30);
    EXPECT_EQ(Manager()->SkinWindow(edit, 6, nullptr, false), 0);
    EXPECT_EQ(Manager()->SkinWindow(edit, 1, nullptr, false), 0);
    for (int kind : {0, 10, 12, 18, 25, 100, -1})
        EXPECT_EQ(Manager()->SkinWindow(generic, kind, nullptr, false), 0) << kind;
    EXPECT_EQ(Manager()->SkinWindow(generic, 23, nullptr, false), 1);
    // Kinds the library takes as asked, whatever the window's class.
    for (int kind : {13, 15, 16, 21, 22, 24})
        EXPECT_EQ(Manager()->SkinWindow(edit, kind, nullptr, false), 1) << kind;
    EXPECT_EQ(Manager()->SkinWindow(reinterpret_cast<HWND>(0x7FFF0), 16, nullptr, false), 0);
    EXPECT_EQ(Manager()->FindSkinObject(edit, 7), nullptr);
    EXPECT_EQ(Manager()->FindSkinObject(generic, 1), nullptr);
    EXPECT_FALSE(IsHooked(generic));
}

TEST_F(ManagerSkinTest, DescriptionIsTheDefaultOrTheNamedOneOfTheKindsRegistry) {
    HWND byDefault = CreateChildWindow(m_top, 0, 0, 30, 30);
    HWND named = CreateChildWindow(m_top, 40, 0, 30, 30);
    HWND otherRegistry = CreateChildWindow(m_top, 80, 0, 30, 30);
    EXPECT_EQ(Manager()->SkinWindow(byDefault, 1, nullptr, false), 1);
    EXPECT_EQ(Manager()->SkinWindow(named, 1, "plain", false), 1);
    // Found only among dialog descriptions: nothing is skinned, but it is handled.
    EXPECT_EQ(Manager()->SkinWindow(otherRegistry, 1, "dialogonly", false), 1);

    CWindow* object = Manager()->FindSkinObject(byDefault, 1);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->GetInfo()->id, "commonctrl");
    EXPECT_EQ(object->GetHwnd(), byDefault);
    ASSERT_NE(Manager()->FindSkinObject(named, SkinList::CommonCtrl), nullptr);
    EXPECT_EQ(Manager()->FindSkinObject(named, 1)->GetInfo()->id, "plain");
    EXPECT_EQ(Manager()->FindSkinObject(otherRegistry, 1), nullptr);
    EXPECT_FALSE(IsHooked(otherRegistry));
    EXPECT_EQ(Manager()->FindSkinObject(byDefault, 2), nullptr);

    // Skinning again reuses the object with the new description.
    Manager()->SkinWindow(byDefault, 1, "plain", false);
    EXPECT_EQ(Manager()->FindSkinObject(byDefault, 1), object);
    EXPECT_EQ(object->GetInfo()->id, "plain");
    EXPECT_TRUE(IsHooked(byDefault));
    EXPECT_EQ(ClientPixel(byDefault, 5, 5), kGreen);
}

TEST_F(ManagerSkinTest, FirstLoadedDescriptionOfAnIdWins) {
    // Fills with blue what it calls "commonctrl".
    const std::string second = ReadFileBytes("Z:" TEST_SOURCE_DIR "/fixtures/resource-skin.sdb");
    ASSERT_EQ(Manager()->LoadSkinFromSkinDBFileBuf(second.data(), second.size()), 1);
    HWND window = CreateChildWindow(m_top, 0, 0, 30, 30);
    Manager()->SkinWindow(window, 1, nullptr, false);
    EXPECT_EQ(ClientPixel(window, 5, 5), kRed);
}

TEST_F(ManagerSkinTest, RecursionSkipsMarkedWindowsAndCommandButtonIds) {
    HWND child = CreateChildWindow(m_top, 0, 0, 60, 60);
    HWND grandChild = CreateChildWindow(child, 5, 5, 20, 20);
    HWND marked = CreateChildWindow(m_top, 70, 0, 20, 20);
    HWND underMarked = CreateChildWindow(marked, 0, 0, 10, 10);
    HWND command = CreateChildWindow(m_top, 100, 0, 10, 10, 14416);
    HWND lastCommand = CreateChildWindow(m_top, 115, 0, 10, 10, 14419);
    HWND afterCommands = CreateChildWindow(m_top, 130, 0, 10, 10, 14420);
    HWND beforeCommands = CreateChildWindow(m_top, 145, 0, 10, 10, 14415);
    HWND edit = Control("Edit");
    SetPropA(marked, "#velmora_set_this_hwnd_no_skin", marked);

    // No "missing" description: the top stays as it is, its children do not.
    EXPECT_EQ(Manager()->SkinWindow(m_top, 1, "missing", true), 1);
    EXPECT_EQ(Manager()->FindSkinObject(m_top, 1), nullptr);
    for (HWND skinned : {child, grandChild, underMarked, afterCommands, beforeCommands})
        EXPECT_NE(Manager()->FindSkinObject(skinned, 1), nullptr);
    for (HWND skipped : {marked, command, lastCommand})
        EXPECT_EQ(Manager()->FindSkinObject(skipped, 1), nullptr);
    // Children take their own kind: no edit skin exists, so the edit stays plain.
    EXPECT_EQ(Manager()->FindSkinObject(edit, 1), nullptr);
    RemovePropA(marked, "#velmora_set_this_hwnd_no_skin");
}

// Style bits a skin adds (a button made owner-drawn) keep the window's kind:
// classifying, skinning and recursing over it find the object it had.
TEST_F(ManagerSkinTest, StyleBitsASkinAddedKeepTheWindowsKind) {
    HWND pushBox = Control("Button", BS_PUSHBOX);
    ASSERT_EQ(Manager()->SkinWindow(m_top, 1, nullptr, true), 1);
    CWindow* object = Manager()->FindSkinObject(pushBox, 1);
    ASSERT_NE(object, nullptr);
    object->AddWindowStyle(BS_OWNERDRAW);
    ASSERT_EQ(GetWindowLongA(pushBox, GWL_STYLE) & 0xFF, BS_OWNERDRAW);
    EXPECT_EQ(Manager()->WindowKindOf(pushBox), 1);
    EXPECT_EQ(Manager()->WindowKindOf(Control("Button", BS_OWNERDRAW)), 100);

    ASSERT_EQ(Manager()->SkinWindow(m_top, 1, nullptr, true), 1);
    EXPECT_EQ(Manager()->SkinWindow(pushBox, 1, "plain", false), 1);
    EXPECT_EQ(Manager()->FindSkinObject(pushBox, 1), object);
    EXPECT_EQ(object->GetInfo()->id, "plain");
    EXPECT_EQ(Velmora::CHookWindow::FromHandle(pushBox), object);
}

// Out of memory in a folder load, a skinning and a paint: every call returns,
// and the skin loaded before still paints.
TEST_F(ManagerSkinTest, RunningOutOfMemoryLeavesTheProgramAndItsSkinWorking) {
    const std::string folder = TestProgramFolder() + "\\velmora-memory-skin";
    CreateDirectoryA(folder.c_str(), nullptr);
    CreateDirectoryA((folder + "\\skin").c_str(), nullptr);
    ASSERT_TRUE(WriteFileBytes(folder + "\\skin\\blue.bmp", PictureBytes("blue-2x2.bmp")));
    ASSERT_TRUE(WriteFileBytes(folder + "\\skin.xml",
                               "<theme><font><item id=\"f\" family=\"Tahoma\" size=\"-12\"/></font>"
                               "<image><item id=\"blue\" file=\"blue.bmp\"/></image><window>"
                               "<item type=\"commonctrl\" id=\"commonctrl\">"
                               "<image imageid=\"blue\" state=\"normal|over\"/></item>"
                               "</window></theme>"));
    HWND child = CreateChildWindow(m_top, 10, 10, 40, 40);
    CreateChildWindow(child, 5, 5, 10, 10);

    EXPECT_GT(WithEachAllocationFailing(
                  [] { EXPECT_EQ(LoadSkin("velmora-memory-skin", VELMORA_SKIN_FOLDER), 1); }),
              10);
    EXPECT_GT(
        WithEachAllocationFailing([this] { SkinWindow(m_top, VELMORA_KIND_GENERIC, nullptr, 1); }),
        3);
    CWindow* top = Manager()->FindSkinObject(m_top, 1);
    ASSERT_NE(top, nullptr);
    EXPECT_GT(WithEachAllocationFailing([top] { top->Redraw(true, nullptr); }), 1);

    EXPECT_EQ(ClientPixel(m_top, 5, 5), kRed);
    EXPECT_EQ(ClientPixel(child, 20, 20), kRed);
    EXPECT_EQ(ClientPixel(m_top, 5, 30), kBlue);
}

TEST_F(ManagerSkinTest, ValuesAreRememberedPerWindowAndForgottenWithIt) {
    HWND window = CreateChildWindow(m_top, 0, 0, 30, 30);
    HWND sibling = CreateChildWindow(m_top, 40, 0, 30, 30);
    EXPECT_EQ(Manager()->SetDrawItemValue(window, 7, "caption", "one"), 1);
    EXPECT_EQ(Manager()->SetDrawItemValue(window, 7, "caption", "two"), 1);
    ASSERT_NE(Manager()->FindValueRecord(window, "caption"), nullptr);
    EXPECT_EQ(*Manager()->FindValueRecord(window, "caption"), "two");
    EXPECT_EQ(Manager()->FindValueRecord(window, "Caption"), nullptr);
    EXPECT_EQ(Manager()->SetDrawItemValue(window, 1, "pic", "green"), 1);
    EXPECT_EQ(Manager()->SetDrawItemVisible(window, 1, "rule", false), 1);
    Manager()->SetDrawItemVisible(sibling, 1, "rule", false);
    Manager()->SkinWindow(window, 1, nullptr, false);
    ASSERT_NE(Manager()->FindSkinObject(window, 1), nullptr);

    DestroyWindow(window);
    EXPECT_EQ(Manager()->FindSkinObject(window, 1), nullptr);
    EXPECT_EQ(Manager()->FindValueRecord(window, "pic"), nullptr);
    EXPECT_FALSE(Manager()->FindVisibleRecord(window, "rule").has_value());
    EXPECT_EQ(Manager()->FindVisibleRecord(sibling, "rule"), std::optional<bool>(false));
}

TEST_F(ManagerSkinTest, ChildrenAreSkinnedOnlyWhenAskedAndUnhookedWithTheManager) {
    HWND parent = CreateChildWindow(m_top, 0, 0, 60, 60);
    HWND child = CreateChildWindow(parent, 5, 5, 20, 20);
    HWND grandChild = CreateChildWindow(child, 1, 1, 5, 5);
    HWND plainChild = CreateChildWindow(parent, 30, 30, 20, 20);
    Manager()->SkinWindow(parent, 1, nullptr, false);
    EXPECT_EQ(Manager()->FindSkinObject(child, 1), nullptr);
    Manager()->SkinWindow(parent, 16, nullptr, true);
    EXPECT_EQ(Manager()->FindSkinObject(child, 1), nullptr);
    Manager()->SkinWindow(parent, 1, nullptr, true);
    EXPECT_NE(Manager()->FindSkinObject(grandChild, 1), nullptr);

    Manager()->RemoveWindow(plainChild);
    EXPECT_FALSE(IsHooked(plainChild));
    const auto children = Manager()->SkinnedChildren(parent, {SkinList::CommonCtrl});
    ASSERT_EQ(children.size(), 1u);
    EXPECT_EQ(children[0]->GetHwnd(), child);
    EXPECT_TRUE(Manager()->SkinnedChildren(parent, {SkinList::Static}).empty());
    // A skin object made elsewhere joins the list it is given.
    auto made = std::make_unique<Velmora::CCommonCtrl>(
        *Manager(), Manager()->FindDescription(Velmora::DescriptionType::CommonCtrl, "plain"));
    made->Attach(plainChild);
    CWindow* added = Manager()->AddSkinObject(plainChild, SkinList::Static, std::move(made));
    EXPECT_EQ(Manager()->SkinnedChildren(parent, {SkinList::Static}), std::vector<CWindow*>{added});
    EXPECT_EQ(Manager()->FindSkinObject(plainChild, 6), added);

    ASSERT_TRUE(IsHooked(child));
    CManager::Destroy();
    EXPECT_FALSE(IsHooked(parent));
    EXPECT_FALSE(IsHooked(child));
    EXPECT_FALSE(IsHooked(plainChild));
    EXPECT_EQ(CManager::Existing(), nullptr);
}

} // namespace
