#include "framework/graphics/font.h"

#include <winspool.h>

#include <cstdlib>

#include "framework/core/globals.h"
#include "framework/core/members.h"
#include "framework/graphics/font_text.h"
#include "framework/graphics/gdi_object.h"

namespace zv {

int DevicePixelsPerInch(HDC dc) {
  int d = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 0;
  if (d <= 0) {
    HDC screen = GetDC(nullptr);
    d = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) ReleaseDC(nullptr, screen);
  }
  return d > 0 ? d : 96;
}

namespace {

using gdi::DeleteHandle;
using gdi::StoreAndRecreate;

int IntOf(Object& self, Symbol member) { return static_cast<int>(Get(self, member).AsInt()); }

HFONT FontHandle(Object& self) { return static_cast<HFONT>(gdi::HandleOf(self)); }

// ---------------------------------------------------------------- device contexts

// A device context to convert sizes with, and how to give it back.
struct ConversionDC {
  HDC dc = nullptr;
  bool releaseScreen = false;  // GetDC(0): ReleaseDC
  bool deleteDC = false;       // made for this conversion: DeleteDC
  ~ConversionDC() {
    if (releaseScreen) ReleaseDC(nullptr, dc);
    if (deleteDC) DeleteDC(dc);
  }
};

// A context of the device: its preview recorder's printer context while it
// previews, else its own context.
HDC DeviceContext(const Value& device) {
  if (Has(device, sym::lPreview) && Get(device, sym::lPreview).AsBool()) {
    const Value preview = Get(device, sym::oPreviewDC);
    if (Has(preview, sym::hPrinterDC)) return ValueHandle<HDC>(Get(preview, sym::hPrinterDC));
  }
  return Has(device, sym::hDC) ? ValueHandle<HDC>(Get(device, sym::hDC)) : nullptr;
}

HDC DefaultPrinterDC() {
  char name[512];
  DWORD size = sizeof name;
  if (!GetDefaultPrinterA(name, &size)) return nullptr;
  return CreateDCA(nullptr, name, nullptr, nullptr);
}

// The context for a point size to pixel height conversion: a device other
// than the screen answers with its own context (or, when it has none, one
// made for the current printer); otherwise, or failing that, the screen.
void ContextFor(Object& self, bool forHeight, ConversionDC& out) {
  const Value device = Get(self, sym::oDevice);
  const bool other = device.IsObject() && device.AsObject() != Screen().AsObject();
  if (device.IsObject() && (other || !forHeight)) out.dc = DeviceContext(device);
  if (!out.dc && other && forHeight) {
    out.dc = DefaultPrinterDC();
    out.deleteDC = out.dc != nullptr;
  }
  if (!out.dc) {
    out.dc = GetDC(nullptr);
    out.releaseScreen = out.dc != nullptr;
  }
}

int HeightFor(Object& self, int size) {
  ConversionDC c;
  ContextFor(self, true, c);
  return -MulDiv(size, DevicePixelsPerInch(c.dc), 72);
}

int SizeFor(Object& self, int height) {
  ConversionDC c;
  ContextFor(self, false, c);
  return MulDiv(std::abs(height), 72, DevicePixelsPerInch(c.dc));
}

// ---------------------------------------------------------------- the handle

// Makes the GDI font from the stored values. The previous font goes
// whatever nCount says: the owners share this object, not its old handle,
// which nobody could delete any more once replaced.
void MakeFont(Object& self) {
  const int size = IntOf(self, sym::FnSize);
  if (size != 0) {
    Put(self, sym::set::FnWidth, 0);
    Put(self, sym::set::FnHeight, HeightFor(self, size));  // a point size wins over pixel values
  }
  const int style = IntOf(self, sym::FnStyle);
  const int orientation = IntOf(self, sym::FnOrientation);
  Put(self, sym::set::FlBold, IntOf(self, sym::FnWeight) >= FW_BOLD);
  Put(self, sym::set::FlItalic, (style & 1) != 0);
  Put(self, sym::set::FlUnderline, (style & 2) != 0);
  Put(self, sym::set::FlStrikeOut, (style & 4) != 0);
  DeleteHandle(self);
  const HFONT h = CreateFontA(IntOf(self, sym::FnHeight), IntOf(self, sym::FnWidth), orientation, orientation,
                              IntOf(self, sym::FnWeight), (style & 1) != 0, (style & 2) != 0, (style & 4) != 0,
                              static_cast<DWORD>(IntOf(self, sym::FnCharSet) & 0xFF), OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                              Get(self, sym::FcName).AsString().substr(0, kMaxFaceName).c_str());
  Put(self, sym::set::Handle, HandleValue(h));
}

// ---------------------------------------------------------------- setters

Value SetSizeProperty(Object& self, Args a) {
  self.Send(sym::SetSize, a.Get(0));
  self.Send(sym::Recreate);
  return a.Get(0);
}

Value SetBold(Object& self, Args a) {
  const bool on = a.Get(0).AsBool();
  Put(self, sym::set::FlBold, on);
  self.Send(sym::set::nWeight, on ? FW_BOLD : FW_NORMAL);
  return on;
}

template <const SetterSymbol* Field, int Bit>
Value SetStyleBit(Object& self, Args a) {
  const bool on = a.Get(0).AsBool();
  Put(self, *Field, on);
  const int style = IntOf(self, sym::FnStyle);
  self.Send(sym::set::nStyle, on ? (style | Bit) : (style & ~Bit));
  return on;
}

// ---------------------------------------------------------------- methods

Value FontNew(Object& self, Args a) {
  if (a.Has(0)) Put(self, sym::set::oDevice, a.Get(0));
  return Value(&self);
}

// Create(cName, xSize, nStyle, nWeight, nOrientation, oDevice, nCharSet):
// every argument optional; xSize a point size or {width, height} in pixels.
Value FontCreate(Object& self, Args a) {
  if (a.Has(0)) Put(self, sym::set::FcName, a.Get(0).IsString() ? a.Get(0) : Value(a.Get(0).ToDisplay()));
  if (a.Has(2)) Put(self, sym::set::FnStyle, a.Get(2).AsInt() & 7);
  if (a.Has(3)) Put(self, sym::set::FnWeight, a.Get(3).AsInt());
  if (a.Has(4)) Put(self, sym::set::FnOrientation, a.Get(4).AsInt());
  if (a.Has(5)) Put(self, sym::set::oDevice, a.Get(5));
  if (a.Has(6)) Put(self, sym::set::FnCharSet, a.Get(6).AsInt());
  if (a.Has(1)) {
    const Value x = a.Get(1);
    if (x.IsList()) {
      const int w = static_cast<int>(x.Item(1).AsInt());
      const int h = static_cast<int>(x.Item(2).AsInt());
      if (w > 0) {
        Put(self, sym::set::FnSize, 0);
        Put(self, sym::set::FnWidth, w);
        Put(self, sym::set::FnHeight, h);
      } else {
        Put(self, sym::set::FnSize, SizeFor(self, h));
      }
    } else {
      // A negative point size is taken as its magnitude.
      Put(self, sym::set::FnSize, std::abs(static_cast<int>(x.AsInt())));
    }
  }
  MakeFont(self);
  return Value(&self);
}

// Lowers the count of owners; the last one frees the GDI font.
Value FontDestroy(Object& self, Args) {
  if (!FontHandle(self)) return Value(&self);
  const auto count = Get(self, sym::nCount).AsInt() - 1;
  if (count <= 0) {
    DeleteHandle(self);
    Put(self, sym::set::nCount, 0);
  } else {
    Put(self, sym::set::nCount, count);
  }
  return Value(&self);
}

Value FontRecreate(Object& self, Args) {
  if (FontHandle(self)) self.Send(sym::Create);
  return {};
}

Value FontClone(Object& self, Args a) {
  const Value device = a.Get(0);
  Value clone = Object::New(TFontClass());
  clone.Send(sym::New);
  Value size = Get(self, sym::FnSize);
  if (!device.IsObject() && IntOf(self, sym::FnWidth) != 0)
    size = Value::List({Get(self, sym::FnWidth), Get(self, sym::FnHeight)});
  return clone.Send(sym::Create, Get(self, sym::FcName), size, Get(self, sym::FnStyle), Get(self, sym::FnWeight),
                    Get(self, sym::FnOrientation), device, Get(self, sym::FnCharSet));
}

Value FontCompare(Object& self, Args a) {
  const Value other = a.Get(0);
  if (!other.IsObject() || !other.AsObject()->GetClass()->IsDerivedFrom(QFontClass())) return false;
  Object& o = *other.AsObject();
  if (Get(self, sym::FcName).AsString() != Get(o, sym::FcName).AsString()) return false;
  for (Symbol m : {sym::FnWidth, sym::FnHeight, sym::FnStyle, sym::FnWeight, sym::FnOrientation})
    if (Get(self, m).AsInt() != Get(o, m).AsInt()) return false;
  return true;
}

// GetTextSize(cText, xWindow): {width, height} of the text in pixels, in
// the context of the window (an object, a handle, or the desktop).
Value GetTextSize(Object& self, Args a) {
  const std::string text = a.Get(0).IsString() ? a.Get(0).AsString() : std::string();
  const Value w = a.Get(1);
  HWND hwnd = w.IsObject() ? ObjectHwnd(w) : w.IsNumber() ? ValueHwnd(w) : GetDesktopWindow();
  if (hwnd && !IsWindow(hwnd)) hwnd = GetDesktopWindow();
  HDC dc = GetDC(hwnd);
  if (!dc) return Value::List({0, 0});
  HGDIOBJ old = nullptr;
  if (HFONT f = FontHandle(self)) old = SelectObject(dc, f);
  SIZE sz{};
  GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &sz);
  if (text.empty()) {
    // The height of an empty text is the font's (some GDIs answer 0).
    TEXTMETRICA tm{};
    if (GetTextMetricsA(dc, &tm)) sz.cy = tm.tmHeight;
  }
  if (old) SelectObject(dc, old);
  ReleaseDC(hwnd, dc);
  return Value::List({static_cast<long long>(sz.cx), static_cast<long long>(sz.cy)});
}

Value GetTextWidth(Object& self, Args a) { return GetTextSize(self, a).Item(1); }
Value GetTextHeight(Object& self, Args a) { return GetTextSize(self, a).Item(2); }

FontDescription Describe(Object& self) {
  FontDescription f;
  f.name = Get(self, sym::FcName).AsString();
  f.size = IntOf(self, sym::FnSize);
  f.width = IntOf(self, sym::FnWidth);
  f.height = IntOf(self, sym::FnHeight);
  f.style = IntOf(self, sym::FnStyle);
  f.weight = IntOf(self, sym::FnWeight);
  f.orientation = IntOf(self, sym::FnOrientation);
  f.bold = Get(self, sym::FlBold).AsBool();
  f.italic = Get(self, sym::FlItalic).AsBool();
  f.underline = Get(self, sym::FlUnderline).AsBool();
  f.strikeOut = Get(self, sym::FlStrikeOut).AsBool();
  f.charSet = IntOf(self, sym::FnCharSet);
  return f;
}

Value SaveToText(Object& self, Args) { return FontToText(Describe(self)); }

// Twelve fields, or nothing changes; the name is assigned last, through
// its setter, which makes the font again when it has a handle.
Value RestoreFromText(Object& self, Args a) {
  const Value text = a.Get(0);
  if (!text.IsString()) return false;
  const auto f = FontFromText(text.AsString(), Describe(self));
  if (!f) return false;
  Put(self, sym::set::FnSize, f->size);
  Put(self, sym::set::FnWidth, f->width);
  Put(self, sym::set::FnHeight, f->height);
  Put(self, sym::set::FnStyle, f->style);
  Put(self, sym::set::FnWeight, f->weight);
  Put(self, sym::set::FnOrientation, f->orientation);
  Put(self, sym::set::FlBold, f->bold);
  Put(self, sym::set::FlItalic, f->italic);
  Put(self, sym::set::FlUnderline, f->underline);
  Put(self, sym::set::FlStrikeOut, f->strikeOut);
  Put(self, sym::set::FnCharSet, f->charSet);
  self.Send(sym::set::cName, f->name);
  return true;
}

Value SizeToHeight(Object& self, Args a) { return HeightFor(self, static_cast<int>(a.Get(0).AsInt())); }
Value HeightToSize(Object& self, Args a) { return SizeFor(self, static_cast<int>(a.Get(0).AsInt())); }

Value SetSize(Object& self, Args a) {
  const int size = std::abs(static_cast<int>(a.Get(0).AsInt()));
  Put(self, sym::set::FnSize, size);
  Put(self, sym::set::FnWidth, 0);
  Put(self, sym::set::FnHeight, HeightFor(self, size));
  return size;
}

}  // namespace

Class* QFontClass() {
  static Class* c = [] {
    QVClass b("QFont", {TWinObjectClass()});
    ZV_REGISTER_MEMBERS(b, ZV_QFONT_MEMBERS);
    b.Destructor(&gdi::DeleteInDestructor);  // whoever forgot to destroy it
    return b.Create();
  }();
  return c;
}

Class* TFontClass() {
  static Class* c = DeclarePublicClass("TFont", QFontClass());
  return c;
}

}  // namespace zv
