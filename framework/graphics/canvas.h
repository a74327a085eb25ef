// TCanvas: a drawing surface over a device context that someone else owns
// (hDC, set by the owner: a printer job, a paint handler). It draws text,
// lines, filled and outlined rectangles, rounded rectangles, pictures and
// rich-edit content; coordinates are pixels or one of three
// device-independent units (nMapMode); it reads the metrics of its device
// (the screen unless another device is given). It owns at most one font and
// one pen: those handed over through oFont / oPen. While hDC is 0 every
// drawing operation answers false and draws nothing.
//
// TRect: a rectangle as four numbers, from and to a list {l, t, r, b}.
#pragma once

#include "framework/graphics/brush_pen.h"
#include "framework/graphics/font.h"

#define ZV_QCANVAS_MEMBERS(X) \
  X(DATA_R, int, nLogPixelsX, 0) \
  X(DATA_R, int, nLogPixelsY, 0) \
  X(DATA_R, int, nHorzRes, 0) \
  X(DATA_R, int, nVertRes, 0) \
  X(DATA_R, int, nHorzSize, 0) \
  X(DATA_R, int, nVertSize, 0) \
  X(DATA_R, int, nPhyHorzSize, 0) \
  X(DATA_R, int, nPhyVertSize, 0) \
  X(DATA_R, int, nPhyHorzRes, 0) \
  X(DATA_R, int, nPhyVertRes, 0) \
  X(DATA_R, int, nHorzOffset, 0) \
  X(DATA_R, int, nVertOffset, 0) \
  X(DATA, bool, lOwnFont, false) \
  X(DATA, bool, lOwnPen, false) \
  X(DATA, Value, oDevice) \
  X(DATA, Value, aPenPos, Value::List({0, 0})) \
  X(PROPERTY, Value, oFont, .valueClass = "TFont", .setter = sym::SetFont) \
  X(PROPERTY, Value, oPen, .valueClass = "TPen", .setter = sym::SetPen) \
  X(PROPERTY, int, nMapMode, .dflt = 0) \
  X(PROPERTY, Value, nClrPane) \
  X(PROPERTY, int, nTextAlignment, .dflt = 0) \
  X(PROPERTY, int, nTextVAlignment, .dflt = 1) \
  X(PROPERTY, bool, lTransparent, .dflt = true) \
  X(PROPERTY, int, hDC, .dflt = 0) \
  X(CONSTRUCTOR, New, &CanvasCreate) \
  X(CONSTRUCTOR, Create, &CanvasCreate) \
  X(METHOD, Reset, &Reset) \
  X(METHOD, Destroy, &CanvasDestroy) \
  X(METHOD, SetFont, &SetFont) \
  X(METHOD, SetPen, &SetPen) \
  X(METHOD, SelectFont, &SelectFont) \
  X(METHOD, SelectPen, &SelectPen) \
  X(METHOD, TextExtent, &TextExtent) \
  X(METHOD, TextWidth, &TextWidth) \
  X(METHOD, TextHeight, &TextHeight) \
  X(METHOD, TextLines, &TextLines) \
  X(METHOD, PointToPixels, &PointToPixels) \
  X(METHOD, RectToPixels, &RectToPixels) \
  X(METHOD, PixelsToMapMode, &PixelsToMapMode) \
  X(METHOD, PixelsToTwips, &PixelsToTwips) \
  X(METHOD, TextOut, &CanvasTextOut) \
  X(METHOD, TextRect, &TextRect) \
  X(METHOD, MoveTo, &MoveTo) \
  X(METHOD, LineTo, &LineTo) \
  X(METHOD, FillRect, &FillRectangle) \
  X(METHOD, Rectangle, &DrawRectangle) \
  X(METHOD, RoundRect, &DrawRoundRect) \
  X(METHOD, DrawPicture, &DrawPicture) \
  X(METHOD, DrawRichEdit, &DrawRichEdit)

#define ZV_QRECT_MEMBERS(X) \
  X(DATA, int, nLeft, 0) \
  X(DATA, int, nTop, 0) \
  X(DATA, int, nRight, 0) \
  X(DATA, int, nBottom, 0) \
  X(CONSTRUCTOR, New, &RectNew) \
  X(METHOD, AsArray, &AsArray)

namespace zv {

Class* QCanvasClass();
Class* TCanvasClass();
Class* QRectClass();
Class* TRectClass();

class TCanvasRef : public ObjectRef {
  ZV_VIEW_CLASS(TCanvasRef, ObjectRef, QCanvasClass)
  ZV_VIEW_MEMBERS(ZV_QCANVAS_MEMBERS)
};

class TRectRef : public ObjectRef {
  ZV_VIEW_CLASS(TRectRef, ObjectRef, QRectClass)
  ZV_VIEW_MEMBERS(ZV_QRECT_MEMBERS)
};

}  // namespace zv
