#include "project/Form1.h"

#include "project/PlanOpening.h"

namespace orv {

void Form1::openPlanFile(const QString &path)
{
    mOpening->open(path);
}

} // namespace orv
