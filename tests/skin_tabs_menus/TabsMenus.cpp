#include "TabsMenus.h"

#include "GDICursor.h"
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

LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
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
    return DefWindowProcA(window, message, wParam, lParam);
}

const char kSkin[] = R"xml(<theme><window>
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
</window></theme>)xml";

void LoadTestSkin() {
    Velmora::CManager* manager = Velmora::CManager::Instance();
    const std::string cursor = MakeCurFile(32, 32, 0, 0, [](int, int) { return true; });
    auto hand = std::make_unique<Velmora::GDICursor>();
    ASSERT_NE(hand->LoadCursorData(cursor.data(), cursor.size()), nullptr);
    hand->SetId("hand");
    manager->Cursors().Add(std::move(hand));
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

} // namespace

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
}

HWND TabsMenusTest::Control(int kind, const char* id, int x, int y, int width, int height) {
    HWND control =
        CreateWindowExA(0, "VelmoraTabsMenusPanel", "", WS_CHILD | WS_VISIBLE, x, y, width, height,
                        m_top, reinterpret_cast<HMENU>(7), nullptr, nullptr);
    EXPECT_EQ(Velmora::CManager::Instance()->SkinWindow(control, kind, id, false), 1);
    PumpMessages();
    return control;
}
