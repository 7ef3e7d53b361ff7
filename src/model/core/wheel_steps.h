#pragma once

// Turns mouse wheel rotation into whole steps. Wheels report eighths of a
// degree, 120 for one notch; high-resolution wheels and touchpads send
// smaller parts, which are kept until they add up to a step.
class WheelSteps {
public:
    // Whole steps of unitsPerStep in delta plus the part kept from earlier
    // turns, signed like delta. The kept part counts only while the
    // direction and the purpose (any number the caller chooses, such as
    // "scroll" or "zoom") stay the same.
    int Take(int delta, int unitsPerStep, int purpose = 0);

private:
    int pending_ = 0;
    int unitsPerStep_ = 0;
    int purpose_ = 0;
};

// Angle units of one notch of an ordinary wheel.
inline constexpr int WheelNotch = 120;
