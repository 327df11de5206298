#include "kxlib/KXRunable.h"

namespace KXLib {

KXRunable::~KXRunable() = default;

}  // namespace KXLib
