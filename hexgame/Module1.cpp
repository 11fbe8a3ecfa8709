#include "Module1.h"

#include "StartNotice.h"

namespace Module1 {

bool NotifyStart()
{
    return NotifyStartAsOnlyCopy(QString::fromLatin1(ProgramName));
}

}
