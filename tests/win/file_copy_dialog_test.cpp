// Setup's please-wait window (dialog 130) on Wine: its template as shown,
// and that neither Escape, Enter nor a close request ends it.
#include <windows.h>

#include <gtest/gtest.h>

#include "setup/ui/file_copy_win.h"

namespace {

using setup::CFileCopy;

class FileCopyDialog : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dialog.Create(CFileCopy::IDD));
        ASSERT_NE(dialog.m_hWnd, nullptr);
        dialog.ShowWindow(SW_SHOW);
        Pump();
    }
    static void Pump() {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    // Rectangle of a control in dialog units relative to the client area.
    RECT InDialogUnits(HWND control) {
        RECT r;
        ::GetWindowRect(control, &r);
        ::MapWindowPoints(nullptr, dialog.m_hWnd, reinterpret_cast<POINT*>(&r), 2);
        RECT unit = {0, 0, 4, 8};
        ::MapDialogRect(dialog.m_hWnd, &unit);
        return {r.left * 4 / unit.right, r.top * 8 / unit.bottom, (r.right - r.left) * 4 / unit.right,
                (r.bottom - r.top) * 8 / unit.bottom};
    }
    CFileCopy dialog;
};

void ExpectNear(const RECT& r, int x, int y, int w, int h) {
    EXPECT_NEAR(r.left, x, 1);
    EXPECT_NEAR(r.top, y, 1);
    EXPECT_NEAR(r.right, w, 1);
    EXPECT_NEAR(r.bottom, h, 1);
}

TEST_F(FileCopyDialog, TitleBarWithoutSystemMenuAndInTheTaskBar) {
    EXPECT_EQ(dialog.GetWindowText(), "KLRN Printer Driver - Setup");
    const LONG_PTR style = ::GetWindowLongPtrA(dialog.m_hWnd, GWL_STYLE);
    const LONG_PTR exStyle = ::GetWindowLongPtrA(dialog.m_hWnd, GWL_EXSTYLE);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_EQ(style & WS_SYSMENU, 0);
    EXPECT_NE(exStyle & WS_EX_APPWINDOW, 0);
    EXPECT_EQ(::GetParent(dialog.m_hWnd), nullptr);
    EXPECT_TRUE(dialog.IsWindowVisible());
}

TEST_F(FileCopyDialog, CentredOnTheScreenAt225By78) {
    RECT client;
    ::GetClientRect(dialog.m_hWnd, &client);
    RECT size = {0, 0, 225, 78};
    ::MapDialogRect(dialog.m_hWnd, &size);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);
    RECT window, work;
    ::GetWindowRect(dialog.m_hWnd, &window);
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR((window.left + window.right) / 2, (work.left + work.right) / 2, 2);
    EXPECT_NEAR((window.top + window.bottom) / 2, (work.top + work.bottom) / 2, 2);
}

TEST_F(FileCopyDialog, TwoLineTextPictureAndEtchedLine) {
    HWND text = dialog.GetDlgItem(1002);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(dialog.GetDlgItemText(1002), "Now the printer will be installed ...\nPlease wait ...");
    ExpectNear(InDialogUnits(text), 93, 30, 119, 18);

    HWND picture = nullptr, line = nullptr;
    for (HWND child = ::GetWindow(dialog.m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const LONG_PTR kind = ::GetWindowLongPtrA(child, GWL_STYLE) & SS_TYPEMASK;
        if (kind == SS_BITMAP) picture = child;
        if (kind == SS_ETCHEDVERT) line = child;
    }
    ASSERT_NE(picture, nullptr);
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(::GetDlgCtrlID(picture), -1);
    // The system narrows an etched line to its two pixels.
    const RECT lineRect = InDialogUnits(line);
    EXPECT_NEAR(lineRect.left, 74, 1);
    EXPECT_NEAR(lineRect.top, 0, 1);
    EXPECT_NEAR(lineRect.bottom, 78, 1);
    EXPECT_LE(lineRect.right, 19);

    HBITMAP image = reinterpret_cast<HBITMAP>(::SendMessageA(picture, STM_GETIMAGE, IMAGE_BITMAP, 0));
    ASSERT_NE(image, nullptr);
    BITMAP bitmap = {};
    ASSERT_NE(::GetObjectA(image, sizeof(bitmap), &bitmap), 0);
    EXPECT_EQ(bitmap.bmWidth, 112);
    EXPECT_EQ(bitmap.bmHeight, 128);
}

TEST_F(FileCopyDialog, EscapeIsConsumedBeforeDialogProcessing) {
    MSG escape = {dialog.GetDlgItem(1002), WM_KEYDOWN, VK_ESCAPE, 0, 0, {0, 0}};
    EXPECT_TRUE(dialog.PreTranslateMessage(&escape));
    MSG enter = {dialog.GetDlgItem(1002), WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
    EXPECT_FALSE(dialog.PreTranslateMessage(&enter));
    MSG escapeUp = {dialog.GetDlgItem(1002), WM_KEYUP, VK_ESCAPE, 0, 0, {0, 0}};
    EXPECT_FALSE(dialog.PreTranslateMessage(&escapeUp));
}

TEST_F(FileCopyDialog, NeitherOkNorCancelNorCloseEndsIt) {
    dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);  // Enter
    dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    dialog.SendMessage(WM_CLOSE);
    Pump();
    ASSERT_TRUE(::IsWindow(dialog.m_hWnd));
    EXPECT_TRUE(dialog.IsWindowVisible());
}

TEST_F(FileCopyDialog, ShownAndHiddenByItsCallers) {
    dialog.ShowWindow(SW_HIDE);
    EXPECT_FALSE(dialog.IsWindowVisible());
    dialog.ShowWindow(SW_SHOW);
    EXPECT_TRUE(dialog.IsWindowVisible());
}

}  // namespace
