#include "framework/object.h"

namespace fw {

const CRuntimeClass* CObject::GetRuntimeClass() const {
  static const CRuntimeClass kObject = {"CObject"};
  return &kObject;
}

}  // namespace fw
