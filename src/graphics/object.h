// Reference-counted graphic objects and the start and end of the graphics layer.
//
// Bitmaps, fonts and record stores derive from c_GUIB_BasicObject. An object
// is born with one reference owned by its creator; whoever stores a pointer
// takes a reference with AddRef and gives it up with Release. The last Release
// calls the virtual Destroy, which runs the destructor of the most derived
// class. Objects are never deleted directly. Counts are plain (GUI thread only).
#pragma once

#include <cstdint>

// Result codes shared by the graphics objects (record store, fonts). Each
// call names the ones it can return.
enum : uint32_t {
  GUIB_OK = 0,
  GUIB_ALREADY_STARTED = 1,   // GUIB_Startup: the layer was running already
  GUIB_ERR_FONT = 4,          // a system font could not be created
  GUIB_ERR_NOMEM = 6,         // out of memory / capacity
  GUIB_ERR_NOTHING_OPEN = 9,  // no chunk or record is open
  GUIB_ERR_NOT_FOUND = 14,    // no matching entry
  GUIB_ERR_WRONG_MODE = 16,   // reading while writing, or writing while reading
  GUIB_ERR_CORRUPT = 255,     // an entry lacks its magic or its sizes leave the scope
};

// Registers the "GUIB" log channel. GUIB_OK, or GUIB_ALREADY_STARTED.
uint32_t GUIB_Startup();
void GUIB_Shutdown();

class c_GUIB_BasicObject {
 public:
  c_GUIB_BasicObject() = default;
  c_GUIB_BasicObject(const c_GUIB_BasicObject &) = delete;
  c_GUIB_BasicObject &operator=(const c_GUIB_BasicObject &) = delete;

  void AddRef() { ++m_refCount; }
  void Release();
  int32_t RefCount() const { return m_refCount; }

 protected:
  virtual ~c_GUIB_BasicObject();
  // Runs the most derived destructor and frees the object; reached only
  // through Release.
  virtual void Destroy() { delete this; }

 private:
  int32_t m_refCount = 1;
};

// Holds one reference and releases it when it goes away (convenience for
// callers that keep objects on the stack).
template <class T>
class GUIB_Ref {
 public:
  explicit GUIB_Ref(T *p = nullptr) : m_p(p) {}
  ~GUIB_Ref() {
    if (m_p) m_p->Release();
  }
  GUIB_Ref(const GUIB_Ref &) = delete;
  GUIB_Ref &operator=(const GUIB_Ref &) = delete;
  T *operator->() const { return m_p; }
  T &operator*() const { return *m_p; }
  T *get() const { return m_p; }

 private:
  T *m_p;
};
