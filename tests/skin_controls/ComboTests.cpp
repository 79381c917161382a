// Combo boxes and a list box of a real dialog skinned recursively: their
// current item and their lists, dropped down or shown inside the combo box,
// and the list box are the controls' own drawing, pixel for pixel as without
// the skin, while the skin's rounded look shows the dialog in its corners.
#include "ControlsSupport.h"

#include <algorithm>
#include <vector>

namespace {

// The pixels of a rectangle of the window's client area once it has painted.
std::vector<COLORREF> Pixels(HWND window, const RECT& rect) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    PumpMessages();
    return ClientPixels(window, rect);
}

class ComboTest : public ControlsTest {
  protected:
    static constexpr int kDropDown = 50;
    static constexpr int kSimple = 51;
    static constexpr int kListBox = 52;

    void SetUp() override {
        ControlsTest::SetUp();
        OpenDialog(kComboDialog);
        for (int id : {kDropDown, kSimple}) {
            for (const char* text : {"alpha", "beta", "gamma"})
                SendMessageA(Combo(id), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
            SendMessageA(Combo(id), CB_SETCURSEL, 1, 0);
        }
        for (const char* text : {"alpha", "beta"})
            SendMessageA(GetDlgItem(m_dialog, kListBox), LB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(text));
    }
    HWND Combo(int id) const { return GetDlgItem(m_dialog, id); }
    COMBOBOXINFO Info(int id) const {
        COMBOBOXINFO info = {};
        info.cbSize = sizeof(info);
        GetComboBoxInfo(Combo(id), &info);
        return info;
    }
    // The drop-down list's current item, its list dropped down, the list the
    // other combo box shows inside itself, and the list box.
    std::vector<std::vector<COLORREF>> Parts() {
        const COMBOBOXINFO dropDown = Info(kDropDown);
        const COMBOBOXINFO simple = Info(kSimple);
        std::vector<std::vector<COLORREF>> parts;
        parts.push_back(Pixels(Combo(kDropDown), dropDown.rcItem));
        RECT list = {};
        SendMessageA(Combo(kDropDown), CB_SHOWDROPDOWN, TRUE, 0);
        GetClientRect(dropDown.hwndList, &list);
        parts.push_back(Pixels(dropDown.hwndList, list));
        SendMessageA(Combo(kDropDown), CB_SHOWDROPDOWN, FALSE, 0);
        GetClientRect(simple.hwndList, &list);
        parts.push_back(Pixels(simple.hwndList, list));
        GetClientRect(GetDlgItem(m_dialog, kListBox), &list);
        parts.push_back(Pixels(GetDlgItem(m_dialog, kListBox), list));
        return parts;
    }
};

TEST_F(ComboTest, ItemsAndListsShowAsWithoutTheSkin) {
    const auto unskinned = Parts();
    ASSERT_EQ(Manager()->SkinWindow(m_dialog, 2, nullptr, true), 1);
    PumpMessages();
    ASSERT_NE(Manager()->FindSkinObject(Combo(kDropDown), 9), nullptr);
    const auto skinned = Parts();
    const char* const names[] = {"current item", "dropped-down list", "list inside", "list box"};
    for (size_t part = 0; part < unskinned.size(); ++part) {
        // The system drew text there: not one colour throughout.
        const auto& plain = unskinned[part];
        EXPECT_NE(std::count(plain.begin(), plain.end(), plain[0]), long(plain.size()))
            << names[part];
        EXPECT_TRUE(skinned[part] == plain) << names[part];
    }
    // Around the item the skin's look; in its rounded corners the dialog's.
    RECT client = {};
    GetClientRect(Combo(kDropDown), &client);
    EXPECT_EQ(ClientPixel(Combo(kDropDown), Info(kDropDown).rcItem.right + 4, client.bottom / 2),
              kStateColor[0]);
    EXPECT_EQ(ClientPixel(Combo(kDropDown), 0, 0), kBack);
}

} // namespace
