#include "statmon/ui/pictures_win.h"

#include <gtest/gtest.h>

#include "statmon/ui/resource.h"

namespace {

class PictureResources : public ::testing::TestWithParam<int> {};

TEST_P(PictureResources, IsAnEnglishAnicursorsResourceOfTheProgram) {
    HMODULE module = ::GetModuleHandleA(nullptr);
    HRSRC info = ::FindResourceExA(module, "ANICURSORS", MAKEINTRESOURCEA(GetParam()),
                                   MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    ASSERT_NE(info, nullptr);
    const auto* bytes = static_cast<const char*>(::LockResource(::LoadResource(module, info)));
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(std::string(bytes, 4), "RIFF");
    EXPECT_EQ(std::string(bytes + 8, 4), "ACON");
}

TEST_P(PictureResources, LoadBuildsANewCursorOnEveryCall) {
    HCURSOR first = statmon::LoadPicture(GetParam());
    HCURSOR second = statmon::LoadPicture(GetParam());
    ASSERT_NE(first, nullptr) << "error " << ::GetLastError();
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);

    ICONINFO iconInfo{};
    ASSERT_TRUE(::GetIconInfo(first, &iconInfo));
    EXPECT_FALSE(iconInfo.fIcon);  // a cursor
    BITMAP bitmap{};
    HBITMAP image = iconInfo.hbmColor ? iconInfo.hbmColor : iconInfo.hbmMask;
    ASSERT_TRUE(::GetObjectA(image, sizeof(bitmap), &bitmap));
    EXPECT_EQ(bitmap.bmWidth, 32);
    if (iconInfo.hbmColor) ::DeleteObject(iconInfo.hbmColor);
    if (iconInfo.hbmMask) ::DeleteObject(iconInfo.hbmMask);

    EXPECT_TRUE(::DestroyCursor(first));
    EXPECT_TRUE(::DestroyCursor(second));
}

INSTANTIATE_TEST_SUITE_P(ErrorAndInfo, PictureResources,
                         ::testing::Values(IDR_PICTURE_ERROR, IDR_PICTURE_INFO));

TEST(LoadPicture, NoneAndUnknownIdsGiveNoCursor) {
    EXPECT_EQ(statmon::LoadPicture(statmon::Picture::None), nullptr);
    EXPECT_EQ(statmon::LoadPicture(167), nullptr);
    HCURSOR error = statmon::LoadPicture(statmon::Picture::Error);
    EXPECT_NE(error, nullptr);
    ::DestroyCursor(error);
}

// A window with a static icon control 1002, like the status window's.
class PictureControl : public ::testing::Test {
protected:
    void SetUp() override {
        m_window = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                     nullptr, nullptr);
        ASSERT_NE(m_window, nullptr);
        m_control = ::CreateWindowExA(0, "STATIC", "", WS_CHILD | SS_ICON, 10, 10, 32, 32, m_window,
                                      reinterpret_cast<HMENU>(IDC_STATUS_PICTURE), nullptr, nullptr);
        ASSERT_NE(m_control, nullptr);
    }
    void TearDown() override { ::DestroyWindow(m_window); }
    HCURSOR Shown() const {
        return reinterpret_cast<HCURSOR>(::SendMessageA(m_control, STM_GETIMAGE, IMAGE_CURSOR, 0));
    }
    HWND m_window = nullptr;
    HWND m_control = nullptr;
};

TEST_F(PictureControl, ShowsThePictureAndClearsIt) {
    HCURSOR error = statmon::LoadPicture(IDR_PICTURE_ERROR);
    ASSERT_NE(error, nullptr);
    statmon::ShowPicture(m_window, error);
    EXPECT_EQ(Shown(), error);
    statmon::ShowPicture(m_window, nullptr);
    EXPECT_EQ(Shown(), nullptr);
}

TEST_F(PictureControl, ThePictureReplacedIsDestroyed) {
    HCURSOR error = statmon::LoadPicture(IDR_PICTURE_ERROR);
    HCURSOR info = statmon::LoadPicture(IDR_PICTURE_INFO);
    statmon::ShowPicture(m_window, error);
    statmon::ShowPicture(m_window, info);
    EXPECT_EQ(Shown(), info);
    ICONINFO iconInfo{};
    EXPECT_FALSE(::GetIconInfo(error, &iconInfo));
    // Showing the same handle again keeps it.
    statmon::ShowPicture(m_window, info);
    EXPECT_EQ(Shown(), info);
    ASSERT_TRUE(::GetIconInfo(info, &iconInfo));
    ::DeleteObject(iconInfo.hbmColor);
    ::DeleteObject(iconInfo.hbmMask);
}

TEST(StatusMonitorImages, IconsAndPrinterBitmapLoadAtTheirSizes) {
    HMODULE module = ::GetModuleHandleA(nullptr);
    struct Want {
        int id, size;
    } icons[] = {{IDI_APP, 16}, {IDI_APP, 32}, {IDI_APP, 48}, {IDI_TRAY, 16}, {IDI_TRAY, 24}};
    for (const auto& want : icons) {
        HICON icon = static_cast<HICON>(::LoadImageA(module, MAKEINTRESOURCEA(want.id), IMAGE_ICON,
                                                     want.size, want.size, 0));
        ASSERT_NE(icon, nullptr) << want.id << " at " << want.size;
        ICONINFO iconInfo{};
        ASSERT_TRUE(::GetIconInfo(icon, &iconInfo));
        BITMAP bitmap{};
        ::GetObjectA(iconInfo.hbmColor, sizeof(bitmap), &bitmap);
        EXPECT_EQ(bitmap.bmWidth, want.size) << want.id;
        ::DeleteObject(iconInfo.hbmColor);
        ::DeleteObject(iconInfo.hbmMask);
        ::DestroyIcon(icon);
    }
    HBITMAP printer = static_cast<HBITMAP>(
        ::LoadImageA(module, MAKEINTRESOURCEA(IDB_PRINTER), IMAGE_BITMAP, 0, 0, 0));
    ASSERT_NE(printer, nullptr);
    BITMAP bitmap{};
    ASSERT_TRUE(::GetObjectA(printer, sizeof(bitmap), &bitmap));
    EXPECT_EQ(bitmap.bmWidth, 102);
    EXPECT_EQ(bitmap.bmHeight, 74);
    ::DeleteObject(printer);
}

}  // namespace
