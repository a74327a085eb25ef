// The image list: sizing by the first image, 1-based indexes, the owner's
// notifications, masks and embossed disabled images read back as pixels,
// streams written and read (and bad streams refused), rebuilding from the
// remembered images, and what the list leaves behind.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <fstream>
#include <string>
#include <vector>

#include "framework/core/classbuilder.h"
#include "framework/core/component.h"
#include "framework/core/members.h"
#include "framework/graphics/image_formats.h"
#include "framework/graphics/image_list.h"
#include "runtime/heap.h"
#include "support/test_forms.h"
#include "surface.h"
#include "test_images.h"

namespace {

using zv::Value;
namespace sym = zv::sym;
using zvtest::Surface;
using zvtest::TestImage;

// An owner that records the notifications it hears.
std::vector<long long> g_notes;
zv::Class* NotedOwnerClass() {
  static zv::Class* c = [] {
    zv::QVClass b("TNotedOwner", {zv::TComponentClass()});
    b.Method("QVNotify", [](zv::Object&, zv::Args a) -> Value { return g_notes.push_back(a.Get(0).AsInt()), Value(); });
    return b.Create();
  }();
  return c;
}

Value NewList(Value owner = {}, int w = 1, int h = 1) {
  return zv::NewObject(zv::TImageListClass(), owner, w, h);
}

// An 8 x 8 white bitmap with a black 3 x 3 square at (2, 2).
HBITMAP SquareBitmap(COLORREF back = RGB(255, 255, 255), COLORREF square = RGB(0, 0, 0)) {
  HDC screen = GetDC(nullptr);
  HBITMAP b = CreateCompatibleBitmap(screen, 8, 8);
  ReleaseDC(nullptr, screen);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, b);
  RECT all{0, 0, 8, 8}, sq{2, 2, 5, 5};
  HBRUSH b1 = CreateSolidBrush(back), b2 = CreateSolidBrush(square);
  FillRect(dc, &all, b1);
  FillRect(dc, &sq, b2);
  DeleteObject(b1);
  DeleteObject(b2);
  SelectObject(dc, old);
  DeleteDC(dc);
  return b;
}

std::vector<char> FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
void WriteBytes(const std::string& path, const std::vector<char>& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

TEST(ImageList, TheFirstImageSizesTheListAndTheOwnerHearsOfFirstAndLast) {
  g_notes.clear();
  Value owner = zv::NewObject(NotedOwnerClass());
  Value list = NewList(owner);
  zv::TImageListRef il(list);
  ASSERT_NE(il.Handle(), 0);
  EXPECT_EQ(il.nWidth(), 1);
  EXPECT_EQ(il.Add(TestImage("rgb24.bmp")).AsInt(), 1);
  EXPECT_EQ(il.nWidth(), 16);
  EXPECT_EQ(il.nHeight(), 9);
  EXPECT_EQ(il.GetIconSize().Item(1).AsInt(), 16);
  EXPECT_EQ(il.Add(TestImage("pal8.bmp")).AsInt(), 2);
  EXPECT_EQ(g_notes, std::vector<long long>{1});
  // A name that is no resource, file or icon: no image, but remembered.
  EXPECT_EQ(il.Add("no such image").AsInt(), 0);
  EXPECT_EQ(il.aBitmaps().Len(), 3u);
  EXPECT_EQ(il.aBitmaps().Item(3).Item(1).AsString(), "no such image");
  EXPECT_EQ(il.GetImageCount().AsInt(), 2);
  // Index 0 is no image: nothing is removed (comctl32 would take it as all).
  EXPECT_FALSE(il.Remove(0).AsBool());
  EXPECT_EQ(il.GetImageCount().AsInt(), 2);
  EXPECT_TRUE(il.Remove(2).AsBool());
  EXPECT_EQ(g_notes, std::vector<long long>{1});
  EXPECT_TRUE(il.Remove(1).AsBool());
  EXPECT_EQ(g_notes, (std::vector<long long>{1, 2}));
  il.Destroy();
  EXPECT_EQ(il.Handle(), 0);
}

TEST(ImageList, MasksTheTopLeftColourAndEmbossesDisabledImages) {
  Value list = NewList();
  zv::TImageListRef il(list);
  HBITMAP given = SquareBitmap();
  EXPECT_EQ(il.Add(zv::HandleValue(given)).AsInt(), 1);
  EXPECT_EQ(GetObjectType(given), 0u) << "the list keeps its own copy; the bitmap given is deleted";
  EXPECT_EQ(il.Add(zv::HandleValue(SquareBitmap()), true).AsInt(), 2);

  Surface s(40, 20);
  s.Fill(RGB(0, 255, 0));
  ASSERT_TRUE(il.Draw(1, s.Handle(), 0, 0, ILD_NORMAL).AsBool());
  EXPECT_EQ(s.At(0, 0), RGB(0, 255, 0)) << "the top-left colour is transparent";
  EXPECT_EQ(s.At(3, 3), RGB(0, 0, 0));
  ASSERT_TRUE(il.Draw(2, s.Handle(), 20, 0, ILD_NORMAL).AsBool());
  EXPECT_EQ(s.At(20 + 3, 3), GetSysColor(COLOR_BTNSHADOW)) << "the shape in the shadow colour";
  EXPECT_EQ(s.At(20 + 5, 5), RGB(255, 255, 255)) << "a white edge one pixel right and down";
  EXPECT_EQ(s.At(20 + 5, 3), RGB(255, 255, 255));
  EXPECT_EQ(s.At(20 + 1, 1), RGB(0, 255, 0)) << "the face around it is transparent";

  // The embossed rendering itself, on the button face.
  HBITMAP square = SquareBitmap();
  HBITMAP emb = zv::EmbossedBitmap(square);
  ASSERT_NE(emb, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, emb);
  EXPECT_EQ(GetPixel(dc, 0, 0), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(GetPixel(dc, 4, 4), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(GetPixel(dc, 5, 5), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(dc, 1, 2), GetSysColor(COLOR_BTNFACE)) << "no edge on the upper left";
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(emb);
  DeleteObject(square);
}

TEST(ImageList, CopiesSwapsAndReadsImagesBack) {
  Value list = NewList({}, 8, 8);
  zv::TImageListRef il(list);
  il.Add(zv::HandleValue(SquareBitmap(RGB(255, 255, 255), RGB(255, 0, 0))));
  il.Add(zv::HandleValue(SquareBitmap(RGB(255, 255, 255), RGB(0, 0, 255))));
  auto centre = [&](int index) -> COLORREF {
    HBITMAP b = zv::ValueHandle<HBITMAP>(il.GetBitmap(index));
    if (!b) return CLR_INVALID;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, b);
    const COLORREF c = GetPixel(dc, 3, 3);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(b);
    return c;
  };
  EXPECT_EQ(centre(1), RGB(255, 0, 0));
  EXPECT_TRUE(il.Swap(1, 2).AsBool());
  EXPECT_EQ(centre(1), RGB(0, 0, 255));
  EXPECT_EQ(centre(2), RGB(255, 0, 0));
  EXPECT_TRUE(il.Copy(2, 1).AsBool());
  EXPECT_EQ(centre(2), RGB(0, 0, 255));
  EXPECT_FALSE(il.Copy(3, 1).AsBool());
  EXPECT_EQ(centre(3), CLR_INVALID);

  const Value info = il.GetImageInfo(1);
  ASSERT_TRUE(info.IsList());
  EXPECT_EQ(GetObjectType(zv::ValueHandle<HGDIOBJ>(info.Item(1))), static_cast<DWORD>(OBJ_BITMAP));
  EXPECT_EQ(GetObjectType(zv::ValueHandle<HGDIOBJ>(info.Item(2))), static_cast<DWORD>(OBJ_BITMAP));
  EXPECT_TRUE(il.GetImageInfo(0).IsNil());
  EXPECT_TRUE(il.SetOverlayImage(2, 1).AsBool());

  Surface s(20, 20);
  EXPECT_TRUE(il.DrawEx(1, s.Handle(), 2, 2, 8, 8, CLR_NONE).AsBool());
  EXPECT_EQ(s.At(2 + 3, 2 + 3), RGB(0, 0, 255));
  EXPECT_FALSE(il.Draw(1, 0, 0, 0).AsBool());

  const COLORREF before = static_cast<COLORREF>(il.SetBkColor(RGB(1, 2, 3)).AsInt());
  EXPECT_EQ(before, CLR_NONE);
  EXPECT_EQ(il.GetBkColor().AsInt(), static_cast<long long>(RGB(1, 2, 3)));

  HICON icon = zv::ValueHandle<HICON>(il.GetIcon(1, ILD_NORMAL));
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(il.ReplaceIcon(2, zv::HandleValue(icon)).AsInt(), 2);
  EXPECT_EQ(il.ReplaceIcon(0, zv::HandleValue(icon)).AsInt(), 3) << "index 0 appends";
  DestroyIcon(icon);

  HIMAGELIST dup = zv::ValueHandle<HIMAGELIST>(il.Duplicate());
  ASSERT_NE(dup, nullptr);
  EXPECT_EQ(ImageList_GetImageCount(dup), 3);
  HIMAGELIST merged = zv::ValueHandle<HIMAGELIST>(il.Merge(1, list, 2, 1, 1));
  ASSERT_NE(merged, nullptr);
  EXPECT_EQ(ImageList_GetImageCount(merged), 1);
  ImageList_Destroy(merged);
  ImageList_Destroy(dup);

  // Sizing the list empties it, as comctl32 does.
  EXPECT_TRUE(il.SetIconSize(24, 20).AsBool());
  EXPECT_EQ(il.GetImageCount().AsInt(), 0);
  il.nHeight(30);
  EXPECT_EQ(il.GetIconSize().Item(2).AsInt(), 30);
  EXPECT_EQ(il.nWidth(), 24);
  il.Destroy();
}

TEST(ImageList, IconsAndMaskedBitmaps) {
  Value list = NewList();
  zv::TImageListRef il(list);
  EXPECT_EQ(il.AddIcon(TestImage("multi.ico"), 0).AsInt(), 1);
  EXPECT_EQ(il.nWidth(), GetSystemMetrics(SM_CXICON));
  EXPECT_EQ(il.AddIcon("no such icon").AsInt(), 0);
  HBITMAP mine = SquareBitmap();
  EXPECT_EQ(il.AddMasked(zv::HandleValue(mine), static_cast<long long>(RGB(255, 255, 255))).AsInt(), 2);
  EXPECT_EQ(GetObjectType(mine), static_cast<DWORD>(OBJ_BITMAP)) << "a bitmap given by handle stays the caller's";
  DeleteObject(mine);
  // The icon's pixels: its left half red.
  Surface s(64, 64);
  s.Fill(RGB(0, 255, 0));
  ASSERT_TRUE(il.Draw(1, s.Handle(), 0, 0).AsBool());
  EXPECT_EQ(s.At(4, 4), RGB(255, 0, 0));
  // Disabled: an icon from a file, embossed.
  EXPECT_EQ(il.Add(TestImage("single.ico"), true).AsInt(), 3);
  EXPECT_EQ(il.GetImageCount().AsInt(), 3) << "a bitmap smaller than the images is one image";
  // The 8 x 8 bitmap at the top left of its 32 x 32 image, the rest masked.
  s.Fill(RGB(0, 255, 0));
  ASSERT_TRUE(il.Draw(2, s.Handle(), 0, 0).AsBool());
  EXPECT_EQ(s.At(3, 3), RGB(0, 0, 0));
  EXPECT_EQ(s.At(20, 20), RGB(0, 255, 0));
  il.Destroy();
}

TEST(ImageList, IsRebuiltFromTheImagesAddedWhenCreatedAgain) {
  Value list = NewList();
  zv::TImageListRef il(list);
  il.Add(TestImage("rgb24.bmp"));
  il.Add(TestImage("pal4.bmp"), true);
  il.Destroy();
  EXPECT_EQ(il.GetImageCount().AsInt(), 0);
  il.Create();
  EXPECT_EQ(il.GetImageCount().AsInt(), 2);
  EXPECT_EQ(il.nWidth(), 16);
  il.RemoveAll();
  EXPECT_EQ(il.aBitmaps().Len(), 0u);
  il.Destroy();
}

TEST(ImageList, StreamsRoundTripAndBadStreamsChangeNothing) {
  Value list = NewList();
  zv::TImageListRef il(list);
  il.Add(zv::HandleValue(SquareBitmap(RGB(255, 255, 255), RGB(0, 0, 255))));
  il.Add(zv::HandleValue(SquareBitmap(RGB(255, 255, 255), RGB(255, 0, 0))));
  const std::string file = "list.il";
  ASSERT_TRUE(il.Write(file).AsBool());
  const std::vector<char> good = FileBytes(file);
  ASSERT_GT(good.size(), zv::img::kImageListHeaderSize);
  EXPECT_TRUE(zv::img::IsImageListStream({reinterpret_cast<const std::uint8_t*>(good.data()), good.size()}));

  Value copy = NewList();
  zv::TImageListRef c(copy);
  c.Add(TestImage("rgb24.bmp"));
  ASSERT_TRUE(c.Read(file).AsBool());
  EXPECT_EQ(c.GetImageCount().AsInt(), 2);
  EXPECT_EQ(c.nWidth(), 8);
  EXPECT_EQ(c.aBitmaps().Len(), 0u);
  Surface s(20, 20);
  c.Draw(2, s.Handle(), 0, 0);
  EXPECT_EQ(s.At(3, 3), RGB(255, 0, 0));
  EXPECT_EQ(s.At(0, 0), RGB(255, 255, 255));

  // The bitmap alone is a bitmap file.
  ASSERT_TRUE(il.WriteBitmap("list.bmp").AsBool());
  HBITMAP b = static_cast<HBITMAP>(LoadImageA(nullptr, "list.bmp", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
  ASSERT_NE(b, nullptr);
  BITMAP bm{};
  GetObjectA(b, sizeof bm, &bm);
  EXPECT_GE(bm.bmWidth, 8);
  DeleteObject(b);

  // Bad streams: cut, counting more images than they hold, empty, random,
  // a missing file. None replaces the list.
  std::vector<std::vector<char>> bad;
  bad.emplace_back(good.begin(), good.begin() + static_cast<long>(good.size() / 2));
  bad.emplace_back(good.begin(), good.begin() + 20);
  std::vector<char> more = good;
  more[4] = 120;  // cCurImage
  bad.push_back(more);
  std::vector<char> huge = good;
  huge[10] = huge[11] = '\xFF';  // cx of 65535
  bad.push_back(huge);
  bad.emplace_back();
  std::vector<char> noise(600);
  for (std::size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<char>((i * 7919 + 13) % 251);
  noise[0] = 'I';
  noise[1] = 'L';
  noise[2] = 1;
  noise[3] = 1;
  bad.push_back(noise);
  for (std::size_t i = 0; i < bad.size(); ++i) {
    WriteBytes("bad.il", bad[i]);
    EXPECT_FALSE(c.Read("bad.il").AsBool()) << "bad stream " << i;
    EXPECT_EQ(c.GetImageCount().AsInt(), 2) << "bad stream " << i;
  }
  EXPECT_FALSE(c.Read("no such file.il").AsBool());
  c.Destroy();
  il.Destroy();
}

TEST(ImageList, DragsAnImageOverAWindow) {
  Value form = zvtest::MakeForm("drag");
  HWND hwnd = zv::ObjectHwnd(form);
  Value list = NewList({}, 8, 8);
  zv::TImageListRef il(list);
  il.Add(zv::HandleValue(SquareBitmap()));
  ASSERT_TRUE(il.BeginDrag(1, 1, 1).AsBool());
  EXPECT_TRUE(il.DragEnter(zv::HandleValue(hwnd), 10, 10).AsBool());
  EXPECT_TRUE(il.DragMove(20, 20).AsBool());
  EXPECT_TRUE(il.DragShowNolock(false).AsBool());
  Value pos = Value::Ref(), hot = Value::Ref();
  EXPECT_NE(il.GetDragImage(pos, hot).AsInt(), 0);
  EXPECT_EQ(pos.Deref().Item(1).AsInt(), 20);
  EXPECT_EQ(hot.Deref().Item(1).AsInt(), 1);
  EXPECT_TRUE(il.DragLeave(zv::HandleValue(hwnd)).AsBool());
  il.EndDrag();
  EXPECT_EQ(il.GetDragImage().AsInt(), 0);
  il.Destroy();
  zv::TFormRef(form).Close(true);
  zvtest::Pump();
}

TEST(ImageList, ThousandsOfListsLeaveNoBitmapBehind) {
  std::vector<HGDIOBJ> seen;
  for (int i = 0; i < 2000; ++i) {
    Value list = NewList();
    zv::TImageListRef il(list);
    il.Add(TestImage("rgb24.bmp"), i % 2 == 0);
    il.Add(zv::HandleValue(SquareBitmap()));
    il.AddIcon(TestImage("multi.ico"));
    if (i % 100 == 0) {
      const Value info = il.GetImageInfo(1);
      seen.push_back(zv::ValueHandle<HGDIOBJ>(info.Item(1)));
      seen.push_back(zv::ValueHandle<HGDIOBJ>(info.Item(2)));
    }
    if (i % 3) il.Destroy();  // the others go with their object
  }
  zv::Collect();
  for (HGDIOBJ h : seen) EXPECT_EQ(GetObjectType(h), 0u);
}

}  // namespace
