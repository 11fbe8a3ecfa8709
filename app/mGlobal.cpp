#include "mGlobal.h"

#include "SingleInstance.h"
#include "StartNotice.h"

namespace mGlobal {

bool NotifyStart()
{
    if (AnotherCopyRunning(QString::fromLatin1(ProgramName)))
        return false;
    NotifyStartComponent();
    return true;
}

}
