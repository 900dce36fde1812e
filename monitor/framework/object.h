// Root of the classes that carry a run-time class name.
#pragma once

namespace fw {

struct CRuntimeClass {
  const char* className;
};

class CObject {
 public:
  virtual ~CObject() = default;
  virtual const CRuntimeClass* GetRuntimeClass() const;
};

}  // namespace fw

// Gives a class its run-time class record, named after the class.
#define FW_DECLARE_RUNTIME_CLASS(name)                     \
 public:                                                   \
  static const fw::CRuntimeClass kRuntimeClass;            \
  const fw::CRuntimeClass* GetRuntimeClass() const override { return &kRuntimeClass; }

#define FW_IMPLEMENT_RUNTIME_CLASS(name) const fw::CRuntimeClass name::kRuntimeClass = {#name};
