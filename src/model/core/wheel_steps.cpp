#include "model/core/wheel_steps.h"

int WheelSteps::Take(int delta, int unitsPerStep, int purpose)
{
    if (unitsPerStep <= 0)
        return 0;
    const bool turned = (pending_ > 0 && delta < 0) || (pending_ < 0 && delta > 0);
    if (turned || purpose != purpose_ || unitsPerStep != unitsPerStep_)
        pending_ = 0;
    purpose_ = purpose;
    unitsPerStep_ = unitsPerStep;
    // Kept parts never reach a whole step, so the sum cannot overflow.
    const long long total = static_cast<long long>(pending_) + delta;
    const long long steps = total / unitsPerStep;  // toward zero: the rest keeps its sign
    pending_ = static_cast<int>(total - steps * unitsPerStep);
    return static_cast<int>(steps);
}
