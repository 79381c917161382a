// The skin the tab strip, toolbar and menu tests share, made of plain
// surfaces in colours of their own; a top window skinned as a generic panel
// that writes down what its children post and send to it; pixels read back.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// Tab and toolbar looks.
constexpr COLORREF kPanel = RGB(240, 240, 240);
constexpr COLORREF kNormal = RGB(0, 0, 200);
constexpr COLORREF kOver = RGB(0, 200, 0);
constexpr COLORREF kDown = RGB(200, 0, 0);
constexpr COLORREF kEventNormal = RGB(200, 200, 0);
constexpr COLORREF kEventOver = RGB(0, 200, 200);
constexpr COLORREF kEventDown = RGB(200, 0, 200);
constexpr COLORREF kArrowNormal = RGB(10, 10, 10);
constexpr COLORREF kArrowOver = RGB(60, 60, 60);
constexpr COLORREF kArrowDown = RGB(110, 110, 110);
constexpr COLORREF kArrowDisabled = RGB(160, 160, 160);

// Menu looks: the background inside a black frame one pixel wide, the
// highlight, the separator line, the icons "menu.icon.1" (checked) and
// "menu.icon.101".
constexpr COLORREF kMenuBack = RGB(250, 240, 200);
constexpr COLORREF kMenuHighlight = RGB(40, 80, 160);
constexpr COLORREF kSeparator = RGB(0, 0, 255);
constexpr COLORREF kCheckIcon = RGB(0, 160, 0);
constexpr COLORREF kOpenIcon = RGB(160, 0, 0);

// Menu bar buttons.
constexpr COLORREF kBarNormal = RGB(220, 220, 255);
constexpr COLORREF kBarDown = RGB(200, 0, 0);

constexpr int kDialogTemplate = 200;
constexpr int kDialogEdit = 301;

void PumpMessages();
// A pixel of the window's client area after it painted again.
COLORREF PixelOf(HWND window, int x, int y);
// What the window received since the last call, e.g. "2B12:1,0001.0002".
std::string TakeLog(HWND window);

// A pixel of the whole window, as it shows now.
COLORREF WindowPixel(HWND window, int x, int y);
// The visible popup-menu windows of the thread, the first opened first.
std::vector<HWND> MenuWindows();
// Posts a key press to the window, as the keyboard would.
void PostKey(HWND window, UINT key);
// When set, the panel checks this command in every menu that opens.
extern UINT g_checkOnOpen;

// Runs its steps one per timer tick while the thread sits in a modal menu
// loop, each seeing the visible menu windows; once they are done (or when no
// menu is open any more) it ends the tracking, so a test never hangs.
class CMenuScript {
  public:
    using Step = std::function<void(const std::vector<HWND>& menus)>;
    explicit CMenuScript(std::vector<Step> steps);
    ~CMenuScript();
    CMenuScript(const CMenuScript&) = delete;
    CMenuScript& operator=(const CMenuScript&) = delete;
    size_t StepsRun() const { return m_next; }

  private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    std::vector<Step> m_steps;
    size_t m_next = 0;
    UINT_PTR m_timer = 0;
};

class TabsMenusTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    // A child control of the panel skinned as kind with the description id.
    HWND Control(int kind, const char* id, int x, int y, int width, int height);
    // A dialog of TabsMenus.rc, skinned with its edit, whose procedure writes
    // down what it hears as the panel does.
    HWND OpenDialog();

    HWND m_top = nullptr;
};
