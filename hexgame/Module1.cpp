#include "Module1.h"

#include "SingleInstance.h"
#include "StartNotice.h"

namespace Module1 {

bool NotifyStart()
{
    if (AnotherCopyRunning(QString::fromLatin1(ProgramName)))
        return false;
    NotifyStartComponent();
    return true;
}

}
