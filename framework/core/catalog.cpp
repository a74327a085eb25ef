#include "framework/core/catalog.h"

#include "framework/core/appdata.h"
#include "framework/core/classbuilder.h"
#include "framework/controls/btnbmp.h"
#include "framework/controls/button.h"
#include "framework/controls/edit.h"
#include "framework/controls/frames.h"
#include "framework/controls/label.h"
#include "framework/graphics/brush_pen.h"
#include "framework/graphics/canvas.h"
#include "framework/graphics/font.h"
#include "framework/graphics/icon.h"
#include "framework/graphics/image_control.h"
#include "framework/graphics/image_list.h"
#include "framework/graphics/picture.h"
#include "framework/services/cursor.h"
#include "framework/services/screen.h"
#include "framework/grid/browse.h"
#include "framework/grid/column.h"
#include "framework/grid/header.h"
#include "framework/grid/recsel.h"
#include "framework/services/tooltip.h"
#include "framework/window/form.h"
#include "framework/window/msgbar.h"
#include "framework/window/scrolling.h"
#include "framework/window/wincontrol.h"

namespace zv {
namespace {

struct Entry {
  const char* name;
  Class* (*declare)();
};

// Add a class here when it arrives.
const Entry kCatalog[] = {
    {"TAppData", &TAppDataClass},
    {"TComponent", &TComponentClass},
    {"TWinObject", &TWinObjectClass},
    {"TControl", &TControlClass},
    {"TStdControl", &TStdControlClass},
    {"TWinControl", &TWinControlClass},
    {"TScrollingWinControl", &TScrollingWinControlClass},
    {"TForm", &TFormClass},
    {"TMDIClient", &TMDIClientClass},
    {"TMsgBar", &TMsgBarClass},
    {"TMsgItem", &TMsgItemClass},
    {"TToolTip", &TToolTipClass},
    {"TBalloon", &TBalloonClass},
    {"TFont", &TFontClass},
    {"TBrush", &TBrushClass},
    {"TPen", &TPenClass},
    {"TCanvas", &TCanvasClass},
    {"TButton", &TButtonClass},
    {"TBtnBmp", &TBtnBmpClass},
    {"TLabel", &TLabelClass},
    {"TBevel", &TBevelClass},
    {"TGroupBox", &TGroupBoxClass},
    {"TEdit", &TEditClass},
    {"TIcon", &TIconClass},
    {"TImage", &TImageClass},
    {"TImageList", &TImageListClass},
    {"THeader", &THeaderClass},
    {"THeaderItem", &THeaderItemClass},
    {"TBrowse", &TBrowseClass},
    {"TBrwColumn", &TBrwColumnClass},
    {"TBrwRecSel", &TBrwRecSelClass},
    {"TPicture", &TPictureClass},
    {"TRect", &TRectClass},
    {"TScreen", &TScreenClass},
    {"TDisplayMonitor", &TDisplayMonitorClass},
    {"TCursor", &TCursorClass},
};

}  // namespace

Class* FrameworkClass(std::string_view name) {
  for (const Entry& e : kCatalog)
    if (SameName(e.name, name)) return e.declare();
  return Class::Find(name);
}

Value NewFrameworkObject(std::string_view name) {
  Class* c = FrameworkClass(name);
  return c ? Object::New(c) : Value();
}

}  // namespace zv
