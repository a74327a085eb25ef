// Pictures, icons, cursors and the image control: every format the system
// loader takes here, from files, resources and memory, checked by the
// pixels painted; the optional image library present and absent; a corpus
// of bad images refused without a trace; and thousands of loads released.
#include <gtest/gtest.h>

#include <olectl.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "framework/core/component.h"
#include "framework/core/members.h"
#include "framework/graphics/image_control.h"
#include "framework/graphics/image_library.h"
#include "framework/graphics/icon.h"
#include "framework/graphics/picture.h"
#include "framework/services/cursor.h"
#include "runtime/heap.h"
#include "support/test_forms.h"
#include "surface.h"
#include "test_images.h"

namespace {

using zv::Value;
namespace sym = zv::sym;
using zvtest::Surface;
using zvtest::TestImage;

Value NewPicture(Value name = "") { return zv::NewObject(zv::TPictureClass(), name); }

std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
void WriteText(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Close enough for a lossy format.
bool Near(COLORREF a, COLORREF b, int tolerance = 40) {
  return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
         std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

// The test picture painted at (0, 0) in its own size: red on the left, blue
// on the right.
void ExpectRedAndBlue(zv::TPictureRef p, const std::string& what, int tolerance = 0) {
  Surface s(64, 64);
  ASSERT_TRUE(p.Paint(s.Handle(), 0, 0, p.nWidth(), p.nHeight()).AsBool()) << what;
  EXPECT_TRUE(Near(s.At(2, 2), RGB(255, 0, 0), tolerance)) << what << ": " << std::hex << s.At(2, 2);
  EXPECT_TRUE(Near(s.At(p.nWidth() - 3, 2), RGB(0, 0, 255), tolerance)) << what << ": " << std::hex << s.At(p.nWidth() - 3, 2);
}

TEST(Picture, LoadsEveryFormatOfTheSystemLoaderFromFiles) {
  struct Case {
    const char* file;
    int type, width, height, tolerance;
  };
  const Case cases[] = {
      {"rgb24.bmp", PICTYPE_BITMAP, 16, 9, 0}, {"pal8.bmp", PICTYPE_BITMAP, 16, 9, 0},
      {"pal4.bmp", PICTYPE_BITMAP, 16, 9, 0},  {"argb32.bmp", PICTYPE_BITMAP, 16, 9, 0},
      {"pic.gif", PICTYPE_BITMAP, 16, 9, 0},   {"pic.jpg", PICTYPE_BITMAP, 16, 9, 40},
      {"pic.png", PICTYPE_BITMAP, 16, 9, 0},   {"single.ico", PICTYPE_ICON, 32, 32, 0},
  };
  for (const Case& c : cases) {
    Value pic = NewPicture();
    zv::TPictureRef p(pic);
    ASSERT_TRUE(p.LoadFromFile(TestImage(c.file)).AsBool()) << c.file;
    EXPECT_EQ(p.nType(), c.type) << c.file;
    EXPECT_EQ(p.nWidth(), c.width) << c.file;
    EXPECT_EQ(p.nHeight(), c.height) << c.file;
    EXPECT_EQ(p.nLogicalWidth(), MulDiv(c.width, 2540, 96)) << c.file;
    EXPECT_NE(p.Image(), 0);
    EXPECT_NE(p.Ptr(), 0) << "the bytes are kept";
    EXPECT_NE(p.Picture(), 0);
    EXPECT_EQ(GetObjectType(zv::ValueHandle<HGDIOBJ>(Value(p.Handle()))), static_cast<DWORD>(OBJ_BITMAP));
    EXPECT_EQ(p.cFile(), c.file);
    ExpectRedAndBlue(p, c.file, c.tolerance);
    EXPECT_TRUE(p.IsPicture().AsBool());
    EXPECT_EQ(p.IsIcon().AsBool(), c.type == PICTYPE_ICON);
    EXPECT_EQ(p.GetIcon().AsInt() != 0, c.type == PICTYPE_ICON);
    p.Destroy();
    EXPECT_EQ(p.Image(), 0);
    EXPECT_EQ(p.nWidth(), 0);
  }
  // The monochrome bitmap: black on the left, white on the right.
  Value mono = NewPicture(TestImage("mono.bmp"));
  Surface s(20, 20);
  s.Fill(RGB(0, 255, 0));
  ASSERT_TRUE(zv::TPictureRef(mono).Paint(s.Handle(), 0, 0, 16, 9).AsBool());
  EXPECT_EQ(s.At(2, 2), RGB(0, 0, 0));
  EXPECT_EQ(s.At(12, 2), RGB(255, 255, 255));
}

// A metafile of 160 x 90 units: red on the left half, blue on the right.
std::string EnhancedMetafileBytes() {
  HDC dc = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
  RECT r{0, 0, 80, 90}, r2{80, 0, 160, 90};
  FillRect(dc, &r, red);
  FillRect(dc, &r2, blue);
  DeleteObject(red);
  DeleteObject(blue);
  HENHMETAFILE emf = CloseEnhMetaFile(dc);
  std::string bytes(GetEnhMetaFileBits(emf, 0, nullptr), '\0');
  GetEnhMetaFileBits(emf, static_cast<UINT>(bytes.size()), reinterpret_cast<BYTE*>(bytes.data()));
  DeleteEnhMetaFile(emf);
  return bytes;
}

// The same as a placeable Windows metafile (the 22-byte header that gives
// its bounds, 160 x 90 units at 1440 units per inch).
std::string PlaceableMetafileBytes() {
  HDC dc = CreateMetaFileA(nullptr);
  SetWindowExtEx(dc, 160, 90, nullptr);
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
  RECT r{0, 0, 80, 90}, r2{80, 0, 160, 90};
  FillRect(dc, &r, red);
  FillRect(dc, &r2, blue);
  DeleteObject(red);
  DeleteObject(blue);
  HMETAFILE wmf = CloseMetaFile(dc);
  std::string bits(GetMetaFileBitsEx(wmf, 0, nullptr), '\0');
  GetMetaFileBitsEx(wmf, static_cast<UINT>(bits.size()), bits.data());
  DeleteMetaFile(wmf);
  WORD head[11] = {0xCDD7, 0x9AC6, 0, 0, 0, 160, 90, 1440, 0, 0, 0};
  WORD sum = 0;
  for (int i = 0; i < 10; ++i) sum ^= head[i];
  head[10] = sum;
  return std::string(reinterpret_cast<const char*>(head), sizeof head) + bits;
}

TEST(Picture, LoadsMetafilesAndTheyDrawThemselves) {
  Value pic = NewPicture();
  zv::TPictureRef p(pic);
  ASSERT_TRUE(p.LoadFromStream(EnhancedMetafileBytes()).AsBool());
  EXPECT_EQ(p.nType(), PICTYPE_ENHMETAFILE);
  EXPECT_TRUE(p.IsEnhMetafile().AsBool());
  EXPECT_NE(p.GetEnhMetafile().AsInt(), 0);
  EXPECT_TRUE(p.lScalable());
  Surface s(100, 100);
  ASSERT_TRUE(p.Paint(s.Handle(), 0, 0, 100, 100).AsBool());
  EXPECT_EQ(s.At(20, 50), RGB(255, 0, 0));
  EXPECT_EQ(s.At(80, 50), RGB(0, 0, 255));

  ASSERT_TRUE(p.LoadFromStream(PlaceableMetafileBytes()).AsBool());
  EXPECT_EQ(p.nType(), PICTYPE_METAFILE);
  EXPECT_NE(p.GetMetafile().AsInt(), 0);
  EXPECT_EQ(p.nWidth(), MulDiv(160, 96, 1440));
  s.Clear();
  ASSERT_TRUE(p.Paint(s.Handle(), 0, 0, 100, 100).AsBool());
  EXPECT_EQ(s.At(20, 50), RGB(255, 0, 0));
  EXPECT_EQ(s.At(80, 50), RGB(0, 0, 255));
}

TEST(Picture, LoadsFromTheProgramsResources) {
  Value pic = NewPicture("IMG_BMP8");
  zv::TPictureRef p(pic);
  EXPECT_EQ(p.nType(), PICTYPE_BITMAP);
  ExpectRedAndBlue(p, "bitmap resource");
  p.cName("IMG_BMP24");  // the setter loads
  ExpectRedAndBlue(p, "24-bit bitmap resource");
  p.cName("IMG_ICON");
  EXPECT_EQ(p.nType(), PICTYPE_ICON);
  // A resource of one of the custom types, by name or with its type.
  p.cName("IMG_GIF");
  EXPECT_EQ(p.nType(), PICTYPE_BITMAP);
  ExpectRedAndBlue(p, "GIF resource");
  EXPECT_TRUE(p.LoadFromResource("IMG_GIF", "GIF").AsBool());
  const Value previous = p.SetTypes(Value::List({"JPG"}));
  EXPECT_EQ(previous.Len(), 3u);
  EXPECT_FALSE(p.Load("IMG_GIF").AsBool());
  EXPECT_FALSE(p.IsPicture().AsBool());
  EXPECT_FALSE(p.Load("NO_SUCH_RESOURCE").AsBool());
  EXPECT_FALSE(p.LoadFromResource(0).AsBool());
  EXPECT_EQ(p.Handle(), 0);
  // A clone loads the same name again.
  p.cName("IMG_BMP8");
  Value copy = p.Clone();
  EXPECT_NE(zv::TPictureRef(copy).Image(), p.Image());
  ExpectRedAndBlue(zv::TPictureRef(copy), "clone");
}

TEST(Picture, MemoryStreamsSavingAndHandlesWrapped) {
  Value pic = NewPicture();
  zv::TPictureRef p(pic);
  ASSERT_TRUE(p.LoadFromStream(FileText(TestImage("pic.gif"))).AsBool());
  ExpectRedAndBlue(p, "GIF from memory");
  const std::string saved = p.SaveToStream().AsString();
  ASSERT_FALSE(saved.empty());
  ASSERT_TRUE(p.Save("saved.pic").AsBool());
  EXPECT_EQ(FileText("saved.pic"), saved);
  Value again = NewPicture();
  ASSERT_TRUE(zv::TPictureRef(again).LoadFromStream(saved).AsBool());
  ExpectRedAndBlue(zv::TPictureRef(again), "saved and loaded");
  EXPECT_FALSE(p.LoadFromStream("").AsBool());
  EXPECT_TRUE(p.SaveToStream().AsString().empty());
  EXPECT_FALSE(p.Save("nothing.pic").AsBool());

  // A bitmap handle wrapped: the picture owns it from then on.
  HBITMAP b = static_cast<HBITMAP>(LoadImageA(nullptr, TestImage("rgb24.bmp").c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
  ASSERT_NE(b, nullptr);
  ASSERT_TRUE(p.CreateIndirect(PICTYPE_BITMAP, zv::HandleValue(b)).AsBool());
  EXPECT_EQ(p.Picture(), reinterpret_cast<std::intptr_t>(b));
  EXPECT_EQ(p.Ptr(), 0);
  ExpectRedAndBlue(p, "wrapped bitmap");
  p.Destroy();
  EXPECT_EQ(GetObjectType(b), 0u);
  EXPECT_FALSE(p.CreateIndirect("1", 5).AsBool());
  EXPECT_FALSE(p.CreateIndirect(9, 5).AsBool());
}

TEST(Picture, PaintsStretchedSmoothedAndThroughItsBackgroundColour) {
  Value pic = NewPicture(TestImage("rgb24.bmp"));
  zv::TPictureRef p(pic);
  Surface s(64, 64);
  ASSERT_TRUE(p.Paint(s.Handle(), 0, 0, 32, 18).AsBool());
  EXPECT_EQ(s.At(14, 4), RGB(255, 0, 0));
  EXPECT_EQ(s.At(18, 4), RGB(0, 0, 255));
  EXPECT_EQ(s.At(40, 4), RGB(255, 255, 255)) << "nothing beyond the box";
  s.Clear();
  ASSERT_TRUE(p.Paint(s.Handle(), 0, 0, 32, 18, false, true).AsBool());
  EXPECT_TRUE(Near(s.At(4, 4), RGB(255, 0, 0)));
  EXPECT_TRUE(Near(s.At(28, 4), RGB(0, 0, 255)));
  // Transparent: the top-left colour (red) lets the surface show.
  s.Fill(RGB(0, 255, 0));
  ASSERT_TRUE(p.Paint(s.Handle(), 0, 0, 16, 9, true).AsBool());
  EXPECT_EQ(s.At(3, 3), RGB(0, 255, 0));
  EXPECT_EQ(s.At(12, 3), RGB(0, 0, 255));
  // Into a device that is not the screen (a metafile): drawn by the picture
  // object itself.
  HDC meta = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
  EXPECT_TRUE(p.Paint(zv::HandleValue(meta), 0, 0, 16, 9).AsBool());
  DeleteEnhMetaFile(CloseEnhMetaFile(meta));
  // No context, an empty box, no picture: false, nothing drawn.
  EXPECT_FALSE(p.Paint(0, 0, 0, 16, 9).AsBool());
  EXPECT_FALSE(p.Paint(s.Handle(), 5, 5, 5, 9).AsBool());
  Value none = NewPicture();
  EXPECT_FALSE(zv::TPictureRef(none).Paint(s.Handle(), 0, 0, 16, 9).AsBool());
}

TEST(Picture, TheOptionalImageLibraryDecodesWhatTheSystemRefuses) {
  const std::string ppm = TestImage("pic.ppm");
  EXPECT_FALSE(zv::ImageLibraryAvailable());
  Value pic = NewPicture();
  zv::TPictureRef p(pic);
  EXPECT_FALSE(p.LoadFromFile(ppm).AsBool()) << "the system loader takes no PPM";
  EXPECT_EQ(p.Handle(), 0);
  {
    zvtest::ImageLibraryPresent present;
    ASSERT_TRUE(zv::ImageLibraryAvailable());
    ASSERT_TRUE(p.LoadFromFile(ppm).AsBool());
    EXPECT_EQ(p.nType(), PICTYPE_BITMAP);
    EXPECT_EQ(p.nWidth(), 16);
    EXPECT_EQ(p.nHeight(), 9);
    ExpectRedAndBlue(p, "PPM through the image library");
    // What neither can read still fails.
    EXPECT_FALSE(p.LoadFromFile(TestImage("pic.tga")).AsBool());
    // The library is loaded for one decoding only.
    EXPECT_EQ(GetModuleHandleA("FreeImage.dll"), nullptr);
  }
  EXPECT_FALSE(p.LoadFromFile(ppm).AsBool());
}

// Bad images, made from the good ones.
std::vector<std::pair<std::string, std::string>> BadImages() {
  std::vector<std::pair<std::string, std::string>> bad;
  bad.emplace_back("empty", "");
  const char* files[] = {"rgb24.bmp", "pal8.bmp", "pic.gif", "pic.jpg", "pic.png", "multi.ico", "arrow.cur"};
  for (const char* f : files) {
    const std::string good = FileText(TestImage(f));
    bad.emplace_back(std::string(f) + " cut in half", good.substr(0, good.size() / 2));
    bad.emplace_back(std::string(f) + " header only", good.substr(0, 10));
  }
  std::string noise(4096, '\0');
  unsigned x = 12345;
  for (char& c : noise) c = static_cast<char>((x = x * 1103515245 + 12345) >> 16);
  bad.emplace_back("random bytes", noise);
  std::string huge = FileText(TestImage("rgb24.bmp"));
  const std::int32_t side = 30000;
  std::memcpy(&huge[18], &side, 4);
  std::memcpy(&huge[22], &side, 4);
  bad.emplace_back("bitmap claiming 30000 x 30000", huge);
  std::string png = FileText(TestImage("pic.png"));
  png[16 + 3] ^= 0x40;  // the width inside IHDR, its checksum left as it was
  bad.emplace_back("PNG with a bad checksum", png);
  std::string ico = FileText(TestImage("multi.ico"));
  const std::uint32_t past = 0x7FFF0000;
  std::memcpy(&ico[6 + 12], &past, 4);  // the first entry's image offset
  bad.emplace_back("icon directory pointing past the end", ico);
  std::string gif = FileText(TestImage("pic.gif"));
  gif[6] = gif[7] = gif[8] = gif[9] = '\xFF';
  bad.emplace_back("GIF claiming 65535 x 65535", gif);
  return bad;
}

TEST(Picture, BadImagesLeaveNoPictureAndRaiseNothing) {
  // Inputs no loader may take. Other damage (a file cut short, a GIF whose
  // screen is larger than its image) may still decode: what loads then must
  // be a whole picture.
  const std::set<std::string> refused = {"empty", "random bytes", "bitmap claiming 30000 x 30000",
                                         "PNG with a bad checksum", "icon directory pointing past the end"};
  zvtest::ImageLibraryPresent present;  // the optional library has its say too
  std::size_t seen = 0;
  for (const auto& [what, bytes] : BadImages()) {
    WriteText("bad.img", bytes);
    Value pic = NewPicture();
    zv::TPictureRef p(pic);
    Surface s(8, 8);
    for (int fromFile = 0; fromFile < 2; ++fromFile) {
      const bool loaded = fromFile ? p.LoadFromFile("bad.img").AsBool() : p.LoadFromStream(bytes).AsBool();
      if (refused.count(what)) {
        ++seen;
        EXPECT_FALSE(loaded) << what;
      }
      if (loaded) {
        EXPECT_NE(p.Image(), 0) << what;
        EXPECT_GT(p.nWidth(), 0) << what;
        continue;
      }
      EXPECT_EQ(p.Image(), 0) << what;
      EXPECT_EQ(p.Handle(), 0) << what;
      EXPECT_EQ(p.Ptr(), 0) << what;
      EXPECT_FALSE(p.Paint(s.Handle(), 0, 0, 8, 8).AsBool()) << what;
    }
  }
  EXPECT_EQ(seen, 2 * refused.size());
  Value pic = NewPicture();
  EXPECT_FALSE(zv::TPictureRef(pic).LoadFromStream("P6\n99999 99999\n255\n").AsBool());
  EXPECT_FALSE(zv::TPictureRef(pic).LoadFromStream("P6\n4 4\n255\nshort").AsBool());
}

TEST(Icon, LoadsFromResourcesFilesAndTheSystem) {
  Value icon = zv::NewObject(zv::TIconClass(), "IMG_ICON", 16, 16);
  zv::TIconRef i(icon);
  HICON h = zv::ValueHandle<HICON>(Value(i.Handle()));
  ASSERT_NE(h, nullptr);
  ICONINFO ii{};
  ASSERT_TRUE(GetIconInfo(h, &ii));
  BITMAP bm{};
  GetObjectA(ii.hbmColor, sizeof bm, &bm);
  EXPECT_EQ(bm.bmWidth, 16) << "the size asked of a resource with several";
  DeleteObject(ii.hbmColor);
  DeleteObject(ii.hbmMask);
  Surface s(64, 64);
  s.Fill(RGB(0, 255, 0));
  ASSERT_TRUE(i.Paint(s.Handle(), 0, 0, 32, 32).AsBool());
  EXPECT_EQ(s.At(4, 4), RGB(255, 0, 0));
  EXPECT_EQ(s.At(28, 4), RGB(0, 0, 255));

  i.cName(TestImage("multi.ico"));  // the setter loads, from a file
  EXPECT_NE(i.Handle(), 0);
  EXPECT_FALSE(GetIconInfo(h, &ii)) << "the resource copy was released";
  EXPECT_FALSE(i.LoadFromFile(TestImage("multi.ico"), 1).AsBool()) << "an icon file holds one icon";
  EXPECT_EQ(i.Handle(), 0);
  i.cName(32512);
  EXPECT_EQ(i.Handle(), reinterpret_cast<std::intptr_t>(LoadIconA(nullptr, MAKEINTRESOURCEA(32512))));
  Value copy = i.Clone();
  EXPECT_EQ(zv::TIconRef(copy).Handle(), i.Handle());
  i.Destroy();
  EXPECT_EQ(i.Handle(), 0);
  EXPECT_EQ(i.cName().AsString(), "");
  EXPECT_NE(GetIconInfo(LoadIconA(nullptr, MAKEINTRESOURCEA(32512)), &ii), 0) << "a system icon is never destroyed";
  DeleteObject(ii.hbmColor);
  DeleteObject(ii.hbmMask);
  EXPECT_FALSE(i.Load("no such icon").AsBool());
  EXPECT_FALSE(i.LoadFromFile("no such file.ico").AsBool());
  EXPECT_FALSE(i.Paint(s.Handle(), 0, 0, 8, 8).AsBool());
}

TEST(Cursor, LoadsFromFilesAndResourcesAndReleasesTheOldOne) {
  Value cursor = zv::NewObject(zv::TCursorClass(), TestImage("arrow.cur"));
  zv::TCursorRef c(cursor);
  HCURSOR first = c.hcursor();
  ASSERT_NE(first, nullptr);
  ICONINFO ii{};
  ASSERT_TRUE(GetIconInfo(first, &ii));
  EXPECT_FALSE(ii.fIcon);
  EXPECT_EQ(ii.xHotspot, 3u);
  EXPECT_EQ(ii.yHotspot, 5u);
  DeleteObject(ii.hbmColor);
  DeleteObject(ii.hbmMask);
  c.cName("IMG_CURSOR");
  EXPECT_NE(c.hcursor(), nullptr);
  EXPECT_FALSE(GetIconInfo(first, &ii)) << "the cursor from the file was destroyed";
  c.Destroy();
  EXPECT_EQ(c.Handle(), 0);
}

TEST(ImageCensus, TenThousandImagesIconsAndCursorsLeaveNothingBehind) {
  const std::string bmp = FileText(TestImage("rgb24.bmp"));
  const std::string gif = FileText(TestImage("pic.gif"));
  const std::string ico = TestImage("multi.ico"), cur = TestImage("arrow.cur");
  std::vector<HGDIOBJ> bitmaps;
  std::vector<HICON> icons;
  const zv::Symbol load = zv::sym::LoadFromStream;
  for (int i = 0; i < 10'000; ++i) {
    Value pic = NewPicture();
    pic.Send(load, i % 2 ? bmp : gif);
    if (i % 50 == 0) {
      bitmaps.push_back(zv::ValueHandle<HGDIOBJ>(pic.Send(sym::Handle)));
      bitmaps.push_back(zv::ValueHandle<HGDIOBJ>(pic.Send(sym::Picture)));
    }
    if (i % 2) pic.Send(sym::Destroy);  // the others go with their object
    if (i % 4 == 0) {
      Value icon = zv::NewObject(zv::TIconClass(), ico);
      Value cursor = zv::NewObject(zv::TCursorClass(), cur);
      if (i % 200 == 0) {
        icons.push_back(zv::ValueHandle<HICON>(icon.Send(sym::Handle)));
        icons.push_back(zv::ValueHandle<HICON>(cursor.Send(sym::Handle)));
      }
      if (i % 8 == 0) {
        icon.Send(sym::Destroy);
        cursor.Send(sym::Destroy);
      }
    }
    if (i % 1000 == 0) zv::Collect();
  }
  zv::Collect();
  for (HGDIOBJ h : bitmaps) EXPECT_EQ(GetObjectType(h), 0u);
  for (HICON h : icons) {
    ICONINFO ii{};
    EXPECT_FALSE(GetIconInfo(h, &ii));
  }
}

TEST(ImageControl, FitsZoomsAndScrollsItsPicture) {
  EXPECT_EQ(zv::FitPicture(200, 100, 100, 100).top, 25);
  EXPECT_EQ(zv::FitPicture(200, 100, 100, 100).right, 100);
  const RECT tall = zv::FitPicture(50, 200, 100, 100);
  EXPECT_EQ(tall.left, 37);
  EXPECT_EQ(tall.right - tall.left, 25);
  const RECT small = zv::FitPicture(16, 9, 101, 80);
  EXPECT_EQ(small.left, 42);
  EXPECT_EQ(small.top, 35);
  EXPECT_EQ(small.right - small.left, 16) << "a smaller picture is not enlarged";
  EXPECT_EQ(zv::FitPicture(0, 9, 100, 100).right, 0);

  Value form = zvtest::MakeForm("image");
  Value image = zv::NewObject(zv::TImageClass(), form);
  zv::TImageRef im(image);
  im.SetBounds(10, 10, 120, 80);
  im.nBorderStyle(0);
  im.Create();
  im.Show();
  EXPECT_EQ(im.nZoom(), 100);
  EXPECT_TRUE(im.lTabStop());
  im.oPicture(TestImage("rgb24.bmp"));  // a name becomes a picture
  ASSERT_TRUE(im.oPicture().IsObject());
  EXPECT_EQ(im.nVirtualWidth(), 16);
  im.nZoom(400);
  EXPECT_EQ(im.nVirtualWidth(), 64);
  EXPECT_EQ(im.nVirtualHeight(), 36);
  im.nZoom(4);
  im.nZoom(20001);
  EXPECT_EQ(im.nZoom(), 400) << "zooms outside 5 to 20000 per cent are ignored";

  HWND hwnd = zv::ObjectHwnd(image);
  Surface s(120, 80);
  auto print = [&] {
    s.Fill(RGB(0, 255, 0));
    SendMessageA(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(s.dc()), PRF_CLIENT);
  };
  print();
  EXPECT_EQ(s.At(10, 10), RGB(255, 0, 0));
  EXPECT_EQ(s.At(50, 10), RGB(0, 0, 255));
  EXPECT_EQ(s.At(100, 10), RGB(255, 255, 255)) << "the white pane around the picture";

  // Larger than the control: it scrolls.
  im.nZoom(1000);
  EXPECT_EQ(im.nVirtualWidth(), 160);
  SendMessageA(hwnd, WM_HSCROLL, SB_PAGEDOWN, 0);
  EXPECT_LT(im.nClientLeft(), 0);
  print();
  const int edge = 80 + im.nClientLeft();  // where the blue half begins on the screen
  ASSERT_GT(edge, 3);
  EXPECT_EQ(s.At(edge - 3, 10), RGB(255, 0, 0)) << "scrolled by " << im.nClientLeft();
  EXPECT_EQ(s.At(edge + 2, 10), RGB(0, 0, 255));

  // Fitted: no virtual size, the picture shrunk and centred.
  im.lAutoFit(true);
  EXPECT_EQ(im.nVirtualWidth(), 0);
  print();
  RECT c{};
  GetClientRect(hwnd, &c);
  const RECT box = zv::FitPicture(16, 9, c.right, c.bottom);
  EXPECT_EQ(s.At(box.left + 2, box.top + 2), RGB(255, 0, 0));
  EXPECT_EQ(s.At(box.right - 3, box.top + 2), RGB(0, 0, 255));
  EXPECT_EQ(s.At(1, 1), RGB(255, 255, 255));

  // A click takes the focus.
  SetFocus(zv::ObjectHwnd(form));
  SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(GetFocus(), hwnd);

  // No picture: only the pane. Setting another destroys the old one.
  Value old = im.oPicture();
  im.oPicture(Value());
  EXPECT_EQ(zv::TPictureRef(old).Image(), 0);
  print();
  EXPECT_EQ(s.At(box.left + 2, box.top + 2), RGB(255, 255, 255));
  Value mine = NewPicture(TestImage("pic.gif"));
  im.oPicture(mine);
  zv::TFormRef(form).Close(true);
  zvtest::Pump();
  EXPECT_EQ(zv::TPictureRef(mine).Image(), 0) << "the control's picture goes with it";
}

}  // namespace
