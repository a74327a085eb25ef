#include "framework/graphics/image_list.h"

// The stream functions of comctl32 are declared only once IStream is.
#include <objidl.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "framework/core/members.h"
#include "framework/graphics/image_formats.h"

namespace zv {
namespace {

// A memory device context with one bitmap selected for its lifetime.
class MemoryDc {
 public:
  explicit MemoryDc(HBITMAP bitmap) : dc_(CreateCompatibleDC(nullptr)) {
    if (dc_) old_ = SelectObject(dc_, bitmap);
  }
  ~MemoryDc() {
    if (!dc_) return;
    SelectObject(dc_, old_);
    DeleteDC(dc_);
  }
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;
  HDC dc() const { return dc_; }

 private:
  HDC dc_;
  HGDIOBJ old_ = nullptr;
};

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP bm{};
  if (!bitmap || !GetObjectA(bitmap, sizeof bm, &bm)) return {0, 0};
  return {bm.bmWidth, std::abs(bm.bmHeight)};
}

HBITMAP ScreenBitmap(int cx, int cy) {
  HDC screen = GetDC(nullptr);
  HBITMAP b = screen ? CreateCompatibleBitmap(screen, cx, cy) : nullptr;
  if (screen) ReleaseDC(nullptr, screen);
  return b;
}

}  // namespace

HBITMAP TopLeftColourMask(HBITMAP bitmap) {
  const SIZE s = BitmapSize(bitmap);
  if (s.cx <= 0 || s.cy <= 0) return nullptr;
  HBITMAP mask = CreateBitmap(s.cx, s.cy, 1, 1, nullptr);
  if (!mask) return nullptr;
  MemoryDc src(bitmap), dst(mask);
  // Colour to monochrome: pixels of the source's background colour become 1.
  SetBkColor(src.dc(), GetPixel(src.dc(), 0, 0));
  BitBlt(dst.dc(), 0, 0, s.cx, s.cy, src.dc(), 0, 0, SRCCOPY);
  return mask;
}

HBITMAP EmbossedBitmap(HBITMAP bitmap) {
  const SIZE s = BitmapSize(bitmap);
  HBITMAP mask = TopLeftColourMask(bitmap);
  if (!mask) return nullptr;
  HBITMAP out = ScreenBitmap(s.cx, s.cy);
  if (out) {
    MemoryDc o(out), m(mask);
    RECT r{0, 0, s.cx, s.cy};
    FillRect(o.dc(), &r, GetSysColorBrush(COLOR_BTNFACE));
    // The mask is used as a stencil: monochrome to colour turns its 0 bits
    // (the shape) into the text colour, black, and its 1 bits into white;
    // the raster operation PSDPxax paints the brush where the source is
    // black and keeps the destination where it is white. The shape goes
    // down in white one pixel right and down, then in the shadow colour in
    // place, leaving the white edge on its lower right.
    constexpr DWORD kPaintThroughShape = 0x00B8074A;
    SetTextColor(o.dc(), RGB(0, 0, 0));
    SetBkColor(o.dc(), RGB(255, 255, 255));
    const HGDIOBJ old = SelectObject(o.dc(), GetStockObject(WHITE_BRUSH));
    BitBlt(o.dc(), 1, 1, s.cx - 1, s.cy - 1, m.dc(), 0, 0, kPaintThroughShape);
    SelectObject(o.dc(), GetSysColorBrush(COLOR_BTNSHADOW));
    BitBlt(o.dc(), 0, 0, s.cx, s.cy, m.dc(), 0, 0, kPaintThroughShape);
    SelectObject(o.dc(), old);
  }
  DeleteObject(mask);
  return out;
}

namespace {

std::uint32_t g_handleSlot = 0;

HIMAGELIST List(Object& self) { return ValueHandle<HIMAGELIST>(Get(self, sym::Handle)); }

// A caller's 1-based index as comctl32's 0-based one; -1 for 0 and below.
int Index0(const Value& v) {
  const std::int64_t i = v.AsInt();
  return i >= 1 && i <= 0x7FFFFFFF ? static_cast<int>(i - 1) : -1;
}
Value Index1(int index0) { return index0 >= 0 ? index0 + 1 : 0; }

void Notify(Object& self, int what) {
  const Value owner = Get(self, sym::oParent);
  if (owner.IsObject() && Has(owner, sym::QVNotify)) owner.Send(sym::QVNotify, what, Value(&self));
}

void StoreSize(Object& self, int cx, int cy) {
  Put(self, sym::set::FnWidth, cx);
  Put(self, sym::set::FnHeight, cy);
}

// The list's image size; 1 by 1 (not sized yet) counts as 0 by 0.
SIZE ListSize(HIMAGELIST h) {
  int cx = 0, cy = 0;
  if (!h || !ImageList_GetIconSize(h, &cx, &cy)) return {0, 0};
  if (cx <= 1 && cy <= 1) return {0, 0};
  return {cx, cy};
}

// The size asked of icons: the list's, or the system's when not sized.
SIZE IconRequestSize(HIMAGELIST h) {
  SIZE s = ListSize(h);
  if (s.cx < 2 || s.cy < 2) s = {GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)};
  return s;
}

// Icon `index` of a file (an icon file, a program or a library), of the size
// asked; the caller destroys it.
HICON ExtractFileIcon(const std::string& file, int index, SIZE size) {
  if (file.empty()) return nullptr;
  HICON icon = nullptr;
  const UINT n = PrivateExtractIconsA(file.c_str(), index, size.cx, size.cy, &icon, nullptr, 1, 0);
  if (n == 0 || n == 0xFFFFFFFF) {
    if (icon) DestroyIcon(icon);
    return nullptr;
  }
  return icon;
}

// What a value of Add names: a bitmap, or else an icon. A shared icon (of
// the resources, through LR_SHARED) belongs to the system.
struct LoadedImage {
  HBITMAP bitmap = nullptr;
  HICON icon = nullptr;
  bool sharedIcon = false;
  void Release() {
    if (bitmap) DeleteObject(bitmap);
    if (icon && !sharedIcon) DestroyIcon(icon);
    *this = {};
  }
};

LoadedImage LoadNamedImage(HIMAGELIST h, const Value& image) {
  LoadedImage li;
  if (image.IsNumber()) {
    li.bitmap = ValueHandle<HBITMAP>(image);
    if (GetObjectType(li.bitmap) != OBJ_BITMAP) li.bitmap = nullptr;
    return li;
  }
  if (!image.IsString() || image.AsString().empty()) return li;
  const char* name = image.AsString().c_str();
  constexpr UINT kBitmapFlags = LR_LOADMAP3DCOLORS | LR_LOADTRANSPARENT;
  li.bitmap = static_cast<HBITMAP>(LoadImageA(GETINSTANCE(), name, IMAGE_BITMAP, 0, 0, LR_SHARED | kBitmapFlags));
  if (!li.bitmap)
    li.bitmap = static_cast<HBITMAP>(LoadImageA(nullptr, name, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | kBitmapFlags));
  if (li.bitmap) return li;
  const SIZE s = ListSize(h);
  li.icon = static_cast<HICON>(LoadImageA(GETINSTANCE(), name, IMAGE_ICON, s.cx, s.cy, LR_SHARED | LR_LOADMAP3DCOLORS));
  if (li.icon) {
    li.sharedIcon = true;
    return li;
  }
  li.icon = ExtractFileIcon(image.AsString(), 0, IconRequestSize(h));
  return li;
}

// An empty list that is not sized yet takes the size of its first image.
void SizeFromFirstImage(Object& self, HIMAGELIST h, SIZE image) {
  if (ImageList_GetImageCount(h) != 0 || ListSize(h).cx != 0) return;
  if (image.cx <= 0 || image.cy <= 0) image = {16, 16};
  ImageList_SetIconSize(h, image.cx, image.cy);
  StoreSize(self, image.cx, image.cy);
}

SIZE IconSize(HICON icon) {
  ICONINFO ii{};
  if (!GetIconInfo(icon, &ii)) return {0, 0};
  SIZE s = BitmapSize(ii.hbmColor ? ii.hbmColor : ii.hbmMask);
  if (!ii.hbmColor) s.cy /= 2;  // a monochrome icon holds its AND and XOR masks one above the other
  if (ii.hbmColor) DeleteObject(ii.hbmColor);
  if (ii.hbmMask) DeleteObject(ii.hbmMask);
  return s;
}

// Adds an icon: plain, or embossed from its colour bitmap with its own mask.
int AddIconImage(Object& self, HIMAGELIST h, HICON icon, bool disabled) {
  SizeFromFirstImage(self, h, IconSize(icon));
  if (!disabled) return ImageList_ReplaceIcon(h, -1, icon);
  ICONINFO ii{};
  if (!GetIconInfo(icon, &ii)) return -1;
  int index = -1;
  if (HBITMAP embossed = EmbossedBitmap(ii.hbmColor ? ii.hbmColor : ii.hbmMask)) {
    index = ImageList_Add(h, embossed, ii.hbmMask);
    DeleteObject(embossed);
  }
  if (ii.hbmColor) DeleteObject(ii.hbmColor);
  if (ii.hbmMask) DeleteObject(ii.hbmMask);
  return index;
}

// A bitmap narrower or lower than the list's images would add no image at
// all (comctl32 cuts a bitmap into as many whole images as it holds, and
// still answers an index): such a bitmap is placed at the top left of one
// image of the list's size, filled with `fill`. 0 when it need not be.
HBITMAP PaddedToListSize(HIMAGELIST h, HBITMAP bitmap, COLORREF fill) {
  int cx = 0, cy = 0;
  const SIZE s = BitmapSize(bitmap);
  if (!ImageList_GetIconSize(h, &cx, &cy) || (s.cx >= cx && s.cy >= cy)) return nullptr;
  HBITMAP padded = ScreenBitmap(cx, cy);
  if (!padded) return nullptr;
  MemoryDc dst(padded), src(bitmap);
  HBRUSH brush = CreateSolidBrush(fill);
  RECT r{0, 0, cx, cy};
  FillRect(dst.dc(), &r, brush);
  DeleteObject(brush);
  BitBlt(dst.dc(), 0, 0, std::min<int>(s.cx, cx), std::min<int>(s.cy, cy), src.dc(), 0, 0, SRCCOPY);
  return padded;
}

COLORREF TopLeftColour(HBITMAP bitmap) {
  MemoryDc dc(bitmap);
  return GetPixel(dc.dc(), 0, 0);
}

// Adds a bitmap with the mask of its top-left colour (embossed when
// disabled).
int AddBitmapImage(Object& self, HIMAGELIST h, HBITMAP given, bool disabled) {
  SizeFromFirstImage(self, h, BitmapSize(given));
  HBITMAP padded = PaddedToListSize(h, given, TopLeftColour(given));
  HBITMAP bitmap = padded ? padded : given;
  HBITMAP image = disabled ? EmbossedBitmap(bitmap) : bitmap;
  // The mask is made from the image added: an embossed image keeps its
  // white edge, which lies outside the shape of the original.
  HBITMAP mask = image ? TopLeftColourMask(image) : nullptr;
  const int index = image && mask ? ImageList_Add(h, image, mask) : -1;
  if (mask) DeleteObject(mask);
  if (image && image != bitmap) DeleteObject(image);
  if (padded) DeleteObject(padded);
  return index;
}

// The image of an {image, lDisabled} pair into the list; its 1-based index,
// 0 on failure. What was loaded or given for it is released afterwards: the
// list keeps copies.
int AddPair(Object& self, const Value& image, bool disabled) {
  HIMAGELIST h = List(self);
  if (!h) return 0;
  LoadedImage li = LoadNamedImage(h, image);
  int index = -1;
  if (li.bitmap) {
    index = AddBitmapImage(self, h, li.bitmap, disabled);
  } else if (li.icon) {
    index = AddIconImage(self, h, li.icon, disabled);
  }
  li.Release();
  return index >= 0 ? index + 1 : 0;
}

// The first image of a list reads the real size back and tells the owner.
void AfterAdd(Object& self, int index1) {
  if (index1 != 1) return;
  if (HIMAGELIST h = List(self)) {
    int cx = 0, cy = 0;
    if (ImageList_GetIconSize(h, &cx, &cy)) StoreSize(self, cx, cy);
  }
  Notify(self, 1);
}

// ---------------------------------------------------------------- creation

// Create(oParent, nWidth, nHeight) (also New).
Value ImageListCreate(Object& self, Args a) {
  if (a.Has(0)) Put(self, sym::set::oParent, a.Get(0));
  if (a.Has(1)) Put(self, sym::set::FnWidth, a.Get(1).AsInt());
  if (a.Has(2)) Put(self, sym::set::FnHeight, a.Get(2).AsInt());
  Put(self, sym::set::lFree, true);
  if (!List(self)) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    const int cx = static_cast<int>(Get(self, sym::FnWidth).AsInt());
    const int cy = static_cast<int>(Get(self, sym::FnHeight).AsInt());
    HIMAGELIST h = ImageList_Create(cx > 0 ? cx : 1, cy > 0 ? cy : 1, ILC_MASK | ILC_COLOR32, 0, 4);
    Put(self, sym::set::Handle, HandleValue(h));
    if (h) {
      self.Send(sym::SetIconSize);
      const Value pairs = Get(self, sym::aBitmaps);
      if (pairs.IsList()) {
        const std::vector<Value> items = pairs.AsList().items;  // a copy: adding may notify the owner
        for (const Value& pair : items) AfterAdd(self, AddPair(self, pair.Item(1), pair.Item(2).AsBool()));
      }
    }
  }
  const Value owner = Get(self, sym::oParent);
  if (owner.IsObject() && Has(owner, sym::InsertComponent)) owner.Send(sym::InsertComponent, Value(&self));
  Put(self, sym::set::lCreated, true);
  return Value(&self);
}

Value ImageListDestroy(Object& self, Args a) {
  if (HIMAGELIST h = List(self)) ImageList_Destroy(h);
  Put(self, sym::set::Handle, 0);
  const Value owner = Get(self, sym::oParent);
  if (owner.IsObject() && Has(owner, sym::RemoveComponent)) owner.Send(sym::RemoveComponent, Value(&self));
  return Super(self, sym::Destroy, a);
}

// An object dropped without Destroy still gives its list back.
void Finalize(Object& self) {
  Value& handle = self.Slot(g_handleSlot);
  if (HIMAGELIST h = ValueHandle<HIMAGELIST>(handle)) ImageList_Destroy(h);
  handle = Value(0);
}

// ---------------------------------------------------------------- adding and removing

// Add(xImage, lDisabled): the pair is remembered even when the image cannot
// be added now.
Value Add(Object& self, Args a) {
  const Value image = a.Get(0);
  const bool disabled = a.Get(1).AsBool();
  Value pairs = Get(self, sym::aBitmaps);
  if (!pairs.IsList()) {
    pairs = Value::List({});
    Put(self, sym::set::aBitmaps, pairs);
  }
  pairs.Append(Value::List({image, disabled}));
  const int index = AddPair(self, image, disabled);
  AfterAdd(self, index);
  return index;
}

// AddIcon(cName, nIndex): an icon resource of the list's size, or icon
// nIndex of the file cName.
Value AddIcon(Object& self, Args a) {
  HIMAGELIST h = List(self);
  const Value name = a.Get(0);
  if (!h || !name.IsString() || name.AsString().empty()) return 0;
  const SIZE want = IconRequestSize(h);
  auto icon = static_cast<HICON>(
      LoadImageA(GETINSTANCE(), name.AsString().c_str(), IMAGE_ICON, want.cx, want.cy, LR_SHARED));
  bool shared = icon != nullptr;
  if (!icon) icon = ExtractFileIcon(name.AsString(), static_cast<int>(a.Get(1).AsInt()), want);
  if (!icon) return 0;
  const int index = AddIconImage(self, h, icon, false);
  if (!shared) DestroyIcon(icon);
  AfterAdd(self, index >= 0 ? index + 1 : 0);
  return Index1(index);
}

// AddMasked(xBitmap, nMaskColour): a bitmap resource by name or a bitmap
// handle; only a bitmap loaded here is deleted afterwards.
Value AddMasked(Object& self, Args a) {
  HIMAGELIST h = List(self);
  if (!h) return 0;
  const Value image = a.Get(0);
  HBITMAP bitmap = nullptr;
  bool loaded = false;
  if (image.IsString() && !image.AsString().empty()) {
    bitmap = static_cast<HBITMAP>(
        LoadImageA(GETINSTANCE(), image.AsString().c_str(), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS));
    loaded = bitmap != nullptr;
  } else if (image.IsNumber()) {
    bitmap = ValueHandle<HBITMAP>(image);
  }
  if (!bitmap || GetObjectType(bitmap) != OBJ_BITMAP) return 0;
  SizeFromFirstImage(self, h, BitmapSize(bitmap));
  const auto maskColour = static_cast<COLORREF>(a.Get(1).AsInt());
  HBITMAP padded = PaddedToListSize(h, bitmap, maskColour);
  const int index = ImageList_AddMasked(h, padded ? padded : bitmap, maskColour);
  if (padded) DeleteObject(padded);
  if (loaded) DeleteObject(bitmap);
  AfterAdd(self, index >= 0 ? index + 1 : 0);
  return Index1(index);
}

// Remove(nIndex): 0 (no image) removes nothing; comctl32 would take -1 for
// "all".
Value Remove(Object& self, Args a) {
  HIMAGELIST h = List(self);
  const int index = Index0(a.Get(0));
  if (!h || index < 0) return false;
  const bool ok = ImageList_Remove(h, index);
  if (ok && ImageList_GetImageCount(h) == 0) Notify(self, 2);
  return ok;
}

Value RemoveAll(Object& self, Args) {
  HIMAGELIST h = List(self);
  Put(self, sym::set::aBitmaps, Value::List({}));
  const bool ok = h && ImageList_Remove(h, -1);
  Notify(self, 2);
  return ok;
}

Value ReplaceIcon(Object& self, Args a) {
  HIMAGELIST h = List(self);
  HICON icon = ValueHandle<HICON>(a.Get(1));
  if (!h || !icon) return 0;
  return Index1(ImageList_ReplaceIcon(h, Index0(a.Get(0)), icon));
}

// ---------------------------------------------------------------- size and colours

Value GetIconSize(Object& self, Args) {
  int cx = 0, cy = 0;
  HIMAGELIST h = List(self);
  if (!h || !ImageList_GetIconSize(h, &cx, &cy)) return Value::List({0, 0});
  return Value::List({cx, cy});
}

// SetIconSize(nWidth, nHeight): the given values stored, then the list
// sized (which empties it, as comctl32 does).
Value SetIconSize(Object& self, Args a) {
  if (a.Has(0)) Put(self, sym::set::FnWidth, a.Get(0).AsInt());
  if (a.Has(1)) Put(self, sym::set::FnHeight, a.Get(1).AsInt());
  HIMAGELIST h = List(self);
  if (!h) return false;
  const int cx = static_cast<int>(Get(self, sym::FnWidth).AsInt());
  const int cy = static_cast<int>(Get(self, sym::FnHeight).AsInt());
  return cx > 0 && cy > 0 && ImageList_SetIconSize(h, cx, cy);
}

Value SetWidth(Object& self, Args a) {
  self.Send(sym::SetIconSize, a.Get(0));
  return a.Get(0);
}

Value SetHeight(Object& self, Args a) {
  self.Send(sym::SetIconSize, Value(), a.Get(0));
  return a.Get(0);
}

Value GetImageCount(Object& self, Args) {
  HIMAGELIST h = List(self);
  return h ? ImageList_GetImageCount(h) : 0;
}

// GetImageInfo(nIndex): {image bitmap, mask bitmap} (the list's own), or
// nothing.
Value GetImageInfo(Object& self, Args a) {
  HIMAGELIST h = List(self);
  IMAGEINFO info{};
  if (!h || Index0(a.Get(0)) < 0 || !ImageList_GetImageInfo(h, Index0(a.Get(0)), &info)) return {};
  return Value::List({HandleValue(info.hbmImage), HandleValue(info.hbmMask)});
}

Value GetBkColor(Object& self, Args) {
  HIMAGELIST h = List(self);
  return h ? static_cast<long long>(ImageList_GetBkColor(h)) : static_cast<long long>(CLR_NONE);
}

Value SetBkColor(Object& self, Args a) {
  HIMAGELIST h = List(self);
  if (!h) return static_cast<long long>(CLR_NONE);
  return static_cast<long long>(ImageList_SetBkColor(h, static_cast<COLORREF>(a.Get(0).AsInt())));
}

// ---------------------------------------------------------------- drawing

// GetBitmap(nIndex, nStyle): a new screen bitmap of the image size with the
// image drawn on the list's background colour (the button face when the
// list has none); the caller owns it.
Value GetBitmap(Object& self, Args a) {
  HIMAGELIST h = List(self);
  int cx = 0, cy = 0;
  const int index = Index0(a.Get(0));
  if (!h || index < 0 || index >= ImageList_GetImageCount(h) || !ImageList_GetIconSize(h, &cx, &cy)) return 0;
  HBITMAP bitmap = ScreenBitmap(cx, cy);
  if (!bitmap) return 0;
  {
    MemoryDc dc(bitmap);
    const COLORREF bk = ImageList_GetBkColor(h);
    HBRUSH brush = bk == CLR_NONE ? GetSysColorBrush(COLOR_BTNFACE) : CreateSolidBrush(bk);
    RECT r{0, 0, cx, cy};
    FillRect(dc.dc(), &r, brush);
    if (bk != CLR_NONE) DeleteObject(brush);
    const UINT style = a.Has(1) ? static_cast<UINT>(a.Get(1).AsInt()) : ILD_NORMAL;
    ImageList_Draw(h, index, dc.dc(), 0, 0, style);
  }
  return HandleValue(bitmap);
}

// Draw(nIndex, hDC, nX, nY, nStyle).
Value Draw(Object& self, Args a) {
  HIMAGELIST h = List(self);
  HDC dc = ValueHandle<HDC>(a.Get(1));
  const int index = Index0(a.Get(0));
  if (!h || !dc || index < 0) return false;
  return static_cast<bool>(ImageList_Draw(h, index, dc, static_cast<int>(a.Get(2).AsInt()),
                                          static_cast<int>(a.Get(3).AsInt()), static_cast<UINT>(a.Get(4).AsInt())));
}

// DrawEx(nIndex, hDC, nX, nY, nDx, nDy, nBkColour, nFgColour, nStyle): the
// colours default to CLR_DEFAULT, the style to 0.
Value DrawEx(Object& self, Args a) {
  HIMAGELIST h = List(self);
  HDC dc = ValueHandle<HDC>(a.Get(1));
  const int index = Index0(a.Get(0));
  if (!h || !dc || index < 0) return false;
  const auto colour = [&](std::size_t i) {
    return a.Has(i) ? static_cast<COLORREF>(a.Get(i).AsInt()) : static_cast<COLORREF>(CLR_DEFAULT);
  };
  return static_cast<bool>(ImageList_DrawEx(
      h, index, dc, static_cast<int>(a.Get(2).AsInt()), static_cast<int>(a.Get(3).AsInt()),
      static_cast<int>(a.Get(4).AsInt()), static_cast<int>(a.Get(5).AsInt()), colour(6), colour(7),
      static_cast<UINT>(a.Get(8).AsInt())));
}

// GetIcon(nIndex, nFlags): a new icon of the image; the caller destroys it.
Value GetIcon(Object& self, Args a) {
  HIMAGELIST h = List(self);
  const int index = Index0(a.Get(0));
  if (!h || index < 0) return 0;
  return HandleValue(ImageList_GetIcon(h, index, static_cast<UINT>(a.Get(1).AsInt())));
}

// Duplicate(): a new image list handle with the same images; the caller
// destroys it (ImageList_Destroy).
Value Duplicate(Object& self, Args) {
  HIMAGELIST h = List(self);
  return h ? HandleValue(ImageList_Duplicate(h)) : Value(0);
}

// SetOverlayImage(nImage, nOverlay): overlay masks are numbered from 1, as
// in comctl32.
Value SetOverlayImage(Object& self, Args a) {
  HIMAGELIST h = List(self);
  const int index = Index0(a.Get(0));
  if (!h || index < 0) return false;
  return static_cast<bool>(ImageList_SetOverlayImage(h, index, static_cast<int>(a.Get(1).AsInt())));
}

// Copy(nDst, nSrc): image nSrc copied over image nDst.
Value CopyOrSwap(Object& self, Args a, UINT how) {
  HIMAGELIST h = List(self);
  const int dst = Index0(a.Get(0)), src = Index0(a.Get(1));
  if (!h || dst < 0 || src < 0) return false;
  const int count = ImageList_GetImageCount(h);
  if (dst >= count || src >= count) return false;
  return static_cast<bool>(ImageList_Copy(h, dst, h, src, how));
}

Value Copy(Object& self, Args a) { return CopyOrSwap(self, a, ILCF_MOVE); }

// Swap(a, b): three copies through a spare image at the end of the list.
// (Wine's ILCF_SWAP loses the colours of the second image: it comes back
// black.)
Value Swap(Object& self, Args a) {
  HIMAGELIST h = List(self);
  const int i = Index0(a.Get(0)), j = Index0(a.Get(1));
  if (!h || i < 0 || j < 0) return false;
  const int count = ImageList_GetImageCount(h);
  if (i >= count || j >= count) return false;
  if (i == j) return true;
  if (!ImageList_SetImageCount(h, static_cast<UINT>(count + 1))) return false;
  const bool ok = ImageList_Copy(h, count, h, i, ILCF_MOVE) && ImageList_Copy(h, i, h, j, ILCF_MOVE) &&
                  ImageList_Copy(h, j, h, count, ILCF_MOVE);
  ImageList_SetImageCount(h, static_cast<UINT>(count));
  return ok;
}

// Merge(nIndex1, xList2, nIndex2, nDx, nDy): a new image list handle (the
// caller's) of image nIndex1 of this list with image nIndex2 of another
// (a TImageList or a handle) drawn over it at (nDx, nDy).
Value Merge(Object& self, Args a) {
  HIMAGELIST h = List(self);
  const Value other = a.Get(1);
  HIMAGELIST h2 = other.IsObject() ? ObjectHandle<HIMAGELIST>(other) : ValueHandle<HIMAGELIST>(other);
  const int i1 = Index0(a.Get(0)), i2 = Index0(a.Get(2));
  if (!h || !h2 || i1 < 0 || i2 < 0) return 0;
  return HandleValue(ImageList_Merge(h, i1, h2, i2, static_cast<int>(a.Get(3).AsInt()), static_cast<int>(a.Get(4).AsInt())));
}

// ---------------------------------------------------------------- dragging

Value BeginDrag(Object& self, Args a) {
  HIMAGELIST h = List(self);
  const int index = Index0(a.Get(0));
  if (!h || index < 0) return false;
  return static_cast<bool>(
      ImageList_BeginDrag(h, index, static_cast<int>(a.Get(1).AsInt()), static_cast<int>(a.Get(2).AsInt())));
}

Value EndDrag(Object&, Args) {
  ImageList_EndDrag();
  return true;
}

Value DragEnter(Object&, Args a) {
  return static_cast<bool>(ImageList_DragEnter(ValueHwnd(a.Get(0)), static_cast<int>(a.Get(1).AsInt()),
                                               static_cast<int>(a.Get(2).AsInt())));
}

Value DragLeave(Object&, Args a) { return static_cast<bool>(ImageList_DragLeave(ValueHwnd(a.Get(0)))); }

Value DragMove(Object&, Args a) {
  return static_cast<bool>(ImageList_DragMove(static_cast<int>(a.Get(0).AsInt()), static_cast<int>(a.Get(1).AsInt())));
}

Value SetDragCursorImage(Object& self, Args a) {
  HIMAGELIST h = List(self);
  const int index = Index0(a.Get(0));
  if (!h || index < 0) return false;
  return static_cast<bool>(ImageList_SetDragCursorImage(h, index, static_cast<int>(a.Get(1).AsInt()),
                                                        static_cast<int>(a.Get(2).AsInt())));
}

Value DragShowNolock(Object&, Args a) { return static_cast<bool>(ImageList_DragShowNolock(a.Get(0).AsBool())); }

// GetDragImage(@aPos, @aHotspot): the handle of the list being dragged (0
// when none); the position and the hot spot go to the arguments passed by
// reference, as {x, y}.
Value GetDragImage(Object&, Args a) {
  POINT pos{}, hot{};
  HIMAGELIST h = ImageList_GetDragImage(&pos, &hot);
  if (a.IsRef(0)) a.Set(0, Value::List({pos.x, pos.y}));
  if (a.IsRef(1)) a.Set(1, Value::List({hot.x, hot.y}));
  return HandleValue(h);
}

// ---------------------------------------------------------------- streams

// Read(cFile): the list of an image-list stream file in place of this one.
// A file that is not a whole stream changes nothing.
Value Read(Object& self, Args a) {
  const auto bytes = img::ReadFileBytes(a.Get(0).AsString());
  if (!bytes || !img::IsImageListStream(*bytes)) return false;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes->size());
  if (!block) return false;
  std::memcpy(GlobalLock(block), bytes->data(), bytes->size());
  GlobalUnlock(block);
  IStream* stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(block, TRUE, &stream))) {
    GlobalFree(block);
    return false;
  }
  HIMAGELIST read = ImageList_Read(stream);
  stream->Release();
  if (!read) return false;
  if (HIMAGELIST old = List(self)) ImageList_Destroy(old);
  Put(self, sym::set::Handle, HandleValue(read));
  int cx = 0, cy = 0;
  ImageList_GetIconSize(read, &cx, &cy);
  StoreSize(self, cx, cy);
  Put(self, sym::set::aBitmaps, Value::List({}));
  return true;
}

// Write(cFile, lBitmapOnly): the list as an image-list stream; with
// lBitmapOnly only the bitmap of the images (a bitmap file).
Value Write(Object& self, Args a) {
  HIMAGELIST h = List(self);
  const std::string file = a.Get(0).AsString();
  if (!h || file.empty()) return false;
  IStream* stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream))) return false;
  bool ok = false;
  ULARGE_INTEGER end{};
  HGLOBAL block = nullptr;
  if (ImageList_Write(h, stream) && SUCCEEDED(stream->Seek({}, STREAM_SEEK_CUR, &end)) &&
      SUCCEEDED(GetHGlobalFromStream(stream, &block))) {
    const auto* p = static_cast<const std::uint8_t*>(GlobalLock(block));
    img::Bytes bytes(p, static_cast<std::size_t>(end.QuadPart));
    if (a.Get(1).AsBool()) {
      bytes = bytes.size() > img::kImageListHeaderSize ? bytes.subspan(img::kImageListHeaderSize) : img::Bytes{};
      // The images' bitmap file, without the masks' that follows it.
      if (bytes.size() >= 6) {
        const std::uint32_t size = bytes[2] | bytes[3] << 8 | bytes[4] << 16 | static_cast<std::uint32_t>(bytes[5]) << 24;
        if (size >= 14 && size <= bytes.size()) bytes = bytes.first(size);
      }
    }
    ok = !bytes.empty() && img::WriteFileBytes(file, bytes);
    GlobalUnlock(block);
  }
  stream->Release();
  return ok;
}

Value WriteBitmap(Object& self, Args a) { return self.Send(sym::Write, a.Get(0), true); }

}  // namespace

Class* QImageListClass() {
  static Class* c = [] {
    QVClass b("QImageList", {TWinObjectClass()});
    ZV_REGISTER_MEMBERS(b, ZV_QIMAGELIST_MEMBERS);
    b.Destructor(&Finalize);
    Class* cls = b.Create();
    g_handleSlot = cls->FindData(sym::Handle)->slot;
    return cls;
  }();
  return c;
}

Class* TImageListClass() {
  static Class* c = DeclarePublicClass("TImageList", QImageListClass());
  return c;
}

}  // namespace zv
