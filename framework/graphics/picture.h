// TPicture: one picture in any format the system picture loader reads
// (bitmaps, icons, metafiles and enhanced metafiles, GIF, JPEG, and what the
// platform adds), from a file, the program's resources or bytes in memory;
// what the system refuses may be decoded by the optional image library.
//
// Image is the system picture object (an IPicture, counted once by this
// object), Ptr the global block of the picture's bytes, Picture the
// picture's own GDI handle, Handle a screen bitmap of nWidth by nHeight
// pixels with the picture rendered into it. Every load releases the current
// picture first; a load that fails leaves no picture and raises nothing.
#pragma once

#include "framework/window/winobject.h"

#define ZV_QPICTURE_MEMBERS(X) \
  X(PROPERTY, Value, cName, .dflt = "", .setter = sym::Create) \
  X(DATA_R, long long, Image, 0) \
  X(DATA_R, long long, Ptr, 0) \
  X(DATA_R, long long, Picture, 0) \
  X(PROPERTY_R, int, nWidth, .dflt = 0, .readOnly = true) \
  X(PROPERTY_R, int, nHeight, .dflt = 0, .readOnly = true) \
  X(PROPERTY_R, int, nLogicalWidth, .dflt = 0, .readOnly = true) \
  X(PROPERTY_R, int, nLogicalHeight, .dflt = 0, .readOnly = true) \
  X(PROPERTY_R, long long, hPalette, .dflt = 0, .readOnly = true) \
  X(PROPERTY_R, int, nType, .dflt = 0, .readOnly = true) \
  X(PROPERTY_R, bool, lScalable, .dflt = false, .readOnly = true) \
  X(PROPERTY_R, bool, lTransparent, .dflt = false, .readOnly = true) \
  X(PROPERTY, Value, aTypes, .dflt = Value::List({"JPG", "JPEG", "GIF"})) \
  X(DATA, std::string, cFile, "") \
  X(DATA, std::string, cPath, "") \
  X(CONSTRUCTOR, New, &PictureCreate) \
  X(CONSTRUCTOR, Create, &PictureCreate) \
  X(METHOD, Destroy, &PictureDestroy) \
  X(METHOD, Clone, &PictureClone) \
  X(METHOD, Load, &Load) \
  X(METHOD, LoadFromFile, &LoadFromFile) \
  X(METHOD, LoadFromResource, &LoadFromResource) \
  X(METHOD, LoadFromStream, &LoadFromStream) \
  X(METHOD, CreateIndirect, &CreateIndirect) \
  X(METHOD, Save, &Save) \
  X(METHOD, SaveToStream, &SaveToStream) \
  X(METHOD, Paint, &PicturePaint) \
  X(METHOD, IsPicture, &IsPicture) \
  X(METHOD, IsBitmap, &IsOfType<PICTYPE_BITMAP>) \
  X(METHOD, IsIcon, &IsOfType<PICTYPE_ICON>) \
  X(METHOD, IsMetafile, &IsOfType<PICTYPE_METAFILE>) \
  X(METHOD, IsEnhMetafile, &IsOfType<PICTYPE_ENHMETAFILE>) \
  X(METHOD, GetPictureHandle, &GetPictureHandle) \
  X(METHOD, GetIcon, &HandleOfType<PICTYPE_ICON>) \
  X(METHOD, GetMetafile, &HandleOfType<PICTYPE_METAFILE>) \
  X(METHOD, GetEnhMetafile, &HandleOfType<PICTYPE_ENHMETAFILE>) \
  X(METHOD, SetTypes, &SetTypes)

namespace zv {

Class* QPictureClass();
Class* TPictureClass();

class TPictureRef : public TWinObjectRef {
  ZV_VIEW_CLASS(TPictureRef, TWinObjectRef, QPictureClass)
  ZV_VIEW_MEMBERS(ZV_QPICTURE_MEMBERS)
};

}  // namespace zv
