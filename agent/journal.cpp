#include "journal.h"

#include <cstdio>
#include <vector>

#include "module.h"

namespace agent {
namespace {

constexpr std::size_t kMaxJournalText = 1000;  // characters of one string argument

std::wstring Quoted(const wchar_t* s, std::size_t n) {
  std::wstring out = L"\"";
  std::size_t shown = n < kMaxJournalText ? n : kMaxJournalText;
  for (std::size_t i = 0; i < shown; ++i) {
    wchar_t c = s[i];
    switch (c) {
      case L'"':
        out += L"\\\"";
        break;
      case L'\\':
        out += L"\\\\";
        break;
      case L'\n':
        out += L"\\n";
        break;
      case L'\r':
        out += L"\\r";
        break;
      case L'\t':
        out += L"\\t";
        break;
      default:
        if (c < 0x20 || c == 0x7F) {
          wchar_t buf[8];
          std::swprintf(buf, 8, L"\\x%02X", static_cast<unsigned>(c));
          out += buf;
        } else {
          out += c;
        }
    }
  }
  out += L'"';
  if (shown < n) out += L"...";
  return out;
}

std::wstring Number(double d) {
  wchar_t buf[40];
  std::swprintf(buf, 40, L"%.15g", d);
  return buf;
}

const wchar_t* HresultName(HRESULT hr) {
  switch (hr) {
    case DISP_E_UNKNOWNINTERFACE:
      return L"DISP_E_UNKNOWNINTERFACE";
    case DISP_E_MEMBERNOTFOUND:
      return L"DISP_E_MEMBERNOTFOUND";
    case DISP_E_PARAMNOTFOUND:
      return L"DISP_E_PARAMNOTFOUND";
    case DISP_E_TYPEMISMATCH:
      return L"DISP_E_TYPEMISMATCH";
    case DISP_E_UNKNOWNNAME:
      return L"DISP_E_UNKNOWNNAME";
    case DISP_E_NONAMEDARGS:
      return L"DISP_E_NONAMEDARGS";
    case DISP_E_BADVARTYPE:
      return L"DISP_E_BADVARTYPE";
    case DISP_E_EXCEPTION:
      return L"DISP_E_EXCEPTION";
    case DISP_E_OVERFLOW:
      return L"DISP_E_OVERFLOW";
    case DISP_E_BADPARAMCOUNT:
      return L"DISP_E_BADPARAMCOUNT";
    case DISP_E_PARAMNOTOPTIONAL:
      return L"DISP_E_PARAMNOTOPTIONAL";
    case E_INVALIDARG:
      return L"E_INVALIDARG";
    case E_OUTOFMEMORY:
      return L"E_OUTOFMEMORY";
    default:
      return nullptr;
  }
}

void AppendUtf8Line(const std::wstring& path, const std::wstring& line) {
  int bytes = WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return;
  std::vector<char> text(static_cast<std::size_t>(bytes) + 1);
  WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), text.data(), bytes, nullptr, nullptr);
  text[static_cast<std::size_t>(bytes)] = '\n';
  // Opened and closed for each line, for appending only: several processes
  // (or a test reading it) may share the file.
  HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
}

}  // namespace

std::wstring FormatVariant(const VARIANT& value) {
  const VARIANT* v = &value;
  if (V_VT(v) == (VT_VARIANT | VT_BYREF)) {
    if (!V_VARIANTREF(v)) return L"null";
    v = V_VARIANTREF(v);
  }
  VARTYPE vt = V_VT(v);
  bool byref = (vt & VT_BYREF) != 0;
  if (vt & VT_ARRAY) return L"array";
  switch (vt & ~VT_BYREF) {
    case VT_EMPTY:
      return L"empty";
    case VT_NULL:
      return L"null";
    case VT_ERROR: {
      SCODE e = byref ? (V_ERRORREF(v) ? *V_ERRORREF(v) : 0) : V_ERROR(v);
      if (e == DISP_E_PARAMNOTFOUND) return L"missing";
      wchar_t buf[24];
      std::swprintf(buf, 24, L"error(0x%08lX)", static_cast<unsigned long>(e));
      return buf;
    }
    case VT_BOOL: {
      VARIANT_BOOL b = byref ? (V_BOOLREF(v) ? *V_BOOLREF(v) : 0) : V_BOOL(v);
      return b ? L"true" : L"false";
    }
    case VT_BSTR: {
      BSTR s = byref ? (V_BSTRREF(v) ? *V_BSTRREF(v) : nullptr) : V_BSTR(v);
      return s ? Quoted(s, SysStringLen(s)) : L"\"\"";
    }
    case VT_DISPATCH:
    case VT_UNKNOWN:
      return L"object";
    default:
      break;
  }
  // Numbers and dates: through a conversion to double.
  VARIANT d;
  VariantInit(&d);
  if (SUCCEEDED(VariantChangeType(&d, const_cast<VARIANT*>(v), 0, VT_R8))) {
    std::wstring text = Number(V_R8(&d));
    if ((vt & ~VT_BYREF) == VT_DATE) text = L"date(" + text + L")";
    return text;
  }
  wchar_t buf[16];
  std::swprintf(buf, 16, L"vt(%u)", static_cast<unsigned>(vt));
  return buf;
}

std::wstring FormatFlags(WORD flags) {
  std::wstring out;
  auto add = [&](WORD bit, const wchar_t* name) {
    if (!(flags & bit)) return;
    if (!out.empty()) out += L'|';
    out += name;
  };
  add(DISPATCH_METHOD, L"method");
  add(DISPATCH_PROPERTYGET, L"get");
  add(DISPATCH_PROPERTYPUT, L"put");
  add(DISPATCH_PROPERTYPUTREF, L"putref");
  if (out.empty()) {
    wchar_t buf[20];
    std::swprintf(buf, 20, L"flags(0x%X)", static_cast<unsigned>(flags));
    out = buf;
  }
  return out;
}

void RecordCall(const std::wstring& object, const std::wstring& member, WORD flags, const DISPPARAMS& params,
                HRESULT hr, const std::wstring& description) {
  std::wstring path = EnvironmentValue(L"AGENT_JOURNAL");
  if (path.empty()) return;

  std::wstring line = object + L"." + member + L" " + FormatFlags(flags);
  // Arguments in their natural order: positional ones (stored last to first
  // after the named ones), then the named ones as name:=value; the value of
  // a property put is shown without a name.
  bool first = true;
  auto add = [&](const std::wstring& text) {
    line += first ? L" " : L", ";
    first = false;
    line += text;
  };
  for (UINT k = params.cArgs; k > params.cNamedArgs; --k) add(FormatVariant(params.rgvarg[k - 1]));
  for (UINT i = 0; i < params.cNamedArgs; ++i) {
    DISPID d = params.rgdispidNamedArgs[i];
    if (d == DISPID_PROPERTYPUT)
      add(FormatVariant(params.rgvarg[i]));
    else
      add(L"#" + std::to_wstring(d) + L":=" + FormatVariant(params.rgvarg[i]));
  }
  if (FAILED(hr)) {
    const wchar_t* name = HresultName(hr);
    wchar_t code[16];
    std::swprintf(code, 16, L"0x%08lX", static_cast<unsigned long>(hr));
    line += L" => ";
    line += name ? name : code;
    if (!description.empty()) {
      line += L": ";
      for (wchar_t c : description) line += (c < 0x20) ? L' ' : c;  // one call, one line
    }
  }
  AppendUtf8Line(path, line);
}

}  // namespace agent
