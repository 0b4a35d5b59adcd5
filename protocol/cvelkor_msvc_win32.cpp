// CVelkor's constructor as an application built with MSVC calls it.  MSVC
// expects a constructor to hand `this` back in the return register, which
// GCC's constructors do not do; the MSVC-decorated constructor name is
// exported as an alias of this function (cmake/msvc_aliases.txt).
#include <new>

#include "velkor_link.hpp"

extern "C" CVelkor *velkor_construct_for_msvc(CVelkor *self) {
  return new (self) CVelkor;
}
