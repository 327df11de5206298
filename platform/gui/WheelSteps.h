#pragma once
// Turns the deltas a wheel reports into whole notches. A notched wheel reports WHEEL_DELTA (120)
// per notch, but touchpads and smooth wheels report many small deltas (a few units each) for the
// same travel; the controls scroll by |delta| / 120, so a delta under 120 on its own would scroll
// nothing at all. Added up here, the small deltas scroll as far as a notched wheel turned the same
// way. One per window; window thread only.
namespace platform {

class WheelSteps {
public:
    // Adds one reported delta. Returns the whole notches now due (a multiple of WHEEL_DELTA with
    // the delta's sign), 0 when the deltas so far add up to less than a notch. Turning the other
    // way drops what was left over from the previous direction, so a reversal is felt at once.
    int add(int delta);
    // What has been added but not yet handed out (less than one notch).
    int pending() const { return pending_; }

private:
    int pending_ = 0;
};

}  // namespace platform
