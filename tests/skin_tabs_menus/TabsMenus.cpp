#include "TabsMenus.h"

#include "GDICursor.h"
#include "GDIImage.h"
#include "Manager.h"
#include "SkinDescription.h"
#include "SkinFiles.h"
#include "XmlDocument.h"

#include <cstdio>
#include <map>

namespace {

std::map<HWND, std::string> g_log;

void Note(HWND window, const char* format, unsigned first, unsigned second, const char* tail = "") {
    char text[48];
    std::snprintf(text, sizeof text, format, first, second);
    std::string& log = g_log[window];
    log += (log.empty() ? "" : " ") + std::string(text) + tail;
}

void NoteMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        Note(window, "CMD:%u", LOWORD(wParam), 0);
        break;
    case WM_INITMENUPOPUP:
        if (g_checkOnOpen)
            CheckMenuItem(reinterpret_cast<HMENU>(wParam), g_checkOnOpen, MF_CHECKED);
        break;
    case WM_MENUSELECT:
        Note(window, "SEL:%X,%X", LOWORD(wParam), HIWORD(wParam));
        break;
    case 0x2B11:
        Note(window, "2B11:%08X,", static_cast<unsigned>(wParam), 0,
             reinterpret_cast<const char*>(lParam));
        break;
    case 0x2B12:
    case 0x2B13:
        Note(window, message == 0x2B12 ? "2B12:%u,%08X" : "2B13:%u,%08X",
             static_cast<unsigned>(wParam), static_cast<unsigned>(lParam));
        break;
    default:
        break;
    }
}

LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    NoteMessage(window, message, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    NoteMessage(dialog, message, wParam, lParam);
    return message == WM_INITDIALOG;
}

const char kSkin[] = R"xml(<theme>
  <font><item id="menufont" family="Tahoma" size="-12"/></font>
  <window>
  <item type="menu" id="menu"><property height="20" separatorheight="6" clipcolor="(255,0,255)"/>
    <surface id="menu.back" fillcolor="(250,240,200)" upperleftx="1" upperlefty="1"
             lowerrightx="-1" lowerrighty="-1"/>
    <line id="menu.sperator" startx="2" starty="3" endx="-2" endy="3" width="1"
          linecolor="(0,0,255)"/>
    <surface state="over" fillcolor="(40,80,160)" upperleftx="1" lowerrightx="-1"/>
    <image id="menu.icon.1" imageid="check" left="2" top="4"/>
    <image id="menu.icon.101" imageid="open" left="2" top="4"/>
    <text state="normal" fontid="menufont" left="24" top="3" textcolor="(0,0,0)"/>
    <text state="over" fontid="menufont" left="24" top="3" textcolor="(255,255,255)"/>
  </item>
  <item type="menu" id="square"><property height="20" separatorheight="6"/>
    <surface id="menu.back" fillcolor="(250,240,200)"/>
    <text fontid="menufont" left="24" top="3" textcolor="(0,0,0)"/>
  </item>
  <item type="commonctrl" id="panel"><surface fillcolor="(240,240,240)"/></item>
  <item type="tabctrlex" id="tabs"><property cursorid="hand"/>
    <tabctrlexinfo margin="4" itemwidth="80" itemheight="24"><drawitem id="tab">
      <eventitem id="close" left="-14" top="2" width="10" height="10">
        <surface state="normal" fillcolor="(200,200,0)"/>
        <surface state="over" fillcolor="(0,200,200)"/>
        <surface state="down" fillcolor="(200,0,200)"/></eventitem>
      <surface id="face" state="normal" fillcolor="(0,0,200)"/>
      <surface id="face" state="over" fillcolor="(0,200,0)"/>
      <surface id="face" state="down" fillcolor="(200,0,0)"/>
      <text id="label" left="2" top="12" textcolor="(255,255,255)" content=""/>
    </drawitem></tabctrlexinfo>
    <eventitem id="tabscrollleft" left="-32" width="16">
      <surface state="normal" fillcolor="(10,10,10)"/><surface state="over" fillcolor="(60,60,60)"/>
      <surface state="down" fillcolor="(110,110,110)"/>
      <surface state="disable" fillcolor="(160,160,160)"/></eventitem>
    <eventitem id="tabscrollright" left="-16" width="16">
      <surface state="normal" fillcolor="(10,10,10)"/><surface state="over" fillcolor="(60,60,60)"/>
      <surface state="down" fillcolor="(110,110,110)"/>
      <surface state="disable" fillcolor="(160,160,160)"/></eventitem>
  </item>
  <item type="tabctrlex" id="tabs.wide">
    <tabctrlexinfo margin="4" itemwidth="86"><drawitem id="tab">
      <surface fillcolor="(0,0,200)"/></drawitem></tabctrlexinfo>
    <eventitem id="tabscrollleft" left="-32" width="16">
      <surface state="normal" fillcolor="(10,10,10)"/></eventitem>
    <eventitem id="tabscrollright" left="-16" width="16">
      <surface state="disable" fillcolor="(160,160,160)"/></eventitem>
  </item>
  <item type="toolbarex" id="tools"><property cursorid="hand"/>
    <toolbarexinfo margin="2" itemwidth="30" startx="5" horzlayout="true"><drawitem id="button">
      <surface state="normal" fillcolor="(0,0,200)"/><surface state="over" fillcolor="(0,200,0)"/>
      <surface state="down" fillcolor="(200,0,0)"/></drawitem></toolbarexinfo>
  </item>
  <item type="toolbarex" id="tools.checked">
    <toolbarexinfo margin="2" itemheight="20" starty="3" checked="true"><drawitem id="button">
      <surface state="normal" fillcolor="(0,0,200)"/><surface state="over" fillcolor="(0,200,0)"/>
      <surface state="down" fillcolor="(200,0,0)"/></drawitem></toolbarexinfo>
  </item>
  <item type="tabctrl" id="tabctrl"/>
  <item type="dialog" id="dialog"><property resize="6" titlebar="24"/>
    <surface fillcolor="(240,240,240)"/></item>
  <item type="toolbar" id="menutoolbar">
    <surface state="normal" fillcolor="(220,220,255)"/>
    <surface state="over" fillcolor="(255,220,220)"/>
    <surface state="down" fillcolor="(200,0,0)"/>
    <text horzalign="center" vertalign="middle" textcolor="(0,0,0)"/>
  </item>
</window></theme>)xml";

void LoadTestSkin() {
    Velmora::CManager* manager = Velmora::CManager::Instance();
    const std::string cursor = MakeCurFile(32, 32, 0, 0, [](int, int) { return true; });
    auto hand = std::make_unique<Velmora::GDICursor>();
    ASSERT_NE(hand->LoadCursorData(cursor.data(), cursor.size()), nullptr);
    hand->SetId("hand");
    manager->Cursors().Add(std::move(hand));
    for (const auto& [id, color] : {std::pair{"check", kCheckIcon}, {"open", kOpenIcon}}) {
        auto icon = std::make_unique<Velmora::GDIImage>();
        ASSERT_NE(icon->Allocate(12, 12, 24, 0), nullptr);
        for (int y = 0; y < 12; ++y) {
            uint8_t* pixel = icon->GetRow(y);
            for (int x = 0; x < 12; ++x, pixel += 3) {
                pixel[0] = GetBValue(color);
                pixel[1] = GetGValue(color);
                pixel[2] = GetRValue(color);
            }
        }
        icon->SetId(id);
        manager->Images().Add(std::move(icon));
    }
    Velmora::CXmlDocument xml;
    ASSERT_TRUE(xml.SetDocument(kSkin));
    ASSERT_EQ(Velmora::ParseSkinDescription(*manager, xml, nullptr, "skin"), 1);
}

HWND CreatePanel() {
    static const ATOM registered = [] {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = PanelProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        windowClass.lpszClassName = "VelmoraTabsMenusPanel";
        return RegisterClassA(&windowClass);
    }();
    (void)registered;
    return CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "VelmoraTabsMenusPanel", "",
                           WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

CMenuScript* g_script = nullptr;

BOOL CALLBACK CollectMenuWindow(HWND window, LPARAM found) {
    char name[16] = {};
    if (IsWindowVisible(window) && GetClassNameA(window, name, sizeof name) &&
        std::string(name) == "#32768")
        reinterpret_cast<std::vector<HWND>*>(found)->insert(
            reinterpret_cast<std::vector<HWND>*>(found)->begin(), window);
    return TRUE;
}

} // namespace

UINT g_checkOnOpen = 0;

COLORREF WindowPixel(HWND window, int x, int y) {
    HDC dc = GetWindowDC(window);
    const COLORREF color = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return color;
}

std::vector<HWND> MenuWindows() {
    std::vector<HWND> menus;
    EnumThreadWindows(GetCurrentThreadId(), CollectMenuWindow, reinterpret_cast<LPARAM>(&menus));
    return menus;
}

void PostKey(HWND window, UINT key) {
    PostMessageA(window, WM_KEYDOWN, key, 1);
    if (key == VK_RETURN)
        PostMessageA(window, WM_CHAR, '\r', 1);
    PostMessageA(window, WM_KEYUP, key, 0xC0000001);
}

CMenuScript::CMenuScript(std::vector<Step> steps) : m_steps(std::move(steps)) {
    g_script = this;
    m_timer = SetTimer(nullptr, 0, 80, &CMenuScript::Tick);
}

CMenuScript::~CMenuScript() {
    KillTimer(nullptr, m_timer);
    g_script = nullptr;
}

void CALLBACK CMenuScript::Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (!g_script)
        return;
    const std::vector<HWND> menus = MenuWindows();
    if (g_script->m_next < g_script->m_steps.size())
        g_script->m_steps[g_script->m_next++](menus);
    else if (!menus.empty())
        EndMenu();
}

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

COLORREF PixelOf(HWND window, int x, int y) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    HDC dc = GetDC(window);
    const COLORREF color = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return color;
}

std::string TakeLog(HWND window) {
    PumpMessages();
    std::string log;
    log.swap(g_log[window]);
    return log;
}

void TabsMenusTest::SetUp() {
    LoadTestSkin();
    m_top = CreatePanel();
    ASSERT_EQ(Velmora::CManager::Instance()->SkinWindow(m_top, 1, "panel", false), 1);
    SetForegroundWindow(m_top);
    PumpMessages();
}

void TabsMenusTest::TearDown() {
    DestroyWindow(m_top);
    PumpMessages();
    Velmora::CManager::Destroy();
    g_log.clear();
    g_checkOnOpen = 0;
}

HWND TabsMenusTest::OpenDialog() {
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kDialogTemplate),
                                     nullptr, DialogProc, 0);
    EXPECT_EQ(Velmora::CManager::Instance()->SkinWindow(dialog, 2, "dialog", true), 1);
    PumpMessages();
    return dialog;
}

HWND TabsMenusTest::Control(int kind, const char* id, int x, int y, int width, int height) {
    HWND control =
        CreateWindowExA(0, "VelmoraTabsMenusPanel", "", WS_CHILD | WS_VISIBLE, x, y, width, height,
                        m_top, reinterpret_cast<HMENU>(7), nullptr, nullptr);
    EXPECT_EQ(Velmora::CManager::Instance()->SkinWindow(control, kind, id, false), 1);
    PumpMessages();
    return control;
}
