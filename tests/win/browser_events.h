// Delivers DWebBrowserEvents2 events to a view's sink exactly as the control
// does (arguments in reverse order, results by reference), for the events
// Wine's control cannot raise without an HTML engine.
#pragma once

#include <windows.h>

#include <exdispid.h>

#include <vector>

#include "browser/browser_view.h"

struct EventCall {
  std::vector<VARIANT> args;  // declaration order
  HRESULT Send(IDispatch* sink, DISPID id) {
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    return sink->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
  }
};

inline VARIANT Dispatch(IDispatch* d) {
  VARIANT v;
  ::VariantInit(&v);
  v.vt = VT_DISPATCH;
  v.pdispVal = d;
  return v;
}
inline VARIANT ByRefVariant(VARIANT* inner) {
  VARIANT v;
  ::VariantInit(&v);
  v.vt = VT_BYREF | VT_VARIANT;
  v.pvarVal = inner;
  return v;
}
inline VARIANT ByRefBool(VARIANT_BOOL* b) {
  VARIANT v;
  ::VariantInit(&v);
  v.vt = VT_BYREF | VT_BOOL;
  v.pboolVal = b;
  return v;
}
inline VARIANT BstrVariant(BSTR b) {
  VARIANT v;
  ::VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = b;
  return v;
}

// The page (top-level browser object) of `view` starts navigating to `url`;
// returns the Cancel the view's window left.
inline VARIANT_BOOL DeliverBeforeNavigate2(CBrowserView& view, const wchar_t* url) {
  VARIANT address = BstrVariant(::SysAllocString(url));
  VARIANT empty[4];
  for (VARIANT& v : empty) ::VariantInit(&v);
  VARIANT_BOOL cancel = VARIANT_FALSE;
  EventCall{{Dispatch(view.Browser().Get()), ByRefVariant(&address), ByRefVariant(&empty[0]),
             ByRefVariant(&empty[1]), ByRefVariant(&empty[2]), ByRefVariant(&empty[3]),
             ByRefBool(&cancel)}}
      .Send(view.EventSinkDispatch(), DISPID_BEFORENAVIGATE2);
  ::VariantClear(&address);
  return cancel;
}

// The page arrived (NavigateComplete2 of the top-level browser object).
inline void DeliverNavigateComplete2(CBrowserView& view, const wchar_t* url) {
  VARIANT address = BstrVariant(::SysAllocString(url));
  EventCall{{Dispatch(view.Browser().Get()), ByRefVariant(&address)}}.Send(
      view.EventSinkDispatch(), DISPID_NAVIGATECOMPLETE2);
  ::VariantClear(&address);
}

// The page failed with `status`; returns the Cancel the view left.
inline VARIANT_BOOL DeliverNavigateError(CBrowserView& view, const wchar_t* url, LONG status) {
  VARIANT address = BstrVariant(::SysAllocString(url));
  VARIANT frame = BstrVariant(nullptr);
  VARIANT code;
  ::VariantInit(&code);
  code.vt = VT_I4;
  code.lVal = status;
  VARIANT_BOOL cancel = VARIANT_FALSE;
  EventCall{{Dispatch(view.Browser().Get()), ByRefVariant(&address), ByRefVariant(&frame),
             ByRefVariant(&code), ByRefBool(&cancel)}}
      .Send(view.EventSinkDispatch(), DISPID_NAVIGATEERROR);
  ::VariantClear(&address);
  return cancel;
}

// A link asks for a new window on `url` (NewWindow3); returns the Cancel the view left.
inline VARIANT_BOOL DeliverNewWindow3(CBrowserView& view, const wchar_t* url) {
  IDispatch* newBrowser = nullptr;
  VARIANT pp;
  ::VariantInit(&pp);
  pp.vt = VT_BYREF | VT_DISPATCH;
  pp.ppdispVal = &newBrowser;
  VARIANT_BOOL cancel = VARIANT_FALSE;
  VARIANT flags;
  ::VariantInit(&flags);
  flags.vt = VT_UI4;
  VARIANT context = BstrVariant(::SysAllocString(view.GetLocationURL().c_str()));
  VARIANT address = BstrVariant(::SysAllocString(url));
  EventCall{{pp, ByRefBool(&cancel), flags, context, address}}.Send(view.EventSinkDispatch(),
                                                                    DISPID_NEWWINDOW3);
  ::VariantClear(&context);
  ::VariantClear(&address);
  return cancel;
}

// The page's title changed to `title` (TitleChange).
inline void DeliverTitleChange(CBrowserView& view, const wchar_t* title) {
  VARIANT text = BstrVariant(::SysAllocString(title));
  EventCall{{text}}.Send(view.EventSinkDispatch(), DISPID_TITLECHANGE);
  ::VariantClear(&text);
}
