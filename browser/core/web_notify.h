// CWebNotify: the one notifier through which a browser view reports to the
// window that hosts it, and the handler objects that bind a window's member.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

// Notification ids raised by the browser view. 3 to 6 are never raised.
enum : unsigned {
  WN_DOCUMENT_COMPLETE = 0,
  WN_NAVIGATE_ERROR = 1,
  WN_GET_EXTERNAL = 2,
  WN_BEFORE_NAVIGATE = 7,
  WN_NAVIGATE_COMPLETE = 8,
  WN_TITLE_CHANGE = 9,
  WN_NAVIGATE_OUTSIDE = 10,
};

// param and lparam are pointer-sized: they carry addresses (result slot, view, title).
class ICWebNotifyEventHandler {
 public:
  virtual void Invoke(unsigned id, std::uintptr_t param, std::intptr_t lparam) = 0;
  virtual ~ICWebNotifyEventHandler() = default;
};

template <class T, class Method, class Interface>
class CEventHandler : public Interface {
 public:
  void Invoke(unsigned, std::uintptr_t, std::intptr_t) override {}
};

template <class T, class Method>
class CCWebNotifyEventHandler : public CEventHandler<T, Method, ICWebNotifyEventHandler> {
 public:
  CCWebNotifyEventHandler(T* target_object, Method bound) : target(target_object), method(bound) {}
  void Invoke(unsigned id, std::uintptr_t param, std::intptr_t lparam) override {
    (target->*method)(id, param, lparam);
  }

  T* target;  // not owned
  Method method;
};

// Tag type; only names the handler family in CFEvent's arguments.
struct FCWebNotifyEventHandler {};

template <template <class, class> class Handler, class Tag, class Interface>
class CFEvent {
 public:
  CFEvent() = default;
  CFEvent(const CFEvent&) = delete;
  CFEvent& operator=(const CFEvent&) = delete;

  // Takes ownership. A null handler (failed allocation) is kept and skipped.
  void Subscribe(Interface* handler) { handlers.emplace_back(handler); }

  // Calls every handler in subscription order with the same arguments.
  void Fire(unsigned id, std::uintptr_t param, std::intptr_t lparam) {
    // Index loop: a handler may subscribe another one while it runs.
    for (size_t i = 0; i < handlers.size(); ++i) {
      if (handlers[i]) handlers[i]->Invoke(id, param, lparam);
    }
  }

  std::vector<std::unique_ptr<Interface>> handlers;
};

class CWebNotify
    : public CFEvent<CCWebNotifyEventHandler, FCWebNotifyEventHandler, ICWebNotifyEventHandler> {};

// Binds target->method to the notifier; the notifier owns the handler.
template <class T>
ICWebNotifyEventHandler* SubscribeWebNotify(CWebNotify& notify, T* target,
                                            void (T::*method)(unsigned, std::uintptr_t,
                                                              std::intptr_t)) {
  auto* handler =
      new CCWebNotifyEventHandler<T, void (T::*)(unsigned, std::uintptr_t, std::intptr_t)>(target,
                                                                                           method);
  notify.Subscribe(handler);
  return handler;
}
