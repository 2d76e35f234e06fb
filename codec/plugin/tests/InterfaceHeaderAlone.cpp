// Compiled with nothing but codec/include and QtCore on the include path: the
// plug-in interface must stand alone, as a plug-in interface others build
// against should.
#include "ostrel/clsOstrel.h"

static_assert(ostrel::S3S_Right == 4 && ostrel::Enigma == 3, "published values never change");
