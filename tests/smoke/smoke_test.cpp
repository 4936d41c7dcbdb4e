#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
TEST(Smoke, Window) {
  HWND h = CreateWindowW(L"STATIC", L"x", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(h, nullptr);
  wchar_t w[8]; const char gbk[] = "\xd0\xc5\xcf\xa2";
  ASSERT_EQ(MultiByteToWideChar(936, 0, gbk, -1, w, 8), 3);
  EXPECT_EQ(w[0], 0x4fe1);
  printf("ACP %u\n", GetACP());
  DestroyWindow(h);
}
#endif
TEST(Smoke, Host) { EXPECT_EQ(1 + 1, 2); }
