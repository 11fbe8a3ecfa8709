#include "mGlobal.h"

#include "StartNotice.h"

namespace mGlobal {

bool NotifyStart()
{
    return NotifyStartAsOnlyCopy(QString::fromLatin1(ProgramName));
}

}
