#include "framework/graphics/picture.h"

#include <ocidl.h>
#include <olectl.h>

#include <cstring>
#include <vector>

#include "framework/core/members.h"
#include "framework/graphics/image_formats.h"
#include "framework/graphics/image_library.h"
#include "framework/graphics/image_list.h"

namespace zv {
namespace {

// Slots of the picture's resources, for the destructor (which runs without
// sends).
std::uint32_t g_imageSlot = 0, g_ptrSlot = 0, g_handleSlot = 0;

IPicture* PictureOf(Object& self) { return ValueHandle<IPicture*>(Get(self, sym::Image)); }

// Releases the picture object (which deletes the handle it owns), the block
// of its bytes and the rendered bitmap; the attributes go back to none.
void ReleaseResources(Value& image, Value& ptr, Value& handle) {
  if (auto* pic = ValueHandle<IPicture*>(image)) pic->Release();
  if (auto block = ValueHandle<HGLOBAL>(ptr)) GlobalFree(block);
  if (auto bitmap = ValueHandle<HBITMAP>(handle)) DeleteObject(bitmap);
  image = Value(0);
  ptr = Value(0);
  handle = Value(0);
}

void Release(Object& self) {
  ReleaseResources(self.Slot(g_imageSlot), self.Slot(g_ptrSlot), self.Slot(g_handleSlot));
  Put(self, sym::set::Picture, 0);
  Put(self, sym::set::nWidth, 0);
  Put(self, sym::set::nHeight, 0);
  Put(self, sym::set::nLogicalWidth, 0);
  Put(self, sym::set::nLogicalHeight, 0);
  Put(self, sym::set::hPalette, 0);
  Put(self, sym::set::nType, 0);
  Put(self, sym::set::lScalable, false);
  Put(self, sym::set::lTransparent, false);
}

void Finalize(Object& self) { ReleaseResources(self.Slot(g_imageSlot), self.Slot(g_ptrSlot), self.Slot(g_handleSlot)); }

int ScreenPpi(int index) {
  HDC screen = GetDC(nullptr);
  const int ppi = screen ? GetDeviceCaps(screen, index) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  return ppi > 0 ? ppi : 96;
}

// The picture rendered by itself into (x, y, cx, cy) of a context.
bool Render(IPicture* pic, HDC dc, int x, int y, int cx, int cy) {
  OLE_XSIZE_HIMETRIC w = 0;
  OLE_YSIZE_HIMETRIC h = 0;
  if (FAILED(pic->get_Width(&w)) || FAILED(pic->get_Height(&h))) return false;
  // The source is in HIMETRIC, whose y axis points up: from the bottom edge,
  // a negative height.
  return SUCCEEDED(pic->Render(dc, x, y, cx, cy, 0, h, w, -h, nullptr));
}

// Takes a loaded picture object (and the block of its bytes, 0 for none)
// and reads what the members show of it.
bool Adopt(Object& self, IPicture* pic, HGLOBAL block) {
  Put(self, sym::set::Image, HandleValue(pic));
  Put(self, sym::set::Ptr, HandleValue(block));
  OLE_HANDLE handle = 0;
  pic->get_Handle(&handle);
  Put(self, sym::set::Picture, static_cast<long long>(handle));
  OLE_XSIZE_HIMETRIC hmWidth = 0;
  OLE_YSIZE_HIMETRIC hmHeight = 0;
  pic->get_Width(&hmWidth);
  pic->get_Height(&hmHeight);
  const int width = MulDiv(hmWidth, ScreenPpi(LOGPIXELSX), 2540);
  const int height = MulDiv(hmHeight, ScreenPpi(LOGPIXELSY), 2540);
  Put(self, sym::set::nLogicalWidth, static_cast<long long>(hmWidth));
  Put(self, sym::set::nLogicalHeight, static_cast<long long>(hmHeight));
  Put(self, sym::set::nWidth, width);
  Put(self, sym::set::nHeight, height);
  OLE_HANDLE palette = 0;
  pic->get_hPal(&palette);
  Put(self, sym::set::hPalette, static_cast<long long>(palette));
  SHORT type = 0;
  pic->get_Type(&type);
  Put(self, sym::set::nType, type);
  DWORD attributes = 0;
  pic->get_Attributes(&attributes);
  Put(self, sym::set::lScalable, attributes != 0);
  Put(self, sym::set::lTransparent, attributes != 0);
  // The screen bitmap of the picture, on the window colour.
  if (width > 0 && height > 0 && width <= 32767 && height <= 32767) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = screen ? CreateCompatibleBitmap(screen, width, height) : nullptr;
    if (screen) ReleaseDC(nullptr, screen);
    if (bitmap) {
      HDC dc = CreateCompatibleDC(nullptr);
      const HGDIOBJ old = SelectObject(dc, bitmap);
      RECT r{0, 0, width, height};
      FillRect(dc, &r, GetSysColorBrush(COLOR_WINDOW));
      Render(pic, dc, 0, 0, width, height);
      SelectObject(dc, old);
      DeleteDC(dc);
      Put(self, sym::set::Handle, HandleValue(bitmap));
    }
  }
  return true;
}

// Wraps a handle as a picture object that owns it.
IPicture* WrapHandle(int type, HANDLE handle, long long extra1, long long extra2) {
  PICTDESC desc{};
  desc.cbSizeofstruct = sizeof desc;
  desc.picType = static_cast<UINT>(type);
  switch (type) {
    case PICTYPE_BITMAP:
      desc.bmp.hbitmap = static_cast<HBITMAP>(handle);
      desc.bmp.hpal = reinterpret_cast<HPALETTE>(static_cast<std::intptr_t>(extra1));
      break;
    case PICTYPE_METAFILE:
      desc.wmf.hmeta = static_cast<HMETAFILE>(handle);
      desc.wmf.xExt = static_cast<int>(extra1);
      desc.wmf.yExt = static_cast<int>(extra2);
      break;
    case PICTYPE_ICON:
      desc.icon.hicon = static_cast<HICON>(handle);
      break;
    case PICTYPE_ENHMETAFILE:
      desc.emf.hemf = static_cast<HENHMETAFILE>(handle);
      break;
    default:
      return nullptr;
  }
  IPicture* pic = nullptr;
  if (FAILED(OleCreatePictureIndirect(&desc, IID_IPicture, TRUE, reinterpret_cast<void**>(&pic)))) return nullptr;
  return pic;
}

// Loads the bytes of a movable block: through the system loader, else the
// optional image library. The block becomes the picture's (Ptr), or is
// freed when nothing could read it.
bool LoadBlock(Object& self, HGLOBAL block, std::size_t size) {
  IPicture* pic = nullptr;
  IStream* stream = nullptr;
  if (size > 0 && SUCCEEDED(CreateStreamOnHGlobal(block, FALSE, &stream))) {
    if (FAILED(OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture, reinterpret_cast<void**>(&pic))))
      pic = nullptr;
    stream->Release();
  }
  if (!pic && size > 0) {
    const auto* bytes = static_cast<const std::uint8_t*>(GlobalLock(block));
    HBITMAP decoded = bytes ? DecodeWithImageLibrary(bytes, size) : nullptr;
    GlobalUnlock(block);
    if (decoded && !(pic = WrapHandle(PICTYPE_BITMAP, decoded, 0, 0))) DeleteObject(decoded);
  }
  if (!pic) {
    GlobalFree(block);
    return false;
  }
  return Adopt(self, pic, block);
}

bool LoadBytes(Object& self, img::Bytes bytes) {
  if (bytes.empty()) return false;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  if (!block) return false;
  std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
  GlobalUnlock(block);
  return LoadBlock(self, block, bytes.size());
}

// A number, or a name without a dot, names a resource.
bool NamesResource(const Value& name) {
  return name.IsNumber() || (name.IsString() && name.AsString().find('.') == std::string::npos);
}

// A resource name for the Win32 calls: MAKEINTRESOURCE of a number.
struct ResourceName {
  explicit ResourceName(const Value& v) : text(v.IsString() ? v.AsString() : std::string()), id(0) {
    if (v.IsNumber() && v.AsInt() > 0 && v.AsInt() <= 0xFFFF) id = static_cast<WORD>(v.AsInt());
  }
  const char* get() const { return id ? MAKEINTRESOURCEA(id) : text.c_str(); }
  bool valid() const { return id != 0 || !text.empty(); }
  std::string text;
  WORD id;
};

img::Bytes ResourceBytes(const char* name, const char* type) {
  HINSTANCE inst = GETINSTANCE();
  HRSRC res = FindResourceA(inst, name, type);
  if (!res) return {};
  HGLOBAL loaded = LoadResource(inst, res);
  const void* p = loaded ? LockResource(loaded) : nullptr;
  if (!p) return {};
  return {static_cast<const std::uint8_t*>(p), SizeofResource(inst, res)};
}

// ---------------------------------------------------------------- loading

// Create(cName) (also New, and the setter of cName): stores the name and
// loads it.
Value PictureCreate(Object& self, Args a) {
  Put(self, sym::set::lFree, true);
  const Value name = a.Get(0).IsNil() ? Value("") : a.Get(0);
  Put(self, sym::set::FcName, name);
  if (!(name.IsString() && name.AsString().empty())) self.Send(sym::Load, name);
  Put(self, sym::set::lCreated, true);
  return Value(&self);
}

Value Load(Object& self, Args a) {
  const Value name = a.Has(0) ? a.Get(0) : Get(self, sym::cName);
  if (NamesResource(name)) return self.Send(sym::LoadFromResource, name);
  return self.Send(sym::LoadFromFile, name);
}

// LoadFromFile(cFile): the file's bytes through the loaders; without an
// argument, the file of cName. cPath and cFile take the name's parts.
Value LoadFromFile(Object& self, Args a) {
  Release(self);
  const std::string file = a.Has(0) ? a.Get(0).AsString() : Get(self, sym::cName).AsString();
  const auto slash = file.find_last_of("\\/:");
  Put(self, sym::set::cPath, slash == std::string::npos ? std::string() : file.substr(0, slash + 1));
  Put(self, sym::set::cFile, slash == std::string::npos ? file : file.substr(slash + 1));
  const auto bytes = img::ReadFileBytes(file);
  return bytes && LoadBytes(self, *bytes);
}

// LoadFromResource(xName, cType): the resource of that type; without a
// type, a bitmap resource made into a bitmap file, else an icon resource,
// else the first resource of one of the types of aTypes.
Value LoadFromResource(Object& self, Args a) {
  Release(self);
  const ResourceName name(a.Get(0));
  if (!name.valid()) return false;
  if (a.Has(1)) {
    const ResourceName type(a.Get(1));
    return type.valid() && LoadBytes(self, ResourceBytes(name.get(), type.get()));
  }
  if (const img::Bytes res = ResourceBytes(name.get(), MAKEINTRESOURCEA(2)); !res.empty()) {
    const std::vector<std::uint8_t> file = img::BitmapFileFromResource(res);
    return !file.empty() && LoadBytes(self, file);
  }
  if (auto icon = static_cast<HICON>(LoadImageA(GETINSTANCE(), name.get(), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE))) {
    if (IPicture* pic = WrapHandle(PICTYPE_ICON, icon, 0, 0)) return Adopt(self, pic, nullptr);
    DestroyIcon(icon);
    return false;
  }
  const Value types = Get(self, sym::aTypes);
  if (types.IsList()) {
    for (const Value& t : types.AsList().items) {
      const ResourceName type(t);
      if (!type.valid()) continue;
      if (const img::Bytes res = ResourceBytes(name.get(), type.get()); !res.empty()) return LoadBytes(self, res);
    }
  }
  return false;
}

// LoadFromStream(cData): the bytes of the string, as a file's.
Value LoadFromStream(Object& self, Args a) {
  Release(self);
  const std::string& data = a.Get(0).AsString();
  return LoadBytes(self, {reinterpret_cast<const std::uint8_t*>(data.data()), data.size()});
}

// CreateIndirect(nPicType, hHandle, nExtra1, nExtra2): an existing handle
// wrapped as a picture that this object owns from now on.
Value CreateIndirect(Object& self, Args a) {
  if (!a.Get(0).IsNumber() || !a.Get(1).IsNumber()) return false;
  Release(self);
  auto handle = ValueHandle<HANDLE>(a.Get(1));
  if (!handle) return false;
  IPicture* pic = WrapHandle(static_cast<int>(a.Get(0).AsInt()), handle, a.Get(2).AsInt(), a.Get(3).AsInt());
  return pic && Adopt(self, pic, nullptr);
}

Value PictureDestroy(Object& self, Args a) {
  Release(self);
  return Super(self, sym::Destroy, a);
}

Value PictureClone(Object& self, Args) {
  Value copy = Object::New(self.GetClass());
  return copy.Send(sym::Create, Get(self, sym::cName));
}

// ---------------------------------------------------------------- saving

// The picture as the system picture object writes it (a copy of the bytes
// it was loaded from, when it keeps them); empty on failure.
std::string SavedBytes(Object& self) {
  IPicture* pic = PictureOf(self);
  if (!pic) return {};
  IStream* stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream))) return {};
  std::string out;
  LONG written = 0;
  HGLOBAL block = nullptr;
  if (SUCCEEDED(pic->SaveAsFile(stream, TRUE, &written)) && written > 0 &&
      SUCCEEDED(GetHGlobalFromStream(stream, &block))) {
    if (const auto* p = static_cast<const char*>(GlobalLock(block))) {
      out.assign(p, static_cast<std::size_t>(written));
      GlobalUnlock(block);
    }
  }
  stream->Release();
  return out;
}

Value Save(Object& self, Args a) {
  const std::string bytes = SavedBytes(self);
  return !bytes.empty() &&
         img::WriteFileBytes(a.Get(0).AsString(), {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
}

Value SaveToStream(Object& self, Args) { return SavedBytes(self); }

// ---------------------------------------------------------------- painting

// Through a mask of its top-left colour: the mask clears the shape from what
// is below (SRCAND), the image with its background made black adds the
// shape (SRCPAINT).
bool PaintTransparent(HDC dc, HBITMAP bitmap, int x, int y, int cx, int cy, int w, int h) {
  HBITMAP mask = TopLeftColourMask(bitmap);
  if (!mask) return false;
  HDC screen = GetDC(nullptr);
  HBITMAP shape = screen ? CreateCompatibleBitmap(screen, w, h) : nullptr;
  if (screen) ReleaseDC(nullptr, screen);
  bool ok = false;
  if (shape) {
    HDC src = CreateCompatibleDC(nullptr), msk = CreateCompatibleDC(nullptr), shp = CreateCompatibleDC(nullptr);
    const HGDIOBJ o1 = SelectObject(src, bitmap), o2 = SelectObject(msk, mask), o3 = SelectObject(shp, shape);
    BitBlt(shp, 0, 0, w, h, src, 0, 0, SRCCOPY);
    // Monochrome to colour: 1 (background) becomes white, 0 black.
    SetBkColor(shp, RGB(255, 255, 255));
    SetTextColor(shp, RGB(0, 0, 0));
    constexpr DWORD kDestAndNotSource = 0x00220326;
    BitBlt(shp, 0, 0, w, h, msk, 0, 0, kDestAndNotSource);
    const COLORREF oldBk = SetBkColor(dc, RGB(255, 255, 255));
    const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    ok = StretchBlt(dc, x, y, cx, cy, msk, 0, 0, w, h, SRCAND) && StretchBlt(dc, x, y, cx, cy, shp, 0, 0, w, h, SRCPAINT);
    SetBkColor(dc, oldBk);
    SetTextColor(dc, oldText);
    SelectObject(src, o1);
    SelectObject(msk, o2);
    SelectObject(shp, o3);
    DeleteDC(src);
    DeleteDC(msk);
    DeleteDC(shp);
    DeleteObject(shape);
  }
  DeleteObject(mask);
  return ok;
}

// Paint(hDC, nLeft, nTop, nRight, nBottom, lTransparent, lSmooth): the
// picture stretched to the box when the box differs from its size.
Value PicturePaint(Object& self, Args a) {
  IPicture* pic = PictureOf(self);
  HDC dc = ValueHandle<HDC>(a.Get(0));
  if (!pic || !dc) return false;
  const int left = static_cast<int>(a.Get(1).AsInt()), top = static_cast<int>(a.Get(2).AsInt());
  const int cx = static_cast<int>(a.Get(3).AsInt()) - left, cy = static_cast<int>(a.Get(4).AsInt()) - top;
  if (cx <= 0 || cy <= 0) return false;
  const int w = static_cast<int>(Get(self, sym::nWidth).AsInt()), h = static_cast<int>(Get(self, sym::nHeight).AsInt());
  auto bitmap = ValueHandle<HBITMAP>(Get(self, sym::Handle));
  const bool selfDrawn = Get(self, sym::nType).AsInt() == PICTYPE_ICON || Get(self, sym::lTransparent).AsBool() ||
                         GetDeviceCaps(dc, TECHNOLOGY) != DT_RASDISPLAY || !bitmap;
  if (selfDrawn) return Render(pic, dc, left, top, cx, cy);
  if (a.Get(5).AsBool()) return PaintTransparent(dc, bitmap, left, top, cx, cy, w, h);
  HDC src = CreateCompatibleDC(dc);
  const HGDIOBJ old = SelectObject(src, bitmap);
  bool ok;
  if (cx == w && cy == h) {
    ok = BitBlt(dc, left, top, cx, cy, src, 0, 0, SRCCOPY);
  } else {
    const int oldMode = SetStretchBltMode(dc, a.Get(6).AsBool() ? HALFTONE : COLORONCOLOR);
    POINT oldOrigin{};
    SetBrushOrgEx(dc, 0, 0, &oldOrigin);  // HALFTONE needs the brush origin set again
    ok = StretchBlt(dc, left, top, cx, cy, src, 0, 0, w, h, SRCCOPY);
    SetStretchBltMode(dc, oldMode);
    SetBrushOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
  }
  SelectObject(src, old);
  DeleteDC(src);
  return ok;
}

// ---------------------------------------------------------------- tests and accessors

Value IsPicture(Object& self, Args) { return PictureOf(self) != nullptr; }

template <int Type>
Value IsOfType(Object& self, Args) {
  return PictureOf(self) != nullptr && Get(self, sym::nType).AsInt() == Type;
}

template <int Type>
Value HandleOfType(Object& self, Args) {
  return PictureOf(self) && Get(self, sym::nType).AsInt() == Type ? Get(self, sym::Picture) : Value(0);
}

Value GetPictureHandle(Object& self, Args) { return Get(self, sym::Picture); }

// SetTypes(aTypes): the resource types searched for a named resource; the
// previous list is returned.
Value SetTypes(Object& self, Args a) {
  const Value previous = Get(self, sym::aTypes);
  Put(self, sym::set::aTypes, a.Get(0).IsList() ? a.Get(0) : Value::List({}));
  return previous;
}

}  // namespace

Class* QPictureClass() {
  static Class* c = [] {
    QVClass b("QPicture", {TWinObjectClass()});
    ZV_REGISTER_MEMBERS(b, ZV_QPICTURE_MEMBERS);
    b.Destructor(&Finalize);
    Class* cls = b.Create();
    g_imageSlot = cls->FindData(sym::Image)->slot;
    g_ptrSlot = cls->FindData(sym::Ptr)->slot;
    g_handleSlot = cls->FindData(sym::Handle)->slot;
    return cls;
  }();
  return c;
}

Class* TPictureClass() {
  static Class* c = DeclarePublicClass("TPicture", QPictureClass());
  return c;
}

}  // namespace zv
