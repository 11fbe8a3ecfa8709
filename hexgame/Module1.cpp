#include "Module1.h"

#include "SingleInstance.h"

namespace Module1 {

bool NotifyStart()
{
    return !AnotherCopyRunning(QString::fromLatin1(ProgramName));
}

}
