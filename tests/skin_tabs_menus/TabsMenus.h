// What the tab strip, toolbar and menu tests share: their skin (skin/), a
// panel skinned as a generic window that writes down what it hears, pixels.
#pragma once

#include "UiProbe.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

using Menus = std::vector<HWND>;

constexpr COLORREF kPanel = RGB(240, 240, 240);

// Menus: background (in a black frame), highlight, separator, icons.
constexpr COLORREF kMenuBack = RGB(250, 240, 200);
constexpr COLORREF kMenuHighlight = RGB(40, 80, 160);
constexpr COLORREF kSeparator = RGB(0, 0, 255);
constexpr COLORREF kCheckIcon = RGB(0, 160, 0);
constexpr COLORREF kOpenIcon = RGB(160, 0, 0);

constexpr COLORREF kBarNormal = RGB(220, 220, 255);
constexpr COLORREF kBarDown = RGB(200, 0, 0);

enum Resource { kDialogTemplate = 200, kBarMenu, kPopupMenu };

// How many pixels of an area of the whole window have the colour.
int CountPixels(HWND window, const RECT& area, COLORREF color);
// What the window heard since the last call, e.g. "2B12:7,00010002 CMD:101".
std::string TakeLog(HWND window);
// Posts key presses to the window, as the keyboard would.
void PostKeys(HWND window, std::initializer_list<UINT> keys);
// When set, the panel checks this command in every menu that opens.
extern UINT g_checkOnOpen;

// Runs its steps one per timer tick while the thread sits in modal menu
// loops, each seeing the open menu windows; after the last it ends any
// tracking, so a test never hangs.
class CMenuScript {
  public:
    using Step = std::function<void(const std::vector<HWND>& menus)>;
    explicit CMenuScript(std::vector<Step> steps);
    ~CMenuScript();
    CMenuScript(const CMenuScript&) = delete;
    CMenuScript& operator=(const CMenuScript&) = delete;
    size_t StepsRun() const { return m_next; }
    // Lets the thread's messages run (and open menus) until every step ran,
    // for two seconds at the most.
    void RunUntilDone() const;

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
    // A child of the panel (control id 7) skinned as kind.
    HWND Control(int kind, const char* id, int x, int y, int width, int height);
    // The dialog of TabsMenus.rc, skinned, hearing as the panel does.
    HWND OpenDialog();

    HWND m_top = nullptr;
};
