// TImageList: a common-controls image list of equal-sized images, as the
// bitmap buttons, menus, grids and tool bars take them. Image indexes are
// 1-based everywhere; 0 means none, or failure.
//
// The images added with Add are remembered in aBitmaps as {image, lDisabled}
// pairs: the list is rebuilt from them whenever it is created again, so the
// Win32 handle is a cache of that description. A list 1 by 1 is not sized
// yet: the first image added gives it its size. The owner (oParent) holds
// the list as a component and hears QVNotify(1) when the first image
// arrives and QVNotify(2) when the list becomes empty.
#pragma once

#include "framework/window/winobject.h"

#define ZV_QIMAGELIST_MEMBERS(X) \
  X(PROPERTY, int, nWidth, .dflt = 1, .setter = &SetWidth) \
  X(PROPERTY, int, nHeight, .dflt = 1, .setter = &SetHeight) \
  X(PROPERTY, Value, oParent) \
  X(PROPERTY, Value, aBitmaps, .dflt = Value::List({})) \
  X(CONSTRUCTOR, New, &ImageListCreate) \
  X(CONSTRUCTOR, Create, &ImageListCreate) \
  X(METHOD, Destroy, &ImageListDestroy) \
  X(METHOD, Add, &Add) \
  X(METHOD, Remove, &Remove) \
  X(METHOD, RemoveAll, &RemoveAll) \
  X(METHOD, GetBitmap, &GetBitmap) \
  X(METHOD, AddIcon, &AddIcon) \
  X(METHOD, GetIcon, &GetIcon) \
  X(METHOD, ReplaceIcon, &ReplaceIcon) \
  X(METHOD, GetIconSize, &GetIconSize) \
  X(METHOD, SetIconSize, &SetIconSize) \
  X(METHOD, GetImageCount, &GetImageCount) \
  X(METHOD, GetImageInfo, &GetImageInfo) \
  X(METHOD, GetBkColor, &GetBkColor) \
  X(METHOD, SetBkColor, &SetBkColor) \
  X(METHOD, Duplicate, &Duplicate) \
  X(METHOD, Draw, &Draw) \
  X(METHOD, DrawEx, &DrawEx) \
  X(METHOD, AddMasked, &AddMasked) \
  X(METHOD, SetOverlayImage, &SetOverlayImage) \
  X(METHOD, Copy, &Copy) \
  X(METHOD, Swap, &Swap) \
  X(METHOD, BeginDrag, &BeginDrag) \
  X(METHOD, EndDrag, &EndDrag) \
  X(METHOD, DragEnter, &DragEnter) \
  X(METHOD, DragLeave, &DragLeave) \
  X(METHOD, DragMove, &DragMove) \
  X(METHOD, SetDragCursorImage, &SetDragCursorImage) \
  X(METHOD, DragShowNolock, &DragShowNolock) \
  X(METHOD, GetDragImage, &GetDragImage) \
  X(METHOD, Merge, &Merge) \
  X(METHOD, Read, &Read) \
  X(METHOD, Write, &Write) \
  X(METHOD, WriteBitmap, &WriteBitmap)

namespace zv {

Class* QImageListClass();
Class* TImageListClass();

class TImageListRef : public TWinObjectRef {
  ZV_VIEW_CLASS(TImageListRef, TWinObjectRef, QImageListClass)
  ZV_VIEW_MEMBERS(ZV_QIMAGELIST_MEMBERS)
};

// The embossed rendering of a disabled image: the shape of `bitmap` (every
// pixel not of the colour of its top-left pixel) in the button shadow colour
// with a white edge one pixel right and down, on the button face colour.
// A new bitmap of the same size, owned by the caller; 0 on failure.
HBITMAP EmbossedBitmap(HBITMAP bitmap);

// A monochrome mask of `bitmap`: 1 where a pixel has the colour of the
// top-left pixel (transparent), 0 elsewhere. Owned by the caller.
HBITMAP TopLeftColourMask(HBITMAP bitmap);

}  // namespace zv
