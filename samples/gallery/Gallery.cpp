// VelmoraGallery: every standard control that has a skin, in every state a
// program can give it, in one dialog skinned with the sample skin or with the
// skin named on the command line:
//   VelmoraGallery.exe [skin folder | skin.sdb] [--screenshot picture.bmp] [--menu]
// With --screenshot the gallery shows itself with the mouse over a button,
// writes what the screen shows of it as a 24-bit bitmap (magenta outside its
// window region) and ends; with --menu as well, its context menu is open in
// the picture, on its second item.
#include "GalleryIds.h"
#include "NotesView.h"
#include "Velmora.h"

#include <windows.h>

#include <commctrl.h>
#include <shlwapi.h>
#include <windowsx.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr UINT_PTR kHoverTimer = 1;
constexpr UINT_PTR kShotTimer = 2;
constexpr UINT_PTR kMenuTimer = 3;
constexpr UINT_PTR kMenuShotTimer = 4;
constexpr COLORREF kOutside = RGB(255, 0, 255);
constexpr char kTreeClass[] = "VelmoraGalleryTree";
constexpr int kListRowHeight = 22;

// The list's servers, by ping: name, ping, load (percent), whether busy.
struct Server {
    const char* name;
    int ping;
    int load;
    bool busy;
};
constexpr Server kServers[] = {
    {"Dragon Valley", 24, 35, false}, {"Old Harbour", 32, 30, false},
    {"Frost Keep", 61, 80, false},    {"Ember Hall", 95, 55, false},
    {"Sunken Port", 180, 97, true},   {"North Gate", 210, 100, true},
};

std::string g_screenshot;
bool g_showMenu = false;
INT_PTR g_shotResult = 2;
HMENU g_menuBar = nullptr;
HMENU g_contextMenu = nullptr;

std::string ModuleFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    PathRemoveFileSpecA(path);
    return path;
}

void Fail(const std::string& text) {
    MessageBoxA(nullptr, text.c_str(), "Velmora Gallery", MB_OK | MB_ICONERROR);
}

// The library reads skins from the program's folder: a skin elsewhere is
// named by its path from there.
bool LoadNamedSkin(const std::string& name) {
    char full[MAX_PATH] = {};
    if (!GetFullPathNameA(name.c_str(), MAX_PATH, full, nullptr))
        return false;
    const DWORD attributes = GetFileAttributesA(full);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        Fail("No skin folder or skin database at " + std::string(full));
        return false;
    }
    const bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    char relative[MAX_PATH] = {};
    if (!PathRelativePathToA(relative, ModuleFolder().c_str(), FILE_ATTRIBUTE_DIRECTORY, full,
                             folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL)) {
        Fail("The skin must be on the drive of VelmoraGallery.exe: " + std::string(full));
        return false;
    }
    const char* path = relative[0] == '.' && relative[1] == '\\' ? relative + 2 : relative;
    return LoadSkin(path, folder ? VELMORA_SKIN_FOLDER : VELMORA_SKIN_FILE) != 0;
}

// Everything but the window itself is left out: magenta marks it.
bool SaveScreenshot(HWND dialog, const std::string& file) {
    RECT window = {};
    GetWindowRect(dialog, &window);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap)
        return false;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, window.left, window.top, SRCCOPY);
    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    if (GetWindowRgn(dialog, shape) != ERROR) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (!PtInRegion(shape, x, y))
                    SetPixel(memory, x, y, kOutside);
    }
    DeleteObject(shape);
    GdiFlush();
    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    const DWORD imageSize = static_cast<DWORD>(((width * 3 + 3) & ~3) * height);
    BITMAPFILEHEADER header = {};
    header.bfType = 0x4D42;
    header.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    header.bfSize = header.bfOffBits + imageSize;
    bool written = false;
    if (FILE* out = std::fopen(file.c_str(), "wb")) {
        written = std::fwrite(&header, sizeof(header), 1, out) == 1 &&
                  std::fwrite(&info.bmiHeader, sizeof(info.bmiHeader), 1, out) == 1 &&
                  std::fwrite(bits, 1, imageSize, out) == imageSize;
        written = std::fclose(out) == 0 && written;
    }
    DeleteObject(bitmap);
    return written;
}

// Columns and texts are the list's own; the skin shows them in its cells.
void FillList(HWND list) {
    const struct {
        const char* caption;
        int width;
    } columns[] = {{"SERVER", 92}, {"PING", 46}, {"LOAD", 40}, {"", 48}};
    for (int i = 0; i < 4; ++i) {
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = const_cast<char*>(columns[i].caption);
        column.cx = columns[i].width;
        SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
    for (int row = 0; row < static_cast<int>(sizeof(kServers) / sizeof(kServers[0])); ++row) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = const_cast<char*>(kServers[row].name);
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        char ping[16];
        std::snprintf(ping, sizeof(ping), "%d ms", kServers[row].ping);
        item.iSubItem = 1;
        item.pszText = ping;
        SendMessageA(list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    }
}

// Every cell of the skinned list gets its style: the status of the server,
// the quality of the ping, the load bar, the join button.
void StyleList(HWND list) {
    const int kind = VELMORA_KIND_LISTCTRL;
    for (int row = 0; row < static_cast<int>(sizeof(kServers) / sizeof(kServers[0])); ++row) {
        const Server& server = kServers[row];
        SetItemStyle(list, kind, row, 0, server.busy ? "server.busy" : "server");
        SetItemStyle(list, kind, row, 1, server.ping < 100 ? "ping.good" : "ping.bad");
        SetItemStyle(list, kind, row, 2, "load");
        SetProgressItemPos(list, kind, row, 2, server.load);
        SetItemStyle(list, kind, row, 3, "join");
    }
    ListView_SetItemState(list, 2, LVIS_SELECTED, LVIS_SELECTED);
    // The rows are in the order of their ping: the header shows it as a
    // click on that column would.
    HWND header = ListView_GetHeader(list);
    RECT ping = {};
    Header_GetItemRect(header, 1, &ping);
    const LPARAM middle = MAKELPARAM((ping.left + ping.right) / 2, (ping.top + ping.bottom) / 2);
    SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, middle);
    SendMessageA(header, WM_LBUTTONUP, 0, middle);
}

// Two levels: groups of rooms, the first two open, a room selected.
void FillTree(HWND tree) {
    TreeCtrlExSetLevelItemHeight(tree, 0, 7, 22);
    TreeCtrlExSetLevelItemHeight(tree, 1, 7, 20);
    const struct {
        const char* group;
        const char* rooms[3];
        bool open;
    } groups[] = {{"FAVOURITES", {"Dragon Valley", "Frost Keep", "Ember Hall"}, true},
                  {"RECENT", {"Old Harbour", "Sunken Port", nullptr}, true},
                  {"FRIENDS", {"North Gate", nullptr, nullptr}, false}};
    VelmoraTreeItem group = nullptr;
    VelmoraTreeItem selected = nullptr;
    for (const auto& each : groups) {
        group = TreeCtrlExInsertItem2(tree, each.group, "group", nullptr, group, 0);
        VelmoraTreeItem room = nullptr;
        for (const char* name : each.rooms) {
            if (name)
                room = TreeCtrlExInsertItem2(tree, name, "room", group, room, 0);
        }
        if (each.open)
            TreeCtrlExExpand(tree, group);
        selected = selected ? selected : TreeCtrlExGetChildItem(tree, group);
    }
    TreeCtrlExSelectItem(tree, selected);
}

// File, View (with a check mark and a submenu) and Help for the menu bar;
// the context menu shares the commands.
void MakeMenus() {
    HMENU file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, IDM_OPEN, "&Open...\tCtrl+O");
    AppendMenuA(file, MF_STRING, IDM_SAVE, "&Save\tCtrl+S");
    AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(file, MF_STRING, IDCANCEL, "E&xit");
    HMENU zoom = CreatePopupMenu();
    AppendMenuA(zoom, MF_STRING, IDM_ZOOM_IN, "Zoom &in\tCtrl++");
    AppendMenuA(zoom, MF_STRING, IDM_ZOOM_OUT, "Zoom &out\tCtrl+-");
    HMENU view = CreatePopupMenu();
    AppendMenuA(view, MF_STRING | MF_CHECKED, IDM_GRID, "Show &grid");
    AppendMenuA(view, MF_STRING, IDM_RULERS, "Show &rulers");
    AppendMenuA(view, MF_POPUP, reinterpret_cast<UINT_PTR>(zoom), "&Zoom");
    HMENU help = CreatePopupMenu();
    AppendMenuA(help, MF_STRING, IDM_ABOUT, "&About Velmora");
    g_menuBar = CreateMenu();
    AppendMenuA(g_menuBar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    AppendMenuA(g_menuBar, MF_POPUP, reinterpret_cast<UINT_PTR>(view), "&View");
    AppendMenuA(g_menuBar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), "&Help");

    g_contextMenu = CreatePopupMenu();
    AppendMenuA(g_contextMenu, MF_STRING, IDM_OPEN, "&Open...\tCtrl+O");
    AppendMenuA(g_contextMenu, MF_STRING, IDM_SAVE, "&Save\tCtrl+S");
    AppendMenuA(g_contextMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(g_contextMenu, MF_STRING | MF_CHECKED, IDM_GRID, "Show &grid");
    AppendMenuA(g_contextMenu, MF_STRING | MF_GRAYED, IDM_RULERS, "Show &rulers");
}

void ShowContextMenu(HWND dialog, int x, int y) {
    if (x == -1 && y == -1) {
        RECT window = {};
        GetWindowRect(dialog, &window);
        x = (window.left + window.right) / 2;
        y = (window.top + window.bottom) / 2;
    }
    VelmoraTrackPopupMenu(g_contextMenu, TPM_RIGHTBUTTON, x, y, dialog, nullptr);
}

// The library's own tab strip and toolbar, whose items the program adds once
// they are skinned: tabs with labels, buttons with glyphs, one chosen.
void SkinTabsAndToolBar(HWND dialog) {
    HWND tabs = GetDlgItem(dialog, IDC_TABS);
    SkinWindow(tabs, VELMORA_KIND_TABCTRLEX, nullptr, 0);
    for (const char* label : {"General", "Audio", "Video", "Network"}) {
        const int id = TabCtrlExAddItem(tabs, "tab");
        SetDrawItemValueEx(tabs, VELMORA_KIND_TABCTRLEX, id, 0, "tab.label", label);
    }
    TabCtrlExSetItemSelected(tabs, 1);
    HWND tools = GetDlgItem(dialog, IDC_TOOLBAR);
    SkinWindow(tools, VELMORA_KIND_TOOLBAREX, nullptr, 0);
    for (const char* glyph : {"tool.play", "tool.pause", "tool.stop"}) {
        const int id = ToolBarExAddItem(tools, "tool");
        SetDrawItemValueEx(tools, VELMORA_KIND_TOOLBAREX, id, 0, "tool.icon", glyph);
    }
    ToolBarExSetItemSelected(tools, 0);
    AddMenuBar(dialog, g_menuBar, nullptr, nullptr);
}

void Skin(HWND dialog) {
    // The states a program gives its controls before the skin arrives.
    CheckDlgButton(dialog, IDC_CHECK_ON, BST_CHECKED);
    CheckDlgButton(dialog, IDC_CHECK_DISABLED_ON, BST_CHECKED);
    CheckRadioButton(dialog, IDC_RADIO_LOW, IDC_RADIO_ULTRA, IDC_RADIO_MEDIUM);
    SetDlgItemTextA(dialog, IDC_EDIT_TEXT, "Velmora");
    SetDlgItemTextA(dialog, IDC_EDIT_DISABLED, "Disabled");
    SetDlgItemTextA(dialog, IDC_EDIT_READONLY, "Read-only");
    const SCROLLINFO scroll = {sizeof(scroll), SIF_ALL, 0, 100, 25, 30, 0};
    SetScrollInfo(GetDlgItem(dialog, IDC_SCROLL_HORZ), SB_CTL, &scroll, FALSE);
    SetScrollInfo(GetDlgItem(dialog, IDC_SCROLL_VERT), SB_CTL, &scroll, FALSE);
    for (const char* server :
         {"Europe West", "Europe North", "Asia East", "America East", "America West", "Oceania"})
        SendDlgItemMessageA(dialog, IDC_COMBO, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(server));
    SendDlgItemMessageA(dialog, IDC_COMBO, CB_SETCURSEL, 2, 0);
    ScrollNotesTo(GetDlgItem(dialog, IDC_NOTES), 2);
    HWND systemTabs = GetDlgItem(dialog, IDC_SYSTEM_TABS);
    for (const char* page : {"Page one", "Page two"}) {
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(page);
        SendMessageA(systemTabs, TCM_INSERTITEMA, 9, reinterpret_cast<LPARAM>(&item));
    }
    // The hosts of the library's own controls are no children to skin by
    // their class.
    for (int host : {IDC_TABS, IDC_TOOLBAR})
        SetPropA(GetDlgItem(dialog, host), VELMORA_NO_SKIN_PROPERTY, GetDlgItem(dialog, host));

    FillList(GetDlgItem(dialog, IDC_LIST));
    // The tree is skinned as the library's tree, not with the dialog's children.
    HWND tree = GetDlgItem(dialog, IDC_TREE);
    SetPropA(tree, VELMORA_NO_SKIN_PROPERTY, tree);
    SendDlgItemMessageA(dialog, IDC_PROGRESS, PBM_SETPOS, 62, 0);
    SendDlgItemMessageA(dialog, IDC_TRACKBAR, TBM_SETRANGE, FALSE, MAKELPARAM(0, 100));
    SendDlgItemMessageA(dialog, IDC_TRACKBAR, TBM_SETPOS, TRUE, 70);
    // The statics that become the library's slider and an animation are left
    // to those kinds by the recursive skinning.
    for (int id : {IDC_SLIDEREX, IDC_ANIMATE})
        SetPropA(GetDlgItem(dialog, id), VELMORA_NO_SKIN_PROPERTY, GetDlgItem(dialog, id));

    // A skin that replaces the frame leaves the window's size to the content:
    // the content keeps the size its template gave it.
    RECT content = {};
    GetClientRect(dialog, &content);
    SkinWindow(dialog, VELMORA_KIND_DIALOG, nullptr, 1);
    RECT client = {};
    GetClientRect(dialog, &client);
    RECT frame = {};
    GetWindowRect(dialog, &frame);
    SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left + content.right - client.right,
                 frame.bottom - frame.top + content.bottom - client.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    // Descriptions by id: the primary action and the two links. A skin
    // without them leaves these controls with the look they already have.
    SkinWindow(GetDlgItem(dialog, IDOK), VELMORA_KIND_BUTTON, "button.primary", 0);
    SkinWindow(GetDlgItem(dialog, IDC_LINK_NOTIFY), VELMORA_KIND_STATIC, "static.link", 0);
    SkinWindow(GetDlgItem(dialog, IDC_LINK_PLAIN), VELMORA_KIND_STATIC, "static.link", 0);
    SkinNotesView(GetDlgItem(dialog, IDC_NOTES), "commonctrl.notes");
    StyleList(GetDlgItem(dialog, IDC_LIST));
    SkinWindow(tree, VELMORA_KIND_TREECTRLEX, nullptr, 0);
    FillTree(tree);
    SkinTabsAndToolBar(dialog);
    HWND slider = GetDlgItem(dialog, IDC_SLIDEREX);
    SkinWindow(slider, VELMORA_KIND_SLIDEREX, nullptr, 0);
    SliderExSetRange(slider, 50, 200);
    SliderExSetPos(slider, 125);
    HWND animation = GetDlgItem(dialog, IDC_ANIMATE);
    SkinWindow(animation, VELMORA_KIND_ANIMATE, nullptr, 0);
    SetAnimatePlay(animation, 1);

    // Centred on the screen at its new size.
    GetWindowRect(dialog, &frame);
    SetWindowPos(dialog, nullptr, (GetSystemMetrics(SM_CXSCREEN) - frame.right + frame.left) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - frame.bottom + frame.top) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK GalleryProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_MEASUREITEM:
        // The skinned list draws its rows itself, at the height it asks here.
        if (reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->CtlType == ODT_LISTVIEW) {
            reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = kListRowHeight;
            return TRUE;
        }
        return FALSE;
    case WM_INITDIALOG:
        Skin(dialog);
        if (!g_screenshot.empty())
            SetTimer(dialog, kHoverTimer, 800, nullptr);
        return TRUE;
    case WM_TIMER:
        KillTimer(dialog, wParam);
        if (wParam == kHoverTimer) {
            // The mouse over "Settings", to show a hovered button.
            RECT button = {};
            GetWindowRect(GetDlgItem(dialog, IDC_PUSH_NORMAL), &button);
            SetCursorPos((button.left + button.right) / 2, (button.top + button.bottom) / 2);
            SetTimer(dialog, kShotTimer, 500, nullptr);
        } else if (wParam == kShotTimer && g_showMenu) {
            // The menu's tracking runs the timers that take the picture.
            RECT tools = {};
            GetWindowRect(GetDlgItem(dialog, IDC_TOOLBAR), &tools);
            SetTimer(dialog, kMenuTimer, 400, nullptr);
            ShowContextMenu(dialog, tools.left + 40, tools.bottom + 35);
            EndDialog(dialog, g_shotResult);
        } else if (wParam == kShotTimer) {
            UpdateWindow(dialog);
            EndDialog(dialog, SaveScreenshot(dialog, g_screenshot) ? 0 : 2);
        } else if (wParam == kMenuTimer) {
            if (HWND menu = FindWindowA("#32768", nullptr)) {
                PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
                PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
            }
            SetTimer(dialog, kMenuShotTimer, 400, nullptr);
        } else if (wParam == kMenuShotTimer) {
            g_shotResult = SaveScreenshot(dialog, g_screenshot) ? 0 : 2;
            EndMenu();
        }
        return TRUE;
    case WM_CONTEXTMENU:
        ShowContextMenu(dialog, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        if (LOWORD(wParam) == IDM_GRID) {
            const UINT check = GetMenuState(g_contextMenu, IDM_GRID, MF_BYCOMMAND) & MF_CHECKED
                                   ? MF_UNCHECKED
                                   : MF_CHECKED;
            CheckMenuItem(g_contextMenu, IDM_GRID, check);
            CheckMenuItem(g_menuBar, IDM_GRID, check);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    std::string skin;
    for (int i = 1; i < __argc; ++i) {
        const std::string argument = __argv[i];
        if (argument == "--screenshot" && i + 1 < __argc)
            g_screenshot = __argv[++i];
        else if (argument == "--menu")
            g_showMenu = true;
        else
            skin = argument;
    }
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES |
                                                           ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSA treeClass = {};
    treeClass.style = CS_DBLCLKS;
    treeClass.lpfnWndProc = DefWindowProcA;
    treeClass.hInstance = instance;
    treeClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    treeClass.lpszClassName = kTreeClass;
    RegisterClassA(&treeClass);
    MakeMenus();
    if (skin.empty())
        LoadSkin("skins\\gallery", VELMORA_SKIN_FOLDER);
    else if (!LoadNamedSkin(skin))
        return 1;
    RegisterNotesView(instance);
    const INT_PTR result =
        DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_GALLERY), nullptr, GalleryProc, 0);
    Cleanup();
    DestroyMenu(g_contextMenu);
    DestroyMenu(g_menuBar);
    return static_cast<int>(result);
}
